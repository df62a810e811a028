#include "app/browser_widgets.h"

#include <FL/fl_draw.H>

namespace {
constexpr Fl_Color kTableColour = 55;  // the lightest entry of FLTK's grey ramp
}

CVelkor_ESP32TabView::CVelkor_ESP32TabView(int x, int y, int w, int h, const char* label,
                                           const char* tableName)
    : Fl_Table_Row(x, y, w, h), m_TableName(tableName) {
    copy_label(label);
    color(kTableColour);
    selection_color(FL_YELLOW);
    col_header(1);
    col_resize(1);
    when(FL_WHEN_RELEASE);
    end();
}

void CVelkor_ESP32TabView::draw_cell(TableContext context, int /*row*/, int /*col*/, int x, int y,
                                     int w, int h) {
    if (context != CONTEXT_COL_HEADER && context != CONTEXT_CELL) return;
    fl_push_clip(x, y, w, h);
    fl_draw_box(context == CONTEXT_COL_HEADER ? FL_THIN_UP_BOX : FL_BORDER_BOX, x, y, w, h,
                context == CONTEXT_COL_HEADER ? FL_BACKGROUND_COLOR : color());
    fl_pop_clip();
}

CWidgetScroll::CWidgetScroll(int x, int y, int w, int h) : Fl_Scroll(x, y, w, h) {
    color(kTableColour);
    box(FL_BORDER_BOX);
    end();
}
