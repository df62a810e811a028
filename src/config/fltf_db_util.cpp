#include "config/fltf_db_util.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/ini.h"
#include "platform/paths.h"

namespace {
constexpr std::size_t kIniStringBuffer = 2024;
constexpr std::size_t kIniValueBuffer = 255;
constexpr const char* kDefaultLanguage = "eng";

// Hex digit value, or -1.
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Low byte of the hexadecimal number a token starts with; 0 when it starts with none.
unsigned char TokenByte(const std::string& token) {
    unsigned value = 0;
    for (char c : token) {
        int d = HexDigit(c);
        if (d < 0) break;
        value = (value << 4) | static_cast<unsigned>(d);
    }
    return static_cast<unsigned char>(value & 0xFF);
}
}  // namespace

bool IsIniMarker(const std::string& value) {
    return value == kIniFileNotFound || value == kIniError;
}

std::string CFltfDBUtil::GetModuleDir() const {
    return platform::ModuleDirectory();
}

std::string CFltfDBUtil::ReadIniString(const std::string& file, const std::string& section,
                                       const std::string& key) const {
    if (!platform::PathExists(file)) return kIniFileNotFound;
    return platform::ReadProfileString(file, section, key, kIniError, kIniStringBuffer);
}

void CFltfDBUtil::WriteIniString(const std::string& file, const std::string& section,
                                 const std::string& key, const std::string& value) const {
    platform::WriteProfileString(file, section, key, value);
}

std::string CFltfDBUtil::ReadIniValue(const std::string& file, const std::string& section,
                                      const std::string& key) const {
    return platform::ReadProfileString(file, section, key, kIniError, kIniValueBuffer);
}

bool CFltfDBUtil::CreateDir(const std::string& path) const {
    return platform::MakeDirectory(path);
}

void CFltfDBUtil::SplitText(const std::string& text, const std::string& delimiters,
                            std::map<int, std::string>& out) const {
    out.clear();
    int index = 0;
    std::size_t start = 0;
    for (;;) {
        std::size_t cut = text.find_first_of(delimiters, start);
        if (cut == std::string::npos) {
            out[index] = text.substr(start);
            return;
        }
        out[index++] = text.substr(start, cut - start);
        start = text.find_first_not_of(delimiters, cut);
        if (start == std::string::npos) {
            out[index] = std::string();  // trailing delimiter: empty last token
            return;
        }
    }
}

std::string CFltfDBUtil::DecodeHexText(const std::string& text) const {
    std::map<int, std::string> tokens;
    SplitText(text, "\\", tokens);
    if (tokens.size() < 2) return text;
    std::string out;
    for (const auto& [i, token] : tokens) {
        unsigned char b = TokenByte(token);
        if (b == 0) break;
        out.push_back(static_cast<char>(b));
    }
    return out;
}

std::size_t CFltfDBUtil::DecodeHexTextInto(const std::string& text, char* buffer,
                                           std::size_t size) const {
    if (!buffer || size == 0) return 0;
    std::map<int, std::string> tokens;
    SplitText(text, "\\", tokens);
    if (tokens.size() < 2) {
        std::size_t n = std::min(text.size(), size - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
        return 0;
    }
    std::size_t n = 0;
    for (const auto& [i, token] : tokens) {
        if (n + 1 >= size) break;
        buffer[n++] = static_cast<char>(TokenByte(token));
    }
    buffer[n] = '\0';
    return n;
}

void CFltfDBUtil::EnsureText(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& def) const {
    if (IsIniMarker(ReadIniString(file, section, key))) WriteIniString(file, section, key, def);
}

std::string CFltfDBUtil::TextWithDefault(const std::string& file, const std::string& section,
                                         const std::string& key, const std::string& def) const {
    std::string value = ReadIniString(file, section, key);
    if (IsIniMarker(value)) {
        WriteIniString(file, section, key, def);
        return def;
    }
    return DecodeHexText(value);
}

std::string CFltfDBUtil::AppConfigFile() const {
    return GetModuleDir() + "//AppConfig.ini";
}

std::string CFltfDBUtil::LanguageFile(const std::string& name) const {
    const std::string dir = GetModuleDir();
    std::string lang = ReadIniString(AppConfigFile(), "LANG_TEXT", name);
    if (IsIniMarker(lang)) {
        lang = kDefaultLanguage;
        WriteIniString(AppConfigFile(), "LANG_TEXT", name, lang);
        CreateDir(dir + "//" + name);
        CreateDir(dir + "//" + name + "//" + lang);
    }
    return dir + "//" + name + "//" + lang + "//" + name + ".ini";
}

std::string HomePath(const std::string& name) {
    static std::once_flag once;
    static std::string path;
    std::call_once(once, [&name] {
        const char* base = std::getenv("HOME");
        if (!base) base = std::getenv("HOME_PATH");
        path = std::string(base ? base : ".") + platform::kNativeSep + name;
    });
    return path;
}

bool DirectoryExists(const std::string& path) {
    return platform::IsDirectory(path);
}
