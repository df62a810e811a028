// The actions the main window carries out itself: the maintenance scripts, the Internet
// check of "Database Open" and the picture chooser.
#include "gui_fixture.h"  // first: gtest must precede the X11 macros

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Image.H>

#include <cstdlib>
#include <filesystem>

#include "app/velkor_esp32_gui.h"
#include "platform/connectivity.h"

namespace fs = std::filesystem;
using testutil::GuiFixture;
using testutil::ReadFile;
using testutil::WaitFor;

class Actions : public GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        m_oldPath = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    }
    void TearDown() override {
        setenv("PATH", m_oldPath.c_str(), 1);
        unsetenv("ESPPORT");
        platform::SetConnectivityProbe({});
        GuiFixture::TearDown();
    }

    // An esptool stand-in on the PATH that notes where it ran and with which arguments.
    std::string InstallEsptool() {
        const std::string bin = m_tools / "bin";
        fs::create_directory(bin);
        const std::string log = m_tools / "esptool.log";
        testutil::WriteFile(bin + "/esptool", "#!/bin/sh\n{ pwd; echo \"$*\"; } > '" + log +
                                                  ".tmp'\n"
                                                  "mv '" +
                                                  log + ".tmp' '" + log + "'\n");
        fs::permissions(bin + "/esptool", fs::perms::owner_all);
        setenv("PATH", (bin + ":" + m_oldPath).c_str(), 1);
        setenv("ESPPORT", "/dev/ttyVELKOR0", 1);
        setenv("VELKOR_SCRIPT_NOPAUSE", "1", 1);
        return log;
    }

    // Runs the event loop until `done` holds, for up to `seconds`.
    template <typename Done>
    static bool PumpUntil(Done done, double seconds = 10) {
        auto end = std::chrono::steady_clock::now() +
                   std::chrono::milliseconds(static_cast<long>(seconds * 1000));
        while (!done() && std::chrono::steady_clock::now() < end) Fl::wait(0.01);
        return done();
    }

    testutil::TempDir m_tools;
    std::string m_oldPath;
};

TEST_F(Actions, EraseAndUpdateBootRunTheirScriptInItsOwnFolder) {
    CopyData("Hadware_Binary");
    const std::string boot = ProgramDir() + "/Hadware_Binary/ESP32_S3_Velkor_Boot";
    testutil::WriteFile(boot + "/bootloader.bin", std::string(64, '\xE9'));
    const std::string log = InstallEsptool();
    CVelkor_ESP32_GUI& g = MakeWindow();
    ASSERT_NE(ProgramDir().find(' '), std::string::npos);

    struct Case {
        Fl_Button* button;
        std::string folder, arguments;
    } cases[] = {
        {g.m_EraseButton, ProgramDir() + "/Hadware_Binary/Erase_Flash",
         "--chip esp32s3 --port /dev/ttyVELKOR0 erase_flash"},
        {g.m_UpdateBootButton, boot,
         "--chip esp32s3 --port /dev/ttyVELKOR0 write_flash 0x0 bootloader.bin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        fs::remove(log);
        const std::size_t told = m_dialogs.alerts.size();
        c.button->do_callback();
        ASSERT_TRUE(WaitFor([&] { return fs::exists(log); }, 10));
        EXPECT_EQ(ReadFile(log), c.folder + "\n" + c.arguments + "\n");
        // No terminal shows the script, so its outcome is told once it has ended.
        ASSERT_TRUE(PumpUntil([&] { return m_dialogs.alerts.size() > told; }));
        const std::string& report = m_dialogs.alerts.back();
        EXPECT_NE(report.find(" finished.\n\n"), std::string::npos) << report;
        EXPECT_NE(report.find(": done."), std::string::npos) << report;
        EXPECT_NE(report.find("The whole output is in " + c.folder + "/updater.log"),
                  std::string::npos)
            << report;
    }
    EXPECT_EQ(m_dialogs.alerts.size(), 2u);
    EXPECT_EQ(g.m_Scripts.Running(), 0u);
}

// A script that fails at once (no flashing tool) has its words shown before the press is
// over; it no longer goes only to the tool's standard output.
TEST_F(Actions, QuickFailureOfAScriptIsShown) {
    CopyData("Hadware_Binary");
    setenv("PATH", "/usr/bin:/bin", 1);
    CVelkor_ESP32_GUI& g = MakeWindow();
    g.m_EraseButton->do_callback();
    ASSERT_TRUE(PumpUntil([&] { return !m_dialogs.alerts.empty(); }));
    EXPECT_EQ(m_dialogs.alerts[0],
              "Erase Flash failed (exit code 1).\n\n"
              "Erase Flash: esptool was not found on the PATH (install it, e.g. 'pip install "
              "esptool').\n\nThe whole output is in " +
                  ProgramDir() + "/Hadware_Binary/Erase_Flash/updater.log");
}

// A long flash leaves the window working; its outcome is told when it ends.
TEST_F(Actions, LongScriptDoesNotHoldTheWindow) {
    CopyData("Hadware_Binary");
    const std::string bin = m_tools / "bin";
    fs::create_directory(bin);
    const std::string go = m_tools / "go";
    testutil::WriteFile(bin + "/esptool",
                        "#!/bin/sh\necho 'Erasing flash ...'\n"
                        "while [ ! -e '" +
                            go +
                            "' ]; do sleep 0.05; done\n"
                            "echo 'Chip erase completed successfully.'\n");
    fs::permissions(bin + "/esptool", fs::perms::owner_all);
    setenv("PATH", (bin + ":" + m_oldPath).c_str(), 1);
    setenv("ESPPORT", "/dev/ttyVELKOR0", 1);
    CVelkor_ESP32_GUI& g = MakeWindow();

    auto start = std::chrono::steady_clock::now();
    g.m_EraseButton->do_callback();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    int ticks = 0;
    Fl::add_timeout(
        0.05, [](void* n) { ++*static_cast<int*>(n); }, &ticks);
    Pump(1.0);  // the window keeps handling its events meanwhile
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(m_dialogs.alerts.empty());
    EXPECT_EQ(g.m_Scripts.Running(), 1u);

    testutil::WriteFile(go, "");
    ASSERT_TRUE(PumpUntil([&] { return !m_dialogs.alerts.empty(); }));
    EXPECT_EQ(m_dialogs.alerts[0],
              "Erase Flash finished.\n\n"
              "Erase Flash: erasing the ESP32-S3 flash through /dev/ttyVELKOR0 ...\n"
              "Erasing flash ...\nChip erase completed successfully.\nErase Flash: done."
              "\n\nThe whole output is in " +
                  ProgramDir() + "/Hadware_Binary/Erase_Flash/updater.log");
    EXPECT_EQ(g.m_Scripts.Running(), 0u);
}

TEST_F(Actions, MissingScriptIsReported) {
    CVelkor_ESP32_GUI& g = MakeWindow();
    g.m_EraseButton->do_callback();
    ASSERT_EQ(m_dialogs.alerts.size(), 1u);
    EXPECT_EQ(m_dialogs.alerts[0], "The maintenance script is missing:\n" + ProgramDir() +
                                       "/Hadware_Binary/Erase_Flash/updater.sh");
}

TEST_F(Actions, DatabaseOpenNeedsTheInternet) {
    CVelkor_ESP32_GUI& g = MakeWindow();
    for (int state : {1, 2, 3}) {
        platform::SetConnectivityProbe([state] { return state; });
        g.OnDbOpen();
    }
    ASSERT_EQ(m_dialogs.alerts.size(), 3u);
    for (const auto& text : m_dialogs.alerts)
        EXPECT_EQ(text,
                  "Thanks for your time to use app, please verify you internet connection! "
                  "Application need Internet Connection ?");
    platform::SetConnectivityProbe([] { return 0; });
    g.OnDbOpen();
    EXPECT_EQ(m_dialogs.alerts.size(), 3u);
}

TEST_F(Actions, UploadImageShowsTheChosenPicture) {
    CVelkor_ESP32_GUI& g = MakeWindow();
    ASSERT_EQ(g.m_Picture, nullptr);  // no pictures in this program folder
    const std::string notJpeg = ProgramDir() + "/note.jpg";
    testutil::WriteFile(notJpeg, "not a picture");
    m_dialogs.files = {std::string(VELKOR_SOURCE_DIR) + "/data/images/login.jpg", notJpeg};

    g.m_UpImageButton->do_callback();
    ASSERT_NE(g.m_Picture, nullptr);
    EXPECT_EQ(g.m_Picture->w(), 320);
    EXPECT_EQ(g.m_Picture->h(), 240);
    EXPECT_TRUE(m_dialogs.alerts.empty());

    Fl_Image* shown = g.m_Picture;
    g.m_UpImageButton->do_callback();  // not a picture: the one shown stays
    EXPECT_EQ(g.m_Picture, shown);
    EXPECT_EQ(g.m_PictureBox->image(), shown);
    EXPECT_EQ(m_dialogs.alerts, std::vector<std::string>{"No JPEG picture in\n" + notJpeg});

    g.m_UpImageButton->do_callback();  // cancelled: nothing changes, nothing is said
    EXPECT_EQ(m_dialogs.alerts.size(), 1u);
    EXPECT_EQ(m_dialogs.chooserTitles, (std::vector<std::string>(3, "Input File")));
}

// The window's lookup refreshes its list from the registry store and matches names exactly.
TEST_F(Actions, FindFunctionLibraryLooksUpTheRegistration) {
    const std::string store = m_tools / "passthru";
    fs::create_directory(store);
    testutil::WriteFile(store + "/usb.json",
                        "{\"NAME\":\"QVX_USB_J2534\",\"VENDOR\":\"Velkor\","
                        "\"FUNCTION_LIB\":\"/opt/velkor/libj2534.so\"}");
    testutil::WriteFile(store + "/other.json",
                        "{\"NAME\":\"qvx_usb_j2534\",\"FUNCTION_LIB\":\"x\"}");
    setenv("PASSTHRU_DIR", store.c_str(), 1);
    CVelkor_ESP32_GUI& g = MakeWindow();
    std::string path = "unchanged";
    EXPECT_FALSE(g.FindFunctionLibrary("QVX_WIFIAP_J2534", path));
    EXPECT_EQ(path, "unchanged");
    EXPECT_TRUE(g.FindFunctionLibrary("QVX_USB_J2534", path));
    EXPECT_EQ(path, "/opt/velkor/libj2534.so");
    EXPECT_EQ(g.m_PassThruList.size(), 2u);
    unsetenv("PASSTHRU_DIR");
}
