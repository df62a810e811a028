// Discovery against devices on the test's own network: crafted NOTIFY messages, the
// simulated Wi-Fi device, and a device on GSSDP, a stack that is not ours.
#include "provision/ssdp_discover.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "private_network.h"
#include "sim_announce.h"
#include "ssdp_peer.h"
#include "temp_dir.h"

using namespace std::chrono_literals;
using ssdptest::DescriptionServer;
using ssdptest::Notify;
using ssdptest::SendToGroup;
using testutil::WaitFor;

namespace {

class Discovery : public ::testing::Test {
protected:
    void SetUp() override {
        std::string reason;
        if (!testutil::EnterPrivateNetwork(&reason)) GTEST_SKIP() << reason;
    }

    // Discovery on the loopback interface at `port`, threads started.
    static std::unique_ptr<CSSDP_Discover> Start(int port = 1900) {
        provision::SsdpSettings s;
        s.port = port;
        s.message = provision::SearchMessage(std::to_string(port));
        s.interfaceAddress = "127.0.0.1";
        auto discovery = std::make_unique<CSSDP_Discover>(s);
        discovery->StartThreads();
        return discovery;
    }

    static std::vector<std::string> Names(const CSSDP_Discover& d) {
        std::vector<std::string> names{"stale"};
        d.GetDeviceNames(names);
        return names;
    }

    static bool Lists(const CSSDP_Discover& d, const std::string& name, double seconds) {
        return WaitFor(
            [&] {
                auto names = Names(d);
                return std::find(names.begin(), names.end(), name) != names.end();
            },
            seconds);
    }
};

TEST_F(Discovery, NotifyOnTheConfiguredPortIsFetchedAndRecorded) {
    auto discovery = Start(1901);
    DescriptionServer dev1("127.0.0.1", "Dev1"), other("127.0.0.1", "OnOtherPort");
    SendToGroup("127.0.0.1", 1900, Notify(other.Url()));
    SendToGroup("127.0.0.1", 1901, Notify(dev1.Url()));

    ASSERT_TRUE(Lists(*discovery, "Dev1", 5));
    EXPECT_EQ(Names(*discovery), std::vector<std::string>{"Dev1"});
    std::string address = "unchanged";
    EXPECT_TRUE(discovery->GetDeviceAddress("Dev1", address));
    EXPECT_EQ(address, "127.0.0.1");
    EXPECT_FALSE(discovery->GetDeviceAddress("Dev", address));
    EXPECT_EQ(address, "127.0.0.1");
    EXPECT_EQ(dev1.Requests(), 1);
    EXPECT_EQ(other.Requests(), 0);
}

// Datagrams are read in order, so once the last one's device is listed the others have been
// read too.
TEST_F(Discovery, LocationsOutsideTheRulesAreNeverFetched) {
    auto discovery = Start();
    DescriptionServer here("127.0.0.1", "Ignored"), elsewhere("127.0.0.2", "Elsewhere");
    DescriptionServer sentinel("127.0.0.1", "Sentinel");
    const std::string root = here.Url("");
    for (const std::string& location :
         {here.Url("/a/desc.xml"), root, elsewhere.Url(), "https" + here.Url().substr(4),
          "ftp" + here.Url().substr(4)}) {
        SCOPED_TRACE(location);
        SendToGroup("127.0.0.1", 1900, Notify(location));
    }
    SendToGroup("127.0.0.1", 1900, Notify(sentinel.Url()));

    ASSERT_TRUE(Lists(*discovery, "Sentinel", 5));
    EXPECT_EQ(Names(*discovery), std::vector<std::string>{"Sentinel"});
    EXPECT_EQ(here.Requests(), 0);
    EXPECT_EQ(elsewhere.Requests(), 0);
}

TEST_F(Discovery, ASecondDeviceOfAKnownNameIsNotAdded) {
    auto discovery = Start();
    DescriptionServer first("127.0.0.1", "Dev1"), second("127.0.0.3", "Dev1");
    DescriptionServer sentinel("127.0.0.1", "Sentinel");
    SendToGroup("127.0.0.1", 1900, Notify(first.Url()));
    ASSERT_TRUE(Lists(*discovery, "Dev1", 5));
    SendToGroup("127.0.0.3", 1900, Notify(second.Url()));
    SendToGroup("127.0.0.1", 1900, Notify(sentinel.Url()));

    ASSERT_TRUE(Lists(*discovery, "Sentinel", 5));
    EXPECT_EQ(second.Requests(), 1);
    EXPECT_EQ(Names(*discovery), (std::vector<std::string>{"Dev1", "Sentinel"}));
    std::string address;
    EXPECT_TRUE(discovery->GetDeviceAddress("Dev1", address));
    EXPECT_EQ(address, "127.0.0.1");
}

// A description server that takes the connection and never answers holds discovery up for
// the fetch's bound only, and is not asked again at once.
TEST_F(Discovery, ASilentDescriptionServerDoesNotStallTheNextDevice) {
    auto discovery = Start();
    ssdptest::SilentServer silent("127.0.0.4");
    DescriptionServer next("127.0.0.2", "Next"), later("127.0.0.5", "Later");
    const auto start = std::chrono::steady_clock::now();
    SendToGroup("127.0.0.4", 1900, Notify(silent.Url()));
    SendToGroup("127.0.0.2", 1900, Notify(next.Url()));
    ASSERT_TRUE(Lists(*discovery, "Next", 6));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);

    const auto again = std::chrono::steady_clock::now();
    SendToGroup("127.0.0.4", 1900, Notify(silent.Url()));
    SendToGroup("127.0.0.5", 1900, Notify(later.Url()));
    ASSERT_TRUE(Lists(*discovery, "Later", 6));
    EXPECT_LT(std::chrono::steady_clock::now() - again, 2s);
}

// GSSDP writes its header as "Location:".
TEST_F(Discovery, GssdpDeviceIsFoundByItsAnnouncement) {
    auto discovery = Start();
    DescriptionServer description("127.0.0.1", "GSSDP device");
    ssdptest::GssdpDevice device("127.0.0.1", description.Url());
    ASSERT_TRUE(device.Ready());
    EXPECT_TRUE(Lists(*discovery, "GSSDP device", 5));
}

// GSSDP answers a search only by unicast to the searcher's port. Its announcements are over
// before discovery starts, so only the answer to the search can find it.
TEST_F(Discovery, GssdpDeviceIsFoundByTheAnswerToASearch) {
    DescriptionServer description("127.0.0.1", "GSSDP device");
    ssdptest::GssdpDevice device("127.0.0.1", description.Url());
    ASSERT_TRUE(device.Ready());
    std::this_thread::sleep_for(1500ms);
    ASSERT_EQ(description.Requests(), 0);

    auto discovery = Start();
    EXPECT_TRUE(Lists(*discovery, "GSSDP device", 8));  // GSSDP answers within MX (3 s)
}

// The simulated Wi-Fi device answers searches only; FindDevices searches at once instead of
// at the end of the 5-second wait. Port 1901 is used by both the search and the receiver.
TEST_F(Discovery, FindDevicesSearchesAtOnceOnTheConfiguredPort) {
    auto discovery = Start(1901);
    std::this_thread::sleep_for(300ms);  // the first search is out
    sim::SsdpAnnouncer device;
    sim::AnnounceOptions options;
    options.name = "QVX_WIFIAP_J2534-A0B1C2D3E4F5";
    options.ssdpPort = 1901;
    options.notify = false;
    std::string error;
    ASSERT_TRUE(device.Start(options, &error)) << error;

    discovery->FindDevices();
    EXPECT_TRUE(Lists(*discovery, options.name, 2));
    EXPECT_GE(device.Answered(), 1);
    EXPECT_NE(discovery->SearchPort(), 0);

    const auto stop = std::chrono::steady_clock::now();
    discovery->StopThreads();
    EXPECT_LT(std::chrono::steady_clock::now() - stop, 1s);
    EXPECT_EQ(Names(*discovery), std::vector<std::string>{options.name});
}

}  // namespace
