#include "hostile_values.h"

namespace testutil {

const std::vector<std::string>& HostileValues() {
    static const std::vector<std::string> values = {
        "'",
        "''",
        "it's",
        "' OR '1'='1",
        "\\",
        "ends in a backslash\\",
        "\\'",
        "\\\\''\\",
        "x'; DROP TABLE redsparrow_users; --",
        "x'); DELETE FROM redsparrow_users; --",
        "-- a comment",
        "/* block */ 'x",
        "x' --",
        "'; SELECT 1; '",
        "%_%",
        "\"double\"",
        "<b>&amp;</b> ]]>",
        "J\xC3\xBCrgen \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x94\x91",
        "tab\there\r\nline",
        "  blanks around  ",
        "1 OR 1=1",
        // Long values: each quote is doubled and then written as "&apos;" in a request body,
        // so these bodies run well past 8 KiB.
        std::string(3000, '\''),
        std::string(20000, 'v') + "'",
    };
    return values;
}

}  // namespace testutil
