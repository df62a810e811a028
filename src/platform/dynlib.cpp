#include "platform/dynlib.h"

#include <dlfcn.h>

namespace platform {

bool DynamicLibrary::Load(const std::string& path) {
    Free();
    dlerror();
    if (path.empty()) {
        m_error = "no library path";
        return false;
    }
    m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char* e = dlerror();
        m_error = e ? e : "cannot load " + path;
        return false;
    }
    return true;
}

void* DynamicLibrary::Symbol(const char* name) {
    if (!m_handle) {
        m_error = "no library loaded";
        return nullptr;
    }
    dlerror();
    void* p = dlsym(m_handle, name);
    if (!p) {
        const char* e = dlerror();
        m_error = e ? e : std::string("no export ") + name;
    }
    return p;
}

void DynamicLibrary::Free() {
    if (m_handle) dlclose(m_handle);
    m_handle = nullptr;
}

}  // namespace platform
