// display.cpp -- the Windows backend's display: the full-screen mode switch
// (ChangeDisplaySettings, at the refresh the shared rule prefers), the swap
// interval asked of the refresh of the window's monitor (WGL_EXT_swap_control;
// chosen again when the window's monitor or the display mode changes), and
// the swap the shared present (present.cpp) paces to at most 60 frames per
// second.
#include <vector>

#include "platform/pacer.h"
#include "platform/win32/win32_internal.h"

namespace {

bool modeChanged = false;  // owned here: whether the desktop mode must be put back
// Owned by askInterval: the monitor whose refresh the interval follows.
HMONITOR followedMonitor = nullptr;

typedef BOOL(WINAPI *SwapIntervalProc)(int);

// The refresh of the monitor that shows most of the window; 0 when unknown
// (a frequency of 0 or 1 is the hardware's default).
double refreshOf(HWND hwnd) {
    MONITORINFOEXA info = {};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY);
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    const char *device = GetMonitorInfoA(monitor, &info) ? info.szDevice : nullptr;
    if (EnumDisplaySettingsA(device, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1)
        return mode.dmDisplayFrequency;
    return 0;
}

// Through WGL_EXT_swap_control where the driver has it, asking for the whole
// multiple of 60 Hz the window's monitor refreshes at (2 at 120 Hz).
void askInterval() {
    HWND hwnd = WindowFromDC(wglGetCurrentDC());
    followedMonitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY);
    int wanted = sysPresentFollowRefresh(refreshOf(hwnd));
    SwapIntervalProc setInterval = (SwapIntervalProc)(void *)wglGetProcAddress("wglSwapIntervalEXT");
    if (setInterval && wanted >= 0) setInterval(wanted);
}

// The refresh of each enumerated mode of w x h at bpp bits, in `modes`.
std::vector<double> ratesOfSize(int w, int h, int bpp, std::vector<DEVMODEA> *modes) {
    std::vector<double> rates;
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); i++) {
        if (mode.dmPelsWidth != (DWORD)w || mode.dmPelsHeight != (DWORD)h || mode.dmBitsPerPel != (DWORD)bpp) continue;
        modes->push_back(mode);
        rates.push_back(mode.dmDisplayFrequency > 1 ? mode.dmDisplayFrequency : 0);
    }
    return rates;
}

}  // namespace

void win32FollowDisplay(HWND hwnd, bool modeChange) {
    if (!GLimp_HasCurrentContext() || hwnd != WindowFromDC(wglGetCurrentDC())) return;
    if (modeChange || MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY) != followedMonitor) askInterval();
}

// Of the enumerated modes of the size and depth, the refresh the shared rule
// prefers (pacerChooseRefresh); the driver's default when none is listed.
bool GLimp_ChangeDisplayMode(PlatformWindow window, int w, int h, int bpp) {
    if (w == 0) {  // back to the desktop mode
        if (modeChanged) ChangeDisplaySettingsA(nullptr, 0);
        modeChanged = false;
        return true;
    }
    HWND hwnd = win32Native(window);
    if (sysShouldFail("ChangeDisplayMode") || !hwnd) return false;
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = (DWORD)w;
    mode.dmPelsHeight = (DWORD)h;
    mode.dmBitsPerPel = (DWORD)bpp;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    std::vector<DEVMODEA> modes;
    std::vector<double> rates = ratesOfSize(w, h, bpp, &modes);
    int chosen = pacerChooseRefresh(rates.data(), (int)rates.size());
    if (chosen >= 0 && rates[chosen] > 0) {
        mode.dmDisplayFrequency = modes[chosen].dmDisplayFrequency;
        mode.dmFields |= DM_DISPLAYFREQUENCY;
    }
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return false;
    modeChanged = true;
    SetWindowPos(hwnd, HWND_TOP, 0, 0, w, h, SWP_SHOWWINDOW);
    return true;
}

SysPresentPacing sysBackendPresentPacing(PlatformDc dc) { return dc ? kSysPresentPaced : kSysPresentDropped; }

// The pacer sleeps to the millisecond: the display window holds the timer at
// 1 ms while it is open (windows.cpp).
PacerClock sysBackendPacerClock() { return pacerSystemClock(); }

void sysBackendSwapBuffers(PlatformDc dc) { SwapBuffers((HDC)dc); }

void sysBackendSetSwapInterval() { askInterval(); }
