// window_probe.cpp -- kaveld-probe.exe CAPTION: how Windows itself sees
// the top-level window titled CAPTION, for the tests under wine. One
// line for the window, then one per child control in creation order:
//   window STYLE X Y W H CLIENT_W CLIENT_H CLASS
//   child ID STYLE X Y W H CHECK CLASS|TEXT       (client coordinates)
// Exits 1 when no such window is found. kaveld-probe.exe --icon PROGRAM
// prints "icon 1" when PROGRAM's icon resource 101 loads as a 32x32 icon.
// kaveld-probe.exe --ctrl-c CAPTION PROGRAM starts PROGRAM on a console of
// the probe's own, waits for its window titled CAPTION, presses Ctrl-C on
// that console and prints "sent 1 exit N" once PROGRAM has ended (at most a
// minute each; "sent 0" when no such window came).
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

BOOL WINAPI keepProbe(DWORD) { return TRUE; }  // the probe outlives the Ctrl-C it sends

int sendCtrlC(const wchar_t *caption, const wchar_t *program) {
    FreeConsole();   // a console of its own, whatever it was started with (wine gives none behind a pipe),
    AllocConsole();  // out of the way of the clicks
    if (HWND console = GetConsoleWindow()) ShowWindow(console, SW_HIDE);
    SetConsoleCtrlHandler(keepProbe, TRUE);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    std::wstring commandLine = std::wstring(L"\"") + program + L"\"";
    if (!CreateProcessW(program, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) {
        std::printf("cannot start the program (error %lu)\n", GetLastError());
        return 1;
    }
    int waited = 0;
    for (; !FindWindowW(nullptr, caption) && waited < 60000; waited += 50) Sleep(50);
    bool sent = waited < 60000 && GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    DWORD code = 0;
    bool ended =
        WaitForSingleObject(child.hProcess, 60000) == WAIT_OBJECT_0 && GetExitCodeProcess(child.hProcess, &code);
    if (!ended) TerminateProcess(child.hProcess, 1);
    std::printf("sent %d exit %ld\n", sent ? 1 : 0, ended ? (long)code : -1L);
    std::fflush(stdout);
    return ended ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc == 3 && wcscmp(argv[1], L"--icon") == 0) {
        HMODULE program = LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
        HANDLE icon = program ? LoadImageW(program, MAKEINTRESOURCEW(101), IMAGE_ICON, 32, 32, 0) : nullptr;
        std::printf("icon %d\n", icon ? 1 : 0);
        return icon ? 0 : 1;
    }
    if (argc == 4 && wcscmp(argv[1], L"--ctrl-c") == 0) return sendCtrlC(argv[2], argv[3]);
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
