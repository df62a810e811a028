// The text cipher against FIPS-197 and against OpenSSL's AES as an independent oracle.
#include "support/cipher.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <cstdio>
#include <random>
#include <string>

#include "support/aes_ecb.h"
#include "support/base64.h"

namespace {
std::string Hex(const unsigned char* p, std::size_t n) {
    std::string s;
    char b[3];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(b, sizeof b, "%02x", p[i]);
        s += b;
    }
    return s;
}

// AES-128-ECB of whole blocks by OpenSSL, key given as 16 characters.
std::string OpenSslEcb(const std::string& key16, const std::string& data) {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(ctx, EVP_aes_128_ecb(), nullptr,
                       reinterpret_cast<const unsigned char*>(key16.data()), nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    std::string out(data.size() + 16, '\0');
    int n = 0, m = 0;
    EVP_EncryptUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &n,
                      reinterpret_cast<const unsigned char*>(data.data()),
                      static_cast<int>(data.size()));
    EVP_EncryptFinal_ex(ctx, reinterpret_cast<unsigned char*>(out.data()) + n, &m);
    EVP_CIPHER_CTX_free(ctx);
    out.resize(n + m);
    return out;
}

// The key the cipher should derive: "%08X%08X" of the common CRC-32's complement.
std::string ExpectedKey(const std::string& keyText) {
    std::uint32_t crc = ~static_cast<std::uint32_t>(crc32(
        0, reinterpret_cast<const Bytef*>(keyText.data()), static_cast<uInt>(keyText.size())));
    char b[17];
    std::snprintf(b, sizeof b, "%08X%08X", crc, ~crc);
    return b;
}

std::string RandomText(std::mt19937& rng, std::size_t n) {
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(1 + rng() % 255);
    return s;
}

Cipher& C() {
    return *Cipher::GetInstance();
}
}  // namespace

TEST(AesEcb, Fips197Aes128Vector) {
    unsigned char key[16], plain[16], out[16], back[16];
    for (int i = 0; i < 16; ++i) {
        key[i] = static_cast<unsigned char>(i);
        plain[i] = static_cast<unsigned char>(i * 0x11);
    }
    CAesEcb(key, true).Crypt(plain, out);
    EXPECT_EQ(Hex(out, 16), "69c4e0d86a7b0430d8cdb78070b4c55a");
    CAesEcb(key, false).Crypt(out, back);
    EXPECT_EQ(Hex(back, 16), Hex(plain, 16));
}

TEST(Cipher, SealsLikeOpenSslUnderTheDerivedKey) {
    std::mt19937 rng(7);
    for (const char* keyText : {"", "abc", "340BC6D9", "e4a91f30-7c25-4b9d-8e16-2f5b0d6ac873"}) {
        for (std::size_t n : {1u, 15u, 16u, 17u, 31u, 32u, 100u}) {
            std::string plain = RandomText(rng, n);
            std::string padded = plain;
            padded.resize((n + 15) / 16 * 16, '\0');
            std::string want = OpenSslEcb(ExpectedKey(keyText), padded);
            EXPECT_EQ(Base64Decode(C().EncryptText(plain, keyText)), want) << keyText << " " << n;
        }
    }
}

TEST(Cipher, EmptyKeyTextUsesTheCrcOfNoBytes) {
    std::string plain = "sixteen bytes...";
    EXPECT_EQ(Base64Decode(C().EncryptText(plain, "")), OpenSslEcb("FFFFFFFF00000000", plain));
    EXPECT_EQ(C().EncryptText(plain, nullptr), C().EncryptText(plain, ""));
    // Only the bytes before the first zero byte of the key text count.
    EXPECT_EQ(C().EncryptText(plain, "ab\0cd"), C().EncryptText(plain, "ab"));
}

TEST(Cipher, SealedLengthsAndPadding) {
    struct Case {
        std::size_t plain;
        std::size_t chars;
        const char* tail;
    };
    for (Case c : {Case{16, 24, "=="}, Case{17, 44, "="}, Case{32, 44, "="}, Case{48, 64, ""}}) {
        std::string sealed = C().EncryptText(std::string(c.plain, 'x'), "k");
        EXPECT_EQ(sealed.size(), c.chars) << c.plain;
        std::string tail = sealed.substr(sealed.find_last_not_of('=') + 1);
        EXPECT_EQ(tail, c.tail) << c.plain;
    }
    EXPECT_EQ(C().EncryptText("", "k"), "");
}

TEST(Cipher, RoundTripsAnyTextWithoutZeroBytes) {
    std::mt19937 rng(11);
    // 70000 bytes lie beyond a 16-bit ciphertext count: the text must come back whole.
    for (std::size_t n : {1u, 5u, 16u, 17u, 255u, 4096u, 70000u}) {
        std::string plain = RandomText(rng, n);
        EXPECT_EQ(C().DecryptText(C().EncryptText(plain, "key"), "key"), plain) << n;
    }
}

TEST(Cipher, AnotherKeyTextDoesNotOpenTheText) {
    std::string plain = "secret value with some length to it";
    std::string opened = C().DecryptText(C().EncryptText(plain, "right"), "wrong");
    EXPECT_NE(opened, plain);
    EXPECT_EQ(opened.find('\0'), std::string::npos);
}

TEST(Cipher, EqualBlocksGiveEqualCiphertext) {
    std::string sealed = C().EncryptText(std::string(32, 'q'), "k");
    EXPECT_EQ(sealed, C().EncryptText(std::string(32, 'q'), "k"));
    std::string bytes = Base64Decode(sealed);
    ASSERT_EQ(bytes.size(), 32u);
    EXPECT_EQ(bytes.substr(0, 16), bytes.substr(16));
}

TEST(Cipher, CharactersOutsideTheAlphabetFailTheWholeText) {
    std::string sealed = C().EncryptText("some plain text here", "k");
    for (const char* bad : {" ", "\n", "\r", "-", "_", "*", "\x80"}) {
        std::string broken = sealed;
        broken.insert(8, bad);
        EXPECT_EQ(C().DecryptText(broken, "k"), "") << static_cast<int>(bad[0]);
    }
    EXPECT_EQ(C().DecryptText("", "k"), "");
    EXPECT_EQ(C().DecryptText("QUJD", "k"), "");  // three bytes: no whole block
}

TEST(Cipher, OpensUpToTheLastWholeBlock) {
    std::string plain = "0123456789abcdefFEDCBA9876543210";
    std::string bytes = Base64Decode(C().EncryptText(plain, "k"));
    std::string longer = bytes + "extra";
    std::string shorter = bytes.substr(0, 20);
    auto enc = [](const std::string& b) {
        return Base64Encode(reinterpret_cast<const unsigned char*>(b.data()),
                            static_cast<std::uint32_t>(b.size()));
    };
    EXPECT_EQ(C().DecryptText(enc(longer), "k"), plain);
    EXPECT_EQ(C().DecryptText(enc(shorter), "k"), plain.substr(0, 16));
    // Missing '=' padding is supplied by the reader.
    std::string unpadded = C().EncryptText(plain.substr(0, 16), "k");
    unpadded.erase(unpadded.find('='));
    EXPECT_EQ(C().DecryptText(unpadded, "k"), plain.substr(0, 16));
}

TEST(Cipher, MakeKeyText) {
    EXPECT_EQ(Cipher::MakeKeyText("123456789"), "340BC6D9");
    EXPECT_EQ(Cipher::MakeKeyText("abc"), "CADBBE3D");
    std::string a = Cipher::MakeKeyText(""), b = Cipher::MakeKeyText("");
    EXPECT_EQ(a.size(), 8u);
    EXPECT_EQ(a.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_NE(a, b);  // a fresh UUID each time
}
