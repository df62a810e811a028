// Leaving the program: Escape never closes a window, the close box ends the process at once
// after its question, the Exit button leaves the main loop in order.
#include "gui_fixture.h"  // first: gtest must precede the X11 macros

#include <FL/Fl.H>
#include <FL/Fl_Button.H>

#include <csignal>

#include "app/app_texts.h"
#include "app/startup.h"
#include "app/velkor_esp32_gui.h"

using testutil::GuiFixture;

namespace {

// Delivers an Escape key press the way the X event loop does.
void PressEscape(Fl_Window& window) {
    static char escape[] = "\033";
    Fl::e_keysym = FL_Escape;
    Fl::e_text = escape;
    Fl::e_length = 1;
    Fl::handle(FL_KEYBOARD, &window);
}

int g_deleted = 0;
void CountDelete(CMySQLUtil*) {
    ++g_deleted;
}
CMySQLUtil* FakeTable() {
    return reinterpret_cast<CMySQLUtil*>(&g_deleted);
}

}  // namespace

class Leaving : public GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }
    void TearDown() override {
        Fl::remove_handler(SwallowShortcut);
        GuiFixture::TearDown();
    }
};

TEST_F(Leaving, EscapeClosesNoWindow) {
    CVelkor_ESP32_GUI& g = MakeWindow();
    g.callback(ConfirmExit);
    // Without the handler FLTK turns Escape into the close callback, which asks.
    m_dialogs.answers = {false};
    PressEscape(g);
    ASSERT_EQ(m_dialogs.questions.size(), 1u);

    Fl::add_handler(SwallowShortcut);
    PressEscape(g);
    Pump(0.05);
    EXPECT_EQ(m_dialogs.questions.size(), 1u);
    EXPECT_TRUE(g.shown());
}

TEST_F(Leaving, ShortcutHandlerClaimsOnlyShortcuts) {
    EXPECT_EQ(SwallowShortcut(FL_SHORTCUT), 1);
    for (int event : {FL_NO_EVENT, FL_PUSH, FL_KEYBOARD, FL_KEYUP, FL_CLOSE, FL_FOCUS})
        EXPECT_EQ(SwallowShortcut(event), 0) << event;
}

TEST_F(Leaving, CloseBoxAnsweredNoKeepsTheWindow) {
    CVelkor_ESP32_GUI& g = MakeWindow();
    g.callback(ConfirmExit);
    m_dialogs.answers = {false};
    Fl::handle(FL_CLOSE, &g);
    Pump(0.05);
    EXPECT_EQ(m_dialogs.questions, std::vector<std::string>{app::ConfirmExitQuestion()});
    EXPECT_EQ(m_dialogs.questions[0].substr(0, m_dialogs.questions[0].find('\n')),
              "Do you want to exit application?");
    EXPECT_TRUE(g.shown());
}

TEST_F(Leaving, CloseBoxAnsweredYesEndsTheProcessAtOnce) {
    EXPECT_EXIT(
        {
            CVelkor_ESP32_GUI& g = MakeWindow();
            g.callback(ConfirmExit);
            m_dialogs.answers = {true};
            Fl::handle(FL_CLOSE, &g);
            std::_Exit(3);  // only reached if the process went on
        },
        ::testing::KilledBySignal(SIGTERM), "");
}

// "No" keeps the window and its table object; "Yes" lets the table object go and hides
// the window.
TEST_F(Leaving, ExitButtonReleasesTheTableOnlyOnYes) {
    CVelkor_ESP32_GUI& g = MakeWindow();
    g.m_pDb = FakeTable();
    g.m_pDbDelete = CountDelete;
    g_deleted = 0;

    m_dialogs.answers = {false};
    g.m_ExitButton->do_callback();
    EXPECT_EQ(g.m_pDb, FakeTable());
    EXPECT_EQ(g_deleted, 0);
    EXPECT_TRUE(g.shown());

    m_dialogs.answers = {true};
    g.m_ExitButton->do_callback();
    EXPECT_EQ(g.m_pDb, nullptr);
    EXPECT_EQ(g_deleted, 1);
    EXPECT_FALSE(g.shown());
    EXPECT_EQ(m_dialogs.questions.size(), 2u);
}

// The whole program in a child: the Exit button answered "Yes" ends the main loop and the
// process exits with code 0.
TEST_F(Leaving, ExitButtonYesEndsTheProgramWithCodeZero) {
    EXPECT_EXIT(
        {
            m_dialogs.answers = {true};
            Fl::add_timeout(0.3, [](void*) {
                auto* g = dynamic_cast<CVelkor_ESP32_GUI*>(Fl::first_window());
                if (!g) std::_Exit(4);
                if (!g->callback() || g->callback() != ConfirmExit) std::_Exit(5);
                g->m_ExitButton->do_callback();
            });
            RunApplication();
        },
        ::testing::ExitedWithCode(0), "");
}
