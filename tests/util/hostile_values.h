// Values that break statement text built carelessly: quotes, backslashes, comments, statement
// ends, LIKE wildcards, markup, UTF-8, control characters, surrounding blanks and long runs.
// The table tests store and find each one and expect exactly the typed value back.
#pragma once

#include <string>
#include <vector>

namespace testutil {

const std::vector<std::string>& HostileValues();

}  // namespace testutil
