// File requests: a URL path (repeated slashes collapsed) mapped to a regular file inside the
// data folder, never outside it.
#pragma once

#include <cstddef>
#include <string>

#include "error_page.h"

namespace webservice {

// "//a///b/" -> "/a/b/".
std::string CollapseSlashes(const std::string& path);

// The real path of the file `urlPath` names under `root`; false with `error` (403 for a path
// that would leave the folder, 404 for a missing file).
bool ResolveDataFile(const std::string& root, const std::string& urlPath, std::string& file,
                     ServiceError& error);

// Reads the whole file when it is at most `limit` bytes; false with `error` otherwise.
bool ReadDataFile(const std::string& file, size_t limit, std::string& content,
                  ServiceError& error);

}  // namespace webservice
