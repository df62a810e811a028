// Fixture of the window tests (run under an X server, e.g. Xvfb): a program folder of the
// test's own whose path holds a blank, the scripted dialog layer, the real main window,
// an event pump and PNG screenshots under <build>/screenshots/.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "scripted_dialogs.h"
#include "temp_dir.h"

class CVelkor_ESP32_GUI;
class Fl_Window;

namespace testutil {

class GuiFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The program folder (the executable's folder as the program sees it).
    const std::string& ProgramDir() const { return m_programDir; }
    // Copies a folder of data/ (e.g. "images", "Hadware_Binary") into the program folder.
    void CopyData(const std::string& name);

    // Builds the main window as the start-up does (it shows itself) and lets it draw.
    CVelkor_ESP32_GUI& MakeWindow();
    CVelkor_ESP32_GUI* Window() { return m_window.get(); }

    // Runs the FLTK event loop for about `seconds`.
    static void Pump(double seconds = 0.2);
    // Draws the window into <build>/screenshots/<name> (PNG); returns the file's path.
    static std::string SaveScreenshot(Fl_Window& window, const std::string& name);

    ScriptedDialogs m_dialogs;

private:
    TempDir m_tmp;
    std::string m_programDir;
    std::unique_ptr<CVelkor_ESP32_GUI> m_window;
};

}  // namespace testutil
