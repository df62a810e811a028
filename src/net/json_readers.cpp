// The character-fed state machines behind json::reader and json::kvp_reader.
#include <cstring>

#include "net/json.h"

namespace json {
namespace {
inline bool is_ws(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
inline bool is_hex(char c) {
    return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
}  // namespace

// States: 0 start, 1 after the opening quote, 2 inside, 3 after a backslash, 4-7 the hex
// digits of a \u escape, 8 closed.
int reader::push_string(char ch) {
    switch (m_state) {
        case 0:
            if (ch != '"') return REJECTED;
            m_buffer.push_back(ch);
            m_state = 1;
            return ACCEPTED;
        case 1:
        case 2:
            m_state = ch == '"' ? 8 : ch == '\\' ? 3 : 2;
            m_buffer.push_back(ch);
            return ACCEPTED;
        case 3:
            if (ch == 'u') {
                m_state = 4;
            } else if (ch != '\0' && std::strchr("\"\\bfnrt", ch)) {
                m_state = 2;
            } else {
                return REJECTED;  // "\/" included
            }
            m_buffer.push_back(ch);
            return ACCEPTED;
        case 4:
        case 5:
        case 6:
        case 7:
            if (!is_hex(ch)) return REJECTED;
            m_buffer.push_back(ch);
            m_state = m_state == 7 ? 2 : m_state + 1;
            return ACCEPTED;
        default:
            return REJECTED;
    }
}

// States: 0 start, 1 after '-', 2 a leading 0, 3 integer digits, 4 after '.', 5 fraction
// digits, 6 after 'e', 7 after the exponent sign, 8 exponent digits.
int reader::push_number(char ch) {
    int next = -1;
    switch (m_state) {
        case 0:
            next = ch == '-' ? 1 : ch == '0' ? 2 : is_digit(ch) ? 3 : -1;
            break;
        case 1:
            next = ch == '0' ? 2 : is_digit(ch) ? 3 : -1;
            break;
        case 3:
            if (is_digit(ch)) {
                next = 3;
                break;
            }
            [[fallthrough]];
        case 2:
            next = ch == '.' ? 4 : (ch == 'e' || ch == 'E') ? 6 : -1;
            break;
        case 4:
            next = is_digit(ch) ? 5 : -1;
            break;
        case 5:
            next = is_digit(ch) ? 5 : (ch == 'e' || ch == 'E') ? 6 : -1;
            break;
        case 6:
            next = (ch == '+' || ch == '-') ? 7 : is_digit(ch) ? 8 : -1;
            break;
        case 7:
        case 8:
            next = is_digit(ch) ? 8 : -1;
            break;
        default:
            throw std::logic_error("Unexpected return");
    }
    if (next < 0) return REJECTED;
    m_state = next;
    m_buffer.push_back(ch);
    return ACCEPTED;
}

int reader::push_boolean(char ch) {
    if (m_buffer.empty()) {
        if (ch != 't' && ch != 'f') return REJECTED;
        m_buffer.push_back(ch);
        return ACCEPTED;
    }
    if (m_buffer[0] != 't' && m_buffer[0] != 'f') throw parsing_error("Unexpected state");
    const char* word = m_buffer[0] == 't' ? "true" : "false";
    std::size_t n = std::strlen(word);
    if (m_buffer.size() >= n || ch != word[m_buffer.size()]) return REJECTED;
    m_buffer.push_back(ch);
    return ACCEPTED;
}

int reader::push_null(char ch) {
    if (m_buffer.size() > 4) throw parsing_error("Unexpected state");
    if (m_buffer.size() == 4 || ch != "null"[m_buffer.size()]) return REJECTED;
    m_buffer.push_back(ch);
    return ACCEPTED;
}

// States: 0 start, 1 after '{', 2 in a member, 3 after ',', 4 closed, 5 white space after a
// complete member (only ',' or '}' may follow: "1 2" is no number).
int reader::push_object(char ch) {
    switch (m_state) {
        case 0:
            if (ch != '{') return REJECTED;
            m_buffer.push_back(ch);
            m_state = 1;
            return ACCEPTED;
        case 1:
            if (ch == '}') {
                m_buffer.push_back(ch);
                m_state = 4;
                return ACCEPTED;
            }
            [[fallthrough]];
        case 3:
            if (is_ws(ch)) return WHITESPACE;
            if (ch != '"' || m_depth >= kMaxDepth) return REJECTED;
            m_sub = std::make_unique<kvp_reader>();
            m_sub->m_depth = m_depth + 1;
            m_sub->push(ch);
            m_state = 2;
            return ACCEPTED;
        case 2: {
            int r = m_sub->push(ch);
            if (r != REJECTED) return r;
            if (!m_sub->is_valid()) return REJECTED;
            if (is_ws(ch)) {
                m_state = 5;
                return WHITESPACE;
            }
            break;
        }
        case 5:
            if (is_ws(ch)) return WHITESPACE;
            break;
        default:
            return REJECTED;
    }
    if (ch != ',' && ch != '}') return REJECTED;
    m_buffer += m_sub->text();
    m_buffer.push_back(ch);
    m_sub.reset();
    m_state = ch == ',' ? 3 : 4;
    return ACCEPTED;
}

// States: 0 start, 1 after '[', 2 in an element, 3 after ',', 4 closed, 5 white space after a
// complete element.
int reader::push_array(char ch) {
    switch (m_state) {
        case 0:
            if (ch != '[') return REJECTED;
            m_buffer.push_back(ch);
            m_state = 1;
            return ACCEPTED;
        case 1:
            if (ch == ']') {
                m_buffer.push_back(ch);
                m_state = 4;
                return ACCEPTED;
            }
            [[fallthrough]];
        case 3:
            if (is_ws(ch)) return WHITESPACE;
            return start_element(ch);
        case 2: {
            if (m_sub->is_valid() && is_ws(ch)) {
                m_state = 5;
                return WHITESPACE;
            }
            int r = m_sub->push(ch);
            if (r != REJECTED) return r;
            break;
        }
        case 5:
            if (is_ws(ch)) return WHITESPACE;
            break;
        default:
            return REJECTED;
    }
    if ((ch != ',' && ch != ']') || !m_sub->is_valid()) return REJECTED;
    m_buffer += m_sub->text();
    m_buffer.push_back(ch);
    m_sub.reset();
    m_state = ch == ',' ? 3 : 4;
    return ACCEPTED;
}

int reader::start_element(char ch) {
    if (type_of(ch) == jinvalid || m_depth >= kMaxDepth) return REJECTED;
    m_sub = std::make_unique<reader>();
    m_sub->m_depth = m_depth + 1;
    m_state = 2;
    return m_sub->push(ch);
}

void kvp_reader::clear() {
    reader::clear();
    m_key.clear();
    m_colon = false;
}

int kvp_reader::push(char ch) {
    if (m_key.type() == jinvalid) {  // no key text yet
        if (is_ws(ch)) return WHITESPACE;
        return ch == '"' ? m_key.push(ch) : REJECTED;
    }
    if (!m_key.is_valid()) return m_key.push(ch);
    if (!m_colon) {
        if (is_ws(ch)) return WHITESPACE;
        if (ch != ':') return REJECTED;
        m_colon = true;
        return ACCEPTED;
    }
    return reader::push(ch);
}

bool kvp_reader::is_valid() const {
    return m_key.is_valid() && reader::is_valid();
}

std::string kvp_reader::text() const {
    return m_key.text() + ":" + reader::text();
}

}  // namespace json
