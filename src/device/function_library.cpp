#include "device/function_library.h"

namespace device {

bool FindFunctionLibrary(const std::string& name, std::string& path, std::set<PassThruInfo>& list) {
    list.clear();
    std::set<PassThruInfo> found;
    CPassThruDll::ListInterfaces(found);
    list.insert(found.begin(), found.end());
    for (const PassThruInfo& info : list) {
        if (info.Name == name) {
            path = info.FunctionLibrary;
            return true;
        }
    }
    return false;
}

}  // namespace device
