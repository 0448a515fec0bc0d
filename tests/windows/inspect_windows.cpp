// inspect_windows.cpp -- kaveld-inspect.exe CAPTION: how Windows itself sees
// the top-level window titled CAPTION, for the tests under wine. One
// line for the window, then one per child control in creation order:
//   window STYLE X Y W H CLIENT_W CLIENT_H ICON(0/1) CLASS
//   child ID STYLE X Y W H CHECK CLASS|TEXT       (client coordinates)
// Exits 1 when no such window is found.
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
    if (argc != 2) return 2;
    HWND window = FindWindowW(nullptr, argv[1]);
    if (!window) return 1;
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    bool icon = GetClassLongPtrW(window, GCLP_HICON) != 0;
    std::printf("window 0x%08lx %ld %ld %ld %ld %ld %ld %d %s\n", (unsigned long)GetWindowLongW(window, GWL_STYLE),
                outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top, client.right, client.bottom,
                icon ? 1 : 0, utf8(className).c_str());
    EnumChildWindows(window, printChild, (LPARAM)window);
    return 0;
}
