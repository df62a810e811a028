// File-system locations: the running module, folders one level at a time, existence tests.
#pragma once

#include <string>

namespace platform {

// The separator this system joins path levels with (where the Windows build uses '\').
inline constexpr char kNativeSep = '/';

// Full path of the running executable (the link /proc/self/exe resolves to).
std::string ModuleFileName();

// Folder of the running executable: ModuleFileName() cut before its last '/' or '\\' (the
// whole path when it has neither).
std::string ModuleDirectory();

// Makes ModuleFileName() answer `path` instead, so tests can run in a program folder of their
// own; an empty path restores the real one.
void SetModuleFileNameForTesting(const std::string& path);

// Creates one folder level; false when it exists already or cannot be made.
bool MakeDirectory(const std::string& path);

// The path exists (file, folder or anything else).
bool PathExists(const std::string& path);

// The path exists and is a folder.
bool IsDirectory(const std::string& path);

}  // namespace platform
