// The two checksums the device, the server and the key derivations agree on.
#pragma once

#include <cstddef>
#include <cstdint>

class CCrcUtil {
public:
    static CCrcUtil* GetInstance();

    // Reflected CRC-32 (polynomial 0xEDB88320), register preset 0xFFFFFFFF, no final
    // inversion: the bitwise NOT of the common CRC-32. "123456789" gives 0x340BC6D9.
    std::uint32_t Crc32(const unsigned char* data, std::int32_t length) const;

    // ECMA-182 MSB-first table with the LSB-first update, preset 0, no final inversion.
    // "123456789" gives 0x733F076B5E63C481.
    std::uint64_t Crc64(const unsigned char* data, std::uint32_t count) const;

    // Continues a Crc32 over more bytes: Crc32(a+b) == Crc32Update(Crc32(a), b).
    std::uint32_t Crc32Update(std::uint32_t crc, const unsigned char* data,
                              std::size_t length) const;

    // The Crc32 register after `first` followed by bytes whose Crc32Update from 0 is `second`:
    // Crc32Update(c, b) == Crc32Combine(c, Crc32Update(0, b), b.size()). Lets two pieces of
    // one stream be checked apart and joined.
    std::uint32_t Crc32Combine(std::uint32_t first, std::uint32_t second,
                               std::uint64_t secondLength) const;

private:
    CCrcUtil() = default;
};
