#include "platform/registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>

namespace platform {
namespace {

constexpr char kRootName[] = "passthrusupport.04.04";
constexpr int kMaxDepth = 64;

std::mutex g_writeMutex;  // serialises read-modify-write cycles of this process

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return Lower(a) == Lower(b);
}

// One top-level member of an interface file: its key and where its value text stands.
struct Member {
    std::string key;
    std::size_t begin, end;
};

// Validating scanner for one JSON text; records the members of the top-level object.
class Scanner {
public:
    explicit Scanner(const std::string& t) : s(t) {}

    bool Object(std::vector<Member>& members) {
        Ws();
        if (!Eat('{')) return false;
        Ws();
        if (Eat('}')) return Rest();
        do {
            Ws();
            std::string key;
            if (!String(&key)) return false;
            Ws();
            if (!Eat(':')) return false;
            Ws();
            std::size_t b = i;
            if (!Value(1)) return false;
            members.push_back({key, b, i});
            Ws();
        } while (Eat(','));
        return Eat('}') && Rest();
    }

    // A string at the start; its unescaped text goes to `out` when given (\u escapes become
    // UTF-8).
    bool String(std::string* out) {
        if (!Eat('"')) return false;
        while (i < s.size()) {
            unsigned char c = static_cast<unsigned char>(s[i++]);
            if (c == '"') return true;
            if (c < 0x20) return false;
            if (c != '\\') {
                if (out) out->push_back(static_cast<char>(c));
                continue;
            }
            if (i >= s.size()) return false;
            char e = s[i++];
            const char* from = "\"\\/bfnrt";
            const char* to = "\"\\/\b\f\n\r\t";
            if (const char* p = std::char_traits<char>::find(from, 8, e)) {
                if (out) out->push_back(to[p - from]);
            } else if (e != 'u' || !Unicode(out)) {
                return false;
            }
        }
        return false;
    }

private:
    bool Rest() {
        Ws();
        return i == s.size();
    }
    void Ws() {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
    }
    bool Eat(char c) {
        if (i < s.size() && s[i] == c) return ++i, true;
        return false;
    }
    bool Value(int depth) {
        if (i >= s.size() || depth > kMaxDepth) return false;
        char c = s[i];
        if (c == '"') return String(nullptr);
        if (c == '{' || c == '[') return Container(depth);
        if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) return Number();
        for (const char* w : {"true", "false", "null"}) {
            std::size_t n = std::char_traits<char>::length(w);
            if (s.compare(i, n, w) == 0) return i += n, true;
        }
        return false;
    }
    bool Container(int depth) {
        char close = s[i] == '{' ? '}' : ']';
        bool object = close == '}';
        ++i;
        Ws();
        if (Eat(close)) return true;
        do {
            Ws();
            if (object) {
                if (!String(nullptr)) return false;
                Ws();
                if (!Eat(':')) return false;
                Ws();
            }
            if (!Value(depth + 1)) return false;
            Ws();
        } while (Eat(','));
        return Eat(close);
    }
    bool Number() {
        std::size_t b = i;
        Eat('-');
        if (Eat('0')) {
        } else if (!Digits()) {
            return false;
        }
        if (Eat('.') && !Digits()) return false;
        if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
            ++i;
            if (!Eat('+')) Eat('-');
            if (!Digits()) return false;
        }
        return i > b;
    }
    bool Digits() {
        std::size_t b = i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
        return i > b;
    }
    bool Unicode(std::string* out) {
        if (i + 4 > s.size()) return false;
        unsigned v = 0;
        for (int k = 0; k < 4; ++k) {
            char h = s[i++];
            if (!std::isxdigit(static_cast<unsigned char>(h))) return false;
            v = v * 16 +
                (std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : (h | 0x20) - 'a' + 10);
        }
        if (!out) return true;
        if (v < 0x80) {
            out->push_back(static_cast<char>(v));
        } else if (v < 0x800) {
            out->push_back(static_cast<char>(0xC0 | (v >> 6)));
            out->push_back(static_cast<char>(0x80 | (v & 0x3F)));
        } else {
            out->push_back(static_cast<char>(0xE0 | (v >> 12)));
            out->push_back(static_cast<char>(0x80 | ((v >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (v & 0x3F)));
        }
        return true;
    }

    const std::string& s;
    std::size_t i = 0;
};

std::string Quote(const std::string& v) {
    std::string out = "\"";
    for (unsigned char c : v) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string MemberName(const std::string& valueName) {
    static const std::pair<const char*, const char*> kMap[] = {{"name", "NAME"},
                                                               {"vendor", "VENDOR"},
                                                               {"functionlibrary", "FUNCTION_LIB"},
                                                               {"configapplication", "CONFIG_APP"}};
    for (const auto& [from, to] : kMap)
        if (Lower(valueName) == from) return to;
    return valueName;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    if (const passwd* pw = getpwuid(getuid())) return pw->pw_dir;
    return "";
}

bool ReadWhole(const std::string& file, std::string& text) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    text = ss.str();
    return true;
}

// The members of a valid interface file (one with a "NAME" string), else nothing.
std::optional<std::vector<Member>> InterfaceMembers(const std::string& text) {
    std::vector<Member> members;
    if (!Scanner(text).Object(members)) return std::nullopt;
    for (const Member& m : members)
        if (m.key == "NAME" && text[m.begin] == '"') return members;
    return std::nullopt;
}

const Member* FindMember(const std::vector<Member>& members, const std::string& name) {
    for (const Member& m : members)
        if (EqualNoCase(m.key, name)) return &m;
    return nullptr;
}

// Interface files of the store folder: (key name, path) in registry order.
std::vector<std::pair<std::string, std::string>> InterfaceFiles() {
    std::vector<std::pair<std::string, std::string>> files;
    std::string folder = PassThruStoreFolder();
    DIR* d = opendir(folder.c_str());
    if (!d) return files;
    while (const dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n.size() <= 5 || Lower(n.substr(n.size() - 5)) != ".json") continue;
        std::string path = folder + "/" + n;
        struct stat st;
        if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        files.emplace_back(n.substr(0, n.size() - 5), path);
    }
    closedir(d);
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        std::string la = Lower(a.first), lb = Lower(b.first);
        return la != lb ? la < lb : a.first < b.first;
    });
    return files;
}

// Splits "Software\[WOW6432Node\]PassThruSupport.04.04[\name]"; false for any other path.
bool ParsePath(const std::string& path, std::string& name) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : path + "\\") {
        if (c != '\\' && c != '/') {
            cur += c;
        } else if (!cur.empty()) {
            parts.push_back(cur);
            cur.clear();
        }
    }
    std::size_t k = 0;
    if (k < parts.size() && Lower(parts[k]) == "software")
        ++k;
    else
        return false;
    if (k < parts.size() && Lower(parts[k]) == "wow6432node") ++k;
    if (k < parts.size() && Lower(parts[k]) == kRootName)
        ++k;
    else
        return false;
    if (parts.size() - k > 1) return false;
    name = k < parts.size() ? parts[k] : "";
    return true;
}

bool ReplaceFile(const std::string& file, const std::string& text) {
    std::string tmp = file + ".tmp" + std::to_string(getpid());
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
              ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(tmp.c_str(), file.c_str()) == 0) return true;
    std::remove(tmp.c_str());
    return false;
}

}  // namespace

std::string PassThruStoreFolder() {
    const char* dir = std::getenv("PASSTHRU_DIR");
    if (dir && *dir) return dir;
    return HomeFolder() + "/.passthru";
}

std::unique_ptr<RegistryKey> RegistryKey::Open(const std::string& path, Access access) {
    std::string name;
    if (!ParsePath(path, name)) return nullptr;
    if (name.empty()) {
        struct stat st;
        if (access == Access::Write || stat(PassThruStoreFolder().c_str(), &st) != 0 ||
            !S_ISDIR(st.st_mode))
            return nullptr;
        return std::unique_ptr<RegistryKey>(new RegistryKey("", "", access));
    }
    for (const auto& [key, file] : InterfaceFiles()) {
        std::string text;
        if (!EqualNoCase(key, name) || !ReadWhole(file, text) || !InterfaceMembers(text)) continue;
        std::unique_ptr<RegistryKey> k(new RegistryKey(file, key, access));
        k->m_text = std::move(text);
        return k;
    }
    return nullptr;
}

std::vector<std::string> RegistryKey::SubKeyNames() const {
    std::vector<std::string> names;
    if (!m_file.empty()) return names;
    for (const auto& [key, file] : InterfaceFiles()) {
        std::string text;
        if (ReadWhole(file, text) && InterfaceMembers(text)) names.push_back(key);
    }
    return names;
}

bool RegistryKey::QueryString(const std::string& valueName, std::string& out) const {
    auto members = InterfaceMembers(m_text);
    if (m_file.empty() || !members) return false;
    std::string member = MemberName(valueName);
    const Member* m = FindMember(*members, member);
    if (!m) return false;
    std::string raw = m_text.substr(m->begin, m->end - m->begin);
    if (raw[0] == '"') {
        std::string text;
        Scanner(raw).String(&text);
        raw = std::move(text);
    }
    if (member == "FUNCTION_LIB" && !raw.empty() && raw[0] == '~' &&
        (raw.size() == 1 || raw[1] == '/'))
        raw = HomeFolder() + raw.substr(1);
    out = raw;
    return true;
}

bool RegistryKey::QueryDword(const std::string& valueName, std::uint32_t& out) const {
    auto members = InterfaceMembers(m_text);
    if (m_file.empty() || !members) return false;
    const Member* m = FindMember(*members, MemberName(valueName));
    if (!m) return false;
    std::string raw = m_text.substr(m->begin, m->end - m->begin);
    if (raw.empty() || raw.size() > 10 || !std::all_of(raw.begin(), raw.end(), ::isdigit))
        return false;
    unsigned long long v = std::stoull(raw);
    if (v > 0xFFFFFFFFull) return false;
    out = static_cast<std::uint32_t>(v);
    return true;
}

bool RegistryKey::SetString(const std::string& valueName, const std::string& value) {
    return SetRaw(valueName, Quote(value));
}

bool RegistryKey::SetDword(const std::string& valueName, std::uint32_t value) {
    return SetRaw(valueName, std::to_string(value));
}

bool RegistryKey::SetRaw(const std::string& valueName, const std::string& jsonText) {
    if (m_file.empty() || m_access != Access::Write) return false;
    std::lock_guard<std::mutex> lock(g_writeMutex);
    std::string text;  // the file as it is now, so changes made since opening are kept
    if (!ReadWhole(m_file, text)) return false;
    auto members = InterfaceMembers(text);
    if (!members) return false;
    std::string member = MemberName(valueName);
    if (const Member* m = FindMember(*members, member)) {
        text.replace(m->begin, m->end - m->begin, jsonText);
    } else if (!members->empty()) {
        text.insert(members->back().end, ",\n  " + Quote(member) + ": " + jsonText);
    } else {
        text.insert(text.find('{') + 1, "\n  " + Quote(member) + ": " + jsonText + "\n");
    }
    if (!ReplaceFile(m_file, text)) return false;
    m_text = std::move(text);
    return true;
}

}  // namespace platform
