#include "seal/manifest.h"

#include <filesystem>
#include <map>
#include <system_error>

#include "support/boost_file_utils.h"
#include "support/key_text.h"
#include "support/sealed_file.h"

namespace seal {
namespace {
namespace fs = std::filesystem;

// A JSON string literal: quotes, backslashes and control characters escaped.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            static const char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// outDir joined with a relative path whose parts are separated by '/' or '\'; false for an
// absolute path, a ".." part, or one with no name at all, so nothing lands outside outDir.
bool InsideFolder(const fs::path& outDir, const std::string& relative, fs::path& out) {
    out = outDir;
    std::string part;
    bool any = false;
    for (std::size_t i = 0; i <= relative.size(); ++i) {
        if (i < relative.size() && relative[i] != '/' && relative[i] != '\\') {
            part += relative[i];
            continue;
        }
        if (part == "..") return false;
        if (!part.empty() && part != ".") {
            out /= part;
            any = true;
        }
        part.clear();
    }
    return any;
}

bool WriteFile(const fs::path& target, const std::string& bytes, std::string& error) {
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    if (CBoostFileUtils::GetInstance()->WriteBinaryFile(target.string(), bytes)) return true;
    error = "cannot write " + target.string();
    return false;
}

// Stores one entry's file (sealed when asked) and gives the CRC of the file as stored.
bool PublishEntry(const ManifestEntry& e, const fs::path& outDir,
                  std::map<fs::path, std::string>& stored, std::string& crc, std::string& error) {
    fs::path target;
    if (e.remoteFileName.find_first_of("/\\") != std::string::npos ||
        !InsideFolder(outDir, e.remoteFolder + "/" + e.remoteFileName, target)) {
        error = "entry " + e.clsid + ": unsafe Remotefolder or RemotefileName";
        return false;
    }
    std::string content;
    CBoostFileUtils* files = CBoostFileUtils::GetInstance();
    std::error_code ec;
    if (files->ReadBinaryFile(e.file, content) == 0 &&
        !(fs::is_regular_file(e.file, ec) && content.empty())) {
        error = "cannot read " + e.file;
        return false;
    }
    if (e.sealed) content = SealPayload(content, Crc64KeyText(e.appUuid));
    auto known = stored.find(target);
    if (known != stored.end() && known->second != content) {
        error = "two entries publish different files to " + target.string();
        return false;
    }
    if (!WriteFile(target, content, error)) return false;
    stored[target] = content;
    crc = std::to_string(files->GetFileCrc(target.string()));
    return true;
}

void AppendEntry(std::string& json, const ManifestEntry& e, const std::string& name,
                 const std::string& crc) {
    const std::pair<const char*, const std::string*> members[] = {
        {"APP_UUID", &e.appUuid},
        {"Localfolder", &e.localFolder},
        {"Remotefolder", &e.remoteFolder},
        {"FwVersionInfo", &e.fwVersionInfo},
        {"ReleaseNote", &e.releaseNote},
        {"FileType", &e.fileType},
        {"RemotefileName", &e.remoteFileName},
        {"LocalfileName", &e.localFileName},
        {"FileCRC", &crc},
        {"AppType", &e.appType},
        {"CLSID", &e.clsid},
    };
    json += "    " + Quoted(name) + ": {";
    const char* sep = "\n";
    for (const auto& [key, value] : members) {
        json += sep;
        json += "      " + Quoted(key) + ": " + Quoted(*value);
        sep = ",\n";
    }
    json += "\n    }";
}
}  // namespace

std::string ManifestJson(const ManifestDescription& description,
                         const std::vector<std::string>& crcs) {
    std::string json = "{";
    std::size_t next = 0;
    const char* groupSep = "\n";
    for (const auto& group : description.groups) {
        json += groupSep + std::string("  ") + Quoted(group.name) + ": {";
        const char* entrySep = "\n";
        int index = 0;
        for (const auto& e : group.entries) {
            json += entrySep;
            ++index;
            AppendEntry(json, e, e.name.empty() ? "App" + std::to_string(index) : e.name,
                        next < crcs.size() ? crcs[next] : "0");
            ++next;
            entrySep = ",\n";
        }
        json += "\n  }";
        groupSep = ",\n";
    }
    return json + "\n}\n";
}

bool BuildManifest(const ManifestDescription& description, const std::string& outDir,
                   std::string& error) {
    fs::path manifest;
    if (!InsideFolder(outDir, description.manifestPath, manifest)) {
        error = "unsafe ManifestPath " + description.manifestPath;
        return false;
    }
    std::vector<std::string> crcs;
    std::map<fs::path, std::string> stored;
    for (const auto& group : description.groups) {
        std::map<std::string, int> names;
        for (const auto& e : group.entries) {
            if (!e.name.empty() && ++names[e.name] > 1) {
                error = "group " + group.name + ": entry name " + e.name + " appears twice";
                return false;
            }
            std::string crc;
            if (!PublishEntry(e, outDir, stored, crc, error)) return false;
            crcs.push_back(crc);
        }
    }
    std::string sealed =
        SealPayload(ManifestJson(description, crcs), Crc64KeyText(kApplicationToken));
    return WriteFile(manifest, sealed, error);
}

}  // namespace seal
