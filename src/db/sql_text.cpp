#include "db/sql_text.h"

#include <algorithm>
#include <cctype>

namespace db::sqltext {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Advances over a run of digits; true when there was at least one.
bool Digits(const std::string& s, size_t& i) {
    size_t start = i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    return i > start;
}

}  // namespace

bool IsUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80           ? 0
                    : (c >> 5) == 0x6  ? 1
                    : (c >> 4) == 0xE  ? 2
                    : (c >> 3) == 0x1E ? 3
                                       : -1;
        if (extra < 0 || i + extra >= s.size()) return false;
        unsigned long cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            auto n = static_cast<unsigned char>(s[i + k]);
            if ((n & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (n & 0x3F);
        }
        static const unsigned long kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

bool IsGiven(const std::string& text) {
    return !text.empty() && text != "None";
}

std::optional<std::string> Quoted(const std::string& value) {
    if (!IsUtf8(value)) return std::nullopt;
    std::string out;
    out.reserve(value.size() + 2);
    out += '\'';
    for (char c : value) {
        if (c == '\0') return std::nullopt;
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

bool IsNumber(const std::string& s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    bool whole = Digits(s, i);
    bool fraction = false;
    if (i < s.size() && s[i] == '.') {
        ++i;
        fraction = Digits(s, i);
    }
    if (!whole && !fraction) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        if (!Digits(s, i)) return false;
    }
    return i == s.size();
}

bool IsIdentifier(const std::string& name) {
    if (name.empty()) return false;
    auto head = static_cast<unsigned char>(name[0]);
    if (!std::isalpha(head) && head != '_') return false;
    return std::all_of(name.begin(), name.end(),
                       [](unsigned char c) { return c < 0x80 && (std::isalnum(c) || c == '_'); });
}

bool IsTableName(const std::string& name) {
    size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) return false;
    size_t last = name.find_last_not_of(' ');
    return IsIdentifier(name.substr(first, last - first + 1));
}

bool IsComparison(const std::string& op) {
    static const char* const kOps[] = {"=", "<>", ">", "<", "<=", ">=", " LIKE ", " like "};
    return std::any_of(std::begin(kOps), std::end(kOps), [&](const char* k) { return op == k; });
}

bool IsDirection(const std::string& dir) {
    std::string d = Lower(dir);
    return d == "asc" || d == "desc";
}

bool IsTextType(const std::string& type) {
    std::string t = Lower(type.substr(0, type.find('(')));
    t.erase(t.find_last_not_of(' ') + 1);
    t.erase(0, t.find_first_not_of(' '));
    return t == "varchar" || t == "text" || t == "longvarchar";
}

}  // namespace db::sqltext
