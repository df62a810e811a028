// The database commands of the request path: one AutCodeUser record in, JSON (or an error
// page) out.
#pragma once

#include <cstddef>
#include <string>

#include "database.h"
#include "error_page.h"

struct CommandLimits {
    size_t answerBytes = 16u << 20;  // largest JSON answer
    int statementMs = 2000;          // time limit of one statement
};

struct CommandAnswer {
    int status = 200;
    std::string kind = "-";   // the record's m_strFindType when it could be read
    std::string body;         // JSON on 200, an error page otherwise
    bool IsError() const { return status != 200; }
};

namespace webservice {

// Carries out the request whose body is `body`.
CommandAnswer RunDbCommand(Database& database, const std::string& body,
                           const CommandLimits& limits);

}  // namespace webservice
