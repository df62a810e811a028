#include "bench_peer.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "db/table_requests.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "web_service.h"

namespace {

std::unique_ptr<WebService> StartService(const BenchPeer& peer, bool secure) {
    ServiceOptions options;
    options.database = peer.root + (secure ? "/tls.sqlite" : "/plain.sqlite");
    options.dataFolder = peer.dataFolder;
    options.quiet = true;
    if (secure) {
        options.certFile = peer.certFile;
        options.keyFile = peer.root + "/key.pem";
    }
    auto service = std::make_unique<WebService>(options);
    std::string error;
    if (!service->Start(error)) throw std::runtime_error(error);
    return service;
}

}  // namespace

BenchPeer& BenchPeer::Get() {
    static BenchPeer peer;
    return peer;
}

BenchPeer::BenchPeer() : certFile(root + "/cert.pem") {
    const std::string cmd =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
        "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " +
        root + "/key.pem -out " + certFile + " >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) throw std::runtime_error("openssl req failed");
    dataFolder = root + "/data";
    programFolder = root + "/program";
    std::filesystem::create_directories(dataFolder);
    std::filesystem::create_directories(programFolder);
    platform::SetModuleFileNameForTesting(programFolder + "/velkor-tool");
    const std::string ini = programFolder + "/AppConfig.ini";
    platform::WriteProfileString(ini, "HTTP_SERVER", "HttpURL", "http://127.0.0.1:9");
    platform::WriteProfileString(ini, "HTTP_SERVER", "HttpCAFile", certFile);
    http = StartService(*this, false);
    https = StartService(*this, true);
    requestBody = dbreq::RequestBody("QUERY", "SELECT * FROM Velkor_ESP32 LIMIT 1");
}

BenchPeer::~BenchPeer() {
    http->Stop();
    https->Stop();
}

std::string BenchPeer::BaseUrl(bool secure) const {
    return (secure ? https : http)->BaseUrl();
}

std::string BenchPeer::PostUrl(bool secure) const {
    return BaseUrl(secure) + "//api//example//jsondata";
}
