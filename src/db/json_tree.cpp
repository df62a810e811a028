#include "db/json_tree.h"

#include <sstream>

#include <boost/property_tree/json_parser.hpp>

namespace pt = boost::property_tree;

namespace db {

namespace {

// The deepest nesting of arrays and objects outside strings, counting no further than
// limit + 1.
int NestingDepth(const std::string& text, int limit) {
    int depth = 0, deepest = 0;
    bool inString = false, escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > deepest && (deepest = depth) > limit) break;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

}  // namespace

void ReadJsonTree(const std::string& text, pt::ptree& tree) {
    if (NestingDepth(text, kMaxJsonNesting) > kMaxJsonNesting)
        throw pt::json_parser_error(
            "nested deeper than " + std::to_string(kMaxJsonNesting) + " levels", "", 0);
    std::istringstream in(text);
    pt::read_json(in, tree);
}

}  // namespace db
