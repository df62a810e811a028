// Step one of every CCurl_Util: the addresses and settings from AppConfig.ini, with the
// defaults written on the first run.
#include <cctype>

#include "config/sealed_ini.h"
#include "net/curl_util.h"
#include "support/cipher.h"

namespace {

// The application identifier token the sealed values are keyed on.
constexpr const char* kAppToken = "5d0c2a17-3b8e-4f61-9a42-c07e81b3d9f5";
// The reference web service on this machine (the demo's address).
constexpr const char* kDefaultServer = "http://127.0.0.1:8080";
constexpr const char* kDefaultDataFolder = "//Pelmar";
constexpr const char* kDefaultPostMsg = "//api//example//jsondata";
// One value in the file and in memory: 1000 x 100 ms, a caller waits at most 100 s.
constexpr const char* kDefaultRespWait = "1000";

const std::string& SealKey() {
    static const std::string key = Cipher::MakeKeyText(kAppToken);
    return key;
}

}  // namespace

void CCurl_Util::LoadConfiguration() {
    const std::string file = AppConfigFile();
    const std::string key = SealKey();
    boost::lock_guard<boost::mutex> g(m_configLock);
    m_postUrl = ReadIniString(file, "HTTP_SERVER", "HttpURL");
    if (IsIniMarker(m_postUrl)) {
        WriteDefaultConfiguration(file);
    } else {
        m_dataUrl = ReadIniString(file, "HTTP_SERVER_DATA", "HttpURL") +
                    ReadIniSealed(file, "HTTP_SERVER_DATA", "DataFolder", key, true);
        m_postUrl += ReadIniSealed(file, "HTTP_SERVER", "PostMsg", key, true);
        m_sslText = ReadIniString(file, "HTTP_SERVER", "HttpSSL");
        m_respWaitText = ReadIniString(file, "HTTP_SERVER", "HttpRespWait");
    }
    // Verification stays on unless the operator turns it off for a self-signed server.
    std::string verify = ReadIniString(file, "HTTP_SERVER", "HttpSSLVerify");
    for (char& c : verify) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    m_tls.verify = verify != "false";
    const std::string caFile = ReadIniString(file, "HTTP_SERVER", "HttpCAFile");
    m_tls.caFile = IsIniMarker(caFile) ? std::string() : caFile;
}

// Called with m_configLock held.
void CCurl_Util::WriteDefaultConfiguration(const std::string& file) {
    const std::string key = SealKey();
    m_dataUrl = kDefaultServer;
    WriteIniString(file, "HTTP_SERVER_DATA", "HttpURL", kDefaultServer);
    WriteIniSealed(file, "HTTP_SERVER_DATA", "DataFolder", kDefaultDataFolder, key, true);
    m_dataUrl += kDefaultDataFolder;
    WriteIniString(file, "HTTP_SERVER", "HttpURL", kDefaultServer);
    m_postUrl = kDefaultServer;
    WriteIniSealed(file, "HTTP_SERVER", "PostMsg", kDefaultPostMsg, key, true);
    m_postUrl += kDefaultPostMsg;
    WriteIniString(file, "HTTP_SERVER", "HttpSSL", "true");
    m_sslText = "true";
    WriteIniString(file, "HTTP_SERVER", "HttpRespWait", kDefaultRespWait);
    m_respWaitText = kDefaultRespWait;
}
