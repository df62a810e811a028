#include "app/app_texts.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "config/fltf_db_util.h"
#include "config/gui_text.h"

namespace app {
namespace {

constexpr const char* kProductName = "Vidozado Vazadu Vorev(Online)";
constexpr const char* kUpdateSites =
    "Updates: https://velkor.example/downloads or https://updates.velkor.example";
constexpr std::size_t kTitleBuffer = 512;
constexpr std::size_t kExitMessageBuffer = 4024;

std::string Title(const char* format, const char* name = kProductName) {
    char title[kTitleBuffer];
    std::snprintf(title, sizeof title, format, name, __DATE__, __TIME__);
    return title;
}

}  // namespace

std::string LoginWindowTitle() {
    return Title("%s(Ver:1.028 Date:%s-%s)");
}
std::string MainWindowTitle() {
    return Title("%s(Ver:1.0028, Date:%s-%s)");
}

std::string DeviceFinderTitle() {
    return Title("%s(Ver:1.0013, Date:%s-%s)", "ZERE DAV Eduza");
}
std::string WifiSettingsTitle() {
    return Title("%s(Ver:1.002,Date:%s-%s)", "Update Wifi Setting");
}

std::string ConfirmExitQuestion() {
    return std::string("Do you want to exit application?\n") + kUpdateSites;
}

std::string ExitButtonQuestion(const CFltfDBUtil& util, const std::string& langFile) {
    const auto& text = gui_text::kAppExitMsg;
    std::string stored = util.ReadIniString(langFile, gui_text::kSection, text.key);
    if (IsIniMarker(stored)) {
        util.WriteIniString(langFile, gui_text::kSection, text.key, text.def);
        return std::string(text.def) + "\n" + kUpdateSites;
    }
    std::vector<char> buffer(kExitMessageBuffer);
    util.DecodeHexTextInto(stored, buffer.data(), buffer.size());
    return buffer.data();
}

std::uint16_t FirstTextPass(const CFltfDBUtil& util, const std::string& langFile) {
    std::uint16_t pageSize = 5;
    for (const auto& text : gui_text::kFirstPass) {
        std::string stored = util.ReadIniString(langFile, gui_text::kSection, text.key);
        if (IsIniMarker(stored)) {
            util.WriteIniString(langFile, gui_text::kSection, text.key, text.def);
        } else if (std::string(text.key) == gui_text::kRowCount.key) {
            // Rows per page, 0 meaning all of them; out-of-range numbers are held in range.
            long rows = std::atol(stored.c_str());
            pageSize = static_cast<std::uint16_t>(rows < 0 ? 0 : rows > 65535 ? 65535 : rows);
        }
    }
    return pageSize;
}

std::string GuiText(const CFltfDBUtil& util, const std::string& langFile, const char* key,
                    const char* def) {
    return util.TextWithDefault(langFile, gui_text::kSection, key, def);
}

}  // namespace app
