// The grid and the record editor of the database browser, at their place in the main
// window with their look. They show no data yet: the browser's own classes fill them.
#pragma once

#include <FL/Fl_Scroll.H>
#include <FL/Fl_Table_Row.H>

#include <string>

// The grid of one server table.
class CVelkor_ESP32TabView : public Fl_Table_Row {
public:
    CVelkor_ESP32TabView(int x, int y, int w, int h, const char* label, const char* tableName);
    const std::string& TableName() const { return m_TableName; }

protected:
    void draw_cell(TableContext context, int row, int col, int x, int y, int w, int h) override;

private:
    std::string m_TableName;
};

// The record editor: one labelled row per visible column, scrolled.
class CWidgetScroll : public Fl_Scroll {
public:
    CWidgetScroll(int x, int y, int w, int h);
};
