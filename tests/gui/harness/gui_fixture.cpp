#include "gui_fixture.h"

#include <FL/Fl.H>
#include <FL/Fl_Image_Surface.H>
#include <FL/Fl_Window.H>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/app_texts.h"
#include "app/velkor_esp32_gui.h"
#include "platform/paths.h"

namespace fs = std::filesystem;

namespace testutil {

void GuiFixture::SetUp() {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "window tests need an X display";
    m_programDir = m_tmp / "program folder";
    fs::create_directory(m_programDir);
    platform::SetModuleFileNameForTesting(m_programDir + "/velkor-tool");
    // Device discovery of this program folder stays on the loopback interface.
    WriteFile(m_programDir + "/Passthru.ini", "[TCP]\nSSDPort=1900\nSSDPInterface=127.0.0.1\n");
    setenv("VELKOR_TERMINAL", "none", 1);
    ASSERT_EQ(Fl::first_window(), nullptr) << "a window of an earlier test is still open";
}

void GuiFixture::TearDown() {
    m_window.reset();
    Pump(0.05);
    platform::SetModuleFileNameForTesting("");
}

void GuiFixture::CopyData(const std::string& name) {
    fs::copy(fs::path(VELKOR_SOURCE_DIR) / "data" / name, fs::path(m_programDir) / name,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

CVelkor_ESP32_GUI& GuiFixture::MakeWindow() {
    const std::string title = app::MainWindowTitle();
    m_window = std::make_unique<CVelkor_ESP32_GUI>(870, 610, title.c_str(), true, "user_id", 0, "",
                                                   "", "");
    Pump();
    return *m_window;
}

void GuiFixture::Pump(double seconds) {
    auto end = std::chrono::steady_clock::now() +
               std::chrono::milliseconds(static_cast<long>(seconds * 1000));
    Fl::flush();
    while (std::chrono::steady_clock::now() < end) Fl::wait(0.01);
}

std::string GuiFixture::SaveScreenshot(Fl_Window& window, const std::string& name) {
    // Drawn off-screen, so the picture does not depend on the X screen's size.
    Fl_Image_Surface surface(window.w(), window.h());
    surface.set_current();
    surface.draw(&window);
    std::unique_ptr<Fl_RGB_Image> image(surface.image());
    Fl_Display_Device::display_device()->set_current();

    const fs::path dir = fs::path(VELKOR_BINARY_DIR) / "screenshots";
    fs::create_directories(dir);
    const fs::path ppm = dir / (name + ".ppm");
    {
        std::ofstream out(ppm, std::ios::binary);
        out << "P6\n" << image->w() << " " << image->h() << "\n255\n";
        const auto* data = reinterpret_cast<const char*>(image->data()[0]);
        const int depth = image->d(), line = image->ld() ? image->ld() : image->w() * depth;
        for (int y = 0; y < image->h(); ++y)
            for (int x = 0; x < image->w(); ++x) out.write(data + y * line + x * depth, 3);
    }
    const fs::path png = dir / name;
    const std::string command = "convert '" + ppm.string() + "' '" + png.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    fs::remove(ppm);
    return png.string();
}

}  // namespace testutil
