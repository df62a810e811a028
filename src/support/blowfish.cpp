#include "support/blowfish.h"

#include <cstring>

#include "support/blowfish_constants.h"

namespace {
std::uint32_t LoadLe(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void StoreLe(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}
}  // namespace

CBlowfish::CBlowfish(const unsigned char* key, std::size_t length) {
    std::memcpy(m_p, kBlowfishP, sizeof m_p);
    std::memcpy(m_s, kBlowfishS, sizeof m_s);
    if (length > 0) {
        std::size_t k = 0;
        for (auto& p : m_p) {
            std::uint32_t word = 0;
            for (int i = 0; i < 4; ++i) {
                word = (word << 8) | key[k];
                k = (k + 1) % length;
            }
            p ^= word;
        }
    }
    std::uint32_t l = 0, r = 0;
    for (int i = 0; i < 18; i += 2) {
        Encipher(l, r);
        m_p[i] = l;
        m_p[i + 1] = r;
    }
    for (auto& box : m_s) {
        for (int i = 0; i < 256; i += 2) {
            Encipher(l, r);
            box[i] = l;
            box[i + 1] = r;
        }
    }
}

void CBlowfish::Encipher(std::uint32_t& left, std::uint32_t& right) const {
    std::uint32_t l = left, r = right;
    for (int i = 0; i < 16; i += 2) {
        l ^= m_p[i];
        r ^= F(l);
        r ^= m_p[i + 1];
        l ^= F(r);
    }
    l ^= m_p[16];
    r ^= m_p[17];
    left = r;
    right = l;
}

void CBlowfish::Decipher(std::uint32_t& left, std::uint32_t& right) const {
    std::uint32_t l = left, r = right;
    for (int i = 17; i > 1; i -= 2) {
        l ^= m_p[i];
        r ^= F(l);
        r ^= m_p[i - 1];
        l ^= F(r);
    }
    l ^= m_p[1];
    r ^= m_p[0];
    left = r;
    right = l;
}

void CBlowfish::EncipherBuffer(unsigned char* data, std::size_t length) const {
    for (std::size_t i = 0; i + kBlock <= length; i += kBlock) {
        std::uint32_t l = LoadLe(data + i), r = LoadLe(data + i + 4);
        Encipher(l, r);
        StoreLe(data + i, l);
        StoreLe(data + i + 4, r);
    }
}

void CBlowfish::DecipherBuffer(unsigned char* data, std::size_t length) const {
    for (std::size_t i = 0; i + kBlock <= length; i += kBlock) {
        std::uint32_t l = LoadLe(data + i), r = LoadLe(data + i + 4);
        Decipher(l, r);
        StoreLe(data + i, l);
        StoreLe(data + i + 4, r);
    }
}
