// The request record every database command travels in: an AutCodeUser (a DbExcute plus
// account members) saved by Boost.Serialization's XML archive as "objAutCodeUser". The tool
// writes it; the reference web service reads it back.
#pragma once

#include <boost/serialization/base_object.hpp>
#include <boost/serialization/level.hpp>
#include <boost/serialization/nvp.hpp>
#include <boost/serialization/string.hpp>
#include <boost/serialization/tracking.hpp>
#include <boost/serialization/version.hpp>
#include <string>

class DbExcute {
public:
    std::string m_strCmd = "SQL_ADDNEW";
    std::string m_strFindType = "NONE";
    std::string m_strFindSqlQuery = "NONE";
    std::string m_strFindCondition = " = ";
    std::string m_strFindCol = "None";
    std::string m_strFindValue = "NONE";
    std::string m_strRowStart = "0";
    std::string m_strRowEnd = "50";

    // Each setter replaces its member only with a non-empty text.
    void SetCmd(const std::string& v) {
        if (!v.empty()) m_strCmd = v;
    }
    void SetFindType(const std::string& v) {
        if (!v.empty()) m_strFindType = v;
    }
    void SetFindSqlQuery(const std::string& v) {
        if (!v.empty()) m_strFindSqlQuery = v;
    }

    template <class Archive>
    void serialize(Archive& ar, const unsigned int /*version*/) {
        ar& BOOST_SERIALIZATION_NVP(m_strCmd);
        ar& BOOST_SERIALIZATION_NVP(m_strFindType);
        ar& BOOST_SERIALIZATION_NVP(m_strFindSqlQuery);
        ar& BOOST_SERIALIZATION_NVP(m_strFindCondition);
        ar& BOOST_SERIALIZATION_NVP(m_strFindCol);
        ar& BOOST_SERIALIZATION_NVP(m_strFindValue);
        ar& BOOST_SERIALIZATION_NVP(m_strRowStart);
        ar& BOOST_SERIALIZATION_NVP(m_strRowEnd);
    }
};

class AutCodeUser : public DbExcute {
public:
    std::string AutoCode_UUID = "NONE";
    std::string User_FirstName = "NONE";
    std::string User_lastname = "NONE";
    std::string User_email = "NONE";
    std::string User_mobile = "NONE";
    std::string Code_ftpServer = "NONE";
    std::string User_image = "NONE";

    template <class Archive>
    void serialize(Archive& ar, const unsigned int /*version*/) {
        ar& boost::serialization::make_nvp("DbExcute",
                                           boost::serialization::base_object<DbExcute>(*this));
        ar& BOOST_SERIALIZATION_NVP(AutoCode_UUID);
        ar& BOOST_SERIALIZATION_NVP(User_FirstName);
        ar& BOOST_SERIALIZATION_NVP(User_lastname);
        ar& BOOST_SERIALIZATION_NVP(User_email);
        ar& BOOST_SERIALIZATION_NVP(User_mobile);
        ar& BOOST_SERIALIZATION_NVP(Code_ftpServer);
        ar& BOOST_SERIALIZATION_NVP(User_image);
    }
};

BOOST_CLASS_VERSION(DbExcute, 0)
BOOST_CLASS_VERSION(AutCodeUser, 0)
BOOST_CLASS_TRACKING(DbExcute, boost::serialization::track_never)
BOOST_CLASS_TRACKING(AutCodeUser, boost::serialization::track_never)

namespace db {

// The request body: the record as the XML archive writes it (no header), named
// "objAutCodeUser".
std::string SerializeRequest(const AutCodeUser& record);

// Reads a request body back; false (record untouched) when it is not such a record. For
// trusted bodies only (the tests' own peers): Boost's XML input archive reads past its buffers
// on some malformed element names, so network input goes through the service's own reader.
bool DeserializeRequest(const std::string& body, AutCodeUser& record);

}  // namespace db
