// options_fltk.cpp -- the live backend's options window on FLTK: a fixed
// window of plain buttons whose clicks are queued for the buttons. Check
// boxes and radio buttons never change their own mark; Enter, Esc and Tab do
// nothing.
#include <X11/Xlib.h>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <string>

#include "platform/sdl/sdl_internal.h"

namespace {

bool fltkOpen = false;  // owned by openFltkDisplay: FLTK has its X display

bool openFltkDisplay() {
    if (fltkOpen) return true;
    Display *display = XOpenDisplay(nullptr);  // FLTK itself would exit the process on failure
    if (!display) {
        const char *name = XDisplayName(nullptr);
        std::string why = *name ? std::string("no X server at ") + name : std::string("DISPLAY is not set");
        liveReportNoDisplay(why.c_str());
        return false;
    }
    fl_open_display(display);
    fltkOpen = true;
    return true;
}

// A button that reports clicks and leaves its mark to the program. Like the
// platform's own buttons it queues the mouse-up (or, for the second press of
// a double click on a radio button, the double click) for itself, and takes
// the keyboard only when clicked: Tab never moves between buttons, and Space
// acts only on the button clicked last.
template <class Base>
class CommandButton : public Base {
public:
    CommandButton(PlatformWindow self, PlatformButtonKind kind, int x, int y, int w, int h, const char *caption)
        : Base(x, y, w, h), self_(self), kind_(kind) {
        Base::copy_label(caption);
        Base::clear_visible_focus();
    }
    int handle(int event) override {
        switch (event) {
        case FL_PUSH:
            pressed_ = true;
            doubleClick_ = Fl::event_clicks() > 0;
            if (kind_ == kButtonPush) Base::value(1);
            Fl::focus(this);
            return 1;
        case FL_DRAG: return 1;
        case FL_RELEASE:
            if (kind_ == kButtonPush) Base::value(0);
            if (pressed_ && Fl::event_inside(this)) {
                bool radioDouble = doubleClick_ && kind_ == kButtonRadio;
                intptr_t at = ((Fl::event_x() - Base::x()) & 0xFFFF) | (((Fl::event_y() - Base::y()) & 0xFFFF) << 16);
                Sys_PostMessage(self_, radioDouble ? kMsgLButtonDblClk : kMsgLButtonUp, radioDouble ? 1 : 0, at);
            }
            pressed_ = false;
            return 1;
        case FL_KEYBOARD: return Fl::focus() == this && Fl::event_key() == ' ';
        case FL_KEYUP:
            if (Fl::focus() != this || Fl::event_key() != ' ') return 0;
            Sys_PostMessage(self_, kMsgKeyUp, kVkSpace, 0);
            return 1;
        case FL_SHORTCUT: return 0;
        default: return Base::handle(event);
        }
    }

private:
    PlatformWindow self_;
    PlatformButtonKind kind_;
    bool pressed_ = false, doubleClick_ = false;
};

// Close box: a close message for the show; Esc: nothing.
void onWindowCallback(Fl_Widget *, void *data) {
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    Sys_PostMessage((PlatformWindow)(intptr_t)data, kMsgClose, 0, 0);
}

// Places the window so that its outer rectangle is w x h at (x, y), frame
// included where a window manager adds one (FLTK itself keeps a framed
// window's assumed title bar on screen, which moves it off (0, 0)).
void fitOuterRect(Fl_Window *window, int x, int y, int w, int h) {
    Fl::check();
    int frameW = window->decorated_w() - window->w(), frameH = window->decorated_h() - window->h();
    int left = frameW / 2, top = frameH - frameW / 2;
    window->resize(x + left, y + top, w - frameW, h - frameH);
    window->size_range(window->w(), window->h(), window->w(), window->h());
    XMoveWindow(fl_display, fl_xid(window), x + left, y + top);  // FLTK may think it is there already
    Fl::check();
}

}  // namespace

PlatformWindow Sys_CreateOptionsWindow(const char *className, const char *caption, int x, int y, int w, int h) {
    const PlatformWindowClass *windowClass = sysFindClass(className);
    if (sysShouldFail("CreateOptionsWindow") || !windowClass || !openFltkDisplay()) return 0;
    PlatformWindow handle = sysAllocWindow(kSysWindowOptions, windowClass->proc, 0);
    if (!handle) return 0;
    Fl_Window *window = new Fl_Window(x, y, w, h);
    window->copy_label(caption);
    window->color(windowClass->background == kBackgroundLightGrey ? fl_rgb_color(192, 192, 192) : FL_BLACK);
    window->callback(onWindowCallback, (void *)(intptr_t)handle);
    static Fl_RGB_Image *icon = new Fl_RGB_Image((const uchar *)sysIconRgba(), 32, 32, 4);
    window->icon(icon);
    window->end();
    window->size_range(w, h, w, h);
    window->show();
    fitOuterRect(window, x, y, w, h);
    sysWindow(handle)->native = window;
    return handle;
}

PlatformWindow Sys_CreateButton(PlatformWindow parent, PlatformButtonKind kind, const char *caption, int id, int x,
                                int y, int w, int h) {
    PlatformWindow handle = sysAllocButton(parent, kind, id);
    if (!handle) return 0;
    Fl_Window *window = (Fl_Window *)sysWindow(parent)->native;
    window->begin();
    Fl_Button *button;
    if (kind == kButtonCheckBox)
        button = new CommandButton<Fl_Check_Button>(handle, kind, x, y, w, h, caption);
    else if (kind == kButtonRadio)
        button = new CommandButton<Fl_Round_Button>(handle, kind, x, y, w, h, caption);
    else
        button = new CommandButton<Fl_Button>(handle, kind, x, y, w, h, caption);
    window->end();
    window->redraw();
    sysWindow(handle)->native = button;
    return handle;
}

void fltkPump() {
    if (fltkOpen) Fl::check();
}

// Sleeps until an event comes or the time is up, and handles what came.
void fltkWait(double seconds) {
    if (fltkOpen) Fl::wait(seconds);
}

// The window goes with its buttons (FLTK deletes children with their parent).
void fltkDestroyNative(SysWindow *entry) {
    if (entry->type == kSysWindowOptions && entry->native) {
        Fl_Window *window = (Fl_Window *)entry->native;
        window->hide();
        Fl::delete_widget(window);
    }
    entry->native = nullptr;
}

void fltkSetCheck(SysWindow *entry) {
    if (entry->native) ((Fl_Button *)entry->native)->value(entry->checked ? 1 : 0);
}

PlatformWindow fltkFocusWindow() {
    if (!fltkOpen || !Fl::focus()) return 0;
    Fl_Window *focused = Fl::focus()->top_window();
    for (PlatformWindow w = 1; w <= kSysMaxWindows; w++) {
        SysWindow *entry = sysWindow(w);
        if (entry && entry->type == kSysWindowOptions && entry->native == focused) return w;
    }
    return 0;
}
