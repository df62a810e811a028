// CRC-32 by carry-less multiplication: four 128-bit lanes are folded forward over 64 bytes
// per step, then into one lane; the last 16 bytes of state and the tail finish by table.
#include "support/crc_impl.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace {
// x^(k) mod P for the reflected polynomial, bit-reflected and shifted (33-bit values):
// folding distances of 512 bits (four lanes) and of 128 bits (one lane).
constexpr long long kFold4Lo = 0x154442bd4, kFold4Hi = 0x1c6e41596;
constexpr long long kFold1Lo = 0x1751997d0, kFold1Hi = 0x0ccaa009e;
constexpr std::size_t kMinFold = 64;

__attribute__((target("pclmul,sse2"))) inline __m128i Fold(__m128i x, __m128i data, __m128i k) {
    __m128i lo = _mm_clmulepi64_si128(x, k, 0x00);
    __m128i hi = _mm_clmulepi64_si128(x, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(lo, hi), data);
}

__attribute__((target("sse2"))) inline __m128i Load(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
}  // namespace

bool crcimpl::Crc32FoldAvailable() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
}

__attribute__((target("pclmul,sse2"))) std::uint32_t crcimpl::Crc32Fold(std::uint32_t crc,
                                                                        const unsigned char* p,
                                                                        std::size_t n) {
    if (n < kMinFold) return Crc32Slice8(crc, p, n);
    const __m128i k4 = _mm_set_epi64x(kFold4Hi, kFold4Lo);
    const __m128i k1 = _mm_set_epi64x(kFold1Hi, kFold1Lo);
    __m128i x0 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x1 = Load(p + 16), x2 = Load(p + 32), x3 = Load(p + 48);
    p += 64;
    n -= 64;
    for (; n >= 64; p += 64, n -= 64) {
        x0 = Fold(x0, Load(p), k4);
        x1 = Fold(x1, Load(p + 16), k4);
        x2 = Fold(x2, Load(p + 32), k4);
        x3 = Fold(x3, Load(p + 48), k4);
    }
    x0 = Fold(x0, x1, k1);
    x0 = Fold(x0, x2, k1);
    x0 = Fold(x0, x3, k1);
    for (; n >= 16; p += 16, n -= 16) x0 = Fold(x0, Load(p), k1);
    alignas(16) unsigned char state[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(state), x0);
    return Crc32Slice8(Crc32Slice8(0, state, sizeof state), p, n);
}

#else

bool crcimpl::Crc32FoldAvailable() {
    return false;
}

std::uint32_t crcimpl::Crc32Fold(std::uint32_t crc, const unsigned char* p, std::size_t n) {
    return Crc32Slice8(crc, p, n);
}

#endif
