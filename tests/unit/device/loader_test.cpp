#include <gtest/gtest.h>

#include "device/function_library.h"
#include "sim_fixture.h"

using device::FindFunctionLibrary;
using testutil::WriteFile;

namespace {

class LoaderTest : public SimTest {
protected:
    std::string Registration(const std::string& name, const std::string& lib) {
        return "{\"NAME\":\"" + name + "\",\"VENDOR\":\"v\",\"FUNCTION_LIB\":\"" + lib +
               "\",\"CONFIG_APP\":\"cfg\"}";
    }
};

}  // namespace

TEST_F(LoaderTest, NoStoreMeansNoInterfaces) {
    setenv("PASSTHRU_DIR", (RegistryDir() + "/absent").c_str(), 1);
    std::set<PassThruInfo> list = {{"v", "stale", "x", "y"}};
    CPassThruDll::ListInterfaces(list);
    EXPECT_TRUE(list.empty());
    std::string path = "unchanged";
    EXPECT_FALSE(FindFunctionLibrary("QVX_USB_J2534", path, list));
    EXPECT_EQ(path, "unchanged");
}

TEST_F(LoaderTest, ListsRegistrationsFirstOfEqualNamesWins) {
    Register("a_first", Registration("QVX_USB_J2534", "/lib/first.so"));
    Register("b_second", Registration("QVX_USB_J2534", "/lib/second.so"));
    Register("c_other", Registration("Another", "/lib/other.so"));
    Register("d_nolib", "{\"NAME\":\"NoLib\"}");
    std::set<PassThruInfo> list;
    std::string path;
    ASSERT_TRUE(FindFunctionLibrary("QVX_USB_J2534", path, list));
    EXPECT_EQ(path, "/lib/first.so");
    ASSERT_EQ(list.size(), 3u);
    const PassThruInfo& other = *list.find({"", "Another", "", ""});
    EXPECT_EQ(other.Vendor, "v");
    EXPECT_EQ(other.FunctionLibrary, "/lib/other.so");
    EXPECT_EQ(other.ConfigApplication, "cfg");
    EXPECT_EQ(list.find({"", "NoLib", "", ""})->FunctionLibrary, "");
}

TEST_F(LoaderTest, LookupIsCaseExact) {
    Register("QVX_USB_J2534", Registration("qvx_usb_j2534", SIM_LIBRARY));
    std::set<PassThruInfo> list;
    std::string path;
    EXPECT_FALSE(FindFunctionLibrary("QVX_USB_J2534", path, list));
    EXPECT_TRUE(FindFunctionLibrary("qvx_usb_j2534", path, list));
    EXPECT_EQ(path, SIM_LIBRARY);
}

TEST_F(LoaderTest, LoadFailuresLeaveNothingLoaded) {
    const std::string text = RegistryDir() + "/text.so";
    WriteFile(text, "not a library");
    // An ELF header of the other word size (32-bit), as a library built for it starts.
    std::string elf32(
        "\x7f"
        "ELF\x01\x01\x01",
        7);
    elf32.resize(52, '\0');
    elf32[16] = 3;  // ET_DYN
    const std::string other = RegistryDir() + "/elf32.so";
    WriteFile(other, elf32);
    struct {
        std::string path;
        const char* error;
    } cases[] = {
        {"", "error loading J2534 DLL"},
        {RegistryDir() + "/missing.so", "error loading J2534 DLL"},
        {text, "error loading J2534 DLL"},
        {other, "error loading J2534 DLL"},
        {RegistryDir(), "error loading J2534 DLL"},
        {SIM_LIBRARY_NOVOLT, "error loading J2534 DLL function pointers"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ASSERT_TRUE(dll->LoadDll(SIM_LIBRARY));
        EXPECT_FALSE(dll->LoadDll(c.path));
        EXPECT_FALSE(dll->IsLoaded());
        EXPECT_EQ(dll->LastError(), c.error);
        EXPECT_FALSE(dll->LastErrorDetail().empty());
    }
    ASSERT_TRUE(dll->LoadDll(SIM_LIBRARY));
    EXPECT_EQ(dll->LastError(), "error loading J2534 DLL function pointers");  // not cleared
}

TEST_F(LoaderTest, NothingIsCalledAfterFreeDll) {
    J2534_ULONG channel = ConnectSim();
    std::size_t calls = Journal().size();
    dll->FreeDll();
    dll->FreeDll();  // harmless twice
    EXPECT_FALSE(dll->IsLoaded());
    J2534_ULONG id = 77;
    char buffer[kHwInfoBufferSize] = {};
    const unsigned char ssid[] = "net";
    EXPECT_EQ(dll->Open("QVX_USB_J2534", &id), ERR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(dll->Connect(m_deviceId, PROTOCOL_DEVICE_MGMT, 0, 0, &id), ERR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(dll->Ioctl(channel, IOCTL_READ_HW_INFO, nullptr, buffer), ERR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(dll->Close(m_deviceId), ERR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(dll->SetWifiSsid(channel, 3, ssid), ERR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(dll->SetNetworkMode(channel, 1), ERR_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(dll->ReadHardwareInfo(channel, buffer), ERR_DEVICE_NOT_CONNECTED);
    dll->SendFirmwareBlock(channel, 3, ssid, false);
    EXPECT_FALSE(dll->SendTransferEnd(channel, 0, nullptr));
    EXPECT_EQ(id, 77u);
    EXPECT_EQ(Journal().size(), calls);
}
