// windows.cpp -- the live backend's windows on SDL2: the display window
// (full screen borderless, or windowed), its events turned into the show's
// messages, message boxes and keyboard focus. The options window lives in
// options_fltk.cpp.
#include <cstdio>
#include <cstdlib>

#include "platform/sdl/sdl_internal.h"

namespace {

// While no display window is open (the options window waits for the viewer),
// an empty pump waits this long for native events instead of spinning.
const double kIdleWaitSeconds = 0.02;
bool displayMissing = false;  // owned by liveReportNoDisplay: said once, not repeated by what follows from it

bool initVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    if (displayMissing) return false;  // SDL would settle for an invisible offscreen display
    Sys_CatchEndSignals();             // from here on a signal ends the show through its shutdown
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        liveReportNoDisplay(SDL_GetError());
        return false;
    }
    std::atexit(SDL_Quit);  // puts back the desktop mode whatever happens
    return true;
}

PlatformWindow windowOfSdlId(Uint32 id) {
    for (PlatformWindow w = 1; w <= kSysMaxWindows; w++) {
        SDL_Window *native = sdlWindowOf(w);
        if (native && SDL_GetWindowID(native) == id) return w;
    }
    return 0;
}

// SDL key codes to the virtual-key codes the show's messages carry.
uintptr_t virtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + (key - SDLK_F1);
    switch (key) {
    case SDLK_ESCAPE: return kVkEscape;
    case SDLK_RETURN: return kVkReturn;
    case SDLK_SPACE: return kVkSpace;
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_LEFT: return 0x25;
    case SDLK_UP: return 0x26;
    case SDLK_RIGHT: return 0x27;
    case SDLK_DOWN: return 0x28;
    default: return 0;
    }
}

void setIcon(SDL_Window *native) {
    SDL_Surface *icon = SDL_CreateRGBSurfaceFrom((void *)sysIconRgba(), 32, 32, 32, 32 * 4, 0x000000FF, 0x0000FF00,
                                                 0x00FF0000, 0xFF000000);
    if (!icon) return;
    SDL_SetWindowIcon(native, icon);
    SDL_FreeSurface(icon);
}

// Makes the outer size w x h where a window manager adds a frame.
void fitOuterSize(SDL_Window *native, int w, int h) {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(native, &top, &left, &bottom, &right) != 0) return;
    if (top + left + bottom + right == 0) return;
    SDL_SetWindowSize(native, w - left - right, h - top - bottom);
    SDL_SetWindowPosition(native, left, top);
}

bool displayWindowOpen() {
    for (PlatformWindow w = 1; w <= kSysMaxWindows; w++)
        if (sdlWindowOf(w)) return true;
    return false;
}

void postSdlEvent(const SDL_Event &e) {
    if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) {
        PlatformWindow w = windowOfSdlId(e.window.windowID);
        if (w) Sys_PostMessage(w, kMsgClose, 0, 0);
    } else if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) {
        PlatformWindow w = windowOfSdlId(e.key.windowID);
        uintptr_t vk = virtualKey(e.key.keysym.sym);
        if (w && vk) Sys_PostMessage(w, e.type == SDL_KEYDOWN ? kMsgKeyDown : kMsgKeyUp, vk, e.key.repeat ? 1 : 0);
    } else if (e.type == SDL_DISPLAYEVENT ||
               (e.type == SDL_WINDOWEVENT && (e.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED ||
                                              e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED))) {
        sdlFollowDisplay();  // another display, or another mode: perhaps another refresh
    }
}

}  // namespace

void liveReportNoDisplay(const char *why) {
    if (!displayMissing) Sys_ReportFailure("cannot open the display: %s", why);
    displayMissing = true;
}

PlatformWindow GLimp_CreateWindow(const char *className, const char *caption, bool fullScreen, int x, int y, int w,
                                  int h) {
    const PlatformWindowClass *windowClass = sysFindClass(className);
    if (sysShouldFail("CreateWindow") || !windowClass || w <= 0 || h <= 0 || !initVideo()) return 0;
    if (fullScreen) SDL_ShowCursor(SDL_DISABLE);  // hidden for the rest of the run
    PlatformWindow window = sdlNewDisplayWindow(windowClass, caption, x, y, w, h,
                                                SDL_WINDOW_SHOWN | (fullScreen ? SDL_WINDOW_BORDERLESS : 0));
    if (!window) return 0;
    SDL_Window *native = sdlWindowOf(window);
    setIcon(native);
    SDL_RaiseWindow(native);  // over the options window, with the keyboard
    if (!fullScreen) {
        SDL_PumpEvents();
        fitOuterSize(native, w, h);
    }
    return window;
}

// Never waits while a display window is open: the frame loop pumps here.
void sysBackendPump() {
    fltkPump();
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_Event e;
        while (SDL_PollEvent(&e)) postSdlEvent(e);
    }
    if (sysQueueEmpty() && !displayWindowOpen()) fltkWait(kIdleWaitSeconds);
}

void sysBackendDestroyNative(PlatformWindow, SysWindow *entry) {
    if (entry->type == kSysWindowDisplay)
        sdlRetireWindow(entry);
    else
        fltkDestroyNative(entry);
}

void sysBackendSetCheck(PlatformWindow, SysWindow *entry) { fltkSetCheck(entry); }

void sysBackendShowMessageBox(PlatformWindow owner, const char *text, const char *caption) {
    // With no display at all the box cannot show; that was said already.
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, sdlWindowOf(owner)) != 0 && !displayMissing)
        std::fprintf(stderr, "kaveld: [%s] %s\n", caption, text);
}

PlatformWindow sysBackendFocus() {
    SDL_Window *focus = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetKeyboardFocus() : nullptr;
    if (focus) return windowOfSdlId(SDL_GetWindowID(focus));
    return fltkFocusWindow();
}
