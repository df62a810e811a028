// The main window as it is built: its controls, texts and pictures, and what the first
// start writes into the program folder.
#include "gui_fixture.h"  // first: gtest must precede the X11 macros

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>

#include <filesystem>

#include "app/browser_widgets.h"
#include "app/velkor_esp32_gui.h"
#include "config/gui_text.h"
#include "platform/ini.h"
#include "platform/window.h"

// Last: the X11 headers define macros (None, Bool) that other headers use as names.
#include <FL/x.H>

namespace fs = std::filesystem;
using testutil::GuiFixture;

namespace {

struct Expected {
    const char* name;
    Fl_Widget* widget;
    int x, y, w, h;
    const char* label;
    const char* tooltip;
};

std::vector<Expected> LayoutOf(CVelkor_ESP32_GUI& g) {
    return {
        {"exit", g.m_ExitButton, 810, 540, 50, 40, nullptr, "Exit"},
        {"add new", g.m_AddNewButton, 670, 480, 50, 40, nullptr, "Add New"},
        {"done", g.m_DoneButton, 790, 480, 50, 40, nullptr, "Done"},
        {"cancel", g.m_CancelButton, 730, 480, 50, 40, nullptr, "Cancel"},
        {"database open", g.m_DbOpenButton, 750, 540, 50, 40, nullptr, "Database Open"},
        {"table view", g.m_TabView, 9, 20, 500, 250, "Velkor_ESP32", nullptr},
        {"record editor", g.m_Editor, 9, 331, 840, 140, nullptr, nullptr},
        {"filter field", g.m_FilterFieldChoice, 250, 490, 131, 30, "Field:", nullptr},
        {"comparison", g.m_ComparisonChoice, 100, 490, 100, 30, "Comparison:", nullptr},
        {"comparison value", g.m_CompareValue, 450, 490, 150, 29, "To:", nullptr},
        {"sort field", g.m_SortFieldChoice, 500, 277, 105, 30, "Field:", nullptr},
        {"sort order", g.m_SortOrderChoice, 660, 277, 87, 30, "Sort:", nullptr},
        {"sort", g.m_SortButton, 750, 277, 50, 40, nullptr, "Sort Records"},
        {"find", g.m_FindButton, 610, 480, 50, 40, nullptr, "Find"},
        {"page size", g.m_PageSizeChoice, 74, 277, 90, 27, "Records:", nullptr},
        {"first", g.m_FirstButton, 183, 277, 50, 40, nullptr, "First"},
        {"last", g.m_LastButton, 400, 277, 50, 40, nullptr, "Last"},
        {"next", g.m_NextButton, 327, 277, 50, 40, nullptr, "Next"},
        {"previous", g.m_PrevButton, 254, 277, 50, 40, nullptr, "Prev"},
        {"upload image", g.m_UpImageButton, 810, 265, 50, 40, nullptr, "Upload Image"},
        {"picture area", g.m_PictureBox, 535, 12, 320, 240, nullptr, nullptr},
        {"device name", g.m_DeviceChoice, 510, 540, 140, 30, "Pro:", nullptr},
        {"connect", g.m_ConnectButton, 660, 540, 145, 30, "&Connect with Dev", nullptr},
        {"web download", g.m_WebDlButton, 660, 575, 80, 30, "&Web DL", nullptr},
        {"application firmware", g.m_FirmwareButton, 530, 575, 120, 30, "&J2534 fw Update",
         nullptr},
        {"status field", g.m_StatusField, 10, 530, 140, 30, nullptr, nullptr},
        {"hardware info", g.m_HwInfoButton, 150, 530, 60, 30, "&HW Info", nullptr},
        {"boot-loader update", g.m_UpdateBootButton, 220, 530, 90, 30, "&Update Boot", nullptr},
        {"erase", g.m_EraseButton, 320, 530, 50, 30, "&Erase", nullptr},
        {"boot firmware", g.m_BootFwButton, 380, 530, 100, 30, "&Boot fw Update", nullptr},
        {"version list", g.m_VersionChoice, 300, 570, 200, 30, "Ver:", nullptr},
        {"network settings", g.m_WifiButton, 120, 570, 30, 30, "&Wifi", nullptr},
    };
}

std::string Str(const char* s) {
    return s ? s : "(none)";
}

std::vector<std::string> MenuLabels(const Fl_Menu_* menu) {
    std::vector<std::string> labels;
    for (int i = 0; i < menu->size() - 1; ++i) labels.push_back(Str(menu->menu()[i].label()));
    return labels;
}

// Every file below `dir` with its content, to show that nothing was written.
std::map<std::string, std::string> Tree(const std::string& dir) {
    std::map<std::string, std::string> tree;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        tree[e.path().string()] = e.is_regular_file() ? testutil::ReadFile(e.path()) : "<dir>";
    return tree;
}

}  // namespace

class MainWindow : public GuiFixture {};

TEST_F(MainWindow, EveryControlAtItsPlaceWithItsTextAndPicture) {
    CopyData("images");
    CVelkor_ESP32_GUI& g = MakeWindow();

    for (const Expected& e : LayoutOf(g)) {
        SCOPED_TRACE(e.name);
        ASSERT_NE(e.widget, nullptr);
        EXPECT_EQ(e.widget->parent(), &g);
        EXPECT_EQ(e.widget->x(), e.x);
        EXPECT_EQ(e.widget->y(), e.y);
        EXPECT_EQ(e.widget->w(), e.w);
        EXPECT_EQ(e.widget->h(), e.h);
        EXPECT_EQ(Str(e.widget->label()), Str(e.label));
        EXPECT_EQ(Str(e.widget->tooltip()), Str(e.tooltip));
        if (e.tooltip) {
            EXPECT_NE(e.widget->image(), nullptr);  // every picture button
        }
    }
    EXPECT_FALSE(g.m_AddNewButton->visible());
    EXPECT_FALSE(g.m_DoneButton->visible());
    EXPECT_FALSE(g.m_CancelButton->visible());
    EXPECT_FALSE(g.m_DbOpenButton->visible());
    EXPECT_TRUE(g.m_ExitButton->visible());

    EXPECT_EQ(MenuLabels(g.m_ComparisonChoice),
              (std::vector<std::string>{"Select", "=", "<>", ">", "<", "<=", "=>", "LIKE"}));
    EXPECT_EQ(MenuLabels(g.m_SortOrderChoice),
              (std::vector<std::string>{"None", "Ascending", "Descending"}));
    EXPECT_EQ(g.m_ComparisonChoice->value(), 0);
    EXPECT_EQ(g.m_SortOrderChoice->value(), 0);
    EXPECT_STREQ(g.m_DeviceChoice->value(), "QVX_USB_J2534");
    EXPECT_EQ(MenuLabels(g.m_DeviceChoice->menubutton()),
              (std::vector<std::string>{"QVX_USB_J2534", "QVX_USB_J2534_UDS_SIM",
                                        "QVX_WIFIAP_J2534", "QVX_WIFI_MQTT_J2534",
                                        "QVX_WIFIAP_J2534_XXX", "QVX_USB_J2534_XXX"}));
    EXPECT_STREQ(g.m_StatusField->value(), "None");
    EXPECT_EQ(g.m_TabView->TableName(), "Velkor_ESP32");
    EXPECT_EQ(g.m_TabView->color(), 55u);
    EXPECT_EQ(g.m_TabView->selection_color(), FL_YELLOW);
    EXPECT_EQ(g.m_Editor->color(), 55u);
    EXPECT_EQ(g.m_Editor->box(), FL_BORDER_BOX);
    EXPECT_EQ(g.m_PictureBox->box(), FL_BORDER_BOX);

    // The picture area shows engdeu.jpg scaled to it.
    ASSERT_NE(g.m_Picture, nullptr);
    EXPECT_EQ(g.m_PictureBox->image(), g.m_Picture);
    EXPECT_EQ(g.m_Picture->w(), 320);
    EXPECT_EQ(g.m_Picture->h(), 240);

    EXPECT_EQ(g.w(), 870);
    EXPECT_EQ(g.h(), 610);
    EXPECT_TRUE(g.shown());
    EXPECT_TRUE(g.modal());
    // The title carries the build stamp: "Mmm dd yyyy-hh:mm:ss".
    const std::string title = Str(g.label());
    const std::string prefix = "Vidozado Vazadu Vorev(Online)(Ver:1.0028, Date:";
    ASSERT_EQ(title.rfind(prefix, 0), 0u) << title;
    const std::string stamp = title.substr(prefix.size());
    EXPECT_EQ(stamp.size(), 21u) << title;
    EXPECT_EQ(stamp.substr(11, 1) + stamp.substr(14, 1) + stamp.substr(17, 1) + stamp.substr(20),
              "-::)")
        << title;
    EXPECT_EQ(g.m_Hwnd, fl_xid(&g));
    EXPECT_TRUE(platform::IsKeptFromMaximising(fl_display, g.m_Hwnd));

    const std::string png = SaveScreenshot(g, "main-window.png");
    EXPECT_GT(fs::file_size(png), 10000u);
}

// An empty program folder: the language is chosen, its folders are made and the text file
// gets every window text but the exit question, which the first Exit press adds.
TEST_F(MainWindow, FirstStartInEmptyProgramFolder) {
    CVelkor_ESP32_GUI& g = MakeWindow();
    const std::string dir = ProgramDir();
    EXPECT_EQ(
        platform::ReadProfileString(dir + "/AppConfig.ini", "LANG_TEXT", "Velkor_ESP32", "-", 100),
        "eng");
    EXPECT_TRUE(fs::is_directory(dir + "/Velkor_ESP32/eng"));
    const std::string texts = dir + "/Velkor_ESP32/eng/Velkor_ESP32.ini";
    EXPECT_EQ(g.m_LangFile, dir + "//Velkor_ESP32//eng//Velkor_ESP32.ini");

    namespace t = gui_text;
    for (const auto& text : {t::kTabName,        t::kRowCount,    t::kEdit,     t::kExit,
                             t::kDelete,         t::kDone,        t::kNew,      t::kCancel,
                             t::kUpImage,        t::kDbOpen,      t::kField,    t::kComparison,
                             t::kCompareTo,      t::kSortType,    t::kSortNone, t::kSortAscending,
                             t::kSortDescending, t::kSortRecords, t::kFindRows, t::kFindRecords,
                             t::kFindFirst,      t::kFindLast,    t::kFindNext, t::kFindPrev}) {
        EXPECT_EQ(platform::ReadProfileString(texts, t::kSection, text.key, "<missing>", 2024),
                  text.def)
            << text.key;
    }
    EXPECT_EQ(
        platform::ReadProfileString(texts, t::kSection, t::kAppExitMsg.key, "<missing>", 2024),
        "<missing>");
    EXPECT_EQ(g.m_PageSize, 5);

    // Without pictures the picture buttons are 0 x 0 and the picture area stays empty.
    EXPECT_EQ(g.m_ExitButton->w(), 0);
    EXPECT_EQ(g.m_ExitButton->h(), 0);
    EXPECT_EQ(g.m_Picture, nullptr);

    m_dialogs.answers = {false};
    g.m_ExitButton->do_callback();
    ASSERT_EQ(m_dialogs.questions.size(), 1u);
    EXPECT_EQ(m_dialogs.questions[0].substr(0, m_dialogs.questions[0].find('\n')),
              "Do you really want to exit?");
    EXPECT_NE(m_dialogs.questions[0].find("https://"), std::string::npos);  // where updates are
    EXPECT_EQ(
        platform::ReadProfileString(texts, t::kSection, t::kAppExitMsg.key, "<missing>", 2024),
        "Do you really want to exit?");
    EXPECT_TRUE(g.shown());
}

// Stored texts: a page size of 10, byte lists decoded, a table caption that changes only
// the caption.
TEST_F(MainWindow, StoredTextsAreUsedAndDecoded) {
    CopyData("images");
    const std::string dir = ProgramDir();
    fs::create_directories(dir + "/Velkor_ESP32/eng");
    platform::WriteProfileString(dir + "/AppConfig.ini", "LANG_TEXT", "Velkor_ESP32", "eng");
    const std::string texts = dir + "/Velkor_ESP32/eng/Velkor_ESP32.ini";
    platform::WriteProfileString(texts, "GUI_TEXT", "RowCount", "10");
    platform::WriteProfileString(texts, "GUI_TEXT", "Exit", "53\\74\\6F\\70");             // Stop
    platform::WriteProfileString(texts, "GUI_TEXT", "Field", "46\\65\\6C\\64\\3A");        // Feld:
    platform::WriteProfileString(texts, "GUI_TEXT", "TabName", "47\\65\\72\\C3\\A4\\74");  // Gerät
    platform::WriteProfileString(texts, "GUI_TEXT", "Sort_Type_None", "Keine");
    platform::WriteProfileString(texts, "GUI_TEXT", "APP_EXIT_MSG", "45\\6E\\64\\65\\3F");  // Ende?

    CVelkor_ESP32_GUI& g = MakeWindow();
    EXPECT_EQ(g.m_PageSize, 10);
    EXPECT_STREQ(g.m_ExitButton->tooltip(), "Stop");
    EXPECT_STREQ(g.m_FilterFieldChoice->label(), "Feld:");
    EXPECT_STREQ(g.m_SortFieldChoice->label(), "Feld:");
    EXPECT_STREQ(g.m_TabView->label(), "Ger\xC3\xA4t");
    EXPECT_EQ(g.m_TabView->TableName(), "Velkor_ESP32");
    EXPECT_EQ(MenuLabels(g.m_SortOrderChoice)[0], "Keine");
    EXPECT_STREQ(g.m_FindButton->tooltip(), "Find");

    m_dialogs.answers = {false};
    g.m_ExitButton->do_callback();
    EXPECT_EQ(m_dialogs.questions, std::vector<std::string>{"Ende?"});
}

// A language whose folder is missing: every text is its default and nothing is written.
TEST_F(MainWindow, MissingLanguageFolderGivesDefaultsAndWritesNothing) {
    const std::string dir = ProgramDir();
    platform::WriteProfileString(dir + "/AppConfig.ini", "LANG_TEXT", "Velkor_ESP32", "deu");
    const auto before = Tree(dir);

    CVelkor_ESP32_GUI& g = MakeWindow();
    EXPECT_EQ(g.m_PageSize, 5);
    EXPECT_STREQ(g.m_ExitButton->tooltip(), "Exit");
    EXPECT_STREQ(g.m_ComparisonChoice->label(), "Comparison:");
    EXPECT_STREQ(g.m_TabView->label(), "Velkor_ESP32");
    m_dialogs.answers = {false};
    g.m_ExitButton->do_callback();
    EXPECT_EQ(m_dialogs.questions.size(), 1u);
    EXPECT_EQ(Tree(dir), before);
}
