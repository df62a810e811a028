#include "request_reader.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <cctype>
#include <cstring>
#include <sstream>
#include <string_view>

namespace webservice {

namespace {

class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    void SkipBlanks() {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
    }

    // "<name" followed by attributes up to ">".
    bool OpenWithAttributes(std::string_view name) {
        SkipBlanks();
        if (!Take("<") || !Take(name)) return false;
        if (m_pos >= m_text.size() || (m_text[m_pos] != ' ' && m_text[m_pos] != '>'))
            return false;
        const size_t end = m_text.find('>', m_pos);
        if (end == std::string_view::npos) return false;
        m_pos = end + 1;
        return true;
    }

    bool Close(std::string_view name) {
        SkipBlanks();
        return Take("</") && Take(name) && Take(">");
    }

    // <name>text</name>, the text unescaped.
    bool Member(std::string_view name, std::string& value) {
        SkipBlanks();
        if (!Take("<") || !Take(name) || !Take(">")) return false;
        const size_t end = m_text.find('<', m_pos);
        if (end == std::string_view::npos || !Unescape(m_text.substr(m_pos, end - m_pos), value))
            return false;
        m_pos = end;
        return Take("</") && Take(name) && Take(">");
    }

    bool AtEnd() {
        SkipBlanks();
        return m_pos == m_text.size();
    }

private:
    bool Take(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) != word) return false;
        m_pos += word.size();
        return true;
    }

    // The five entities the archive writes; any other '&' sends the body to the full reader.
    static bool Unescape(std::string_view raw, std::string& out) {
        static const std::pair<std::string_view, char> entities[] = {
            {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
        out.clear();
        for (size_t i = 0; i < raw.size();) {
            if (raw[i] != '&') {
                out.push_back(raw[i++]);
                continue;
            }
            bool known = false;
            for (const auto& [entity, c] : entities)
                if (raw.substr(i, entity.size()) == entity) {
                    out.push_back(c);
                    i += entity.size();
                    known = true;
                    break;
                }
            if (!known) return false;
        }
        return true;
    }

    std::string_view m_text;
    size_t m_pos = 0;
};

}  // namespace

bool ScanRequest(const std::string& body, AutCodeUser& record) {
    Scanner s(body);
    AutCodeUser read;
    const bool ok =
        s.OpenWithAttributes("objAutCodeUser") && s.OpenWithAttributes("DbExcute") &&
        s.Member("m_strCmd", read.m_strCmd) && s.Member("m_strFindType", read.m_strFindType) &&
        s.Member("m_strFindSqlQuery", read.m_strFindSqlQuery) &&
        s.Member("m_strFindCondition", read.m_strFindCondition) &&
        s.Member("m_strFindCol", read.m_strFindCol) &&
        s.Member("m_strFindValue", read.m_strFindValue) &&
        s.Member("m_strRowStart", read.m_strRowStart) &&
        s.Member("m_strRowEnd", read.m_strRowEnd) && s.Close("DbExcute") &&
        s.Member("AutoCode_UUID", read.AutoCode_UUID) &&
        s.Member("User_FirstName", read.User_FirstName) &&
        s.Member("User_lastname", read.User_lastname) &&
        s.Member("User_email", read.User_email) && s.Member("User_mobile", read.User_mobile) &&
        s.Member("Code_ftpServer", read.Code_ftpServer) &&
        s.Member("User_image", read.User_image) && s.Close("objAutCodeUser") && s.AtEnd();
    if (ok) record = std::move(read);
    return ok;
}

bool ParseRequest(const std::string& body, AutCodeUser& record) {
    namespace pt = boost::property_tree;
    try {
        pt::ptree tree;
        std::istringstream in(body);
        pt::read_xml(in, tree);
        const pt::ptree& top = tree.get_child("objAutCodeUser");
        const pt::ptree& base = top.get_child("DbExcute");
        AutCodeUser read;
        for (auto [name, member] :
             {std::pair<const char*, std::string*>{"m_strCmd", &read.m_strCmd},
              {"m_strFindType", &read.m_strFindType},
              {"m_strFindSqlQuery", &read.m_strFindSqlQuery},
              {"m_strFindCondition", &read.m_strFindCondition},
              {"m_strFindCol", &read.m_strFindCol},
              {"m_strFindValue", &read.m_strFindValue},
              {"m_strRowStart", &read.m_strRowStart},
              {"m_strRowEnd", &read.m_strRowEnd}})
            *member = base.get_child(name).data();
        for (auto [name, member] :
             {std::pair<const char*, std::string*>{"AutoCode_UUID", &read.AutoCode_UUID},
              {"User_FirstName", &read.User_FirstName},
              {"User_lastname", &read.User_lastname},
              {"User_email", &read.User_email},
              {"User_mobile", &read.User_mobile},
              {"Code_ftpServer", &read.Code_ftpServer},
              {"User_image", &read.User_image}})
            *member = top.get_child(name).data();
        record = std::move(read);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool ReadRequest(const std::string& body, AutCodeUser& record) {
    return ScanRequest(body, record) || ParseRequest(body, record);
}

}  // namespace webservice
