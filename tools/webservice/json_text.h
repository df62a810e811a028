// The few pieces of JSON the service writes: every value is a string.
#pragma once

#include <string>
#include <string_view>

namespace webservice {

// Appends `text` as a quoted JSON string; control characters and quotes are escaped, other
// bytes are copied as they are.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace webservice
