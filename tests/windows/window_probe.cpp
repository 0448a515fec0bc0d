// window_probe.cpp -- kaveld-probe.exe CAPTION: how Windows itself sees
// the top-level window titled CAPTION, for the tests under wine. One
// line for the window, then one per child control in creation order:
//   window STYLE X Y W H CLIENT_W CLIENT_H CLASS
//   child ID STYLE X Y W H CHECK CLASS|TEXT       (client coordinates)
// Exits 1 when no such window is found. kaveld-probe.exe --icon PROGRAM
// prints "icon 1" when PROGRAM's icon resource 101 loads as a 32x32 icon.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const wchar_t *text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? (size_t)n : 1, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

BOOL CALLBACK printChild(HWND child, LPARAM parent) {
    if (GetParent(child) != (HWND)parent) return TRUE;
    wchar_t className[64] = L"", text[128] = L"";
    GetClassNameW(child, className, 64);
    GetWindowTextW(child, text, 128);
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, (HWND)parent, (POINT *)&r, 2);
    LRESULT check = SendMessageW(child, BM_GETCHECK, 0, 0);
    std::printf("child %d 0x%08lx %ld %ld %ld %ld %d %s|%s\n", GetDlgCtrlID(child),
                (unsigned long)GetWindowLongW(child, GWL_STYLE), r.left, r.top, r.right - r.left, r.bottom - r.top,
                (int)check, utf8(className).c_str(), utf8(text).c_str());
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc == 3 && wcscmp(argv[1], L"--icon") == 0) {
        HMODULE program = LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
        HANDLE icon = program ? LoadImageW(program, MAKEINTRESOURCEW(101), IMAGE_ICON, 32, 32, 0) : nullptr;
        std::printf("icon %d\n", icon ? 1 : 0);
        return icon ? 0 : 1;
    }
    if (argc != 2) return 2;
    HWND window = FindWindowW(nullptr, argv[1]);
    if (!window) return 1;
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    std::printf("window 0x%08lx %ld %ld %ld %ld %ld %ld %s\n", (unsigned long)GetWindowLongW(window, GWL_STYLE),
                outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top, client.right, client.bottom,
                utf8(className).c_str());
    EnumChildWindows(window, printChild, (LPARAM)window);
    return 0;
}
