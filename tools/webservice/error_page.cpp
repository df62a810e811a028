#include "error_page.h"

namespace webservice {

std::string HtmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out.push_back(c);
        }
    }
    return out;
}

std::string ErrorPage(const ServiceError& error) {
    const std::string heading = HtmlEscape(error.heading);
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + heading +
           "</title></head>\n<body><div id=\"container\"><h1>" + heading + "</h1><p>" +
           HtmlEscape(error.text) + "</p></div></body></html>\n";
}

}  // namespace webservice
