#include "net/html_parser.h"

#include <cstdio>
#include <string_view>

#include "net/html_attributes.h"

namespace {

const std::set<std::string>& VoidElements() {
    static const std::set<std::string> names = {
        "br",  "hr",      "img",   "input",  "link",  "meta",   "area",  "base",
        "col", "command", "embed", "keygen", "param", "source", "track", "wbr"};
    return names;
}

bool IsRawTextElement(const std::string& name) {
    return name == "script" || name == "noscript" || name == "style";
}

bool IsBlank(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

std::shared_ptr<HtmlElement> NewElement(const std::shared_ptr<HtmlElement>& parent) {
    auto element = std::make_shared<HtmlElement>();
    element->self = element;
    element->parent = parent;
    return element;
}

void Warn(const std::string& text) {
    std::fputs(text.c_str(), stderr);
    std::fputc('\n', stderr);
}

}  // namespace

std::string HtmlElement::GetAttribute(const std::string& attrName) const {
    auto it = attributes.find(attrName);
    return it == attributes.end() ? std::string() : it->second;
}

std::string HtmlElement::GetText() const {
    if (text.empty() && children.size() == 1 && children[0]->name == "plain")
        return children[0]->GetText();
    return text;
}

std::shared_ptr<HtmlElement> HtmlDocument::GetElementById(const std::string& id) const {
    // Explicit stack: depth first, children in document order.
    std::vector<std::shared_ptr<HtmlElement>> pending(m_root->children.rbegin(),
                                                      m_root->children.rend());
    while (!pending.empty()) {
        auto element = pending.back();
        pending.pop_back();
        auto it = element->attributes.find("id");
        if (it != element->attributes.end() && it->second == id) return element;
        pending.insert(pending.end(), element->children.rbegin(), element->children.rend());
    }
    return nullptr;
}

HtmlParser::HtmlParser() : m_voidElements(VoidElements()) {}

std::shared_ptr<HtmlDocument> HtmlParser::Parse(const char* data, std::size_t length) {
    m_data = data;
    m_length = data ? length : 0;
    m_root = std::make_shared<HtmlElement>();
    m_root->self = m_root;
    std::size_t pos = 0;
    while (pos < m_length) {
        if (IsBlank(m_data[pos])) {
            ++pos;
        } else if (m_data[pos] == '<') {
            pos = ParseElement(pos, m_root, 1);
        } else {
            break;  // text outside any element ends the document
        }
    }
    auto document = std::make_shared<HtmlDocument>(m_root);
    m_root.reset();
    return document;
}

std::size_t HtmlParser::ParseElement(std::size_t pos, const ElementPtr& parent, int depth) {
    if (pos + 1 >= m_length) return m_length;
    switch (m_data[pos + 1]) {
        case '!':
            return StartsWith(pos, "<!--") ? SkipPast(pos + 4, "-->") : SkipPast(pos, ">");
        case '/':
            return SkipPast(pos, ">");  // a stray closing tag at this level
        case '?':
            return SkipPast(pos + 2, "?>");
        default:
            break;
    }
    if (depth > kMaxDepth) return m_length;

    ElementPtr element = NewElement(parent);
    std::string attrText;
    bool inName = true;
    for (std::size_t p = pos + 1; p < m_length; ++p) {
        const char c = m_data[p];
        const bool isVoid = m_voidElements.count(element->name) != 0;
        if (inName) {
            if (IsBlank(c)) {
                inName = element->name.empty();
            } else if (c == '/') {
                Finish(element, attrText);
                return SkipPast(p, ">");
            } else if (c == '>') {
                if (!isVoid) return ParseContent(p + 1, element, attrText, depth);
                parent->children.push_back(element);
                return p + 1;
            } else {
                element->name += c;
            }
        } else if (c == '>') {
            if (m_data[p - 1] == '/' || isVoid) {
                if (m_data[p - 1] == '/' && !attrText.empty()) attrText.pop_back();
                Finish(element, attrText);
                return p + 1;
            }
            return ParseContent(p + 1, element, attrText, depth);
        } else {
            attrText += c;
        }
    }
    return m_length;  // cut short: the element is dropped
}

std::size_t HtmlParser::ParseContent(std::size_t pos, const ElementPtr& element,
                                     const std::string& attrText, int depth) {
    if (IsRawTextElement(element->name)) return ParseRawText(pos, element, attrText);
    std::size_t p = pos;
    while (p < m_length) {
        const char c = m_data[p];
        if (c == '\r' || c == '\n' || c == '\t') {
            ++p;
            continue;
        }
        if (c != '<') {
            element->text += c;
            ++p;
            continue;
        }
        if (!element->text.empty()) {
            ElementPtr plain = NewElement(element);
            plain->name = "plain";
            plain->text.swap(element->text);
            element->children.push_back(plain);
        }
        if (p + 1 >= m_length || m_data[p + 1] != '/') {
            p = ParseElement(p, element, depth + 1);
            continue;
        }
        // A closing tag: ours, an ancestor's (we are left unclosed), or a stray one.
        if (StartsWith(p + 2, element->name + ">")) {
            Finish(element, attrText);
            return p + 2 + element->name.size() + 1;
        }
        std::size_t end = p + 2;
        while (end < m_length && m_data[end] != '>') ++end;
        const std::string closing(m_data + p + 2, end - (p + 2));
        if (HasAncestorNamed(element, closing)) {
            Warn("WARN : element not closed <" + element->name + "> ");
            Finish(element, attrText);
            return p;  // the ancestor reads its closing tag itself
        }
        Warn("WARN : unexpected closed element </" + closing + "> for <" + element->name + ">");
        p = SkipPast(p, ">");
    }
    return m_length;  // cut short: the element is dropped
}

std::size_t HtmlParser::ParseRawText(std::size_t pos, const ElementPtr& element,
                                     const std::string& attrText) {
    const std::string closing = "</" + element->name + ">";
    const std::string_view rest(m_data + pos, m_length - pos);
    const std::size_t found = rest.find(closing);
    const std::size_t end = found == std::string_view::npos ? rest.size() : found;
    element->text.assign(rest.substr(0, end));
    Finish(element, attrText);
    return found == std::string_view::npos ? m_length : pos + found + closing.size();
}

bool HtmlParser::HasAncestorNamed(const ElementPtr& element, const std::string& name) const {
    // The root has no name and is never closed by a tag.
    for (auto up = element->parent.lock(); up && up != m_root; up = up->parent.lock())
        if (up->name == name) return true;
    return false;
}

void HtmlParser::Finish(const ElementPtr& element, const std::string& attrText) {
    net::ParseHtmlAttributes(attrText, element->attributes);
    std::string& text = element->text;
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        text.clear();
    } else {
        text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    }
    if (auto parent = element->parent.lock()) parent->children.push_back(element);
}

std::size_t HtmlParser::SkipPast(std::size_t pos, const std::string& marker) const {
    if (pos >= m_length) return m_length;
    const std::size_t found = std::string_view(m_data, m_length).find(marker, pos);
    return found == std::string_view::npos ? m_length : found + marker.size();
}

bool HtmlParser::StartsWith(std::size_t pos, const std::string& text) const {
    return pos <= m_length && m_length - pos >= text.size() &&
           std::string_view(m_data + pos, text.size()) == text;
}
