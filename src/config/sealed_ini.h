// INI values stored sealed with the text cipher.
#pragma once

#include <string>

// The value of [section] key, opened under keyText when `sealed`; "Error" for a missing key
// and for a sealed value that cannot be opened or opens to nothing.
std::string ReadIniSealed(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& keyText, bool sealed);

// Writes value (sealed under keyText when `sealed`).
void WriteIniSealed(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value, const std::string& keyText, bool sealed);
