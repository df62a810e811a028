#include "support/crc_util.h"

#include <array>
#include <cstring>

#include "support/crc_impl.h"

namespace {

using Crc32Tables = std::array<std::array<std::uint32_t, 256>, 8>;

// Table 0 is the bytewise reflected table of 0xEDB88320; table k advances table k-1 by one
// zero byte, for slicing-by-8.
constexpr Crc32Tables MakeCrc32Tables() {
    Crc32Tables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][i] = c;
    }
    for (std::size_t k = 1; k < 8; ++k)
        for (std::size_t i = 0; i < 256; ++i)
            t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    return t;
}

constexpr std::array<std::uint64_t, 256> MakeCrc64Table() {
    std::array<std::uint64_t, 256> t{};
    constexpr std::uint64_t kPoly = 0x42F0E1EBA9EA3693ull;
    for (std::uint64_t i = 0; i < 256; ++i) {
        std::uint64_t c = i << 56;
        for (int k = 0; k < 8; ++k) c = (c & (1ull << 63)) ? (c << 1) ^ kPoly : c << 1;
        t[i] = c;
    }
    return t;
}

// Constant data, computed by the compiler.
constexpr Crc32Tables kCrc32 = MakeCrc32Tables();
constexpr auto kCrc64Table = MakeCrc64Table();
static_assert(kCrc32[0][1] == 0x77073096u && kCrc32[0][255] == 0x2D02EF8Du);
static_assert(kCrc64Table[1] == 0x42F0E1EBA9EA3693ull &&
              kCrc64Table[128] == 0xF6FAE5C07D3274CDull &&
              kCrc64Table[255] == 0x9AFCE626CE85B507ull);

std::uint32_t LoadLe32(const unsigned char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap32(v);
#endif
    return v;
}

using Kernel = std::uint32_t (*)(std::uint32_t, const unsigned char*, std::size_t);

// The fastest kernel this processor runs, chosen once.
Kernel ChosenKernel() {
    static const Kernel kernel = crcimpl::Crc32Fold512Available() ? crcimpl::Crc32Fold512
                                 : crcimpl::Crc32FoldAvailable()  ? crcimpl::Crc32Fold
                                                                  : crcimpl::Crc32Slice8;
    return kernel;
}

// Product of two polynomials modulo the CRC polynomial, in the reflected bit order (bit 31
// is x^0).
std::uint32_t MultiplyModP(std::uint32_t a, std::uint32_t b) {
    std::uint32_t product = 0;
    for (std::uint32_t m = 1u << 31; m != 0; m >>= 1) {
        if (a & m) product ^= b;
        b = (b & 1) ? (b >> 1) ^ 0xEDB88320u : b >> 1;
    }
    return product;
}

// x^(8 * bytes) modulo the CRC polynomial: what the register is multiplied by when that many
// bytes pass through it.
std::uint32_t ByteShiftModP(std::uint64_t bytes) {
    std::uint32_t result = 1u << 31;  // x^0
    std::uint32_t power = 1u << 23;   // x^8
    for (; bytes != 0; bytes >>= 1) {
        if (bytes & 1) result = MultiplyModP(result, power);
        power = MultiplyModP(power, power);
    }
    return result;
}

}  // namespace

std::uint32_t crcimpl::Crc32Slice8(std::uint32_t crc, const unsigned char* data,
                                   std::size_t length) {
    for (; length >= 8; data += 8, length -= 8) {
        std::uint32_t one = LoadLe32(data) ^ crc, two = LoadLe32(data + 4);
        crc = kCrc32[7][one & 0xFF] ^ kCrc32[6][(one >> 8) & 0xFF] ^ kCrc32[5][(one >> 16) & 0xFF] ^
              kCrc32[4][one >> 24] ^ kCrc32[3][two & 0xFF] ^ kCrc32[2][(two >> 8) & 0xFF] ^
              kCrc32[1][(two >> 16) & 0xFF] ^ kCrc32[0][two >> 24];
    }
    for (; length > 0; ++data, --length) crc = (crc >> 8) ^ kCrc32[0][(crc ^ *data) & 0xFF];
    return crc;
}

CCrcUtil* CCrcUtil::GetInstance() {
    static CCrcUtil* instance = new CCrcUtil();
    return instance;
}

std::uint32_t CCrcUtil::Crc32Update(std::uint32_t crc, const unsigned char* data,
                                    std::size_t length) const {
    return length == 0 ? crc : ChosenKernel()(crc, data, length);
}

std::uint32_t CCrcUtil::Crc32Combine(std::uint32_t first, std::uint32_t second,
                                     std::uint64_t secondLength) const {
    // The register is linear: passing bytes b from state c gives (c shifted by b) ^ (b from 0).
    return MultiplyModP(first, ByteShiftModP(secondLength)) ^ second;
}

std::uint32_t CCrcUtil::Crc32(const unsigned char* data, std::int32_t length) const {
    if (length <= 0) return 0xFFFFFFFFu;
    return Crc32Update(0xFFFFFFFFu, data, static_cast<std::size_t>(length));
}

std::uint64_t CCrcUtil::Crc64(const unsigned char* data, std::uint32_t count) const {
    std::uint64_t c = 0;
    for (std::uint32_t i = 0; i < count; ++i) c = (c >> 8) ^ kCrc64Table[(c ^ data[i]) & 0xFF];
    return c;
}
