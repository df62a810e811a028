#include "file_store.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace webservice {

namespace {

ServiceError Outside() {
    return {403, "File refused", "The file path leaves the data folder and is refused."};
}

ServiceError Missing(const std::string& urlPath) {
    return {404, "File not found", "The file " + urlPath + " does not exist on this service."};
}

std::string RealPath(const std::string& path) {
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

// The relative path under the folder; false when a part is "." or ".." or holds a backslash
// or a NUL byte.
bool RelativeParts(const std::string& urlPath, std::string& relative) {
    std::istringstream parts(CollapseSlashes(urlPath));
    std::string part;
    while (std::getline(parts, part, '/')) {
        if (part.empty()) continue;
        if (part == "." || part == ".." || part.find('\\') != std::string::npos ||
            part.find('\0') != std::string::npos)
            return false;
        relative += "/" + part;
    }
    return true;
}

}  // namespace

std::string CollapseSlashes(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path)
        if (c != '/' || out.empty() || out.back() != '/') out.push_back(c);
    return out;
}

bool ResolveDataFile(const std::string& root, const std::string& urlPath, std::string& file,
                     ServiceError& error) {
    std::string relative;
    if (!RelativeParts(urlPath, relative)) {
        error = Outside();
        return false;
    }
    const std::string realRoot = RealPath(root);
    if (relative.empty() || realRoot.empty()) {
        error = Missing(urlPath);
        return false;
    }
    const std::string real = RealPath(realRoot + relative);
    if (real.empty()) {
        error = Missing(urlPath);
        return false;
    }
    // A link may point anywhere; what it resolves to must still be inside the folder.
    if (real.compare(0, realRoot.size() + 1, realRoot + "/") != 0) {
        error = Outside();
        return false;
    }
    struct stat st{};
    if (stat(real.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = Missing(urlPath);
        return false;
    }
    file = real;
    return true;
}

bool ReadDataFile(const std::string& file, size_t limit, std::string& content,
                  ServiceError& error) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) {
        error = {404, "File not found", "The file cannot be read."};
        return false;
    }
    const auto size = static_cast<size_t>(in.tellg());
    if (size > limit) {
        error = {400, "File too large",
                 "The file is larger than " + std::to_string(limit) + " bytes."};
        return false;
    }
    content.resize(size);
    in.seekg(0);
    in.read(content.data(), static_cast<std::streamsize>(size));
    if (!in) {
        error = {500, "File not read", "The file could not be read completely."};
        return false;
    }
    return true;
}

}  // namespace webservice
