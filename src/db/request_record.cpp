#include "db/request_record.h"

#include <boost/archive/archive_exception.hpp>
#include <boost/archive/xml_iarchive.hpp>
#include <boost/archive/xml_oarchive.hpp>
#include <sstream>

namespace db {

std::string SerializeRequest(const AutCodeUser& record) {
    std::ostringstream out;
    {
        boost::archive::xml_oarchive ar(out, boost::archive::no_header);
        ar << boost::serialization::make_nvp("objAutCodeUser", record);
    }
    return out.str();
}

bool DeserializeRequest(const std::string& body, AutCodeUser& record) {
    try {
        std::istringstream in(body);
        AutCodeUser read;
        {
            boost::archive::xml_iarchive ar(in, boost::archive::no_header);
            ar >> boost::serialization::make_nvp("objAutCodeUser", read);
        }
        record = read;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace db
