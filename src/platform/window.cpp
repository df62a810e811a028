#include "platform/window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {
namespace {

// Motif window-manager hints, honoured by the common X window managers.
struct MotifHints {
    unsigned long flags, functions, decorations;
    long inputMode;
    unsigned long status;
};
constexpr unsigned long kHintsFunctions = 1;
constexpr unsigned long kFuncAllExcept = 1, kFuncResize = 2, kFuncMaximize = 16;

}  // namespace

void KeepFromMaximising(void* display, unsigned long window, int width, int height) {
    auto* dpy = static_cast<Display*>(display);
    if (!dpy || !window) return;
    XSizeHints* hints = XAllocSizeHints();
    if (hints) {
        hints->flags = PMinSize | PMaxSize;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
        XSetWMNormalHints(dpy, window, hints);
        XFree(hints);
    }
    MotifHints motif{kHintsFunctions, kFuncAllExcept | kFuncResize | kFuncMaximize, 0, 0, 0};
    Atom atom = XInternAtom(dpy, "_MOTIF_WM_HINTS", False);
    XChangeProperty(dpy, window, atom, atom, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&motif), 5);
    XFlush(dpy);
}

bool IsKeptFromMaximising(void* display, unsigned long window) {
    auto* dpy = static_cast<Display*>(display);
    if (!dpy || !window) return false;
    XSizeHints hints{};
    long supplied = 0;
    if (!XGetWMNormalHints(dpy, window, &hints, &supplied)) return false;
    bool fixed = (hints.flags & PMinSize) && (hints.flags & PMaxSize) &&
                 hints.min_width == hints.max_width && hints.min_height == hints.max_height;
    Atom atom = XInternAtom(dpy, "_MOTIF_WM_HINTS", True);
    if (atom == None) return false;
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool noMaximise = false;
    if (XGetWindowProperty(dpy, window, atom, 0, 5, False, atom, &type, &format, &count, &after,
                           &data) == Success &&
        data && count >= 2) {
        auto* v = reinterpret_cast<unsigned long*>(data);
        noMaximise = (v[0] & kHintsFunctions) && (v[1] & kFuncAllExcept) && (v[1] & kFuncMaximize);
    }
    if (data) XFree(data);
    return fixed && noMaximise;
}

}  // namespace platform
