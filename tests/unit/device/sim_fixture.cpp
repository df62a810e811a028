#include "sim_fixture.h"

#include <sys/stat.h>

#include <cstdlib>
#include <sstream>

void SimTest::SetUp() {
    const char* home = std::getenv("HOME");
    m_home = home ? home : "";
    ::mkdir(RegistryDir().c_str(), 0755);
    ::mkdir(StateDir().c_str(), 0755);
    setenv("PASSTHRU_DIR", RegistryDir().c_str(), 1);
    setenv("PASSTHRU_SIM_STATE", StateDir().c_str(), 1);
}

void SimTest::TearDown() {
    if (m_deviceId != 0) {  // also when a test unloaded the library while the device was open
        if (!dll->IsLoaded()) dll->LoadDll(SIM_LIBRARY);
        dll->Close(m_deviceId);
    }
    dll->FreeDll();
    unsetenv("PASSTHRU_DIR");
    unsetenv("PASSTHRU_SIM_STATE");
    setenv("HOME", m_home.c_str(), 1);
}

void SimTest::Register(const std::string& file, const std::string& json) {
    testutil::WriteFile(RegistryDir() + "/" + file + ".json", json);
}

void SimTest::SetFaults(const std::string& lines) {
    testutil::WriteFile(StateDir() + "/faults", lines);
}

J2534_ULONG SimTest::ConnectSim(const char* name) {
    EXPECT_TRUE(dll->LoadDll(SIM_LIBRARY)) << dll->LastErrorDetail();
    EXPECT_EQ(dll->Open(name, &m_deviceId), STATUS_NOERROR);
    J2534_ULONG channel = 0;
    EXPECT_EQ(dll->Connect(m_deviceId, PROTOCOL_DEVICE_MGMT, 0, 0, &channel), STATUS_NOERROR);
    EXPECT_NE(channel, 0u);
    return channel;
}

std::vector<json::jobject> SimTest::Journal() const {
    std::vector<json::jobject> lines;
    std::istringstream in(testutil::ReadFile(StateDir() + "/journal"));
    std::string line;
    while (std::getline(in, line)) lines.push_back(json::jobject::parse(line));
    return lines;
}

std::vector<json::jobject> SimTest::Ioctls() const {
    std::vector<json::jobject> out;
    for (auto& o : Journal())
        if (Text(o, "call") == "PassThruIoctl") out.push_back(o);
    return out;
}

std::string Text(const json::jobject& o, const std::string& key) {
    std::string v = o.get(key);
    if (v.size() >= 2 && v.front() == '"') return v.substr(1, v.size() - 2);
    return v;
}
