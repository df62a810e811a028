// The markup reader against a table of malformed and well-formed pages: the tree it builds
// (written compactly) and the exact warnings it prints.
#include "net/html_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// name[attr=value ...]{text}(child,child)
std::string Dump(const HtmlElement& e) {
    std::string out = e.name;
    if (!e.attributes.empty()) {
        out += '[';
        for (const auto& [k, v] : e.attributes)
            out += k + "=" + v + (k == e.attributes.rbegin()->first ? "" : " ");
        out += ']';
    }
    if (!e.text.empty()) out += "{" + e.text + "}";
    if (!e.children.empty()) {
        out += '(';
        for (std::size_t i = 0; i < e.children.size(); ++i)
            out += (i ? "," : "") + Dump(*e.children[i]);
        out += ')';
    }
    return out;
}

struct Case {
    const char* input;
    const char* tree;      // Dump of the root (which has no name)
    const char* warnings;  // everything written to stderr
};

const Case kCases[] = {
    {R"(<div id="container"><h1>Error 500</h1><p>Bad query</p></div>)",
     "(div[id=container](h1(plain{Error 500}),p(plain{Bad query})))", ""},
    // Text read up to any "<" moves into a "plain" child, also before a closing tag.
    {"<p>one<b>two</b>three</p>", "(p(plain{one},b(plain{two}),plain{three}))", ""},
    {"<br><img src=a.png><x/>", "(br,img[src=a.png],x)", ""},
    {"<p>a<br>b</p>", "(p(plain{a},br,plain{b}))", ""},
    {"<p class='a b' id=\"q\" hidden/>", "(p[class=a b hidden= id=q])", ""},
    {"<div><p>text</div>", "(div(p(plain{text})))", "WARN : element not closed <p> \n"},
    {"<div>a</span>b</div>", "(div(plain{a},plain{b}))",
     "WARN : unexpected closed element </span> for <div>\n"},
    {"<script>if (a<b) x();</script><p>k</p>", "(script{if (a<b) x();},p(plain{k}))", ""},
    {"<style>p{}", "(style{p{}})", ""},  // missing closing tag: body up to the end
    // Comments, declarations, processing instructions and stray closers at top level.
    {"<!DOCTYPE html>\n<!-- <p>no</p> --><?xml x?></b><p>yes</p>", "(p(plain{yes}))", ""},
    // Tabs and line ends are dropped; only an element's own text is trimmed.
    {"<p>  padded\t\r\n text  </p>", "(p(plain{  padded text  }))", ""},
    {"<p>  own  <br></p>", "(p(plain{  own  },br))", ""},
    {"<style>  s  </style>", "(style{s})", ""},
    {"<a x=1 x=2 y>t</a>", "(a[x=2 y=](plain{t}))", ""},
    {"<a \"q\"=1>t</a>", "(a[q=1](plain{t}))",
     "WARN : attribute unexpected \"\nWARN : attribute unexpected \"\n"},
    {"<a x=>t</a>", "(a[x=](plain{t}))", ""},
    // Input cut short drops unfinished elements but keeps finished ones.
    {"<p>done</p><div><b>open", "(p(plain{done}))", ""},
    {"<p>ok</p><", "(p(plain{ok}))", ""},
    {"<p>ok</p><di", "(p(plain{ok}))", ""},
    {"<p>ok</p> trailing <b>x</b>", "(p(plain{ok}))", ""},
    {"<DIV>x</div></DIV>", "(DIV(plain{x}))",
     "WARN : unexpected closed element </div> for <DIV>\n"},
    {"</>", "", ""},
    {"<a><b></></a>", "(a(b))",
     "WARN : unexpected closed element </> for <b>\nWARN : element not closed <b> \n"},
    {"", "", ""},
    {"<ul><li>1<li>2</ul>", "(ul(li(plain{1},li(plain{2}))))",
     "WARN : element not closed <li> \nWARN : element not closed <li> \n"},
};

TEST(HtmlParser, TableOfPages) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.input);
        testing::internal::CaptureStderr();
        auto doc = HtmlParser().Parse(c.input, std::string(c.input).size());
        const std::string warnings = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(doc);
        EXPECT_EQ(Dump(*doc->Root()), c.tree);
        EXPECT_EQ(warnings, c.warnings);
    }
}

TEST(HtmlParser, GetTextFollowsTheSinglePlainChild) {
    struct {
        const char* input;
        const char* text;
    } cases[] = {
        {"<h1>Error 500</h1>", "Error 500"},
        {"<p>one<b>two</b>three</p>", ""},      // three children: the (empty) own text
        {"<div>a</span>b</div>", ""},           // two plain children: own (empty) text
        {"<div>only<!-- c --></div>", "only"},  // one plain child, empty own text
        {"<div><b>x</b></div>", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        testing::internal::CaptureStderr();
        auto doc = HtmlParser().Parse(c.input, std::string(c.input).size());
        testing::internal::GetCapturedStderr();
        ASSERT_EQ(doc->Root()->children.size(), 1u);
        EXPECT_EQ(doc->Root()->children[0]->GetText(), c.text);
    }
}

TEST(HtmlParser, GetElementByIdIsDepthFirstAndExact) {
    const std::string page =
        R"(<html><body><div id="Container">no</div><div><p id="container">first</p></div>)"
        R"(<p id="container">second</p></body></html>)";
    auto doc = HtmlParser().Parse(page.data(), page.size());
    auto found = doc->GetElementById("container");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->GetText(), "first");
    EXPECT_EQ(found->parent.lock()->name, "div");
    EXPECT_EQ(found->GetAttribute("id"), "container");
    EXPECT_EQ(found->GetAttribute("class"), "");
    EXPECT_FALSE(doc->GetElementById("missing"));
    EXPECT_FALSE(doc->GetElementById(""));  // the root is never a match
}

TEST(HtmlParser, ParentLinksPointBack) {
    const std::string page = "<a><b><c>x</c></b></a>";
    auto doc = HtmlParser().Parse(page.data(), page.size());
    auto c = doc->Root()->children.at(0)->children.at(0)->children.at(0);
    EXPECT_EQ(c->self.lock(), c);
    EXPECT_EQ(c->parent.lock()->parent.lock()->parent.lock(), doc->Root());
}

TEST(HtmlParser, DeepNestingIsCutInsteadOfOverflowingTheStack) {
    std::string page;
    for (int i = 0; i < 200000; ++i) page += "<a>";
    auto doc = HtmlParser().Parse(page.data(), page.size());
    EXPECT_TRUE(doc->Root()->children.empty());

    std::string fine = "<p/>";
    for (int i = 0; i < HtmlParser::kMaxDepth - 1; ++i) fine = "<a>" + fine + "</a>";
    doc = HtmlParser().Parse(fine.data(), fine.size());
    auto e = doc->Root();
    int depth = 0;
    while (!e->children.empty()) e = e->children[0], ++depth;
    EXPECT_EQ(depth, HtmlParser::kMaxDepth);
    EXPECT_EQ(e->name, "p");
}

}  // namespace
