#include "db/column_captions.h"

#include <cstdlib>

namespace db {

void SelectVisibleColumns(const CFltfDBUtil& ini, const std::string& captionFile,
                          const std::map<int, std::string>& names,
                          std::map<int, std::string>& captions,
                          std::map<int, std::string>& columns) {
    for (const auto& [position, name] : names) {
        const std::string caption = ini.ReadIniString(captionFile, "DB_TEXT", name);
        if (IsIniMarker(caption)) continue;
        const std::string visible = ini.ReadIniString(captionFile, "DB_TEXT", name + "_IsVisible");
        if (IsIniMarker(visible) || std::atol(visible.c_str()) == 0) continue;
        captions[static_cast<int>(captions.size())] = caption;
        columns[static_cast<int>(columns.size())] = name;
    }
}

}  // namespace db
