// The peer for the HTTP benchmarks: the reference web service on a loopback port (HTTP and
// HTTPS with a fresh self-signed certificate), a data folder of test files, a program folder
// whose AppConfig.ini trusts that certificate.
#pragma once

#include <memory>
#include <string>

#include "temp_dir.h"

class WebService;

struct BenchPeer {
    static BenchPeer& Get();  // started on first use, stopped at exit

    BenchPeer();
    ~BenchPeer();
    BenchPeer(const BenchPeer&) = delete;
    BenchPeer& operator=(const BenchPeer&) = delete;

    testutil::TempDir folder;  // holds everything below; removed last
    std::string root = folder.path();
    std::string certFile;
    std::string dataFolder;
    std::string programFolder;
    std::unique_ptr<WebService> http;
    std::unique_ptr<WebService> https;
    std::string requestBody;  // a small QUERY record

    std::string PostUrl(bool secure) const;
    std::string BaseUrl(bool secure) const;
};
