// hooks_sdl.cpp -- the contract suite on the live backend under Xvfb: clicks
// and close boxes as X events to the options window (FLTK) and the display
// window (SDL), keys as SDL's keyboard events, marks as FLTK shows them, the
// display mode as SDL reads it.
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include "contract/contract.h"
#include "platform/platform_internal.h"
#include "platform/sdl_gl/gl_context.h"

namespace {

Time clickTime = 0;  // owned by contractClick: each click a second after the last, never a double click

SDL_Keycode sdlKey(int vk) {
    if (vk == kVkEscape) return SDLK_ESCAPE;
    if (vk == kVkReturn) return SDLK_RETURN;
    if (vk == kVkSpace) return SDLK_SPACE;
    return vk >= 'A' && vk <= 'Z' ? SDLK_a + (vk - 'A') : SDLK_UNKNOWN;
}

// The X connection and window of a platform window: FLTK's for the options
// window and its buttons, SDL's for the display window.
bool xWindowOf(PlatformWindow window, Display **display, Window *xid) {
    SysWindow *entry = sysWindow(window);
    if (!entry) return false;
    if (entry->type == kSysWindowDisplay) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(sdlWindowOf(window), &info)) return false;
        *display = info.info.x11.display;
        *xid = info.info.x11.window;
        return true;
    }
    SysWindow *top = entry->type == kSysWindowButton ? sysWindow(entry->parent) : entry;
    if (!top || !top->native) return false;
    *display = fl_display;
    *xid = fl_xid((Fl_Window *)top->native);
    return true;
}

void sendButton(Display *display, Window xid, int type, int x, int y) {
    XEvent e = {};
    e.xbutton.type = type;
    e.xbutton.display = display;
    e.xbutton.window = xid;
    e.xbutton.root = DefaultRootWindow(display);
    e.xbutton.time = clickTime;
    e.xbutton.x = e.xbutton.x_root = x;
    e.xbutton.y = e.xbutton.y_root = y;
    e.xbutton.button = Button1;
    e.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
    e.xbutton.same_screen = True;
    XSendEvent(display, xid, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
}

}  // namespace

const char *const kContractBackend = "sdl";

const char *contractCannot(const char *) { return nullptr; }

void contractLetTimePass(int milliseconds) { SDL_Delay((Uint32)milliseconds); }

void contractClick(PlatformWindow button) {
    SysWindow *entry = sysWindow(button);
    Display *display;
    Window xid;
    if (!entry || !entry->native || !xWindowOf(button, &display, &xid)) return;
    Fl_Widget *widget = (Fl_Widget *)entry->native;
    int x = widget->x() + widget->w() / 2, y = widget->y() + widget->h() / 2;
    clickTime += 1000;
    sendButton(display, xid, ButtonPress, x, y);
    sendButton(display, xid, ButtonRelease, x, y);
    XSync(display, False);
}

void contractPressKey(PlatformWindow window, int vk) {
    SDL_Window *native = sdlWindowOf(window);
    if (!native) return;
    for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event e = {};
        e.type = type;
        e.key.windowID = SDL_GetWindowID(native);
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = sdlKey(vk);
        SDL_PushEvent(&e);
    }
}

// The window manager's request to close, as X delivers it to a window.
void contractUseCloseBox(PlatformWindow window) {
    Display *display;
    Window xid;
    if (!xWindowOf(window, &display, &xid)) return;
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = xid;
    e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, xid, False, NoEventMask, &e);
    XSync(display, False);
}

bool contractNativeMark(PlatformWindow button) {
    SysWindow *entry = sysWindow(button);
    return entry && entry->native && ((Fl_Button *)entry->native)->value() != 0;
}

std::string contractDisplayMode() {
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(0, &mode) != 0) return "unknown";
    return std::to_string(mode.w) + "x" + std::to_string(mode.h) + "@" + std::to_string(mode.refresh_rate);
}
