// options_window.cpp -- the start-up options window: resolution, colour
// depth, full screen or windowed, OK or CANCEL. Owns DisplaySettings and the
// window's flags; on OK it opens the display with the choice.
#include "display/display.h"
#include "driver/quit.h"

DisplaySettingsRecord DisplaySettings = {640, 480, 16, 1};
int32_t fullScreenChecked = 1;
int32_t optionsDone = 0;
int32_t startCancelled = 0;
PlatformWindow optionsWindow = 0;
PlatformWindow optionsButtons[8] = {};

namespace {

enum : int { kIdOk = 201, kIdCancel, kIdFullScreen, kId640, kId800, kId1024, kId16, kId32 };

struct ControlSpec {
    int id;
    const char *caption;
    PlatformButtonKind kind;
    int x, y, w, h;
};

const ControlSpec kControls[8] = {
    {kIdOk, "OK", kButtonPush, 35, 120, 75, 23},
    {kIdCancel, "CANCEL", kButtonPush, 170, 120, 75, 23},
    {kIdFullScreen, "full screen", kButtonCheckBox, 96, 80, 88, 23},
    {kId640, "640x480", kButtonRadio, 0, 0, 88, 23},
    {kId800, "800x600", kButtonRadio, 0, 23, 88, 23},
    {kId1024, "1024x768", kButtonRadio, 0, 46, 88, 23},
    {kId16, "16bpp", kButtonRadio, 206, 0, 88, 23},
    {kId32, "32bpp", kButtonRadio, 206, 23, 88, 23},
};

void check(int id, bool on) { Sys_SetButtonCheck(optionsButtons[id - kIdOk], on); }

void countFailure() {
    optionsDone++;
    quitRequests++;
}

void chooseResolution(int32_t width, int32_t height, int checkedId) {
    DisplaySettings.width = width;
    DisplaySettings.height = height;
    for (int id = kId640; id <= kId1024; id++) check(id, id == checkedId);
}

void chooseDepth(int32_t bits, int checkedId) {
    DisplaySettings.bitsPerPixel = bits;
    check(checkedId, true);
    check(checkedId == kId16 ? kId32 : kId16, false);
}

void onClick(int id) {
    switch (id) {
    case kIdOk: optionsDone++; break;
    case kIdCancel:
        optionsDone++;
        quitRequests++;
        startCancelled = 1;
        break;
    case kIdFullScreen:
        if (fullScreenChecked == 1) {
            check(kIdFullScreen, false);
            fullScreenChecked = 0;
            DisplaySettings.fullScreen = 0;
        } else {
            fullScreenChecked = 1;
            check(kIdFullScreen, true);
            DisplaySettings.fullScreen = 1;
        }
        break;
    case kId640: chooseResolution(640, 480, kId640); break;
    case kId800: chooseResolution(800, 600, kId800); break;
    case kId1024: chooseResolution(1024, 768, kId1024); break;
    case kId16: chooseDepth(16, kId16); break;
    case kId32: chooseDepth(32, kId32); break;
    default: break;
    }
}

}  // namespace

intptr_t optionsWindowProc(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == kMsgDestroy) {
        Sys_PostQuitMessage(0);
        optionsDone++;
        quitRequests++;
        startCancelled = 1;
    } else if (message == kMsgCommand && ((wParam >> 16) & 0xFFFF) == kNotifyClicked) {
        onClick((int)(wParam & 0xFFFF));
    }
    return Sys_DefWindowProc(window, message, wParam, lParam);
}

void runOptionsWindow() {
    PlatformWindowClass windowClass = {"options", optionsWindowProc, kIconResource, kBackgroundLightGrey};
    if (!Sys_RegisterClass(&windowClass)) countFailure();

    optionsWindow = Sys_CreateOptionsWindow("options", "morvane :: k a v e l d", 0, 0, 294, 206);
    if (!optionsWindow) countFailure();

    for (int i = 0; i < 8; i++) {
        const ControlSpec &c = kControls[i];
        optionsButtons[i] = Sys_CreateButton(optionsWindow, c.kind, c.caption, c.id, c.x, c.y, c.w, c.h);
        if (!optionsButtons[i]) countFailure();
    }

    check(kIdFullScreen, true);
    check(kId640, true);
    check(kId16, true);

    while (optionsDone == 0) {
        if (!Sys_PeekMessage(&queueMessage)) continue;
        if (queueMessage.message == kMsgQuit) optionsDone++;
        Sys_TranslateMessage(&queueMessage);
        Sys_DispatchMessage(&queueMessage);
    }

    if (startCancelled == 0)
        openDisplay(DisplaySettings.width, DisplaySettings.height, DisplaySettings.fullScreen,
                    DisplaySettings.bitsPerPixel);
}
