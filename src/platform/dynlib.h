// Shared libraries loaded at run time (in place of LoadLibraryA, GetProcAddress, FreeLibrary).
#pragma once

#include <string>

namespace platform {

// The calling convention of an exported library function; empty on this system.
#if defined(_WIN32)
#define PLATFORM_API_CALL __stdcall
#else
#define PLATFORM_API_CALL
#endif

// One loaded library; the handle is released by Free() or the destructor. Loading a file that
// is not a shared library of this process's kind (another word size, an executable, a text)
// fails with an error text; it never crashes.
class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary() { Free(); }
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // Loads `path` with every symbol bound at once; releases a library held before. False
    // with ErrorText() set when it cannot be loaded.
    bool Load(const std::string& path);

    // Address of the exported `name`, null when the library has no such export (ErrorText()
    // then tells why) or nothing is loaded.
    void* Symbol(const char* name);

    void Free();
    bool IsLoaded() const { return m_handle != nullptr; }

    // Why the last Load or Symbol failed.
    const std::string& ErrorText() const { return m_error; }

private:
    void* m_handle = nullptr;
    std::string m_error;
};

}  // namespace platform
