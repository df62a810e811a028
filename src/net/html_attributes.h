// The attribute text of one markup element (everything between its name and the closing
// ">") read into name/value pairs.
#pragma once

#include <map>
#include <string>

namespace net {

// Adds each attribute of `text` to `out`: name=value, name='value', name="value" or a bare
// name (empty value); a repeated name keeps its last value. A quote where a name is expected
// is skipped with a warning on the standard error stream.
void ParseHtmlAttributes(const std::string& text, std::map<std::string, std::string>& out);

}  // namespace net
