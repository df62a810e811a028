// Blowfish (64-bit blocks, 16 rounds) with the standard key schedule. Each object holds the
// schedule of one key, so every use keys its own object and threads never share one.
#pragma once

#include <cstddef>
#include <cstdint>

class CBlowfish {
public:
    static constexpr std::size_t kBlock = 8;
    static constexpr std::size_t kMaxKeyBytes = 72;  // later key bytes have no effect

    // Keys the cipher with `length` bytes taken cyclically (no bytes: the bare constants).
    CBlowfish(const unsigned char* key, std::size_t length);

    void Encipher(std::uint32_t& left, std::uint32_t& right) const;
    void Decipher(std::uint32_t& left, std::uint32_t& right) const;

    // Each complete 8-byte block in place, halves little-endian, the left half first;
    // the trailing length % 8 bytes stay as they are.
    void EncipherBuffer(unsigned char* data, std::size_t length) const;
    void DecipherBuffer(unsigned char* data, std::size_t length) const;

private:
    std::uint32_t F(std::uint32_t x) const {
        return ((m_s[0][x >> 24] + m_s[1][(x >> 16) & 0xFF]) ^ m_s[2][(x >> 8) & 0xFF]) +
               m_s[3][x & 0xFF];
    }

    std::uint32_t m_p[18];
    std::uint32_t m_s[4][256];
};
