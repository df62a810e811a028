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

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* sink) {
    static_cast<std::string*>(sink)->append(data, size * count);
    return size * count;
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

bool BareTransfer(CURL* handle, const std::string& url, const std::string* post,
                  const std::string& caFile, std::string& body) {
    curl_easy_reset(handle);
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CAINFO, caFile.c_str());
    if (post) {
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(post->size()));
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, post->c_str());
    }
    if (curl_easy_perform(handle) != CURLE_OK) return false;
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    return status == 200;
}
