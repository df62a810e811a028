#include "support/base64.h"

#include <cstring>

#include "support/base64_impl.h"

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint32_t kBad = 0x80000000u;

// Per position in a group: the sextet of each character already shifted into place, kBad
// for characters outside the alphabet; OR-ing four entries gives the group's 24 bits.
struct DecodeTables {
    std::uint32_t t[4][256];
    constexpr DecodeTables() : t() {
        for (auto& row : t)
            for (auto& x : row) x = kBad;
        for (std::uint32_t i = 0; i < 64; ++i) {
            auto c = static_cast<unsigned char>(kAlphabet[i]);
            for (int k = 0; k < 4; ++k) t[k][c] = i << (6 * (3 - k));
        }
    }
};
constexpr DecodeTables kDecode;

// Two characters per 12-bit value, for encoding six bits twice per lookup.
struct PairTable {
    char t[4096][2];
    constexpr PairTable() : t() {
        for (int i = 0; i < 4096; ++i) {
            t[i][0] = kAlphabet[i >> 6];
            t[i][1] = kAlphabet[i & 63];
        }
    }
};
constexpr PairTable kPairs;

using EncodeKernel = std::size_t (*)(const unsigned char*, std::size_t, char*);
using DecodeKernel = std::size_t (*)(const char*, std::size_t, unsigned char*);

bool UseSimd() {
    static const bool simd = b64impl::SimdAvailable();
    return simd;
}
}  // namespace

std::size_t b64impl::EncodeGroupsScalar(const unsigned char* in, std::size_t length, char* out) {
    std::size_t i = 0;
    for (; i + 3 <= length; i += 3, out += 4) {
        std::uint32_t v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
        std::memcpy(out, kPairs.t[v >> 12], 2);
        std::memcpy(out + 2, kPairs.t[v & 0xFFF], 2);
    }
    return i;
}

std::size_t b64impl::DecodeGroupsScalar(const char* in, std::size_t length, unsigned char* out) {
    const auto* s = reinterpret_cast<const unsigned char*>(in);
    std::size_t i = 0;
    for (; i + 4 <= length; i += 4, out += 3) {
        std::uint32_t v = kDecode.t[0][s[i]] | kDecode.t[1][s[i + 1]] | kDecode.t[2][s[i + 2]] |
                          kDecode.t[3][s[i + 3]];
        if (v & kBad) break;
        out[0] = static_cast<unsigned char>(v >> 16);
        out[1] = static_cast<unsigned char>(v >> 8);
        out[2] = static_cast<unsigned char>(v);
    }
    return i;
}

std::string Base64Encode(const unsigned char* data, std::uint32_t length) {
    std::string out((static_cast<std::size_t>(length) + 2) / 3 * 4, '\0');
    char* o = out.data();
    EncodeKernel kernel = UseSimd() ? b64impl::EncodeGroupsSimd : b64impl::EncodeGroupsScalar;
    std::size_t i = kernel(data, length, o);
    o += i / 3 * 4;
    std::size_t rest = length - i;
    if (rest > 0) {
        std::uint32_t v = data[i] << 16 | (rest == 2 ? data[i + 1] << 8 : 0);
        o[0] = kAlphabet[v >> 18];
        o[1] = kAlphabet[(v >> 12) & 63];
        o[2] = rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        o[3] = '=';
    }
    return out;
}

std::string Base64Decode(const std::string& text) {
    std::string out(text.size() / 4 * 3 + 4, '\0');
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    DecodeKernel kernel = UseSimd() ? b64impl::DecodeGroupsSimd : b64impl::DecodeGroupsScalar;
    std::size_t i = kernel(text.data(), text.size(), o);
    std::size_t written = i / 4 * 3;
    // The last, partial group: up to three characters before the end or the first stop.
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    std::uint32_t v = 0;
    std::size_t k = 0;
    for (; k < 3 && i + k < text.size(); ++k) {
        std::uint32_t x = kDecode.t[k][s[i + k]];
        if (x & kBad) break;
        v |= x;
    }
    if (k >= 2) o[written++] = static_cast<unsigned char>(v >> 16);
    if (k == 3) o[written++] = static_cast<unsigned char>(v >> 8);
    out.resize(written);
    return out;
}
