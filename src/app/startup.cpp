#include "app/startup.h"

#include <FL/Fl.H>

#include <cstdlib>

#include "app/app_texts.h"
#include "app/dialogs.h"
#include "app/velkor_esp32_gui.h"
#include "platform/process.h"
#include "provision/ssdp_discover.h"
#include "support/file_log_msg.h"

int SwallowShortcut(int event) {
    return event == FL_SHORTCUT ? 1 : 0;
}

void ConfirmExit(Fl_Widget* /*window*/, void* /*data*/) {
    if (dialogs::Ask(app::ConfirmExitQuestion())) platform::QuitAtOnce();
}

void RunMainStep(const LoginValues& login) {
    const std::string title = app::MainWindowTitle();
    auto* window = new CVelkor_ESP32_GUI(870, 610, title.c_str(), true, "user_id", login.userId,
                                         login.serverFolder, login.serverCfgFile, login.extraText);
    window->callback(ConfirmExit);
    CSSDP_Discover* discovery = CSSDP_Discover::GetInstance();
    discovery->StartThreads();
    while (window->shown()) Fl::wait();
    delete window;
    discovery->StopThreads();  // the orderly exit ends the discovery threads too
}

void RunApplication() {
    platform::InitComponentRuntime();
    // The logger opens the day's file (when its folder exists) before any window or worker
    // thread can log.
    CFileLogMsg::GetInstance();
    Fl::add_handler(SwallowShortcut);
    // The login window arrives with the user table; until then the main step starts with
    // the values a login starts from.
    RunMainStep(LoginValues{});
    std::exit(0);
}
