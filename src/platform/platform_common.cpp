// platform_common.cpp -- the window side every backend shares: the message
// queue (end signals and a failed sound output come out of it as quits),
// the window registry and class table, default window and button handling,
// message-box routing, failure lines, the calendar time, the icon resource.
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <string>
#include <vector>

#include "platform/platform_internal.h"
#include "platform/sound_internal.h"

namespace {

// Owned by Sys_PostMessage (and the signal and sound-failure quits it puts
// first) and Sys_PeekMessage: the messages waiting, oldest first.
std::deque<PlatformMessage> messageQueue;
// Owned by sysAllocWindow and Sys_DestroyWindow (the backends fill in an
// entry's fields as they create its window): the window registry.
SysWindow windows[kSysMaxWindows];
std::vector<PlatformWindowClass> classes;  // owned by Sys_RegisterClass
// Owned by Sys_FixCalendarTime: the calendar time a caller fixed.
bool calendarTimeFixed = false;
int64_t fixedCalendarTime = 0;
const auto platformStart = std::chrono::steady_clock::now();
uint32_t windowsMade = 0;  // owned by sysAllocWindow: the serial of the last window entered

#include "kaveld_icon.xpm"

}  // namespace

uint32_t sysNowMs() {
    auto elapsed = std::chrono::steady_clock::now() - platformStart;
    return (uint32_t)std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

SysWindow *sysWindow(PlatformWindow window) {
    if (window < 1 || window > kSysMaxWindows) return nullptr;
    SysWindow *entry = &windows[window - 1];
    return entry->type == kSysWindowFree ? nullptr : entry;
}

PlatformWindow sysAllocWindow(SysWindowType type, PlatformWindowProc proc, PlatformWindow parent) {
    for (int i = 0; i < kSysMaxWindows; i++) {
        if (windows[i].type != kSysWindowFree) continue;
        windows[i] = SysWindow{type, proc, parent, 0, kButtonPush, false, nullptr, ++windowsMade};
        return i + 1;
    }
    return 0;
}

PlatformWindow sysAllocButton(PlatformWindow parent, PlatformButtonKind kind, int id) {
    SysWindow *owner = sysWindow(parent);
    if (sysShouldFail("CreateButton") || !owner || owner->type != kSysWindowOptions) return 0;
    PlatformWindow button = sysAllocWindow(kSysWindowButton, nullptr, parent);
    if (!button) return 0;
    sysWindow(button)->controlId = id;
    sysWindow(button)->buttonKind = kind;
    return button;
}

void sysForgetWindow(PlatformWindow window) {
    if (SysWindow *entry = sysWindow(window)) entry->type = kSysWindowFree;
}

const PlatformWindowClass *sysFindClass(const char *name) {
    for (const PlatformWindowClass &c : classes)
        if (name && std::strcmp(c.name, name) == 0) return &c;
    return nullptr;
}

int64_t Sys_CalendarTime() { return calendarTimeFixed ? fixedCalendarTime : (int64_t)std::time(nullptr); }

void Sys_FixCalendarTime(int64_t seconds) {
    calendarTimeFixed = true;
    fixedCalendarTime = seconds;
}

bool Sys_RegisterClass(const PlatformWindowClass *windowClass) {
    if (sysShouldFail("RegisterClass") || !windowClass || !windowClass->name || sysFindClass(windowClass->name))
        return false;
    classes.push_back(*windowClass);
    return true;
}

void Sys_PostMessage(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    messageQueue.push_back(PlatformMessage{window, message, wParam, lParam, sysNowMs(), 0, 0});
}

void Sys_PostQuitMessage(int exitCode) { Sys_PostMessage(0, kMsgQuit, (uintptr_t)exitCode, 0); }

bool sysQueueEmpty() { return messageQueue.empty(); }

bool Sys_PeekMessage(PlatformMessage *out) {
    sysBackendPump();
    if (int number = sysTakeEndSignal())
        messageQueue.push_front(PlatformMessage{0, kMsgQuit, (uintptr_t)(128 + number), 0, sysNowMs(), 0, 0});
    if (sndTakeOutputFailure()) {
        Sys_ReportFailure("the sound output failed");
        messageQueue.push_front(PlatformMessage{0, kMsgQuit, 1, 0, sysNowMs(), 0, 0});
    }
    if (messageQueue.empty()) return false;
    *out = messageQueue.front();
    messageQueue.pop_front();
    return true;
}

// A key-down of a key that types a character is followed by that character.
void Sys_TranslateMessage(const PlatformMessage *msg) {
    if (msg->message != kMsgKeyDown) return;
    uintptr_t vk = msg->wParam;
    bool types = vk == 8 || vk == 9 || vk == kVkReturn || vk == kVkEscape || vk == kVkSpace ||
                 (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z');
    if (!types) return;
    uintptr_t ch = (vk >= 'A' && vk <= 'Z') ? vk + ('a' - 'A') : vk;
    Sys_PostMessage(msg->window, kMsgChar, ch, msg->lParam);
}

namespace {

// A button's own procedure: what its control would do with the mouse and
// Space, ending in a click sent to the parent's procedure at once.
intptr_t buttonProc(PlatformWindow button, const SysWindow *entry, const PlatformMessage *msg) {
    uintptr_t code;
    if (msg->message == kMsgLButtonUp || (msg->message == kMsgKeyUp && msg->wParam == kVkSpace))
        code = kNotifyClicked;
    else if (msg->message == kMsgLButtonDblClk)
        code = entry->buttonKind == kButtonRadio ? kNotifyDoubleClicked : kNotifyClicked;
    else
        return 0;
    PlatformWindow parent = entry->parent;
    SysWindow *owner = sysWindow(parent);
    if (!owner || !owner->proc) return 0;
    return owner->proc(parent, kMsgCommand, (uintptr_t)(entry->controlId & 0xFFFF) | (code << 16), button);
}

}  // namespace

intptr_t Sys_DispatchMessage(const PlatformMessage *msg) {
    SysWindow *entry = sysWindow(msg->window);
    if (entry && entry->type == kSysWindowButton) return buttonProc(msg->window, entry, msg);
    if (!entry || !entry->proc) return 0;
    return entry->proc(msg->window, msg->message, msg->wParam, msg->lParam);
}

intptr_t Sys_DefWindowProc(PlatformWindow window, uint32_t message, uintptr_t, intptr_t) {
    if (message == kMsgClose) Sys_DestroyWindow(window);
    return 0;
}

void Sys_DestroyWindow(PlatformWindow window) {
    SysWindow *entry = sysWindow(window);
    if (!entry) return;
    sysBackendDestroyNative(window, entry);
    PlatformWindowProc proc = entry->proc;
    if (proc) proc(window, kMsgDestroy, 0, 0);
    for (int i = 0; i < kSysMaxWindows; i++)
        if (windows[i].type != kSysWindowFree && windows[i].parent == window) windows[i].type = kSysWindowFree;
    entry->type = kSysWindowFree;
}

PlatformWindow Sys_GetFocusWindow() { return sysBackendFocus(); }

void Sys_SetButtonCheck(PlatformWindow button, bool checked) {
    SysWindow *entry = sysWindow(button);
    if (!entry || entry->type != kSysWindowButton) return;
    entry->checked = checked;
    sysBackendSetCheck(button, entry);
}

void Sys_ReportFailure(const char *format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::fprintf(stderr, "kaveld: %s\n", text);
}

void Sys_MessageBox(PlatformWindow owner, const char *text, const char *caption) {
    if (!sysMessageBoxCaptured(owner, text, caption)) sysBackendShowMessageBox(owner, text, caption);
}

// Parses the icon's XPM text (one character per pixel, "#rrggbb" or "None").
const uint32_t *sysIconRgba() {
    static uint32_t pixels[32 * 32];
    static bool parsed = false;
    if (parsed) return pixels;
    parsed = true;
    int w = 0, h = 0, colors = 0, cpp = 0;
    std::sscanf(kaveld_icon_xpm[0], "%d %d %d %d", &w, &h, &colors, &cpp);
    if (w != 32 || h != 32 || cpp != 1) return pixels;
    uint32_t table[256] = {};
    for (int i = 1; i <= colors; i++) {
        const char *line = kaveld_icon_xpm[i];
        unsigned rgb = 0;
        const char *hash = std::strchr(line, '#');
        if (hash && std::sscanf(hash + 1, "%6x", &rgb) == 1)
            table[(unsigned char)line[0]] = 0xFF000000u | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16);
    }
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) pixels[y * 32 + x] = table[(unsigned char)kaveld_icon_xpm[1 + colors + y][x]];
    return pixels;
}
