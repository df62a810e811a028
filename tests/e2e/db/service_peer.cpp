#include "service_peer.h"

#include "admin.h"
#include "config/fltf_db_util.h"
#include "config/sealed_ini.h"
#include "database.h"
#include "platform/paths.h"
#include "support/cipher.h"
#include "web_service.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace dbpeer {

namespace {

void Check(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what);
}

void Seed(const std::string& path, int rows) {
    std::string error;
    sqlite3* db = webservice::OpenAdminDatabase(path, error);
    Check(db != nullptr, "open " + path + ": " + error);
    uint64_t id = 0;
    NewUser ann{"ann", "pw", "ann@example.org", "555", "http://127.0.0.1/ann", "ann.cfg"};
    bool ok = webservice::AddUser(db, ann, id, error) && id == 1001 &&
              webservice::SeedDeviceRows(db, 1001, rows, 1, error) &&
              webservice::SeedDeviceRows(db, 5, 1000, 1, error) &&
              webservice::SeedMqttRows(db, 1001, 3, error);
    sqlite3_close(db);
    Check(ok, "seed: " + error);
}

}  // namespace

std::string SeededDatabase(const std::string& cacheDir, int rows) {
    fs::create_directories(cacheDir);
    const std::string path = cacheDir + "/seed-" + std::to_string(rows) + ".db";
    if (fs::exists(path)) return path;
    const std::string building = path + ".building." + std::to_string(getpid());
    Seed(building, rows);
    fs::rename(building, path);  // whole or not at all
    return path;
}

ServicePeer::ServicePeer(const std::string& database, const std::string& folder, int statementMs)
    : m_database(folder + "/service.db") {
    fs::copy_file(database, m_database, fs::copy_options::overwrite_existing);
    fs::create_directories(folder + "/data");
    ServiceOptions options;
    options.database = m_database;
    options.dataFolder = folder + "/data";
    options.limits.statementMs = statementMs;
    options.quiet = true;
    m_service = std::make_unique<WebService>(options);
    std::string error;
    Check(m_service->Start(error), "service: " + error);
}

ServicePeer::~ServicePeer() {
    m_service->Stop();
}

std::string ServicePeer::BaseUrl() const {
    return m_service->BaseUrl();
}

void WriteClientConfig(const std::string& folder, const std::string& baseUrl,
                       const std::string& respWait) {
    platform::SetModuleFileNameForTesting(folder + "/velkor");
    const std::string ini = folder + "/AppConfig.ini";
    const std::string key = Cipher::MakeKeyText("5d0c2a17-3b8e-4f61-9a42-c07e81b3d9f5");
    CFltfDBUtil util;
    util.WriteIniString(ini, "HTTP_SERVER_DATA", "HttpURL", baseUrl);
    WriteIniSealed(ini, "HTTP_SERVER_DATA", "DataFolder", "//data", key, true);
    util.WriteIniString(ini, "HTTP_SERVER", "HttpURL", baseUrl);
    WriteIniSealed(ini, "HTTP_SERVER", "PostMsg", "//api//example//jsondata", key, true);
    util.WriteIniString(ini, "HTTP_SERVER", "HttpSSL", "false");
    util.WriteIniString(ini, "HTTP_SERVER", "HttpRespWait", respWait);
}

SilentServer::SilentServer() : m_fd(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    Check(m_fd >= 0 && bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len) == 0 &&
              listen(m_fd, 16) == 0 &&
              getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0,
          "silent server");
    m_port = ntohs(addr.sin_port);
}

SilentServer::~SilentServer() {
    close(m_fd);
}

std::string SilentServer::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(m_port);
}

}  // namespace dbpeer
