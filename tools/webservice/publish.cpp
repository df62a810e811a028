#include "publish.h"

#include <filesystem>

#include "file_store.h"
#include "seal/manifest.h"

namespace webservice {

namespace {

// "Pelmar//demo" -> "Pelmar/demo"; empty when a part is "..", "." or the path is absolute.
std::string RelativeFolder(const std::string& folder) {
    const std::filesystem::path path(CollapseSlashes(folder));
    if (path.is_absolute()) return "";
    for (const auto& part : path)
        if (part == ".." || part == ".") return "";
    return path.lexically_normal().string();
}

}  // namespace

bool PublishApplicationFiles(const std::string& dataFolder, const std::string& accountFolder,
                             const std::string& descriptionPath, std::string& error) {
    const std::string relative = RelativeFolder(accountFolder);
    if (relative.empty()) {
        error = "the account folder must be a relative path inside the data folder: " +
                accountFolder;
        return false;
    }
    seal::ManifestDescription description;
    if (!seal::ReadDescription(descriptionPath, description, error)) return false;
    const std::string outDir = dataFolder + "/" + relative;
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    if (ec) {
        error = "cannot create " + outDir + ": " + ec.message();
        return false;
    }
    return seal::BuildManifest(description, outDir, error);
}

}  // namespace webservice
