// Finding the library file of one J2534 registration by its exact name.
#pragma once

#include <set>
#include <string>

#include "device/passthru_dll.h"

namespace device {

// Replaces `list` with the registrations of the registry and looks for the one whose Name
// equals `name` exactly (letter case counts). True with `path` set to its FunctionLibrary;
// false leaves `path` unchanged.
bool FindFunctionLibrary(const std::string& name, std::string& path, std::set<PassThruInfo>& list);

}  // namespace device
