#include "net/html_attributes.h"

#include <cstdio>

namespace {

bool IsBlank(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}
bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

class AttributeReader {
public:
    explicit AttributeReader(std::map<std::string, std::string>& out) : m_out(out) {}

    void Feed(char c) {
        switch (m_state) {
            case State::Name:
                return InName(c);
            case State::AfterEquals:
                return AfterEquals(c);
            case State::Value:
                return InValue(c);
        }
    }

    void End() { Store(); }

private:
    enum class State { Name, AfterEquals, Value };

    void InName(char c) {
        if (c == '\t' || c == '\r' || c == '\n') return;
        if (IsQuote(c)) {
            std::fprintf(stderr, "WARN : attribute unexpected %c\n", c);
        } else if (c == ' ') {
            Store();
        } else if (c == '=') {
            m_state = State::AfterEquals;
        } else {
            m_name += c;
        }
    }

    void AfterEquals(char c) {
        if (IsBlank(c)) {
            Store();
        } else {
            m_quote = IsQuote(c) ? c : '\0';
            if (!m_quote) m_value += c;
            m_state = State::Value;
        }
    }

    void InValue(char c) {
        if (m_quote ? c == m_quote : IsBlank(c)) {
            Store();
        } else {
            m_value += c;
        }
    }

    void Store() {
        if (!m_name.empty()) m_out[m_name] = m_value;
        m_name.clear();
        m_value.clear();
        m_state = State::Name;
    }

    std::map<std::string, std::string>& m_out;
    State m_state = State::Name;
    std::string m_name;
    std::string m_value;
    char m_quote = '\0';
};

}  // namespace

namespace net {

void ParseHtmlAttributes(const std::string& text, std::map<std::string, std::string>& out) {
    AttributeReader reader(out);
    for (char c : text) reader.Feed(c);
    reader.End();
}

}  // namespace net
