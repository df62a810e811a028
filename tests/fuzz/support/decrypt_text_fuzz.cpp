// DecryptText on arbitrary sealed texts: never a zero byte out, never more bytes than the
// whole blocks hold; and any text without zero bytes seals and opens back whole.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/cipher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    Cipher* cipher = Cipher::GetInstance();
    std::string plain = cipher->DecryptText(text, "fuzz key");
    if (plain.find('\0') != std::string::npos || plain.size() > (size + 3) / 4 * 3) std::abort();

    std::string clean = text;
    clean.erase(std::remove(clean.begin(), clean.end(), '\0'), clean.end());
    if (cipher->DecryptText(cipher->EncryptText(clean, text.c_str()), text.c_str()) != clean)
        std::abort();
    return 0;
}
