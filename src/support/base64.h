// Base64 with the RFC 4648 alphabet: '=' padding, no line breaks.
#pragma once

#include <cstdint>
#include <string>

// 4 * ceil(length / 3) characters; no bytes give the empty text.
std::string Base64Encode(const unsigned char* data, std::uint32_t length);

// Reads up to the end, the first '=' or the first character outside the alphabet; a final
// group of three characters gives two bytes, of two one byte, of one nothing.
std::string Base64Decode(const std::string& text);
