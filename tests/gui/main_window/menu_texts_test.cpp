// Menu entries taken from data show as written and take exactly one place each.
#include "gui_fixture.h"  // first: gtest must precede the X11 macros

#include <FL/Fl_Choice.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <filesystem>
#include <vector>

#include "app/menu_text.h"
#include "app/velkor_esp32_gui.h"
#include "platform/ini.h"

namespace fs = std::filesystem;
using testutil::GuiFixture;

namespace {

// Texts FLTK's own add() would split, merge, shorten or draw otherwise.
std::vector<std::string> HostileTexts() {
    return {"Kei|ne",
            "a/b/c",
            "back\\slash",
            "R&D",
            "_under",
            "tab\there",
            "@->",
            "Name",
            "Name",
            "N&ame",
            std::string(3000, 'x') + "|y",
            "",
            "\x01"
            "3",
            "Gr\xC3\xB6\xC3\x9F"
            "e"};
}

std::vector<std::string> Labels(const Fl_Menu_& menu) {
    std::vector<std::string> labels;
    for (int i = 0; i + 1 < menu.size(); ++i) {
        const char* label = menu.menu()[i].label();
        labels.push_back(label ? label : "<null>");
    }
    return labels;
}

int g_chosen = -1;
void Chosen(Fl_Widget*, void* data) {
    g_chosen = static_cast<int>(reinterpret_cast<std::intptr_t>(data));
}

class MenuTexts : public GuiFixture {};

}  // namespace

// Every text is one entry at the index it was added at; it reads back, is shown and is
// measured exactly as written, and its callback gets its data.
TEST_F(MenuTexts, EntriesReadBackExactlyAtTheirIndex) {
    Fl_Window window(300, 100);
    Fl_Choice choice(10, 10, 200, 30);
    window.end();
    const std::vector<std::string> texts = HostileTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(app::AddMenuText(choice, texts[i], Chosen, reinterpret_cast<void*>(i)),
                  static_cast<int>(i));
    }
    ASSERT_EQ(choice.size(), static_cast<int>(texts.size()) + 1);  // and the end mark
    EXPECT_EQ(Labels(choice), texts);

    window.show();
    GuiFixture::Pump(0.1);
    fl_font(choice.textfont(), choice.textsize());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(texts[i].substr(0, 20));
        choice.value(static_cast<int>(i));
        EXPECT_EQ(std::string(choice.text()), texts[i]);
        // '&' and '@' are drawn as characters: the entry is as wide as its text.
        int h = 0;
        EXPECT_EQ(choice.menu()[i].measure(&h, &choice),
                  static_cast<int>(fl_width(texts[i].c_str())));
        g_chosen = -1;
        choice.value(static_cast<const Fl_Menu_Item*>(nullptr));  // a change calls back
        choice.picked(&choice.menu()[i]);
        EXPECT_EQ(g_chosen, static_cast<int>(i));
    }
}

// An input choice (the version list) shows a chosen entry in its input as written.
TEST_F(MenuTexts, InputChoiceTakesTheTextAsWritten) {
    Fl_Window window(300, 100);
    Fl_Input_Choice choice(10, 10, 200, 30);
    window.end();
    app::AddMenuTexts(choice, {"1.2|beta", "2.0/rc&1", "2.0/rc&1"});
    Fl_Menu_Button& menu = *choice.menubutton();
    ASSERT_EQ(menu.size(), 4);
    menu.picked(&menu.menu()[1]);
    EXPECT_STREQ(choice.value(), "2.0/rc&1");
    menu.picked(&menu.menu()[0]);
    EXPECT_STREQ(choice.value(), "1.2|beta");
}

// The sort-order entries of the window-text file, plain and as byte lists.
TEST_F(MenuTexts, SortOrderEntriesFromTheTextFile) {
    const std::string dir = ProgramDir();
    fs::create_directories(dir + "/Velkor_ESP32/eng");
    platform::WriteProfileString(dir + "/AppConfig.ini", "LANG_TEXT", "Velkor_ESP32", "eng");
    const std::string texts = dir + "/Velkor_ESP32/eng/Velkor_ESP32.ini";
    platform::WriteProfileString(texts, "GUI_TEXT", "Sort_Type_None", "Kei|ne");
    platform::WriteProfileString(texts, "GUI_TEXT", "Sort_Type_Ascending",
                                 "41\\2F\\5A\\20\\26\\20\\5F");  // A/Z & _
    platform::WriteProfileString(texts, "GUI_TEXT", "Sort_Type_Descending",
                                 "5A\\7C\\41\\09\\40");  // Z|A, a TAB, @

    CVelkor_ESP32_GUI& g = MakeWindow();
    EXPECT_EQ(Labels(*g.m_SortOrderChoice),
              (std::vector<std::string>{"Kei|ne", "A/Z & _", "Z|A\t@"}));
    EXPECT_EQ(g.m_SortOrderChoice->value(), 0);
    g.m_SortOrderChoice->value(2);
    EXPECT_STREQ(g.m_SortOrderChoice->text(), "Z|A\t@");
    g.m_SortOrderChoice->value(0);
    Pump(0.1);
    SaveScreenshot(g, "main-window-menu-texts.png");
}
