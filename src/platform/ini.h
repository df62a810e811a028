// INI profile files with the semantics Windows gives them: sections and keys compare
// case-insensitively, values are trimmed and lose one pair of surrounding quotes, a missing
// file or key yields the caller's default. Writes keep every other line of the file and
// replace it atomically, so a crash never leaves half a file behind.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Value of [section] key in file, or `def` when the file or the key is missing. Like a
// caller buffer of `bufferSize` bytes, the result holds at most bufferSize - 1 characters.
std::string ReadProfileString(const std::string& file, const std::string& section,
                              const std::string& key, const std::string& def,
                              std::size_t bufferSize);

// Sets [section] key = value, creating the file (not its folder) and the section as needed.
// Returns false when the file cannot be written.
bool WriteProfileString(const std::string& file, const std::string& section,
                        const std::string& key, const std::string& value);

}  // namespace platform
