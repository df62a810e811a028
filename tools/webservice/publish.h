// Publishing application files into an account's folder of the data folder: the sealing
// tool's manifest builder, kept inside the data folder.
#pragma once

#include <string>

namespace webservice {

// Publishes the files of the description (see tools/seal/README.md) under
// dataFolder/accountFolder, which must be a relative path without "..". False with a reason.
bool PublishApplicationFiles(const std::string& dataFolder, const std::string& accountFolder,
                             const std::string& descriptionPath, std::string& error);

}  // namespace webservice
