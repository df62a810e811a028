// CRC-32 by carry-less multiplication on 512-bit registers (VPCLMULQDQ): four registers of
// four 128-bit lanes each fold 256 bytes per step; the lanes are then folded into one and
// the 128-bit kernel finishes.
#include "support/crc_impl.h"

#if defined(__x86_64__)
#include <immintrin.h>

#define FOLD512_TARGET __attribute__((target("avx512f,avx512bw,vpclmulqdq,pclmul")))

namespace {
// Per folding distance in bits: x^(D+32) and x^(D-32) mod P, bit-reflected and shifted.
constexpr long long kD2048Lo = 0x11542778a, kD2048Hi = 0x1322d1430;
constexpr long long kD512Lo = 0x154442bd4, kD512Hi = 0x1c6e41596;
constexpr long long kD384Lo = 0x3db1ecdc, kD384Hi = 0x174359406;
constexpr long long kD256Lo = 0xf1da05aa, kD256Hi = 0x15a546366;
constexpr long long kD128Lo = 0x1751997d0, kD128Hi = 0x0ccaa009e;

FOLD512_TARGET inline __m512i Fold(__m512i x, __m512i data, __m512i k) {
    __m512i lo = _mm512_clmulepi64_epi128(x, k, 0x00);
    __m512i hi = _mm512_clmulepi64_epi128(x, k, 0x11);
    return _mm512_ternarylogic_epi64(lo, hi, data, 0x96);  // lo ^ hi ^ data
}

FOLD512_TARGET inline __m512i Load(const unsigned char* p) {
    return _mm512_loadu_si512(p);
}

FOLD512_TARGET inline __m512i Constant(long long lo, long long hi) {
    return _mm512_set_epi64(hi, lo, hi, lo, hi, lo, hi, lo);
}

// The four lanes of x folded onto the last one: 384, 256 and 128 bits forward.
FOLD512_TARGET inline __m128i Lanes(__m512i x) {
    const __m512i k = _mm512_set_epi64(0, 0, kD128Hi, kD128Lo, kD256Hi, kD256Lo, kD384Hi, kD384Lo);
    alignas(64) __m128i lane[4], last[4];
    _mm512_store_si512(lane, _mm512_xor_si512(_mm512_clmulepi64_epi128(x, k, 0x00),
                                              _mm512_clmulepi64_epi128(x, k, 0x11)));
    _mm512_store_si512(last, x);
    return _mm_xor_si128(_mm_xor_si128(lane[0], lane[1]), _mm_xor_si128(lane[2], last[3]));
}
}  // namespace

bool crcimpl::Crc32Fold512Available() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("vpclmulqdq") && __builtin_cpu_supports("pclmul");
}

FOLD512_TARGET std::uint32_t crcimpl::Crc32Fold512(std::uint32_t crc, const unsigned char* p,
                                                   std::size_t n) {
    if (n < 256) return Crc32Fold(crc, p, n);
    const __m512i k2048 = Constant(kD2048Lo, kD2048Hi), k512 = Constant(kD512Lo, kD512Hi);
    __m512i x0 =
        _mm512_xor_si512(Load(p), _mm512_castsi128_si512(_mm_cvtsi32_si128(static_cast<int>(crc))));
    __m512i x1 = Load(p + 64), x2 = Load(p + 128), x3 = Load(p + 192);
    p += 256;
    n -= 256;
    for (; n >= 256; p += 256, n -= 256) {
        x0 = Fold(x0, Load(p), k2048);
        x1 = Fold(x1, Load(p + 64), k2048);
        x2 = Fold(x2, Load(p + 128), k2048);
        x3 = Fold(x3, Load(p + 192), k2048);
    }
    x0 = Fold(x0, x1, k512);
    x0 = Fold(x0, x2, k512);
    x0 = Fold(x0, x3, k512);
    for (; n >= 64; p += 64, n -= 64) x0 = Fold(x0, Load(p), k512);
    alignas(16) unsigned char state[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(state), Lanes(x0));
    // The folded state stands for all bytes so far with a zero register; the rest follows.
    std::uint32_t c = Crc32Slice8(0, state, sizeof state);
    return Crc32Fold(c, p, n);
}

#else

bool crcimpl::Crc32Fold512Available() {
    return false;
}

std::uint32_t crcimpl::Crc32Fold512(std::uint32_t crc, const unsigned char* p, std::size_t n) {
    return Crc32Fold(crc, p, n);
}

#endif
