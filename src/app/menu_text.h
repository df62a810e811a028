// Menu entries whose text comes from data (the window-text file, a server answer): each is
// added so that it shows exactly as written and takes exactly one place, so the entry
// indices the sort and field choices rely on hold. FLTK's own add() would make two entries
// of "Kei|ne", read a TAB as the start of a shortcut, '/' as a submenu, '\' as an escape and
// a leading '_' as a divider, merge an entry into an earlier one of the same text, and
// overflow its 1024-byte buffer on a longer text; its drawing would turn '&' into an
// underline and a leading '@' into a symbol.
#pragma once

#include <FL/Fl_Menu_.H>

#include <string>
#include <vector>

class Fl_Input_Choice;

namespace app {

// Adds `text` as the last entry of `menu`, calling `callback` with `data` when chosen;
// returns its index (menu()[index].label() is `text`).
int AddMenuText(Fl_Menu_& menu, const std::string& text, Fl_Callback* callback = nullptr,
                void* data = nullptr);
int AddMenuText(Fl_Input_Choice& choice, const std::string& text);

// Adds every text in order.
void AddMenuTexts(Fl_Menu_& menu, const std::vector<std::string>& texts);
void AddMenuTexts(Fl_Input_Choice& choice, const std::vector<std::string>& texts);

}  // namespace app
