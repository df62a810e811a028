#include "support/crc_util.h"

#include <array>

namespace {

constexpr std::array<std::uint32_t, 256> MakeCrc32Table() {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[i] = c;
    }
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
constexpr auto kCrc32Table = MakeCrc32Table();
constexpr auto kCrc64Table = MakeCrc64Table();
static_assert(kCrc32Table[1] == 0x77073096u && kCrc32Table[255] == 0x2D02EF8Du);
static_assert(kCrc64Table[1] == 0x42F0E1EBA9EA3693ull &&
              kCrc64Table[128] == 0xF6FAE5C07D3274CDull &&
              kCrc64Table[255] == 0x9AFCE626CE85B507ull);

}  // namespace

CCrcUtil* CCrcUtil::GetInstance() {
    static CCrcUtil* instance = new CCrcUtil();
    return instance;
}

std::uint32_t CCrcUtil::Crc32Update(std::uint32_t crc, const unsigned char* data,
                                    std::size_t length) const {
    for (std::size_t i = 0; i < length; ++i) crc = (crc >> 8) ^ kCrc32Table[(crc ^ data[i]) & 0xFF];
    return crc;
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
