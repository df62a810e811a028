// A reference web service on an ephemeral loopback port with a temporary database and data
// folder, and the requests the tool sends it (libcurl, default form content type).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "temp_dir.h"
#include "web_service.h"

struct HttpAnswer {
    long status = 0;
    std::string body;
};

// POST of `body` (the tool's way: CURLOPT_POSTFIELDS, no headers, peer not verified).
HttpAnswer CurlPost(const std::string& url, const std::string& body);
// GET of `url` exactly as written (no dot-segment clean-up).
HttpAnswer CurlGet(const std::string& url);

// The XML body of one request record of `kind` carrying `text`.
std::string RequestBody(const std::string& kind, const std::string& text);

// "heading|paragraph" of the page's id="container" element; empty when there is none.
std::string ContainerText(const std::string& html);

// Every row of the three tables and the schema text, to compare before and after.
std::string Snapshot(const std::string& dbPath);

class ServiceFixture {
public:
    // Seeds `deviceRows` rows owned by user 7 and starts the service (HTTPS when `secure`).
    explicit ServiceFixture(bool secure, int deviceRows = 30, int statementMs = 2000);
    ~ServiceFixture();

    HttpAnswer Command(const std::string& kind, const std::string& text) const;
    HttpAnswer File(const std::string& path) const { return CurlGet(service->BaseUrl() + path); }
    std::string RequestUrl() const { return service->BaseUrl() + "//api//example//jsondata"; }

    testutil::TempDir dir;
    std::string dbPath;
    std::string dataFolder;
    std::unique_ptr<WebService> service;
};
