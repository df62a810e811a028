// SSSE3 Base64 kernels: 12 bytes to 16 characters and back per step. Encoding spreads each
// 3-byte group over four bytes and maps the sextets to characters with byte shuffles;
// decoding checks 16 characters against the alphabet's ranges at once and stops before
// the first block that holds a character outside it, leaving that block to the scalar code.
#include "support/base64_impl.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#define B64_TARGET __attribute__((target("ssse3")))

namespace {
B64_TARGET inline __m128i Sextets(__m128i in) {
    // Bytes b0 b1 b2 of each group become the 32-bit lane [b1 b0 b2 b1].
    in = _mm_shuffle_epi8(in, _mm_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10));
    __m128i t0 = _mm_and_si128(in, _mm_set1_epi32(0x0fc0fc00));
    __m128i t1 = _mm_mulhi_epu16(t0, _mm_set1_epi32(0x04000040));
    __m128i t2 = _mm_and_si128(in, _mm_set1_epi32(0x003f03f0));
    __m128i t3 = _mm_mullo_epi16(t2, _mm_set1_epi32(0x01000010));
    return _mm_or_si128(t1, t3);
}

B64_TARGET inline __m128i ToAscii(__m128i sextets) {
    // 0..25 -> 'A'.., 26..51 -> 'a'.., 52..61 -> '0'.., 62 -> '+', 63 -> '/'.
    __m128i index = _mm_subs_epu8(sextets, _mm_set1_epi8(51));
    __m128i upper = _mm_cmpgt_epi8(_mm_set1_epi8(26), sextets);
    index = _mm_or_si128(index, _mm_and_si128(upper, _mm_set1_epi8(13)));
    const __m128i offsets =
        _mm_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                      '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
    return _mm_add_epi8(_mm_shuffle_epi8(offsets, index), sextets);
}

B64_TARGET inline __m128i InRange(__m128i c, char lo, char hi) {
    return _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8(static_cast<char>(lo - 1))),
                         _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(hi + 1)), c));
}

// Sextet values of 16 characters; false when any is outside the alphabet.
B64_TARGET inline bool FromAscii(__m128i c, __m128i& values) {
    __m128i upper = InRange(c, 'A', 'Z'), lower = InRange(c, 'a', 'z'),
            digit = InRange(c, '0', '9');
    __m128i plus = _mm_cmpeq_epi8(c, _mm_set1_epi8('+')),
            slash = _mm_cmpeq_epi8(c, _mm_set1_epi8('/'));
    __m128i valid =
        _mm_or_si128(_mm_or_si128(upper, lower), _mm_or_si128(_mm_or_si128(digit, plus), slash));
    if (_mm_movemask_epi8(valid) != 0xFFFF) return false;
    __m128i shift = _mm_or_si128(_mm_and_si128(upper, _mm_set1_epi8(-65)),
                                 _mm_and_si128(lower, _mm_set1_epi8(-71)));
    shift = _mm_or_si128(shift, _mm_and_si128(digit, _mm_set1_epi8(4)));
    shift = _mm_or_si128(shift, _mm_or_si128(_mm_and_si128(plus, _mm_set1_epi8(19)),
                                             _mm_and_si128(slash, _mm_set1_epi8(16))));
    values = _mm_add_epi8(c, shift);
    return true;
}

// Packs 16 sextets into 12 bytes at the front of the result.
B64_TARGET inline __m128i Pack(__m128i values) {
    __m128i pairs = _mm_maddubs_epi16(values, _mm_set1_epi32(0x01400140));
    __m128i groups = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00011000));
    return _mm_shuffle_epi8(groups,
                            _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1));
}
}  // namespace

bool b64impl::SimdAvailable() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
}

B64_TARGET std::size_t b64impl::EncodeGroupsSimd(const unsigned char* in, std::size_t length,
                                                 char* out) {
    std::size_t i = 0;
    // Each step reads 16 bytes and uses 12 of them.
    for (; i + 16 <= length; i += 12, out += 16) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), ToAscii(Sextets(block)));
    }
    return i + EncodeGroupsScalar(in + i, length - i, out);
}

B64_TARGET std::size_t b64impl::DecodeGroupsSimd(const char* in, std::size_t length,
                                                 unsigned char* out) {
    std::size_t i = 0;
    __m128i values;
    // Each step writes 16 bytes of which 12 count; the caller's 4 bytes of room take the rest.
    for (; i + 16 <= length; i += 16, out += 12) {
        if (!FromAscii(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)), values)) break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), Pack(values));
    }
    return i + DecodeGroupsScalar(in + i, length - i, out);
}

#else

bool b64impl::SimdAvailable() {
    return false;
}

std::size_t b64impl::EncodeGroupsSimd(const unsigned char* in, std::size_t length, char* out) {
    return EncodeGroupsScalar(in, length, out);
}

std::size_t b64impl::DecodeGroupsSimd(const char* in, std::size_t length, unsigned char* out) {
    return DecodeGroupsScalar(in, length, out);
}

#endif
