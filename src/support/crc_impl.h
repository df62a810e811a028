// The CRC-32 kernels behind CCrcUtil, exposed so tests can check each one against the other.
// All work on the raw register: no preset and no inversion (the callers do both).
#pragma once

#include <cstddef>
#include <cstdint>

namespace crcimpl {

// Portable slicing-by-8 over constant tables; any length.
std::uint32_t Crc32Slice8(std::uint32_t crc, const unsigned char* data, std::size_t length);

// True when the processor can run Crc32Fold (x86 with PCLMULQDQ).
bool Crc32FoldAvailable();

// Carry-less multiply folding, four 128-bit lanes at a time; any length (short tails and
// short inputs go to Crc32Slice8). Only call it when Crc32FoldAvailable().
std::uint32_t Crc32Fold(std::uint32_t crc, const unsigned char* data, std::size_t length);

// The same on 512-bit registers (AVX-512 with VPCLMULQDQ), 256 bytes per step; shorter
// inputs and tails go to Crc32Fold. Only call it when Crc32Fold512Available().
bool Crc32Fold512Available();
std::uint32_t Crc32Fold512(std::uint32_t crc, const unsigned char* data, std::size_t length);

}  // namespace crcimpl
