// Feeds arbitrary bytes to the markup reader and walks what it builds: no crash, no read
// past the input, parent links consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "net/html_parser.h"

namespace {

void Walk(const std::shared_ptr<HtmlElement>& e, int depth) {
    if (depth > HtmlParser::kMaxDepth + 1) std::abort();
    (void)e->GetText();
    (void)e->GetAttribute("id");
    for (const auto& child : e->children) {
        if (child->parent.lock() != e) std::abort();
        Walk(child, depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto doc = HtmlParser().Parse(reinterpret_cast<const char*>(data), size);
    Walk(doc->Root(), 0);
    (void)doc->GetElementById("container");
    return 0;
}
