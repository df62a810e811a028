#include "support/cipher.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/uuid.h"
#include "support/aes_ecb.h"
#include "support/base64.h"
#include "support/crc_util.h"

namespace {
constexpr std::size_t kBlock = CAesEcb::kBlock;

// The AES key: the sixteen characters "%08X%08X" of the key text's CRC and its complement.
void DeriveKey(const char* keyText, unsigned char* key) {
    const char* text = keyText ? keyText : "";
    std::uint32_t crc = CCrcUtil::GetInstance()->Crc32(
        reinterpret_cast<const unsigned char*>(text), static_cast<std::int32_t>(std::strlen(text)));
    char digits[kBlock + 1];
    std::snprintf(digits, sizeof digits, "%08X%08X", crc, ~crc);
    std::memcpy(key, digits, kBlock);
}

// 0..63 for alphabet characters, -1 for everything else.
int SextetOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// The cipher's own Base64 reading: pad with '=' to a multiple of four, let every '=' stand
// for 'A', decode all groups, then drop one byte from the end per '='. Any other character
// outside the alphabet fails the whole text (false).
bool DecodeSealed(std::string text, std::string& bytes) {
    while (text.size() % 4 != 0) text.push_back('=');
    std::size_t pads = 0;
    bytes.clear();
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            char c = text[i + k];
            int v = 0;
            if (c == '=') {
                ++pads;
            } else if ((v = SextetOf(c)) < 0) {
                bytes.clear();
                return false;
            }
            group = (group << 6) | static_cast<std::uint32_t>(v);
        }
        bytes.push_back(static_cast<char>(group >> 16));
        bytes.push_back(static_cast<char>(group >> 8));
        bytes.push_back(static_cast<char>(group));
    }
    bytes.resize(bytes.size() - std::min(pads, bytes.size()));
    return true;
}
}  // namespace

Cipher* Cipher::GetInstance() {
    static Cipher* instance = new Cipher();
    return instance;
}

// Texts of any length are sealed whole: the Base64 step takes the full 32-bit count.
std::string Cipher::EncryptText(std::string plain, const char* keyText) const {
    if (plain.empty()) return std::string();
    std::size_t blocks = (plain.size() + kBlock - 1) / kBlock;
    if (blocks * kBlock > 0xFFFFFFFFu / 4 * 3) return std::string();  // beyond any Base64 count
    plain.resize(blocks * kBlock, '\0');
    std::string sealed(plain.size(), '\0');
    unsigned char key[kBlock];
    DeriveKey(keyText, key);
    CAesEcb aes(key, true);
    auto* in = reinterpret_cast<const unsigned char*>(plain.data());
    auto* out = reinterpret_cast<unsigned char*>(sealed.data());
    for (std::size_t i = 0; i < plain.size(); i += kBlock) aes.Crypt(in + i, out + i);
    return Base64Encode(out, static_cast<std::uint32_t>(sealed.size()));
}

std::string Cipher::DecryptText(std::string sealed, const char* keyText) const {
    std::string bytes;
    if (!DecodeSealed(std::move(sealed), bytes) || bytes.size() < kBlock) return std::string();
    unsigned char key[kBlock];
    DeriveKey(keyText, key);
    CAesEcb aes(key, false);
    std::string plain;
    plain.reserve(bytes.size());
    unsigned char block[kBlock];
    for (std::size_t i = 0; i + kBlock <= bytes.size(); i += kBlock) {
        aes.Crypt(reinterpret_cast<const unsigned char*>(bytes.data() + i), block);
        std::size_t keep = 0;
        while (keep < kBlock && block[keep] != 0) ++keep;
        plain.append(reinterpret_cast<const char*>(block), keep);
    }
    return plain;  // no zero byte can remain: each block was cut at its first one
}

std::string Cipher::MakeKeyText(const std::string& text) {
    const std::string source = text.empty() ? platform::NewUuidText() : text;
    std::uint32_t crc =
        CCrcUtil::GetInstance()->Crc32(reinterpret_cast<const unsigned char*>(source.data()),
                                       static_cast<std::int32_t>(source.size()));
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08X", crc);
    return digits;
}
