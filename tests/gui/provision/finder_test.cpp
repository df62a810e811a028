// The device finder in both modes: serial ports of a pseudo-terminal pair made by the test,
// and Wi-Fi devices found by discovery in a network of the test's own.
#include "gui_fixture.h"  // first: gtest must precede the X11 macros

#include <FL/Fl_Button.H>
#include <FL/Fl_Input_Choice.H>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "app/app_texts.h"
#include "app/ssdp_fltk.h"
#include "app/velkor_esp32_gui.h"
#include "private_network.h"
#include "provision/ssdp_discover.h"
#include "sim_announce.h"

using testutil::GuiFixture;
using testutil::WaitFor;

namespace {

std::vector<std::string> Entries(const CSSDPFltk& f) {
    std::vector<std::string> texts;
    const Fl_Menu_Item* items = f.m_List->menubutton()->menu();
    for (int i = 0; items && i < f.m_List->menubutton()->size() - 1; ++i)
        if (items[i].label()) texts.push_back(items[i].label());
    return texts;
}

class SerialFinder : public GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        ASSERT_EQ(::openpty(&m_master, &m_slave, m_port, nullptr, nullptr), 0);
        setenv("VELKOR_SERIAL_PORTS", m_port, 1);
    }
    void TearDown() override {
        unsetenv("VELKOR_SERIAL_PORTS");
        ::close(m_master);
        ::close(m_slave);
        GuiFixture::TearDown();
    }
    std::unique_ptr<CSSDPFltk> Open() {
        const std::string title = app::DeviceFinderTitle();
        auto f =
            std::make_unique<CSSDPFltk>(400, 160, title.c_str(), CSSDPFltk::kSerialMode, &m_output);
        Pump();
        return f;
    }

    int m_master = -1, m_slave = -1;
    char m_port[128] = {};
    std::string m_output = "unchanged";
};

TEST_F(SerialFinder, SetsTheChosenPortTo1200BaudForTheHoldAndSaysSo) {
    auto finder = Open();
    EXPECT_STREQ(finder->m_List->label(), "COM Ports:");
    EXPECT_STREQ(finder->m_ActionButton->label(), "Set Device in USB Boot");
    EXPECT_EQ(Entries(*finder).back(), m_port);
    EXPECT_TRUE(finder->modal());
    SaveScreenshot(*finder, "finder_serial.png");

    finder->m_List->value(m_port);
    std::atomic<bool> seen1200{false}, done{false};
    std::thread watcher([&] {
        while (!done) {
            termios tio{};
            if (::tcgetattr(m_master, &tio) == 0 && ::cfgetospeed(&tio) == B1200) seen1200 = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    const auto start = std::chrono::steady_clock::now();
    finder->m_ActionButton->do_callback();
    const auto held = std::chrono::steady_clock::now() - start;
    done = true;
    watcher.join();

    EXPECT_TRUE(seen1200);
    EXPECT_GE(held, std::chrono::milliseconds(5000));
    EXPECT_EQ(m_dialogs.alerts, std::vector<std::string>{
                                    "Device Set in USB boot mode.\nNow you can Erase/Update Boot "
                                    "loader!"});
    EXPECT_FALSE(finder->shown());
    EXPECT_EQ(m_output, "unchanged");  // only "USe Selected Interface" hands a port back
}

TEST_F(SerialFinder, NoPortChosenIsSaidAndUseSelectedStoresNothing) {
    auto finder = Open();
    finder->m_List->value("");
    finder->m_ActionButton->do_callback();
    EXPECT_EQ(m_dialogs.alerts,
              std::vector<std::string>{"Please choose the COM port of the device."});
    EXPECT_TRUE(finder->shown());

    finder->m_UseButton->do_callback();
    EXPECT_EQ(m_output, "unchanged");
    EXPECT_FALSE(finder->shown());
}

TEST_F(SerialFinder, UseSelectedHandsThePortBack) {
    auto finder = Open();
    finder->m_List->value(m_port);
    finder->m_UseButton->do_callback();
    EXPECT_EQ(m_output, m_port);
    EXPECT_FALSE(finder->shown());
}

// The process-wide discovery reads Passthru.ini of the program folder, which keeps it on the
// loopback interface, inside the test's own network.
class WifiFinder : public GuiFixture {
protected:
    void SetUp() override {
        std::string reason;
        if (!testutil::EnterPrivateNetwork(&reason)) GTEST_SKIP() << reason;
        GuiFixture::SetUp();
        testutil::WriteFile(ProgramDir() + "/Passthru.ini",
                            "[TCP]\nSSDPort=1900\nSSDPInterface=127.0.0.1\n");
    }
    static bool StartDevice(sim::SsdpAnnouncer& device, const std::string& name, bool notify) {
        sim::AnnounceOptions options;
        options.name = name;
        options.notify = notify;
        std::string error;
        bool ok = device.Start(options, &error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }
    static bool Discovered(std::size_t count) {
        return WaitFor(
            [&] {
                std::vector<std::string> names;
                return CSSDP_Discover::GetInstance()->GetDeviceNames(names) >= count;
            },
            5);
    }
    std::string m_output = "unchanged";
};

TEST_F(WifiFinder, ListsDiscoveredDevicesSearchesAgainAndHandsTheAddressBack) {
    sim::SsdpAnnouncer first, second;
    ASSERT_TRUE(StartDevice(first, "QVX_WIFIAP_J2534-A0B1C2D3E4F5", true));
    CSSDP_Discover::GetInstance()->StartThreads();
    ASSERT_TRUE(Discovered(1));

    const std::string title = app::DeviceFinderTitle();
    CSSDPFltk finder(400, 160, title.c_str(), CSSDPFltk::kWifiMode, &m_output);
    Pump();
    EXPECT_STREQ(finder.m_List->label(), "WIFI-IOT Device List:");
    EXPECT_STREQ(finder.m_ActionButton->label(), "Find Connected Devices");
    EXPECT_EQ(Entries(finder), std::vector<std::string>{"QVX_WIFIAP_J2534-A0B1C2D3E4F5"});
    EXPECT_STREQ(finder.m_List->value(), "QVX_WIFIAP_J2534-A0B1C2D3E4F5");

    // A device that only answers searches shows after "Find Connected Devices".
    ASSERT_TRUE(StartDevice(second, "Bay 2/Lift & Co", false));
    finder.m_ActionButton->do_callback();
    EXPECT_EQ(Entries(finder),
              (std::vector<std::string>{"QVX_WIFIAP_J2534-A0B1C2D3E4F5", "Bay 2/Lift & Co"}));
    SaveScreenshot(finder, "finder_wifi.png");

    finder.m_List->value("Bay 2/Lift & Co");
    finder.m_UseButton->do_callback();
    EXPECT_EQ(m_output, "127.0.0.1");
    EXPECT_FALSE(finder.shown());
    CSSDP_Discover::GetInstance()->StopThreads();
}

TEST_F(WifiFinder, ANameDiscoveryDoesNotKnowHandsBackAnEmptyAddress) {
    const std::string title = app::DeviceFinderTitle();
    CSSDPFltk finder(400, 160, title.c_str(), CSSDPFltk::kWifiMode, &m_output);
    Pump();
    finder.m_List->value("typed by hand");
    finder.m_UseButton->do_callback();
    EXPECT_EQ(m_output, "");
}

// The main window's opener: the finder runs in a nested loop until it is closed.
TEST_F(WifiFinder, TheMainWindowOpensItAndWaits) {
    CVelkor_ESP32_GUI& g = MakeWindow();
    Fl::add_timeout(
        0.3,
        [](void* data) {
            auto* g = static_cast<CVelkor_ESP32_GUI*>(data);
            if (g->m_pFinder) g->m_pFinder->m_UseButton->do_callback();
        },
        &g);
    g.OpenDeviceFinder(CSSDPFltk::kWifiMode);
    ASSERT_TRUE(g.m_pFinder);
    EXPECT_FALSE(g.m_pFinder->shown());
    EXPECT_EQ(std::string(g.m_pFinder->label()).rfind("ZERE DAV Eduza(Ver:1.0013, Date:", 0), 0u);
}

}  // namespace
