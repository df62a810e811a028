// Publishing application files: from a plain description, seal every firmware image under
// the key text of its APP_UUID, lay the files out under their Remotefolder, and write the
// sealed manifest AppConfig.dfu that the program downloads.
#pragma once

#include <string>
#include <vector>

namespace seal {

// The program's application token; the manifest is sealed under its decimal Crc64.
inline constexpr const char* kApplicationToken = "e4a91f30-7c25-4b9d-8e16-2f5b0d6ac873";
inline constexpr const char* kDefaultManifestPath = "Velkor_ESP32_XX/AppConfig.dfu";

// One manifest entry and the plain file it publishes.
struct ManifestEntry {
    std::string name;  // member name inside its group ("App1", "App2", ... when empty)
    std::string appUuid, localFolder, remoteFolder, fwVersionInfo, releaseNote, fileType;
    std::string remoteFileName, localFileName, appType, clsid;
    std::string file;     // the plain file to publish
    bool sealed = false;  // firmware images ("Embedded") are sealed by default
};

struct ManifestGroup {
    std::string name;
    std::vector<ManifestEntry> entries;
};

struct ManifestDescription {
    std::string manifestPath = kDefaultManifestPath;  // relative to the output folder
    std::vector<ManifestGroup> groups;
};

// Reads a description file (JSON, see tools/seal/README.md); relative "File" paths are taken
// from the description's folder. False with a reason.
bool ReadDescription(const std::string& path, ManifestDescription& description, std::string& error);

// Publishes every entry under outDir and writes the sealed manifest; false with a reason.
bool BuildManifest(const ManifestDescription& description, const std::string& outDir,
                   std::string& error);

// The manifest's plain JSON text for entries whose FileCRC values are given in order.
std::string ManifestJson(const ManifestDescription& description,
                         const std::vector<std::string>& crcs);

}  // namespace seal
