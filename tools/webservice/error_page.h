// Error answers: a status and an HTML page whose element id="container" holds a heading and a
// paragraph, which the tool shows to the technician.
#pragma once

#include <string>

struct ServiceError {
    int status = 400;
    std::string heading;
    std::string text;
};

namespace webservice {

// The HTML page of an error; heading and text are escaped.
std::string ErrorPage(const ServiceError& error);

// Escapes &, <, >, " and ' for HTML text.
std::string HtmlEscape(const std::string& text);

}  // namespace webservice
