#include "support/base64.h"

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// 0..63 for alphabet characters, 0xFF for everything else.
struct DecodeTable {
    unsigned char v[256];
    constexpr DecodeTable() : v() {
        for (auto& x : v) x = 0xFF;
        for (int i = 0; i < 64; ++i) v[static_cast<unsigned char>(kAlphabet[i])] = i;
    }
};
constexpr DecodeTable kDecode;
}  // namespace

std::string Base64Encode(const unsigned char* data, std::uint32_t length) {
    std::string out;
    out.resize((static_cast<std::size_t>(length) + 2) / 3 * 4);
    char* o = out.data();
    std::uint32_t i = 0;
    for (; i + 3 <= length; i += 3) {
        std::uint32_t v = (data[i] << 16) | (data[i + 1] << 8) | data[i + 2];
        *o++ = kAlphabet[v >> 18];
        *o++ = kAlphabet[(v >> 12) & 63];
        *o++ = kAlphabet[(v >> 6) & 63];
        *o++ = kAlphabet[v & 63];
    }
    if (length - i == 1) {
        std::uint32_t v = data[i] << 16;
        *o++ = kAlphabet[v >> 18];
        *o++ = kAlphabet[(v >> 12) & 63];
        *o++ = '=';
        *o++ = '=';
    } else if (length - i == 2) {
        std::uint32_t v = (data[i] << 16) | (data[i + 1] << 8);
        *o++ = kAlphabet[v >> 18];
        *o++ = kAlphabet[(v >> 12) & 63];
        *o++ = kAlphabet[(v >> 6) & 63];
        *o++ = '=';
    }
    return out;
}

std::string Base64Decode(const std::string& text) {
    std::size_t n = 0;
    while (n < text.size() && kDecode.v[static_cast<unsigned char>(text[n])] != 0xFF) ++n;
    std::string out;
    out.reserve(n / 4 * 3 + 2);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        std::uint32_t v = (kDecode.v[static_cast<unsigned char>(text[i])] << 18) |
                          (kDecode.v[static_cast<unsigned char>(text[i + 1])] << 12) |
                          (kDecode.v[static_cast<unsigned char>(text[i + 2])] << 6) |
                          kDecode.v[static_cast<unsigned char>(text[i + 3])];
        out.push_back(static_cast<char>(v >> 16));
        out.push_back(static_cast<char>(v >> 8));
        out.push_back(static_cast<char>(v));
    }
    std::size_t rest = n - i;
    if (rest >= 2) {
        std::uint32_t v = (kDecode.v[static_cast<unsigned char>(text[i])] << 18) |
                          (kDecode.v[static_cast<unsigned char>(text[i + 1])] << 12);
        if (rest == 3) v |= kDecode.v[static_cast<unsigned char>(text[i + 2])] << 6;
        out.push_back(static_cast<char>(v >> 16));
        if (rest == 3) out.push_back(static_cast<char>(v >> 8));
    }
    return out;
}
