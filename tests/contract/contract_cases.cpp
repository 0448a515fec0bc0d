// contract_cases.cpp -- what every backend does the same way, through the
// platform contract alone: windows made and destroyed, the message pump and
// its order, button marks, message boxes routed, the display mode put back,
// the present paced, the GL context made and released, files mapped (regular
// ones only), the sound front end, the end requests. Each case leaves no
// window open and nothing queued; they run in this order in one process, the
// end requests last (the first one taken stays for the rest of the run).
#include <GL/gl.h>

#include <cstring>
#include <vector>

#include "contract/contract.h"
#include "platform/pacer.h"
#include "support/xm_fixture.h"

namespace {

const char kOptionsClass[] = "contract options", kDisplayClass[] = "contract display";
// POSIX numbers, which Windows' SIGINT and SIGTERM share.
const int kSigHup = 1, kSigInt = 2, kSigTerm = 15;
const int kWaitMs = 5000;  // the longest native input may take to arrive

struct Sent {
    PlatformWindow window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};
std::vector<Sent> sent;  // owned by recordingProc: what the windows' procedures were sent

intptr_t recordingProc(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    sent.push_back(Sent{window, message, wParam, lParam});
    return Sys_DefWindowProc(window, message, wParam, lParam);
}

bool registerClasses() {
    static bool registered = false;
    if (registered) return true;
    PlatformWindowClass options = {kOptionsClass, recordingProc, kIconResource, kBackgroundLightGrey};
    PlatformWindowClass display = {kDisplayClass, recordingProc, kIconResource, kBackgroundBlack};
    registered = Sys_RegisterClass(&options) && Sys_RegisterClass(&display);
    return registered;
}

PlatformWindow openOptions() {
    return registerClasses() ? Sys_CreateOptionsWindow(kOptionsClass, "contract", 0, 0, 294, 206) : 0;
}

PlatformWindow checkBoxIn(PlatformWindow options) {
    return Sys_CreateButton(options, kButtonCheckBox, "full screen", 203, 96, 80, 88, 23);
}

PlatformWindow openDisplayWindow(bool fullScreen = false) {
    return registerClasses() ? GLimp_CreateWindow(kDisplayClass, "contract display", fullScreen, 0, 0, 160, 120) : 0;
}

// Takes messages until one for `window` of `message` (dispatching none of
// them), waiting for native input up to kWaitMs. True with it in *out.
bool takeUntil(PlatformWindow window, uint32_t message, PlatformMessage *out) {
    for (int waited = 0; waited <= kWaitMs; waited += 10) {
        while (Sys_PeekMessage(out))
            if (out->window == window && out->message == message) return true;
        contractLetTimePass(10);
    }
    return false;
}

void drain() {
    PlatformMessage m;
    while (Sys_PeekMessage(&m)) {}
    sent.clear();
}

struct GlDisplay {
    PlatformWindow window;
    PlatformDc dc;
    PlatformGlContext context;
};

GlDisplay openGl() {
    GlDisplay d = {openDisplayWindow(), 0, 0};
    PlatformPixelFormat format = {32, 16, true};
    d.dc = d.window ? GLimp_GetDc(d.window) : 0;
    int index = d.dc ? GLimp_ChoosePixelFormat(d.dc, &format) : 0;
    if (index > 0 && GLimp_SetPixelFormat(d.dc, index, &format)) d.context = GLimp_CreateContext(d.dc);
    if (d.context && !GLimp_MakeCurrent(d.dc, d.context)) d.context = 0;
    return d;
}

void closeGl(const GlDisplay &d) {
    GLimp_MakeCurrent(0, 0);
    if (d.context) GLimp_DeleteContext(d.context);
    if (d.dc) GLimp_ReleaseDc(d.window, d.dc);
    Sys_DestroyWindow(d.window);
    drain();
}

// ---------------------------------------------------------------- windows

void windowsMadeAndDestroyed() {
    CONTRACT_CHECK(registerClasses());
    PlatformWindowClass again = {kOptionsClass, recordingProc, kIconResource, kBackgroundBlack};
    CONTRACT_CHECK(!Sys_RegisterClass(&again));
    CONTRACT_EQ(Sys_CreateOptionsWindow("no such class", "x", 0, 0, 100, 100), 0);
    CONTRACT_EQ(GLimp_CreateWindow("no such class", "x", false, 0, 0, 100, 100), 0);
    PlatformWindow options = openOptions();
    CONTRACT_CHECK(options != 0);
    PlatformWindow button = Sys_CreateButton(options, kButtonPush, "OK", 201, 35, 120, 75, 23);
    PlatformWindow display = openDisplayWindow();
    CONTRACT_CHECK(button != 0 && display != 0 && button != options && display != options && display != button);
    CONTRACT_EQ(Sys_CreateButton(display, kButtonPush, "no", 1, 0, 0, 10, 10), 0);  // buttons go in options windows
    // Destroying sends kMsgDestroy to the window's procedure there and then, once.
    sent.clear();
    Sys_DestroyWindow(display);
    CONTRACT_EQ(sent.size(), 1);
    CONTRACT_CHECK(sent[0].window == display && sent[0].message == kMsgDestroy);
    Sys_DestroyWindow(display);
    Sys_DestroyWindow(0);
    CONTRACT_EQ(sent.size(), 1);
    // The options window goes with its buttons: a click for a destroyed one is dropped.
    Sys_DestroyWindow(options);
    CONTRACT_EQ(sent.size(), 2);
    CONTRACT_CHECK(sent[1].window == options && sent[1].message == kMsgDestroy);
    PlatformMessage click = {button, kMsgLButtonUp, 0, 0, 0, 0, 0};
    CONTRACT_EQ(Sys_DispatchMessage(&click), 0);
    CONTRACT_EQ(sent.size(), 2);
    drain();
}

// Every creation step a test can fail fails once, then works again.
void windowsStepsFailWhenInjected() {
    PlatformWindowClass extra = {"contract extra", recordingProc, kIconResource, kBackgroundBlack};
    Sys_InjectFailure("RegisterClass", 1);
    CONTRACT_CHECK(!Sys_RegisterClass(&extra));
    CONTRACT_CHECK(Sys_RegisterClass(&extra));
    Sys_InjectFailure("CreateOptionsWindow", 1);
    CONTRACT_EQ(openOptions(), 0);
    PlatformWindow options = openOptions();
    CONTRACT_CHECK(options != 0);
    Sys_InjectFailure("CreateButton", 1);
    CONTRACT_EQ(Sys_CreateButton(options, kButtonPush, "OK", 201, 35, 120, 75, 23), 0);
    CONTRACT_CHECK(Sys_CreateButton(options, kButtonPush, "OK", 201, 35, 120, 75, 23) != 0);
    Sys_InjectFailure("CreateWindow", 1);
    CONTRACT_EQ(openDisplayWindow(), 0);
    PlatformWindow display = openDisplayWindow();
    CONTRACT_CHECK(display != 0);
    Sys_DestroyWindow(display);
    Sys_DestroyWindow(options);
    drain();
}

// ---------------------------------------------------------------- the message pump

// A click comes as the button's mouse-up; dispatched, it tells the parent
// (id | clicked << 16, the button); the mark stays the program's.
void pumpClickIsTheButtonsMouseUp() {
    PlatformWindow options = openOptions();
    CONTRACT_CHECK(options != 0);
    PlatformWindow ok = Sys_CreateButton(options, kButtonPush, "OK", 201, 35, 120, 75, 23);
    PlatformWindow box = checkBoxIn(options);
    CONTRACT_CHECK(ok != 0 && box != 0);
    drain();
    contractClick(ok);
    PlatformMessage m;
    CONTRACT_CHECK(takeUntil(ok, kMsgLButtonUp, &m));
    CONTRACT_EQ(m.wParam, 0);
    Sys_DispatchMessage(&m);
    CONTRACT_EQ(sent.size(), 1);
    CONTRACT_CHECK(sent[0].window == options && sent[0].message == kMsgCommand);
    CONTRACT_EQ(sent[0].wParam, 201 | (kNotifyClicked << 16));
    CONTRACT_EQ(sent[0].lParam, ok);
    contractClick(box);
    CONTRACT_CHECK(takeUntil(box, kMsgLButtonUp, &m));
    Sys_DispatchMessage(&m);
    CONTRACT_EQ(sent.size(), 2);
    CONTRACT_EQ(sent[1].wParam, 203 | (kNotifyClicked << 16));
    CONTRACT_CHECK(!contractNativeMark(box) && !Sys_GetButtonCheck(box));
    Sys_DestroyWindow(options);
    drain();
}

// Esc on the display window is kMsgKeyDown with virtual key 27, and it types
// the character 27.
void pumpEscapeIsKeyDown27() {
    PlatformWindow display = openDisplayWindow();
    CONTRACT_CHECK(display != 0);
    drain();
    contractPressKey(display, kVkEscape);
    PlatformMessage m;
    CONTRACT_CHECK(takeUntil(display, kMsgKeyDown, &m));
    CONTRACT_EQ(m.wParam, kVkEscape);
    Sys_TranslateMessage(&m);
    CONTRACT_CHECK(takeUntil(display, kMsgChar, &m));
    CONTRACT_EQ(m.wParam, 27);
    Sys_DestroyWindow(display);
    drain();
}

// The close box queues kMsgClose; by default that destroys the window.
void pumpCloseBoxCloses() {
    PlatformWindow windows[] = {openOptions(), openDisplayWindow()};
    for (PlatformWindow window : windows) {
        CONTRACT_CHECK(window != 0);
        drain();
        contractUseCloseBox(window);
        PlatformMessage m;
        CONTRACT_CHECK(takeUntil(window, kMsgClose, &m));
        Sys_DispatchMessage(&m);
        CONTRACT_EQ(sent.size(), 2);
        CONTRACT_CHECK(sent[0].message == kMsgClose && sent[1].window == window && sent[1].message == kMsgDestroy);
        Sys_DestroyWindow(window);  // already gone: harmless
        CONTRACT_EQ(sent.size(), 2);
    }
    drain();
}

// Messages come out in the order queued, a quit behind what was queued
// before it; a quit, or a message for a destroyed window, is dispatched to
// no one.
void pumpOrderAndQuit() {
    PlatformWindow display = openDisplayWindow();
    CONTRACT_CHECK(display != 0);
    drain();
    Sys_PostMessage(display, kMsgKeyDown, 'A', 0);
    Sys_PostMessage(display, kMsgKeyUp, 'A', 0);
    Sys_PostQuitMessage(5);
    Sys_PostMessage(display, kMsgKeyDown, 'B', 0);
    PlatformMessage m;
    CONTRACT_CHECK(Sys_PeekMessage(&m) && m.message == kMsgKeyDown && m.wParam == 'A' && m.window == display);
    Sys_TranslateMessage(&m);  // its character goes behind everything queued
    CONTRACT_CHECK(Sys_PeekMessage(&m) && m.message == kMsgKeyUp);
    CONTRACT_CHECK(Sys_PeekMessage(&m) && m.message == kMsgQuit && m.wParam == 5 && m.window == 0);
    CONTRACT_EQ(Sys_DispatchMessage(&m), 0);
    CONTRACT_CHECK(Sys_PeekMessage(&m) && m.message == kMsgKeyDown && m.wParam == 'B');
    CONTRACT_CHECK(Sys_PeekMessage(&m) && m.message == kMsgChar && m.wParam == 'a');
    Sys_DestroyWindow(display);
    sent.clear();
    m.window = display;
    CONTRACT_EQ(Sys_DispatchMessage(&m), 0);
    CONTRACT_EQ(sent.size(), 0);
    drain();
}

// ---------------------------------------------------------------- buttons and boxes

// Check boxes and radio buttons show the mark the program sets, and only that.
void buttonsShowTheProgramsMarks() {
    PlatformWindow options = openOptions();
    CONTRACT_CHECK(options != 0);
    PlatformWindow box = checkBoxIn(options);
    PlatformWindow radio = Sys_CreateButton(options, kButtonRadio, "640x480", 204, 0, 0, 88, 23);
    CONTRACT_CHECK(box != 0 && radio != 0);
    CONTRACT_CHECK(!contractNativeMark(box) && !contractNativeMark(radio));
    Sys_SetButtonCheck(box, true);
    CONTRACT_CHECK(contractNativeMark(box) && Sys_GetButtonCheck(box) && !contractNativeMark(radio));
    Sys_SetButtonCheck(radio, true);
    Sys_SetButtonCheck(box, false);
    CONTRACT_CHECK(!contractNativeMark(box) && !Sys_GetButtonCheck(box) && contractNativeMark(radio));
    Sys_DestroyWindow(options);
    drain();
}

struct Box {
    PlatformWindow owner;
    std::string text, caption;
};
std::vector<Box> boxes;  // owned by captureBox

void captureBox(PlatformWindow owner, const char *text, const char *caption) {
    boxes.push_back(Box{owner, text, caption});
}

// Every box goes through Sys_MessageBox, caption and text as given, to the
// test that takes them.
void messageBoxesRoutedAndCaptured() {
    PlatformWindow options = openOptions();
    CONTRACT_CHECK(options != 0);
    Sys_SetMessageBoxHook(captureBox);
    Sys_MessageBox(0, "sorry the video mode you wanted could not be set", "video mode fail");
    Sys_MessageBox(options, "opengl error", "opengl");
    Sys_SetMessageBoxHook(nullptr);
    CONTRACT_EQ(boxes.size(), 2);
    CONTRACT_CHECK(boxes[0].owner == 0 && boxes[0].text == "sorry the video mode you wanted could not be set" &&
                   boxes[0].caption == "video mode fail");
    CONTRACT_CHECK(boxes[1].owner == options && boxes[1].text == "opengl error" && boxes[1].caption == "opengl");
    Sys_DestroyWindow(options);
    drain();
}

// ---------------------------------------------------------------- the display

// Whatever mode the display was switched to (a failed switch changes
// nothing), the null-sized request puts back the one before.
void displayModeRestored() {
    PlatformWindow display = openDisplayWindow(true);
    CONTRACT_CHECK(display != 0);
    const std::string desktop = contractDisplayMode();
    Sys_InjectFailure("ChangeDisplayMode", 1);
    CONTRACT_CHECK(!GLimp_ChangeDisplayMode(display, 640, 480, 32));
    GLimp_ChangeDisplayMode(display, 640, 480, 32);  // may fail: not every display has the mode
    CONTRACT_CHECK(GLimp_ChangeDisplayMode(display, 0, 0, 0));
    const std::string back = contractDisplayMode();
    CONTRACT_CHECK(back == desktop);
    CONTRACT_CHECK(GLimp_ChangeDisplayMode(0, 0, 0, 0));
    Sys_DestroyWindow(display);
    drain();
}

// Every GL step, each failing once when a test says so: a context is made,
// current only when made so, released and deleted.
void glContextMadeAndReleased() {
    PlatformWindow window = openDisplayWindow();
    CONTRACT_CHECK(window != 0);
    CONTRACT_EQ(GLimp_GetDc(0), 0);
    Sys_InjectFailure("GetDc", 1);
    CONTRACT_EQ(GLimp_GetDc(window), 0);
    PlatformDc dc = GLimp_GetDc(window);
    CONTRACT_CHECK(dc != 0);
    PlatformPixelFormat format = {32, 16, true};
    Sys_InjectFailure("ChoosePixelFormat", 1);
    CONTRACT_EQ(GLimp_ChoosePixelFormat(dc, &format), 0);
    int index = GLimp_ChoosePixelFormat(dc, &format);
    CONTRACT_CHECK(index > 0);
    Sys_InjectFailure("SetPixelFormat", 1);
    CONTRACT_CHECK(!GLimp_SetPixelFormat(dc, index, &format));
    CONTRACT_CHECK(GLimp_SetPixelFormat(dc, index, &format));
    Sys_InjectFailure("CreateContext", 1);
    CONTRACT_EQ(GLimp_CreateContext(dc), 0);
    PlatformGlContext context = GLimp_CreateContext(dc);
    CONTRACT_CHECK(context != 0);
    CONTRACT_CHECK(!GLimp_HasCurrentContext());
    Sys_InjectFailure("MakeCurrent", 1);
    CONTRACT_CHECK(!GLimp_MakeCurrent(dc, context));
    CONTRACT_CHECK(!GLimp_HasCurrentContext());
    CONTRACT_CHECK(GLimp_MakeCurrent(dc, context));
    CONTRACT_CHECK(GLimp_HasCurrentContext());
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GLimp_SwapBuffers(dc);
    CONTRACT_CHECK(GLimp_MakeCurrent(0, 0));
    CONTRACT_CHECK(!GLimp_HasCurrentContext());
    Sys_InjectFailure("DeleteContext", 1);
    CONTRACT_CHECK(!GLimp_DeleteContext(context));
    CONTRACT_CHECK(GLimp_DeleteContext(context));
    GLimp_ReleaseDc(window, dc);
    Sys_DestroyWindow(window);
    drain();
}

// A clock that moves only as the pacer sleeps (and a microsecond a look):
// a display that does not wait, timed without the wall clock.
double fakeSeconds = 0;  // owned by the fake clock below
double fakeNow(void *) { return fakeSeconds += 1e-6; }
void fakeSleep(void *, double seconds) {
    if (seconds > 0) fakeSeconds += seconds;
}

// Presents on a display that does not wait come 60 a second once the pacer
// has seen that it does not; at interval 0 they come unpaced.
void presentPacedTo60() {
    PacerClock fake = {fakeNow, fakeSleep, nullptr, nullptr};
    Sys_SetPresentClock(&fake);
    GlDisplay d = openGl();
    CONTRACT_CHECK(d.context != 0);
    GLimp_SetSwapInterval(1);
    std::vector<double> at;
    for (int i = 0; i < 90; i++) {
        GLimp_SwapBuffers(d.dc);
        at.push_back(fakeSeconds);
    }
    GLimp_SetSwapInterval(0);
    double unpacedFrom = fakeSeconds;
    for (int i = 0; i < 10; i++) GLimp_SwapBuffers(d.dc);
    double unpaced = fakeSeconds - unpacedFrom;
    Sys_SetPresentClock(nullptr);
    closeGl(d);
    for (int i = 30; i < 90; i++) {
        double interval = at[i] - at[i - 1];
        CONTRACT_CHECK(interval > kPacerPeriod - 1e-4 && interval < kPacerPeriod + 1e-3);
    }
    CONTRACT_CHECK(at[10] - at[0] < 10 * kPacerPeriod);  // the first ones went at once, until it was seen
    CONTRACT_CHECK(unpaced < 0.001);
}

// ---------------------------------------------------------------- files

bool writeBytes(const std::string &path, const std::string &bytes) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool whole = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && whole;
}

// A regular file maps whole and opens; empty, missing or a folder does not,
// and a failed map holds nothing.
void filesRegularOnly() {
    std::string bytes;
    for (int i = 0; i < 1000; i++) bytes += (char)(i * 7);
    const std::string file = contractTempPath("mapped.bin"), empty = contractTempPath("empty.bin");
    CONTRACT_CHECK(writeBytes(file, bytes) && writeBytes(empty, ""));
    PlatformFileMap map;
    CONTRACT_CHECK(Sys_MapFile(file.c_str(), &map));
    CONTRACT_CHECK(map.length == bytes.size() && std::memcmp(map.data, bytes.data(), bytes.size()) == 0);
    Sys_UnmapFile(&map);
    CONTRACT_CHECK(map.data == nullptr && map.length == 0);
    for (const std::string &refused : {empty, contractTempPath("missing.bin"), contractTempPath("")}) {
        map = PlatformFileMap{(const uint8_t *)"x", 1};
        CONTRACT_CHECK(!Sys_MapFile(refused.c_str(), &map));
        CONTRACT_CHECK(map.data == nullptr && map.length == 0);
        Sys_UnmapFile(&map);
    }
    FILE *opened = Sys_OpenFile(file.c_str(), "rb");
    CONTRACT_CHECK(opened != nullptr);
    char first[4] = {};
    bool read = std::fread(first, 1, 4, opened) == 4;
    std::fclose(opened);
    CONTRACT_CHECK(read && std::memcmp(first, bytes.data(), 4) == 0);
    CONTRACT_CHECK(Sys_OpenFile(contractTempPath("").c_str(), "rb") == nullptr);
    CONTRACT_CHECK(Sys_OpenFile(contractTempPath("missing.bin").c_str(), "rt") == nullptr);
}

// A FIFO is no regular file: refused at once, never waited on.
void filesFifoRefusedAtOnce() {
    const std::string fifo = contractTempPath("fifo");
    CONTRACT_CHECK(contractMakeFifo(fifo));
    PlatformFileMap map;
    CONTRACT_CHECK(!Sys_MapFile(fifo.c_str(), &map));
    CONTRACT_CHECK(Sys_OpenFile(fifo.c_str(), "rb") == nullptr);
}

// ---------------------------------------------------------------- sound

std::string eightOrderSong() {
    XmFixture xm;
    xm.patterns = 8;
    xm.orders = {0, 1, 2, 3, 4, 5, 6, 7};
    xm.restart = 6;
    std::vector<uint8_t> bytes = buildXm(xm);
    const std::string path = contractTempPath("contract.xm");
    return writeBytes(path, std::string(bytes.begin(), bytes.end())) ? path : "";
}

// Lets the song play until its heard order reaches `order` (10 s at most),
// checking that it never goes back on the way; the order reached.
int playUntil(SndSong *song, int order, bool *wentBack) {
    int previous = Snd_GetOrder(song);
    for (int waited = 0; previous < order && waited < 10000; waited += 5) {
        contractLetTimePass(5);
        int now = Snd_GetOrder(song);
        if (now < previous) *wentBack = true;
        previous = now;
    }
    return previous;
}

// An output that cannot open is said and refused; once it opens, a second
// open changes nothing.
void soundFailingOutputReported() {
    Sys_InjectFailure("SndInit", 1);
    CONTRACT_CHECK(!Snd_Init(44100, 32, 0));
    CONTRACT_CHECK(Snd_Init(44100, 32, 0));
    CONTRACT_CHECK(Snd_Init(44100, 32, 0));
    Snd_Close();
}

// Open, start, the heard order rising and never going back (not when the
// output's clock goes back, nor when it cannot tell), a song freed while it
// plays and another played, close.
void soundFrontEnd() {
    CONTRACT_CHECK(Snd_GetVersion() >= 3.0f);
    Snd_SetBufferSize(50);
    CONTRACT_CHECK(Snd_Init(44100, 32, 0));
    const std::string path = eightOrderSong();
    CONTRACT_CHECK(!path.empty());
    CONTRACT_CHECK(Snd_LoadSong(contractTempPath("missing.xm").c_str()) == nullptr);
    SndSong *song = Snd_LoadSong(path.c_str());
    CONTRACT_CHECK(song != nullptr);
    CONTRACT_EQ(Snd_GetOrder(nullptr), -1);
    CONTRACT_CHECK(!Snd_PlaySong(nullptr));
    CONTRACT_CHECK(Snd_PlaySong(song));
    CONTRACT_CHECK(Snd_SetMasterVolume(song, 256));
    bool wentBack = false;
    int held = playUntil(song, 2, &wentBack);
    CONTRACT_CHECK(held >= 2 && !wentBack);
    Snd_SetOutputClockBack(UINT64_MAX);
    CONTRACT_EQ(Snd_GetOrder(song), held);
    Sys_InjectFailure("SndPosition", 1);
    CONTRACT_EQ(Snd_GetOrder(song), held);
    Snd_SetOutputClockBack(0);
    CONTRACT_CHECK(playUntil(song, held + 1, &wentBack) > held && !wentBack);
    Snd_FreeSong(song);  // while it plays; then another plays from its start
    SndSong *another = Snd_LoadSong(path.c_str());
    CONTRACT_CHECK(Snd_PlaySong(another));
    CONTRACT_CHECK(playUntil(another, 1, &wentBack) >= 1 && !wentBack);
    Snd_FreeSong(another);
    Snd_Close();
    SndSong *after = Snd_LoadSong(path.c_str());
    CONTRACT_CHECK(after != nullptr);
    CONTRACT_CHECK(!Snd_PlaySong(after));  // no output open
    Snd_FreeSong(after);
}

// ---------------------------------------------------------------- ending

// End signals are caught from the display's opening on (or Sys_CatchEndSignals):
// one the program was started with ignored stays ignored; of two at once the
// first decides the exit code, its quit ahead of what is queued; no second quit.
void endSignalsFirstDecides() {
    contractIgnoreSignal(kSigHup);
    PlatformWindow display = openDisplayWindow();
    CONTRACT_CHECK(display != 0);
    if (const char *why = contractCannot("EndSignals.CaughtAsTheDisplayOpens")) {
        contractNote(why);
        Sys_CatchEndSignals();
    }
    drain();
    contractRaise(kSigHup);
    CONTRACT_EQ(Sys_EndSignal(), 0);
    Sys_PostMessage(display, kMsgKeyUp, 'A', 0);
    contractRaise(kSigInt);
    contractRaise(kSigTerm);
    CONTRACT_EQ(Sys_EndSignal(), kSigInt);
    PlatformMessage m;
    CONTRACT_CHECK(Sys_PeekMessage(&m) && m.message == kMsgQuit);
    CONTRACT_EQ(m.wParam, 128 + kSigInt);
    CONTRACT_CHECK(Sys_PeekMessage(&m) && m.message == kMsgKeyUp);
    CONTRACT_CHECK(!Sys_PeekMessage(&m));
    CONTRACT_EQ(Sys_EndSignal(), kSigInt);
    Sys_DestroyWindow(display);
    drain();
}

}  // namespace

const ContractCase kContractCases[] = {
    {"Windows.MadeAndDestroyed", windowsMadeAndDestroyed},
    {"Windows.StepsFailWhenInjected", windowsStepsFailWhenInjected},
    {"Pump.ClickIsTheButtonsMouseUp", pumpClickIsTheButtonsMouseUp},
    {"Pump.EscapeIsKeyDown27", pumpEscapeIsKeyDown27},
    {"Pump.CloseBoxCloses", pumpCloseBoxCloses},
    {"Pump.OrderAndQuit", pumpOrderAndQuit},
    {"Buttons.ShowTheProgramsMarks", buttonsShowTheProgramsMarks},
    {"MessageBoxes.RoutedAndCaptured", messageBoxesRoutedAndCaptured},
    {"Display.ModeRestored", displayModeRestored},
    {"Gl.ContextMadeAndReleased", glContextMadeAndReleased},
    {"Present.PacedTo60", presentPacedTo60},
    {"Files.RegularOnly", filesRegularOnly},
    {"Files.FifoRefusedAtOnce", filesFifoRefusedAtOnce},
    {"Sound.FailingOutputReported", soundFailingOutputReported},
    {"Sound.FrontEnd", soundFrontEnd},
    {"EndSignals.FirstDecides", endSignalsFirstDecides},
};
const int kContractCaseCount = sizeof kContractCases / sizeof kContractCases[0];
