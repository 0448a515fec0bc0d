// hooks_win32.cpp -- the contract suite on Windows (under wine): clicks,
// keys and close boxes as the native messages Windows itself sends or posts
// to the windows, marks as the BUTTON controls report them, the display mode
// as Windows enumerates it. Windows has neither FIFOs nor signals.
#include <cstring>

#include "contract/contract.h"
#include "platform/win32/win32_internal.h"

const char *const kContractBackend = "win32";

const char *contractCannot(const char *caseName) {
    if (std::strcmp(caseName, "Files.FifoRefusedAtOnce") == 0) return "Windows' file system has no FIFOs";
    if (std::strcmp(caseName, "EndSignals.FirstDecides") == 0)
        return "Windows sends console events, not signals (the wine test presses Ctrl-C on a console)";
    return nullptr;
}

std::string contractMakeTempFolder() {
    char base[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, base);
    std::string folder = std::string(n ? base : ".\\") + "kaveld-contract-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void contractLetTimePass(int milliseconds) { Sleep((DWORD)milliseconds); }

// The button presses itself, as a click on it does (BN_CLICKED to its parent).
void contractClick(PlatformWindow button) {
    if (HWND hwnd = win32Native(button)) SendMessageW(hwnd, BM_CLICK, 0, 0);
}

void contractPressKey(PlatformWindow window, int vk) {
    HWND hwnd = win32Native(window);
    if (!hwnd) return;
    PostMessageW(hwnd, WM_KEYDOWN, (WPARAM)vk, 1);
    PostMessageW(hwnd, WM_KEYUP, (WPARAM)vk, (LPARAM)(1u | 3u << 30));
}

void contractUseCloseBox(PlatformWindow window) {
    if (HWND hwnd = win32Native(window)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

bool contractNativeMark(PlatformWindow button) {
    HWND hwnd = win32Native(button);
    return hwnd && SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string contractDisplayMode() {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return "unknown";
    return std::to_string(mode.dmPelsWidth) + "x" + std::to_string(mode.dmPelsHeight) + "x" +
           std::to_string(mode.dmBitsPerPel) + "@" + std::to_string(mode.dmDisplayFrequency);
}

bool contractMakeFifo(const std::string &) { return false; }
void contractIgnoreSignal(int) {}
void contractRaise(int) {}
