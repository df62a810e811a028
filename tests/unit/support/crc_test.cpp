// Both CRC-32 kernels against zlib, the check values, and Crc64.
#include "support/crc_util.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>

#include "support/crc_impl.h"

namespace {
const unsigned char* U(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

std::uint32_t ZlibNot(const unsigned char* p, std::size_t n) {
    return ~static_cast<std::uint32_t>(crc32(0, p, static_cast<uInt>(n)));
}

CCrcUtil& Crc() {
    return *CCrcUtil::GetInstance();
}
}  // namespace

TEST(Crc, CheckValues) {
    EXPECT_EQ(Crc().Crc32(U("123456789"), 9), 0x340BC6D9u);
    EXPECT_EQ(Crc().Crc32(U("abc"), 3), 0xCADBBE3Du);
    EXPECT_EQ(Crc().Crc32(U(""), 0), 0xFFFFFFFFu);
    EXPECT_EQ(Crc().Crc32(U("abc"), -1), 0xFFFFFFFFu);
    EXPECT_EQ(Crc().Crc64(U("123456789"), 9), 0x733F076B5E63C481ull);
    EXPECT_EQ(Crc().Crc64(U(""), 0), 0u);
}

TEST(Crc, EveryKernelMatchesZlibAtEveryAlignmentAndLength) {
    std::mt19937 rng(5);
    std::string buf(70000, '\0');
    for (auto& c : buf) c = static_cast<char>(rng());
    bool fold = crcimpl::Crc32FoldAvailable(), fold512 = crcimpl::Crc32Fold512Available();
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 600; ++n) lengths.push_back(n);
    for (std::size_t n : {511u, 512u, 513u, 1023u, 4096u, 65536u, 69990u}) lengths.push_back(n);
    for (std::size_t offset = 0; offset < 8; ++offset) {
        for (std::size_t n : lengths) {
            const unsigned char* p = U(buf) + offset;
            std::uint32_t want = ZlibNot(p, n);
            ASSERT_EQ(crcimpl::Crc32Slice8(0xFFFFFFFFu, p, n), want) << offset << " " << n;
            if (fold) {
                ASSERT_EQ(crcimpl::Crc32Fold(0xFFFFFFFFu, p, n), want) << offset << " " << n;
            }
            if (fold512) {
                ASSERT_EQ(crcimpl::Crc32Fold512(0xFFFFFFFFu, p, n), want) << offset << " " << n;
            }
            ASSERT_EQ(Crc().Crc32Update(0xFFFFFFFFu, p, n), want);
        }
    }
    if (!fold || !fold512)
        GTEST_SKIP() << "a folding kernel is missing on this processor; the others were checked";
}

TEST(Crc, UpdateContinuesAcrossPieces) {
    std::string text(100000, 'z');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 131 + (i >> 7));
    std::uint32_t whole = Crc().Crc32(U(text), static_cast<std::int32_t>(text.size()));
    for (std::size_t cut : {0u, 1u, 63u, 64u, 65u, 50000u}) {
        std::uint32_t c = Crc().Crc32Update(0xFFFFFFFFu, U(text), cut);
        EXPECT_EQ(Crc().Crc32Update(c, U(text) + cut, text.size() - cut), whole) << cut;
    }
}

TEST(Crc, CombineJoinsPiecesCheckedApart) {
    std::string text(100000, 'z');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 131 + (i >> 7));
    std::uint32_t whole = Crc().Crc32(U(text), static_cast<std::int32_t>(text.size()));
    for (std::size_t cut : {0u, 1u, 7u, 8u, 4095u, 50000u, 99999u, 100000u}) {
        std::uint32_t first = Crc().Crc32Update(0xFFFFFFFFu, U(text), cut);
        std::uint32_t second = Crc().Crc32Update(0, U(text) + cut, text.size() - cut);
        EXPECT_EQ(Crc().Crc32Combine(first, second, text.size() - cut), whole) << cut;
    }
    // Lengths past 4 GiB: the shift is only a function of the length, so compare it with
    // passing the same number of zero bytes through the register in 1 MiB steps.
    std::string zeros(1 << 20, '\0');
    std::uint32_t c = 0x12345678u;
    for (int i = 0; i < 4097; ++i) c = Crc().Crc32Update(c, U(zeros), zeros.size());
    EXPECT_EQ(Crc().Crc32Combine(0x12345678u, 0, 4097ull << 20), c);
}
