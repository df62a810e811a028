// Keys and built-in defaults of the changeable window texts ([GUI_TEXT] of the text file).
#pragma once

namespace gui_text {

inline constexpr const char* kSection = "GUI_TEXT";

struct Text {
    const char* key;
    const char* def;
};

inline constexpr Text kTabName{"TabName", "Velkor_ESP32"};
inline constexpr Text kRowCount{"RowCount", "5"};
inline constexpr Text kEdit{"Edit", "Edit"};
inline constexpr Text kExit{"Exit", "Exit"};
inline constexpr Text kDelete{"Delete", "Delete"};
inline constexpr Text kDone{"Done", "Done"};
inline constexpr Text kNew{"New", "Add New"};
inline constexpr Text kCancel{"Cancel", "Cancel"};
inline constexpr Text kUpImage{"Up_Image", "Upload Image"};
inline constexpr Text kDbOpen{"DB_Open", "Database Open"};
inline constexpr Text kField{"Field", "Field:"};
inline constexpr Text kComparison{"Comparison", "Comparison:"};
inline constexpr Text kCompareTo{"Compare_To", "To:"};
inline constexpr Text kSortType{"Sort_Type", "Sort:"};
inline constexpr Text kSortNone{"Sort_Type_None", "None"};
inline constexpr Text kSortAscending{"Sort_Type_Ascending", "Ascending"};
inline constexpr Text kSortDescending{"Sort_Type_Descending", "Descending"};
inline constexpr Text kSortRecords{"Sort_Records", "Sort Records"};
inline constexpr Text kFindRows{"Find_ROWS", "Find"};
inline constexpr Text kFindRecords{"Find_Records", "Records:"};
inline constexpr Text kFindFirst{"Find_First", "First"};
inline constexpr Text kFindLast{"Find_Last", "Last"};
inline constexpr Text kFindNext{"Find_Next", "Next"};
inline constexpr Text kFindPrev{"Find_Prev", "Prev"};
inline constexpr Text kAppExitMsg{"APP_EXIT_MSG", "Do you really want to exit?"};

// Written in a first pass at start-up, before any widget is made.
inline constexpr Text kFirstPass[] = {kTabName, kRowCount, kEdit,   kExit,   kDelete,
                                      kDone,    kNew,      kCancel, kUpImage};

}  // namespace gui_text
