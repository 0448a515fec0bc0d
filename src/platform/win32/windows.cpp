// windows.cpp -- the Windows backend's windows: native classes with
// icon resource 101, the options window of real BUTTON controls, the display
// window, the native message queue pumped into the show's queue, message
// boxes and keyboard focus. The display mode and the present live in display.cpp, the GL steps in
// gl_context.cpp.
#include "platform/win32/win32_internal.h"

#include <mmsystem.h>

namespace {

const wchar_t kPropWindow[] = L"kaveld.window";  // the registry id a native window stands for
const DWORD kIdleWaitMs = 20;
int displayWindows = 0;  // owned by GLimp_CreateWindow and sysBackendDestroyNative: display windows open

PlatformWindow windowOfNative(HWND hwnd) { return (PlatformWindow)(intptr_t)GetPropW(hwnd, kPropWindow); }

LRESULT CALLBACK nativeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    PlatformWindow window = windowOfNative(hwnd);
    if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND:  // from a child button: its click, queued for the button (the shared code notifies us)
        if (PlatformWindow button = lParam ? windowOfNative((HWND)lParam) : 0) {
            if (HIWORD(wParam) == BN_CLICKED)
                Sys_PostMessage(button, kMsgLButtonUp, 0, 0);
            else if (HIWORD(wParam) == BN_DOUBLECLICKED)
                Sys_PostMessage(button, kMsgLButtonDblClk, 0, 0);
        }
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        Sys_PostMessage(window, message == WM_KEYDOWN ? kMsgKeyDown : kMsgKeyUp, wParam, (lParam >> 30) & 1);
        return 0;
    case WM_CLOSE: Sys_PostMessage(window, kMsgClose, 0, 0); return 0;
    case WM_DISPLAYCHANGE: win32FollowDisplay(hwnd, true); break;
    case WM_MOVE: win32FollowDisplay(hwnd, false); break;  // perhaps onto another monitor
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The native class of a registered class, registered on first use.
bool nativeClass(const PlatformWindowClass *windowClass) {
    std::wstring name = win32Wide(windowClass->name);
    WNDCLASSEXW existing;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, name.c_str(), &existing)) return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = nativeProc;
    wc.hInstance = instance;
    wc.hIcon = (HICON)LoadImageW(instance, MAKEINTRESOURCEW(windowClass->iconResource), IMAGE_ICON, 32, 32,
                                 LR_LOADMAP3DCOLORS);
    wc.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(windowClass->background == kBackgroundBlack ? BLACK_BRUSH : LTGRAY_BRUSH);
    wc.lpszClassName = name.c_str();
    return RegisterClassExW(&wc) != 0;
}

// Enters a native window into the registry; destroys it when the registry is full.
PlatformWindow adopt(HWND hwnd, SysWindowType type, PlatformWindowProc proc, PlatformWindow parent) {
    PlatformWindow window = sysAllocWindow(type, proc, parent);
    if (!window) {
        DestroyWindow(hwnd);
        return 0;
    }
    sysWindow(window)->native = hwnd;
    SetPropW(hwnd, kPropWindow, (HANDLE)(intptr_t)window);
    return window;
}

HWND createTopLevel(const char *className, const char *caption, DWORD style, int x, int y, int w, int h) {
    const PlatformWindowClass *windowClass = sysFindClass(className);
    if (!windowClass || w <= 0 || h <= 0 || !nativeClass(windowClass)) return nullptr;
    return CreateWindowExW(0, win32Wide(className).c_str(), win32Wide(caption).c_str(), style, x, y, w, h, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

std::wstring win32Wide(const char *utf8) {
    if (!utf8 || !*utf8) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide((size_t)n - 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], n);
    return wide;
}

HWND win32Native(PlatformWindow window) {
    SysWindow *entry = sysWindow(window);
    return entry ? (HWND)entry->native : nullptr;
}

PlatformWindow Sys_CreateOptionsWindow(const char *className, const char *caption, int x, int y, int w, int h) {
    if (sysShouldFail("CreateOptionsWindow")) return 0;
    const PlatformWindowClass *windowClass = sysFindClass(className);
    HWND hwnd = createTopLevel(className, caption, WS_VISIBLE | WS_CAPTION | WS_SYSMENU, x, y, w, h);
    return hwnd ? adopt(hwnd, kSysWindowOptions, windowClass->proc, 0) : 0;
}

PlatformWindow Sys_CreateButton(PlatformWindow parent, PlatformButtonKind kind, const char *caption, int id, int x,
                                int y, int w, int h) {
    SysWindow *owner = sysWindow(parent);
    HWND parentHwnd = win32Native(parent);
    if (sysShouldFail("CreateButton") || !owner || owner->type != kSysWindowOptions || !parentHwnd) return 0;
    // Plain check boxes and radio buttons: their marks are set by the program alone.
    DWORD style = kind == kButtonCheckBox ? BS_CHECKBOX : kind == kButtonRadio ? BS_RADIOBUTTON : BS_PUSHBUTTON;
    HWND hwnd = CreateWindowExW(0, L"BUTTON", win32Wide(caption).c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                                parentHwnd, (HMENU)(intptr_t)id, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return 0;
    PlatformWindow button = adopt(hwnd, kSysWindowButton, nullptr, parent);
    if (!button) return 0;
    SysWindow *entry = sysWindow(button);
    entry->controlId = id;
    entry->buttonKind = kind;
    return button;
}

PlatformWindow GLimp_CreateWindow(const char *className, const char *caption, bool fullScreen, int x, int y, int w,
                                  int h) {
    if (sysShouldFail("CreateWindow")) return 0;
    const PlatformWindowClass *windowClass = sysFindClass(className);
    Sys_CatchEndSignals();              // from here on Ctrl-C ends the show through its shutdown
    if (fullScreen) ShowCursor(FALSE);  // hidden for the rest of the run
    DWORD style = fullScreen ? WS_POPUP | WS_VISIBLE : WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    HWND hwnd = createTopLevel(className, caption, style, x, y, w, h);
    if (!hwnd) {
        Sys_ReportFailure("cannot create the display window (error %lu)", GetLastError());
        return 0;
    }
    PlatformWindow window = adopt(hwnd, kSysWindowDisplay, windowClass->proc, 0);
    if (!window) return 0;
    // The timer ticks every millisecond while a display window is open, for
    // the present pacer's sleeps (Windows' default tick is 15.6 ms).
    if (displayWindows++ == 0) timeBeginPeriod(1);
    SetForegroundWindow(hwnd);  // over the options window, with the keyboard
    SetFocus(hwnd);
    return window;
}

// Never waits while a display window is open: the frame loop pumps here.
// Before that (the options window waits for the viewer, its loop polling),
// an empty queue waits a little for input instead of spinning.
void sysBackendPump() {
    MSG msg;
    bool any = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        any = true;
    }
    if (!any && displayWindows == 0 && sysQueueEmpty())
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kIdleWaitMs, QS_ALLINPUT);
}

void sysBackendDestroyNative(PlatformWindow, SysWindow *entry) {
    HWND hwnd = (HWND)entry->native;
    if (!hwnd) return;
    if (entry->type == kSysWindowDisplay && --displayWindows == 0) timeEndPeriod(1);
    RemovePropW(hwnd, kPropWindow);
    if (entry->type != kSysWindowButton || IsWindow(hwnd)) DestroyWindow(hwnd);
    entry->native = nullptr;
}

void sysBackendSetCheck(PlatformWindow, SysWindow *entry) {
    if (entry->native) SendMessageW((HWND)entry->native, BM_SETCHECK, entry->checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void sysBackendShowMessageBox(PlatformWindow owner, const char *text, const char *caption) {
    if (!MessageBoxW(win32Native(owner), win32Wide(text).c_str(), win32Wide(caption).c_str(), MB_OK))
        Sys_ReportFailure("[%s] %s", caption, text);
}

PlatformWindow sysBackendFocus() {
    HWND focus = GetFocus();
    return focus ? windowOfNative(focus) : 0;
}
