#include "app/menu_text.h"

#include <FL/Fl.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/fl_draw.H>

#include <cstring>

namespace app {
namespace {

// Entries added here draw their text as it is: no '&' shortcut marks, no '@' symbols.
constexpr Fl_Labeltype kLiteralLabel = FL_FREE_LABELTYPE;

void DrawLiteral(const Fl_Label* label, int x, int y, int w, int h, Fl_Align align) {
    if (!label->value) return;
    fl_font(label->font, label->size);
    fl_color(label->color);
    const int n = static_cast<int>(std::strlen(label->value));
    const int width = static_cast<int>(fl_width(label->value, n));
    int at = x + (w - width) / 2;
    if (align & FL_ALIGN_LEFT) at = x;
    if (align & FL_ALIGN_RIGHT) at = x + w - width;
    const int baseline = y + (h - fl_height()) / 2 + fl_height() - fl_descent();
    fl_draw(label->value, n, at, baseline);
}

void MeasureLiteral(const Fl_Label* label, int& w, int& h) {
    fl_font(label->font, label->size);
    w = label->value ? static_cast<int>(fl_width(label->value)) : 0;
    h = fl_height();
}

void RegisterLiteralLabel() {
    static const bool registered = [] {
        Fl::set_labeltype(kLiteralLabel, DrawLiteral, MeasureLiteral);
        return true;
    }();
    (void)registered;
}

// FLTK merges an added entry into one whose text is the same but for '&' signs.
bool SameBesidesAmpersands(const char* a, const std::string& b) {
    std::size_t j = 0;
    for (; *a; ++a) {
        if (*a == '&') continue;
        if (j == b.size() || b[j] != *a) return false;
        ++j;
    }
    return j == b.size();
}

// A text no entry of the menu has: what FLTK's add() is given before the real text replaces
// it, so that add() neither parses the text nor merges it into another entry.
std::string Placeholder(const Fl_Menu_& menu) {
    for (int n = menu.size();; ++n) {
        std::string candidate(1, '\x01');  // built in two steps: GCC 12 warns on "\x01" + text
        candidate += std::to_string(n);
        bool taken = false;
        for (int i = 0; !taken && i < menu.size(); ++i) {
            const char* label = menu.menu()[i].label();
            taken = label && SameBesidesAmpersands(label, candidate);
        }
        if (!taken) return candidate;
    }
}

}  // namespace

int AddMenuText(Fl_Menu_& menu, const std::string& text, Fl_Callback* callback, void* data) {
    RegisterLiteralLabel();
    const int index = menu.add(Placeholder(menu).c_str(), 0, callback, data, 0);
    menu.replace(index, text.c_str());  // copied as it is
    // add() left the menu with an array of its own, so its entries may be changed.
    const_cast<Fl_Menu_Item*>(menu.menu())[index].labeltype(kLiteralLabel);
    return index;
}

int AddMenuText(Fl_Input_Choice& choice, const std::string& text) {
    return AddMenuText(*choice.menubutton(), text);
}

void AddMenuTexts(Fl_Menu_& menu, const std::vector<std::string>& texts) {
    for (const auto& text : texts) AddMenuText(menu, text);
}

void AddMenuTexts(Fl_Input_Choice& choice, const std::vector<std::string>& texts) {
    for (const auto& text : texts) AddMenuText(choice, text);
}

}  // namespace app
