// A reference web service on an ephemeral loopback port with a temporary database and data
// folder, and the requests the tool sends it (through the plain test client, each request on a
// connection of its own).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "http_client.h"
#include "temp_dir.h"
#include "web_service.h"

using testutil::HttpAnswer;

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
    HttpAnswer File(const std::string& path) const;
    std::string RequestUrl() const { return service->BaseUrl() + "//api//example//jsondata"; }

    testutil::TempDir dir;
    std::string dbPath;
    std::string dataFolder;
    std::unique_ptr<WebService> service;
};
