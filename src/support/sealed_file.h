// Sealed files, from the outside in: Base64 text of Blowfish-ECB ciphertext (complete 8-byte
// blocks only, halves little-endian) of a 4-byte little-endian Crc32 of the payload followed
// by the payload. Opening checks that CRC; sealing is its inverse, for the sealing tool.
#pragma once

#include <string>

enum class SealStatus {
    Ok,
    NoKey,        // the key text is empty
    NotBase64,    // the content is not one Base64 text
    TooShort,     // fewer than the 4 bytes of the CRC
    CrcMismatch,  // wrong key text or damaged content
};

// A short English reason for a status ("CRC mismatch (wrong key or damaged file)", ...).
const char* SealStatusText(SealStatus status);

// The sealed text of `payload` under `keyText` (which must not be empty).
std::string SealPayload(const std::string& payload, const std::string& keyText);

// Opens a sealed text read with the lenient Base64 reader; `payload` is replaced only on Ok.
// NotBase64 is never answered here: the reader stops at the first character outside the
// alphabet, as every caller of the file reader expects.
SealStatus OpenSealed(const std::string& content, const std::string& keyText, std::string& payload);

// True when `content` is Base64 throughout: alphabet characters, at most two '=' to close,
// optionally followed by one line break.
bool IsWholeBase64(const std::string& content);
