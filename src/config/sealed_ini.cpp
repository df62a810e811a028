#include "config/sealed_ini.h"

#include <algorithm>

#include "config/fltf_db_util.h"
#include "platform/ini.h"
#include "support/cipher.h"

namespace {
// A sealed value is read whole: the short reader's 254 characters would cut a longer sealed
// text, and the cut would open to a shorter plain text without any sign of it.
constexpr std::size_t kSealedValueBuffer = 1u << 20;
}  // namespace

std::string ReadIniSealed(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& keyText, bool sealed) {
    if (!sealed) return CFltfDBUtil().ReadIniValue(file, section, key);
    std::string value =
        platform::ReadProfileString(file, section, key, kIniError, kSealedValueBuffer);
    if (value == kIniError) return kIniError;
    std::string plain = Cipher::GetInstance()->DecryptText(value, keyText.c_str());
    plain.erase(std::remove(plain.begin(), plain.end(), '\0'), plain.end());
    return plain.empty() ? std::string(kIniError) : plain;
}

void WriteIniSealed(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value, const std::string& keyText, bool sealed) {
    const std::string stored =
        sealed ? Cipher::GetInstance()->EncryptText(value, keyText.c_str()) : value;
    CFltfDBUtil().WriteIniString(file, section, key, stored);
}
