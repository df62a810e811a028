// Reading the plain description of the application files to publish.
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <filesystem>

#include "seal/manifest.h"

namespace seal {
namespace {
namespace pt = boost::property_tree;
namespace fs = std::filesystem;

// A required text member; throws with the member's name when it is missing.
std::string Required(const pt::ptree& node, const char* name) {
    auto value = node.get_optional<std::string>(name);
    if (!value) throw std::runtime_error(std::string("missing ") + name);
    return *value;
}

bool TrueText(const std::string& text) {
    return text == "true" || text == "1";
}

ManifestEntry ReadEntry(const pt::ptree& node, const fs::path& base) {
    ManifestEntry e;
    e.name = node.get<std::string>("Name", "");
    e.appUuid = Required(node, "APP_UUID");
    e.localFolder = node.get<std::string>("Localfolder", "");
    e.remoteFolder = Required(node, "Remotefolder");
    e.fwVersionInfo = Required(node, "FwVersionInfo");
    e.releaseNote = node.get<std::string>("ReleaseNote", "");
    e.fileType = Required(node, "FileType");
    e.remoteFileName = Required(node, "RemotefileName");
    e.localFileName = node.get<std::string>("LocalfileName", e.remoteFileName);
    e.appType = node.get<std::string>("AppType", "");
    e.clsid = Required(node, "CLSID");
    fs::path file = Required(node, "File");
    e.file = (file.is_absolute() ? file : base / file).string();
    auto sealed = node.get_optional<std::string>("Sealed");
    e.sealed = sealed ? TrueText(*sealed) : e.appType == "Embedded";
    return e;
}

ManifestGroup ReadGroup(const pt::ptree& node, const fs::path& base) {
    ManifestGroup group;
    group.name = Required(node, "Name");
    if (group.name.empty()) throw std::runtime_error("empty group Name");
    auto entries = node.get_child_optional("Entries");
    if (!entries) throw std::runtime_error("group " + group.name + ": missing Entries");
    int index = 0;
    for (const auto& child : *entries) {
        ++index;
        try {
            group.entries.push_back(ReadEntry(child.second, base));
        } catch (const std::exception& e) {
            throw std::runtime_error("group " + group.name + ", entry " + std::to_string(index) +
                                     ": " + e.what());
        }
    }
    return group;
}
}  // namespace

bool ReadDescription(const std::string& path, ManifestDescription& description,
                     std::string& error) {
    try {
        pt::ptree root;
        pt::read_json(path, root);
        fs::path base = fs::path(path).parent_path();
        ManifestDescription result;
        result.manifestPath = root.get<std::string>("ManifestPath", kDefaultManifestPath);
        auto groups = root.get_child_optional("Groups");
        if (!groups) throw std::runtime_error("missing Groups");
        for (const auto& child : *groups) {
            ManifestGroup group = ReadGroup(child.second, base);
            for (const auto& known : result.groups)
                if (known.name == group.name)
                    throw std::runtime_error("group " + group.name + " appears twice");
            result.groups.push_back(std::move(group));
        }
        description = std::move(result);
        return true;
    } catch (const std::exception& e) {
        error = path + ": " + e.what();
        return false;
    }
}

}  // namespace seal
