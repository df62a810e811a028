#include "service_fixture.h"

#include <cstdlib>
#include <filesystem>

#include "admin.h"
#include "database.h"
#include "db/table_requests.h"

namespace {

// A throw-away self-signed certificate for 127.0.0.1.
void MakeCertificate(const std::string& dir) {
    const std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "
                                "/CN=127.0.0.1 -keyout '" + dir + "/key.pem' -out '" + dir +
                                "/cert.pem' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << "openssl could not make a certificate";
}

void AppendTable(sqlite3* db, const std::string& sql, std::string& out) {
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            const auto* text = sqlite3_column_text(stmt, i);
            out += text ? reinterpret_cast<const char*>(text) : "<null>";
            out += '|';
        }
        out += '\n';
    }
    sqlite3_finalize(stmt);
}

}  // namespace

std::string ContainerText(const std::string& html) {
    const std::string open = "<div id=\"container\"><h1>";
    const size_t h = html.find(open);
    const size_t hEnd = html.find("</h1><p>", h);
    const size_t pEnd = html.find("</p></div>", hEnd);
    if (h == std::string::npos || hEnd == std::string::npos || pEnd == std::string::npos)
        return "";
    const size_t hStart = h + open.size(), pStart = hEnd + 8;
    return html.substr(hStart, hEnd - hStart) + "|" + html.substr(pStart, pEnd - pStart);
}

std::string Snapshot(const std::string& dbPath) {
    std::string error, out;
    sqlite3* db = webservice::OpenAdminDatabase(dbPath, error);
    if (!db) return "cannot open: " + error;
    AppendTable(db, "SELECT type, name, sql FROM sqlite_master ORDER BY name", out);
    for (const char* table : {kUsersTable, kDeviceTable, kMqttTable})
        AppendTable(db, std::string("SELECT * FROM ") + table + " ORDER BY CLSID", out);
    sqlite3_close(db);
    return out;
}

ServiceFixture::ServiceFixture(bool secure, int deviceRows, int statementMs) {
    dbPath = dir / "service.db";
    dataFolder = dir / "data";
    std::filesystem::create_directories(dataFolder);
    std::string error;
    sqlite3* db = webservice::OpenAdminDatabase(dbPath, error);
    EXPECT_TRUE(db) << error;
    EXPECT_TRUE(webservice::SeedDeviceRows(db, 7, deviceRows, 1, error)) << error;
    EXPECT_TRUE(webservice::SeedMqttRows(db, 7, 2, error)) << error;
    uint64_t userId = 0;
    EXPECT_TRUE(webservice::AddUser(
        db, {"alice", "s3cret", "alice@example.org", "", "http://x//Pelmar", ""}, userId, error))
        << error;
    sqlite3_close(db);

    ServiceOptions options;
    options.database = dbPath;
    options.dataFolder = dataFolder;
    options.bodyLimit = 64 * 1024;
    options.threads = 4;
    options.quiet = true;
    options.limits.statementMs = statementMs;
    if (secure) {
        MakeCertificate(dir.path());
        options.certFile = dir / "cert.pem";
        options.keyFile = dir / "key.pem";
    }
    service = std::make_unique<WebService>(options);
    EXPECT_TRUE(service->Start(error)) << error;
}

ServiceFixture::~ServiceFixture() { service->Stop(); }

HttpAnswer ServiceFixture::Command(const std::string& kind, const std::string& text) const {
    return testutil::HttpClient().Post(RequestUrl(), dbreq::RequestBody(kind, text));
}

HttpAnswer ServiceFixture::File(const std::string& path) const {
    return testutil::HttpClient().Get(service->BaseUrl() + path);
}
