// A forgiving HTML reader for the web service's error pages: it builds a small element tree,
// recovers from unclosed and stray tags (with a warning on the standard error stream) and
// never fails. The HTTP client uses it to pull the text of the "container" element out of a
// non-200 answer.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class HtmlElement {
public:
    // The attribute's value, or "" when the element has none of that name.
    std::string GetAttribute(const std::string& attrName) const;

    // The element's own text; when that is empty and its only child is a "plain" text node,
    // that child's text.
    std::string GetText() const;

    std::weak_ptr<HtmlElement> self;  // so children can point back at their parent
    std::string name;                 // as written, case kept
    std::string text;
    std::map<std::string, std::string> attributes;
    std::weak_ptr<HtmlElement> parent;
    std::vector<std::shared_ptr<HtmlElement>> children;  // document order
};

class HtmlDocument {
public:
    explicit HtmlDocument(std::shared_ptr<HtmlElement> root) : m_root(std::move(root)) {}

    // First element (depth first, document order) whose "id" attribute equals `id`; empty
    // when none does. The root is never a match.
    std::shared_ptr<HtmlElement> GetElementById(const std::string& id) const;

    const std::shared_ptr<HtmlElement>& Root() const { return m_root; }

private:
    std::shared_ptr<HtmlElement> m_root;  // an element without a name
};

class HtmlParser {
public:
    HtmlParser();

    // Reads `length` bytes of markup; malformed input gives a partial tree, never an error.
    std::shared_ptr<HtmlDocument> Parse(const char* data, std::size_t length);

    // Deeper elements than this are treated as cut-off input, so hostile markup cannot
    // exhaust the stack.
    static constexpr int kMaxDepth = 512;

private:
    using ElementPtr = std::shared_ptr<HtmlElement>;

    // Each returns the position where reading goes on; m_length means the input ended.
    std::size_t ParseElement(std::size_t pos, const ElementPtr& parent, int depth);
    std::size_t ParseContent(std::size_t pos, const ElementPtr& element,
                             const std::string& attrText, int depth);
    std::size_t ParseRawText(std::size_t pos, const ElementPtr& element,
                             const std::string& attrText);
    bool HasAncestorNamed(const ElementPtr& element, const std::string& name) const;
    void Finish(const ElementPtr& element, const std::string& attrText);
    std::size_t SkipPast(std::size_t pos, const std::string& marker) const;
    bool StartsWith(std::size_t pos, const std::string& text) const;

    const char* m_data = nullptr;
    std::size_t m_length = 0;
    const std::set<std::string>& m_voidElements;  // shared, built once
    ElementPtr m_root;
};
