// The browser's column set-up: which columns of a table are shown and under which captions,
// read from the [DB_TEXT] section of the window-text file.
#pragma once

#include "config/fltf_db_util.h"

#include <map>
#include <string>

// For each name in `names` (in key order): a column with a caption (key = its name) and a
// non-zero "<name>_IsVisible" joins `captions` and `columns` under the same next key. A
// missing caption or visibility key hides the column from both maps, keeping them in step.
void SelectVisibleColumns(const CFltfDBUtil& ini, const std::string& captionFile,
                          const std::map<int, std::string>& names,
                          std::map<int, std::string>& captions,
                          std::map<int, std::string>& columns);
