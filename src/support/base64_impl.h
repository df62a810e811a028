// The Base64 kernels behind Base64Encode and Base64Decode, exposed so tests can check the
// vector kernels against the portable ones.
#pragma once

#include <cstddef>

namespace b64impl {

// Encodes whole 3-byte groups: writes length / 3 * 4 characters; returns the bytes consumed.
std::size_t EncodeGroupsScalar(const unsigned char* in, std::size_t length, char* out);

// Decodes whole 4-character groups up to the first character outside the alphabet; returns
// the characters consumed (a multiple of 4) and writes three bytes per group. The caller
// leaves `out` room for 4 bytes more than it needs.
std::size_t DecodeGroupsScalar(const char* in, std::size_t length, unsigned char* out);

// SSSE3 forms of the two; true when the processor runs them.
bool SimdAvailable();
std::size_t EncodeGroupsSimd(const unsigned char* in, std::size_t length, char* out);
std::size_t DecodeGroupsSimd(const char* in, std::size_t length, unsigned char* out);

}  // namespace b64impl
