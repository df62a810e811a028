// Blowfish against the published known-answer vectors and OpenSSL's BF as an oracle.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "support/blowfish.h"

#include <gtest/gtest.h>
#include <openssl/blowfish.h>

#include <random>
#include <string>
#include <vector>

namespace {
std::vector<unsigned char> Bytes(std::uint64_t v) {
    std::vector<unsigned char> b(8);
    for (int i = 0; i < 8; ++i) b[i] = static_cast<unsigned char>(v >> (56 - 8 * i));
    return b;
}
}  // namespace

TEST(Blowfish, PublishedKnownAnswers) {
    struct Case {
        std::uint64_t key, plain, cipher;
    };
    const Case cases[] = {
        {0x0000000000000000ull, 0x0000000000000000ull, 0x4EF997456198DD78ull},
        {0xFFFFFFFFFFFFFFFFull, 0xFFFFFFFFFFFFFFFFull, 0x51866FD5B85ECB8Aull},
        {0x3000000000000000ull, 0x1000000000000001ull, 0x7D856F9A613063F2ull},
        {0x1111111111111111ull, 0x1111111111111111ull, 0x2466DD878B963C9Dull},
        {0x0123456789ABCDEFull, 0x1111111111111111ull, 0x61F9C3802281B096ull},
        {0xFEDCBA9876543210ull, 0x0123456789ABCDEFull, 0x0ACEAB0FC6A0A28Dull},
    };
    for (const Case& c : cases) {
        auto key = Bytes(c.key);
        CBlowfish bf(key.data(), key.size());
        std::uint32_t l = static_cast<std::uint32_t>(c.plain >> 32),
                      r = static_cast<std::uint32_t>(c.plain);
        bf.Encipher(l, r);
        EXPECT_EQ((static_cast<std::uint64_t>(l) << 32) | r, c.cipher) << std::hex << c.key;
        bf.Decipher(l, r);
        EXPECT_EQ((static_cast<std::uint64_t>(l) << 32) | r, c.plain) << std::hex << c.key;
    }
}

TEST(Blowfish, MatchesOpenSslForKeysOfEveryLength) {
    std::mt19937 rng(3);
    for (std::size_t len = 1; len <= 80; ++len) {
        std::vector<unsigned char> key(len);
        for (auto& k : key) k = static_cast<unsigned char>(rng());
        CBlowfish ours(key.data(), key.size());
        BF_KEY theirs;
        BF_set_key(&theirs, static_cast<int>(std::min<std::size_t>(len, 72)), key.data());
        for (int i = 0; i < 8; ++i) {
            BF_LONG block[2] = {static_cast<BF_LONG>(rng()), static_cast<BF_LONG>(rng())};
            std::uint32_t l = block[0], r = block[1];
            ours.Decipher(l, r);
            BF_decrypt(block, &theirs);
            ASSERT_EQ(l, block[0]) << len;
            ASSERT_EQ(r, block[1]) << len;
            ours.Encipher(l, r);
            BF_encrypt(block, &theirs);
            ASSERT_EQ(l, block[0]) << len;
        }
    }
}

TEST(Blowfish, BufferHalvesAreLittleEndianAndTailStaysPlain) {
    const unsigned char key[] = "sealing key";
    CBlowfish bf(key, sizeof key - 1);
    std::string data = "0123456789ABCDEFxyz";  // two blocks and three trailing bytes
    std::string work = data;
    bf.EncipherBuffer(reinterpret_cast<unsigned char*>(work.data()), work.size());
    EXPECT_EQ(work.substr(16), "xyz");
    std::uint32_t l = 0x33323130, r = 0x37363534;  // "01234567" read little-endian
    bf.Encipher(l, r);
    const auto* w = reinterpret_cast<const unsigned char*>(work.data());
    EXPECT_EQ(w[0] | w[1] << 8 | w[2] << 16 | static_cast<std::uint32_t>(w[3]) << 24, l);
    bf.DecipherBuffer(reinterpret_cast<unsigned char*>(work.data()), work.size());
    EXPECT_EQ(work, data);
}
