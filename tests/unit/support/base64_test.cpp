// Base64 with the decoding rules of the program, both kernels, OpenSSL as the oracle.
#include "support/base64.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <random>
#include <string>

#include "support/base64_impl.h"

namespace {
std::string Enc(const std::string& s) {
    return Base64Encode(reinterpret_cast<const unsigned char*>(s.data()),
                        static_cast<std::uint32_t>(s.size()));
}

std::string OpenSslEncode(const std::string& s) {
    std::string out(4 * ((s.size() + 2) / 3) + 1, '\0');
    int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                            reinterpret_cast<const unsigned char*>(s.data()),
                            static_cast<int>(s.size()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string Random(std::mt19937& rng, std::size_t n) {
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(rng());
    return s;
}
}  // namespace

TEST(Base64, DecodingRules) {
    struct Case {
        const char* text;
        std::string bytes;
    };
    const Case cases[] = {
        {"YQ==", "a"},
        {"YQ", "a"},
        {"YQ==YQ==", "a"},
        {"YWJj", "abc"},
        {"YW Jj", "a"},
        {"Y", ""},
        {"", ""},
        {" YWJj", ""},
        {"YWJjZA", "abcd"},
        {"YWJjZGU", "abcde"},
        {"YWJj\nZGVm", "abc"},
        {"YWJj-ZGVm", "abc"},
        {"AAAA", std::string(3, '\0')},
        {"+/+/", "\xfb\xff\xbf"},
    };
    for (const Case& c : cases) EXPECT_EQ(Base64Decode(c.text), c.bytes) << c.text;
}

TEST(Base64, DecodeTableCoversEveryByte) {
    // Exactly the 64 alphabet characters carry a value; every other byte stops the reading.
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int b = 0; b < 256; ++b) {
        std::string text = "QUJD" + std::string(1, static_cast<char>(b)) + "A==";
        std::size_t value = alphabet.find(static_cast<char>(b));
        std::string want = "ABC";
        if (b != 0 && value != std::string::npos) want += static_cast<char>(value << 2);
        EXPECT_EQ(Base64Decode(text), want) << b;
    }
}

TEST(Base64, EncodeMatchesOpenSslAndRoundTrips) {
    std::mt19937 rng(9);
    std::vector<std::size_t> sizes;
    for (std::size_t n = 0; n <= 100; ++n) sizes.push_back(n);
    for (std::size_t n : {1023u, 1024u, 1025u, 65536u, 100001u}) sizes.push_back(n);
    for (std::size_t n : sizes) {
        std::string bytes = Random(rng, n);
        std::string text = Enc(bytes);
        ASSERT_EQ(text, OpenSslEncode(bytes)) << n;
        ASSERT_EQ(Base64Decode(text), bytes) << n;
    }
}

TEST(Base64, VectorKernelsMatchScalarKernels) {
    if (!b64impl::SimdAvailable()) GTEST_SKIP() << "no SSSE3 on this processor";
    std::mt19937 rng(13);
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int round = 0; round < 2000; ++round) {
        std::size_t n = rng() % 200;
        std::string bytes = Random(rng, n);
        std::string a(n / 3 * 4 + 16, '\0'), b = a;
        ASSERT_EQ(b64impl::EncodeGroupsSimd(reinterpret_cast<const unsigned char*>(bytes.data()), n,
                                            a.data()),
                  b64impl::EncodeGroupsScalar(reinterpret_cast<const unsigned char*>(bytes.data()),
                                              n, b.data()));
        ASSERT_EQ(a, b);
        // A Base64 text with a stray character at a random place (or none).
        std::string text(n, 'A');
        for (auto& c : text) c = alphabet[rng() % 64];
        if (n > 0 && rng() % 2) text[rng() % n] = "=\n -_\x80\x00"[rng() % 7];
        std::string x(n / 4 * 3 + 16, '\0'), y = x;
        std::size_t used =
            b64impl::DecodeGroupsSimd(text.data(), n, reinterpret_cast<unsigned char*>(x.data()));
        ASSERT_EQ(used, b64impl::DecodeGroupsScalar(text.data(), n,
                                                    reinterpret_cast<unsigned char*>(y.data())));
        ASSERT_EQ(x.substr(0, used / 4 * 3), y.substr(0, used / 4 * 3));
    }
}
