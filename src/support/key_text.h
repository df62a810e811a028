// Key texts of the sealed files: the decimal Crc64 of a text (a firmware image's APP_UUID,
// the program's application token for the manifest).
#pragma once

#include <string>

// Unsigned decimal, no leading zeros: "123456789" gives "8304364395620975745".
std::string Crc64KeyText(const std::string& text);
