// Seals short texts under a key text and opens them again: AES-128 in ECB mode with zero fill,
// the key derived from the key text's CRC-32, the result printable as Base64.
#pragma once

#include <string>

class Cipher {
public:
    static Cipher* GetInstance();
    virtual ~Cipher() = default;

    // Sealed (Base64) form of `plain` under `keyText`; empty for an empty plain text.
    std::string EncryptText(std::string plain, const char* keyText) const;

    // Plain text of a sealed text; empty when it is not valid Base64 or holds no whole block.
    std::string DecryptText(std::string sealed, const char* keyText) const;

    // Eight upper-case hex digits of Crc32 over `text`; a fresh UUID's text when it is empty.
    static std::string MakeKeyText(const std::string& text);

protected:
    Cipher() = default;
};
