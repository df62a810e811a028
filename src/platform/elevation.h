// Whether this process may change what the J2534 libraries read. On this system the registry
// store is the user's own folder of interface files, so "administrator" means that folder
// can be written.
#pragma once

#include <string>

namespace platform {

// True when the registry store folder exists and this process may create and replace
// files in it. On false, `reason` says why.
bool IsUserAnAdmin(std::string* reason = nullptr);

}  // namespace platform
