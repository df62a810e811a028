// The service's JSON answers read into a property tree. Boost's reader descends one call per
// nesting level, so a hostile or broken answer of a few hundred kilobytes of "[" would run the
// stack out; answers nested deeper than any real one are refused before it sees them.
#pragma once

#include <string>

#include <boost/property_tree/ptree.hpp>

namespace db {

constexpr int kMaxJsonNesting = 200;

// Parses `text` into `tree`; throws boost::property_tree::json_parser_error when the text is
// not JSON or is nested deeper than kMaxJsonNesting.
void ReadJsonTree(const std::string& text, boost::property_tree::ptree& tree);

}  // namespace db
