#include "platform/ini.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

namespace platform {
namespace {

// Serialises read-modify-write cycles of this process; other processes see whole files only.
std::mutex g_writeMutex;

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool ReadLines(const std::string& file, std::vector<std::string>& lines, bool& crlf) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::string line;
    crlf = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            crlf = true;
        }
        lines.push_back(line);
    }
    return true;
}

// Section name of a "[name]" line, or false when the line is no section header.
bool SectionOf(const std::string& line, std::string& name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    std::size_t close = t.find(']');
    if (close == std::string::npos) return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

// Key and value of a "key=value" line; comment lines and lines without '=' have none.
bool EntryOf(const std::string& line, std::string& key, std::string& value) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';') return false;
    std::size_t eq = t.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    return true;
}

std::string Unquote(const std::string& v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

bool ReplaceFile(const std::string& file, const std::string& content) {
    std::string tmpl = file + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) return false;
    struct stat st {};
    fchmod(fd, stat(file.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
    const char* p = content.data();
    std::size_t left = content.size();
    bool ok = true;
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    ok = (fsync(fd) == 0) && ok;
    ok = (close(fd) == 0) && ok;
    if (ok && std::rename(name.data(), file.c_str()) == 0) return true;
    std::remove(name.data());
    return false;
}

}  // namespace

std::string ReadProfileString(const std::string& file, const std::string& section,
                              const std::string& key, const std::string& def,
                              std::size_t bufferSize) {
    std::vector<std::string> lines;
    bool crlf = false;
    std::string result = def;
    if (ReadLines(file, lines, crlf)) {
        bool inSection = false;
        for (const auto& line : lines) {
            std::string name, k, v;
            if (SectionOf(line, name)) {
                if (inSection) break;  // first matching section only
                inSection = EqualNoCase(name, section);
            } else if (inSection && EntryOf(line, k, v) && EqualNoCase(k, key)) {
                result = Unquote(v);
                break;
            }
        }
    }
    if (bufferSize == 0) return std::string();
    if (result.size() > bufferSize - 1) result.resize(bufferSize - 1);
    return result;
}

bool WriteProfileString(const std::string& file, const std::string& section,
                        const std::string& key, const std::string& value) {
    std::lock_guard<std::mutex> lock(g_writeMutex);
    std::vector<std::string> lines;
    bool crlf = false;
    ReadLines(file, lines, crlf);
    const std::string entry = key + "=" + value;

    // Find the section and, inside it, the key or the last non-blank line.
    std::ptrdiff_t sectionAt = -1, keyAt = -1, lastAt = -1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name, k, v;
        if (SectionOf(lines[i], name)) {
            if (sectionAt >= 0) break;
            if (EqualNoCase(name, section)) sectionAt = lastAt = static_cast<std::ptrdiff_t>(i);
        } else if (sectionAt >= 0) {
            if (EntryOf(lines[i], k, v) && EqualNoCase(k, key)) {
                keyAt = static_cast<std::ptrdiff_t>(i);
                break;
            }
            if (!Trim(lines[i]).empty()) lastAt = static_cast<std::ptrdiff_t>(i);
        }
    }
    if (keyAt >= 0) {
        lines[keyAt] = entry;
    } else if (sectionAt >= 0) {
        lines.insert(lines.begin() + lastAt + 1, entry);
    } else {
        if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    }
    std::ostringstream out;
    for (const auto& l : lines) out << l << (crlf ? "\r\n" : "\n");
    return ReplaceFile(file, out.str());
}

}  // namespace platform
