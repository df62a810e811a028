#include "net/json.h"

#include <cstring>

namespace json {
namespace {

// White space as the C locale's isspace knows it.
inline bool is_ws(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

[[noreturn]] void fail() {
    throw parsing_error("Input is not a valid object");
}

const char* skip_ws(const char* p) {
    while (is_ws(*p)) ++p;
    return p;
}

struct value_read {
    jtype type;
    const char* begin;
    const char* end;  // first character not taken
};

// One value at `p`: fed to a fresh reader until it rejects a character or the text ends.
value_read read_value(const char* p) {
    p = skip_ws(p);
    if (*p == '\0') throw parsing_error("Input was only whitespace");
    reader r;
    const char* begin = p;
    while (*p != '\0' && r.push(*p) != reader::REJECTED) ++p;
    return {r.is_valid() ? r.type() : jinvalid, begin, p};
}

// The text of a quoted key with its escapes resolved (a \u escape is dropped).
std::string unescape_key(const char* b, const char* e) {
    if (b == e || *b != '"') throw parsing_error("Expecting opening quote");
    std::string out;
    for (const char* p = b + 1; p < e && *p != '"'; ++p) {
        if (*p != '\\') {
            out.push_back(*p);
            continue;
        }
        if (++p == e) throw parsing_error("Expected control character");
        static const char from[] = "\"/\\bfnrt";
        static const char to[] = "\"/\\\b\f\n\r\t";
        if (const char* f = std::strchr(from, *p); f && *p) {
            out.push_back(to[f - from]);
        } else if (*p == 'u') {
            p += e - p > 4 ? 4 : e - p - 1;
        } else {
            throw parsing_error("Expected control character");
        }
    }
    return out;
}

}  // namespace

jtype type_of(char first) {
    switch (first) {
        case '"':
            return jstring;
        case '{':
            return jobject_type;
        case '[':
            return jarray;
        case 't':
        case 'f':
            return jbool;
        case 'n':
            return jnull;
        default:
            return first == '-' || is_digit(first) ? jnumber : jinvalid;
    }
}

// ---- jobject and its proxies ----

const_proxy::const_proxy(const jobject* source, std::string key)
    : m_source(source), m_key(std::move(key)) {
    if (source->is_array()) throw std::logic_error("Source cannot be an array");
}

std::string const_proxy::as_string() const {
    return m_source->get(m_key);
}

proxy& proxy::operator=(const std::string& rawValue) {
    for (auto& [k, v] : m_target->m_entries) {
        if (k == m_key) {
            v = rawValue;
            return *this;
        }
    }
    m_target->m_entries.emplace_back(m_key, rawValue);
    return *this;
}

const_proxy jobject::operator[](const std::string& key) const {
    if (m_array) throw invalid_key(key);
    return const_proxy(this, key);
}

proxy jobject::operator[](const std::string& key) {
    if (m_array) throw invalid_key(key);
    return proxy(this, key);
}

bool jobject::has_key(const std::string& key) const {
    if (m_array) return false;
    for (const auto& e : m_entries)
        if (e.first == key) return true;
    return false;
}

std::string jobject::get(const std::string& key) const {
    if (!m_array)
        for (const auto& e : m_entries)
            if (e.first == key) return e.second;
    throw invalid_key(key);
}

jobject jobject::parse(const char* text) {
    if (text == nullptr || *text == '\0') return jobject();
    const char* p = skip_ws(text);
    if (*p != '[' && *p != '{') fail();
    const bool array = *p == '[';
    const char close = array ? ']' : '}';
    jobject result(array);
    p = skip_ws(p + 1);
    for (;;) {
        if (*p == '\0') fail();
        if (*p == close) break;  // what follows the closing bracket is ignored
        std::string key;
        if (!array) {
            value_read k = read_value(p);
            if (k.type != jstring || k.begin == k.end) fail();
            key = unescape_key(k.begin, k.end);
            p = skip_ws(k.end);
            if (*p != ':') fail();
            ++p;
        }
        value_read v = read_value(skip_ws(p));
        if (v.type == jinvalid) fail();
        p = skip_ws(v.end);
        if (*p == ',')
            ++p;
        else if (*p != close)
            fail();
        if (array && !key.empty()) throw parsing_error("Array cannot have key");
        if (!array && key.empty()) throw parsing_error("Missing key");
        if (!array && result.has_key(key)) throw parsing_error("Key conflict");
        result.m_entries.emplace_back(std::move(key), std::string(v.begin, v.end));
    }
    return result;
}

// ---- readers ----

void reader::clear() {
    m_buffer.clear();
    m_sub.reset();
    m_state = 0;
}

jtype reader::type() const {
    return m_buffer.empty() ? jinvalid : type_of(m_buffer[0]);
}

bool reader::is_valid() const {
    switch (type()) {
        case jstring:
            return m_state == 8;
        case jnumber:
            return m_state == 2 || m_state == 3 || m_state == 5 || m_state == 8;
        case jobject_type:
        case jarray:
            return m_state == 4;
        case jbool:
            return m_buffer == "true" || m_buffer == "false";
        case jnull:
            return m_buffer == "null";
        default:
            return false;
    }
}

int reader::push(char ch) {
    if (m_buffer.empty() && is_ws(ch)) return WHITESPACE;
    switch (type_of(m_buffer.empty() ? ch : m_buffer[0])) {
        case jstring:
            return push_string(ch);
        case jnumber:
            return push_number(ch);
        case jbool:
            return push_boolean(ch);
        case jnull:
            return push_null(ch);
        case jobject_type:
            return push_object(ch);
        case jarray:
            return push_array(ch);
        default:
            return REJECTED;
    }
}

}  // namespace json
