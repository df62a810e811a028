#include "support/sealed_file.h"

#include <cstdint>

#include "support/base64.h"
#include "support/blowfish.h"
#include "support/crc_util.h"

namespace {
constexpr std::size_t kCrcBytes = 4;

CBlowfish KeyedBlowfish(const std::string& keyText) {
    return CBlowfish(reinterpret_cast<const unsigned char*>(keyText.data()), keyText.size());
}

// Crc32 of any length, fed in pieces the signed 32-bit count can take.
std::uint32_t PayloadCrc(const unsigned char* data, std::size_t length) {
    return CCrcUtil::GetInstance()->Crc32Update(0xFFFFFFFFu, data, length);
}

bool IsAlphabet(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}
}  // namespace

const char* SealStatusText(SealStatus status) {
    switch (status) {
        case SealStatus::Ok:
            return "opened";
        case SealStatus::NoKey:
            return "no key text given";
        case SealStatus::NotBase64:
            return "not a Base64 text";
        case SealStatus::TooShort:
            return "too short to hold a CRC";
        case SealStatus::CrcMismatch:
            return "CRC mismatch (wrong key text or damaged file)";
    }
    return "unknown";
}

std::string SealPayload(const std::string& payload, const std::string& keyText) {
    std::string plain(kCrcBytes, '\0');
    std::uint32_t crc =
        PayloadCrc(reinterpret_cast<const unsigned char*>(payload.data()), payload.size());
    for (std::size_t i = 0; i < kCrcBytes; ++i) plain[i] = static_cast<char>(crc >> (8 * i));
    plain += payload;
    auto* bytes = reinterpret_cast<unsigned char*>(plain.data());
    KeyedBlowfish(keyText).EncipherBuffer(bytes, plain.size());
    return Base64Encode(bytes, static_cast<std::uint32_t>(plain.size()));
}

SealStatus OpenSealed(const std::string& content, const std::string& keyText,
                      std::string& payload) {
    if (keyText.empty()) return SealStatus::NoKey;
    std::string plain = Base64Decode(content);
    if (plain.size() < kCrcBytes) return SealStatus::TooShort;
    auto* bytes = reinterpret_cast<unsigned char*>(plain.data());
    KeyedBlowfish(keyText).DecipherBuffer(bytes, plain.size());
    std::uint32_t stored = 0;
    for (std::size_t i = 0; i < kCrcBytes; ++i)
        stored |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    if (stored != PayloadCrc(bytes + kCrcBytes, plain.size() - kCrcBytes))
        return SealStatus::CrcMismatch;
    payload.assign(plain, kCrcBytes, std::string::npos);
    return SealStatus::Ok;
}

bool IsWholeBase64(const std::string& content) {
    std::size_t n = content.size();
    if (n >= 2 && content.compare(n - 2, 2, "\r\n") == 0)
        n -= 2;
    else if (n >= 1 && content[n - 1] == '\n')
        n -= 1;
    std::size_t i = 0;
    while (i < n && IsAlphabet(content[i])) ++i;
    std::size_t pads = n - i;
    if (pads > 2 || content.find_first_not_of('=', i) < n) return false;
    return i > 0 && (i + pads) % 4 == 0;
}
