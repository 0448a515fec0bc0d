// platform.h -- the whole contract between the show and the machine it runs
// on. Every backend implements all of it, and nothing else is asked of one.
//
// The show's own code (driver, display, music, assets, draw, effects) calls
// only what is declared here, plus OpenGL 1.1 and GLU, and never a toolkit.
// Each backend lives in a folder of its own; what they all share sits beside
// this header. The backends, each built and tested:
//
//   sdl/      live: SDL2 display window and GL context, FLTK options window,
//             SDL2 audio output.
//   offline/  virtual windows, an offscreen GL surface (SDL's offscreen driver
//             over EGL), and a song that advances only when the caller renders
//             samples (offline/offline.h). The capture tool and the tests.
//   win32/    Windows: window classes, BUTTON controls and the native message
//             queue, WGL, waveOut sound, file mapping; cross-built with
//             mingw-w64.
//   web/      a browser, built with emscripten: the options window as an HTML
//             form, the display a WebGL canvas that draws the GL 1.1 subset
//             the show calls, Web Audio sound from an audio worklet, glibc's
//             rand; the files from the page's preloaded file system.
//   template/ no machine: every function a port provides, stubbed with what
//             it must do; built (and linked with the contract suite) so that
//             it cannot go stale. A new port starts as a copy of it.
// The parts that backends take from:
//   posix/    files (regular files only) and finding the data, and the signals
//             that end the show, on POSIX systems (sdl/, offline/, web/).
//   sdl_gl/   the display window and GL context steps on SDL (sdl/, offline/).
//   one_pixel_format.cpp  the device contexts and the pixel-format steps of
//             a GL that offers one double-buffered format (sdl_gl/, web/).
//
// Shared by every backend (this folder): the message queue, window registry,
// default window and button handling and message-box routing
// (platform_common.cpp), the present with its pacing (present.cpp:
// GLimp_SwapBuffers and GLimp_SetSwapInterval around the backend's swap, on
// pacer.h; present.h counts the show's clock for the capture tool and the
// browser's deterministic mode), the sound front end
// (sound_common.cpp) over the module player (song_openmpt.cpp) and the
// DIB-to-24-bit conversion (dib_convert.cpp). The test seams are not part of
// the contract: platform_testing.h declares them for the tests, benchmarks
// and fuzzers, which link platform_testing.cpp; the shipped programs link
// testing_off.cpp, where no failure is ever injected.
//
// A port is a folder with the same file for the same role as the others
// (template/ has each with its functions); the hooks it provides to the
// shared code are declared in platform_internal.h and sound_internal.h:
//   windows.cpp     Sys_CreateOptionsWindow, Sys_CreateButton (its registry
//                   entry from sysAllocButton, sysForgetWindow when the native
//                   control cannot be made), GLimp_CreateWindow, and the
//                   sysBackend* window hooks:
//                   pumping native events into Sys_PostMessage, destroying
//                   native windows, button marks, message boxes, keyboard
//                   focus.
//   display.cpp     GLimp_ChangeDisplayMode, and the shared present's four
//                   hooks: sysBackendPresentPacing (paced, unpaced or no
//                   display), sysBackendPacerClock, sysBackendSwapBuffers (the
//                   native swap) and sysBackendSetSwapInterval.
//   gl_context.cpp  GLimp_GetDc to GLimp_HasCurrentContext: device context,
//                   pixel format, GL context, current context.
//   sound.cpp       the sound output: sndBackendOpen, Start, Stop,
//                   HeardFrame, Close and sndOutputLatencyNs; the front end
//                   renders through the song player (songRender).
//   files.cpp       Sys_MapFile, Sys_UnmapFile, Sys_OpenFile,
//                   Sys_EnterShowDirectory.
//   end_signals.cpp Sys_CatchEndSignals, Sys_EndSignal, sysTakeEndSignal.
// (posix/ has files.cpp and end_signals.cpp for every POSIX system.)
//
// What every port must do beyond the declarations below:
//   - Fail the step named, once per count, when sysShouldFail says so (the
//     tests inject them through platform_testing.h): "CreateOptionsWindow",
//     "CreateButton", "CreateWindow", "ChangeDisplayMode", "GetDc",
//     "ChoosePixelFormat", "SetPixelFormat", "CreateContext", "MakeCurrent",
//     "DeleteContext". ("RegisterClass", "SndInit" and "SndPosition" the
//     shared code checks.)
//   - Call Sys_CatchEndSignals as the live display opens (GLimp_CreateWindow):
//     from then on an end signal ends the show through its shutdown.
//   - Hide a destroyed display window rather than free it: its GL context may
//     still be current for the rest of the frame.
//   - Queue a click as the button's mouse-up (a radio button's second press of
//     a double click as kMsgLButtonDblClk), never change a mark by itself, and
//     give a button the keyboard only once it is clicked.
//   - Map keys to the virtual-key codes below (Esc is kMsgKeyDown, wParam 27;
//     'A'..'Z', '0'..'9'; lParam 1 for a repeat); the close box is kMsgClose.
//   - Present at most 60 frames a second: the shared GLimp_SwapBuffers paces
//     around sysBackendSwapBuffers with pacer.h on sysBackendPacerClock()
//     (pacerSystemClock(), which the tests fix, wherever the backend may
//     block), unless the show asked for interval 0; the backend asks its GL
//     for the interval sysPresentFollowRefresh returns, and switches modes at
//     the refresh pacerChooseRefresh prefers.
//   - Draw the show's frames as the capture tool does: where the C library's
//     rand differs from glibc's, link glibc's (web/rand_glibc.cpp).
//   - Report the sound output's latency (sndOutputLatencyNs, which the tests
//     of the heard order read), and call sndOutputFailed when the output
//     refuses a block (the show ends).
//   - Say every failure in one line (Sys_ReportFailure) and keep message
//     boxes answerable: a box that cannot show becomes a failure line.
//
// And to build it, in the order a port author takes the steps:
//   1. The folder, from a copy of template/.
//   2. Its library target kaveld_platform_<folder>, holding its files and the
//      parts it takes: in this folder's CMakeLists.txt (sdl/, offline/,
//      template/), or in the folder's own CMakeLists.txt (win32/, web/).
//   3. A branch for the target system in CMakeLists.txt and in this folder's
//      CMakeLists.txt (as WIN32 and EMSCRIPTEN have), the first including
//      cmake/<system>.cmake: kaveld_gl and kaveld_openmpt for the system and
//      the function that makes its program (kaveld_windows_programs,
//      kaveld_web_program).
//   4. libopenmpt built for the system from Debian's source package
//      (scripts/build-openmpt-<system>, over scripts/fetch-debian-source),
//      passed in as KAVELD_OPENMPT_PREFIX; its packages in a tier of
//      scripts/packages.
//   5. Makefile targets that build it and test it (as `windows` and
//      `test-windows`, `web` and `test-web`), and the test target in .ci/run.
//   6. The contract suite on it (tests/contract: a hooks_<folder>.cpp that
//      clicks, presses keys and reads marks as the machine does), run by its
//      test target; tests/CMakeLists.txt runs it for offline and sdl, whose
//      GoogleTest programs (kaveld_add_test) take <offline|sdl>.
//
// Message numbers and virtual-key codes keep the values the show relies on
// (WM_DESTROY 2, WM_KEYDOWN 0x100 with VK_ESCAPE 27, WM_COMMAND 0x111, WM_QUIT 18,
// WM_LBUTTONUP 0x202).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// ---------------------------------------------------------------- messages

typedef int32_t PlatformWindow;  // 0 = none; otherwise an id from the window registry

enum : uint32_t {
    kMsgNull = 0x0000,
    kMsgDestroy = 0x0002,
    kMsgClose = 0x0010,
    kMsgQuit = 0x0012,
    kMsgKeyDown = 0x0100,
    kMsgKeyUp = 0x0101,
    kMsgChar = 0x0102,
    kMsgCommand = 0x0111,
    kMsgLButtonUp = 0x0202,
    kMsgLButtonDblClk = 0x0203,
};

enum : uint32_t { kVkReturn = 13, kVkEscape = 27, kVkSpace = 32 };

// Button notifications carried in the high 16 bits of a command's wParam.
enum : uint32_t { kNotifyClicked = 0, kNotifyDoubleClicked = 5 };

struct PlatformMessage {
    PlatformWindow window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    uint32_t time;  // milliseconds since the platform started
    int32_t pointX, pointY;
};

typedef intptr_t (*PlatformWindowProc)(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Takes the oldest queued message for any window into *out and removes it;
// pumps the toolkits' native events first. False when empty. Never waits
// while a display window is open; with none open and nothing queued, it may
// wait a few hundredths of a second for native events, so that a loop that
// polls it (the options window's) leaves the processor idle.
bool Sys_PeekMessage(PlatformMessage *out);
// For a key-down that produces a character, queues the matching kMsgChar.
void Sys_TranslateMessage(const PlatformMessage *msg);
// Runs the target window's procedure; a message for no window (quit) or a
// destroyed window is dropped. Returns the procedure's result. A button runs
// its own: a mouse-up, a double click, or Space let go while it has the
// keyboard, is a click it sends to its parent's procedure there and then
// (kMsgCommand, wParam = id | (notification << 16), lParam = the button).
intptr_t Sys_DispatchMessage(const PlatformMessage *msg);
// Default handling: kMsgClose destroys the window (which sends kMsgDestroy
// to its procedure at once); everything else returns 0.
intptr_t Sys_DefWindowProc(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Queues kMsgQuit with wParam = exitCode, behind everything already queued.
void Sys_PostQuitMessage(int exitCode);
// Queues any message (used by backends and tests).
void Sys_PostMessage(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Destroys a window: hides the native window, sends kMsgDestroy to its
// procedure, then forgets it. Harmless on 0 or an already destroyed window.
void Sys_DestroyWindow(PlatformWindow window);
// The window with keyboard focus, 0 when none.
PlatformWindow Sys_GetFocusWindow();

// ---------------------------------------------------------------- window classes

enum : int { kIconResource = 101 };
enum PlatformBackground : int { kBackgroundBlack = 0, kBackgroundLightGrey = 1 };

struct PlatformWindowClass {
    const char *name;
    PlatformWindowProc proc;
    int iconResource;  // kIconResource
    PlatformBackground background;
};

// Registers a class by name. False on failure (or a duplicate name).
bool Sys_RegisterClass(const PlatformWindowClass *windowClass);

// ---------------------------------------------------------------- options window (buttons)

enum PlatformButtonKind : int { kButtonPush = 0, kButtonCheckBox = 2, kButtonRadio = 4 };

// A visible, fixed-size (not resizable) top-level window with caption and
// close box, of a registered class, outer size w x h at (x, y). 0 on failure
// (also when no display can be opened).
PlatformWindow Sys_CreateOptionsWindow(const char *className, const char *caption, int x, int y, int w, int h);
// A child button of an options window at client position (x, y). A click
// queues kMsgLButtonUp (wParam 0) for the button, the second press of a
// double click on a radio button kMsgLButtonDblClk; dispatching it notifies
// the parent (above). No button takes the keyboard until it is clicked.
// Check boxes and radio buttons never change their own mark. 0 on failure
// (also when the parent is no options window).
PlatformWindow Sys_CreateButton(PlatformWindow parent, PlatformButtonKind kind, const char *caption, int id, int x,
                                int y, int w, int h);
void Sys_SetButtonCheck(PlatformWindow button, bool checked);

// ---------------------------------------------------------------- display window and GL

typedef intptr_t PlatformDc;         // 0 = none
typedef intptr_t PlatformGlContext;  // 0 = none

struct PlatformPixelFormat {
    int colorBits;  // 16 or 32
    int depthBits;  // 16
    bool doubleBuffer;
};

// A visible window of a registered class for GL drawing, outer size w x h at
// (x, y): a borderless popup for full screen (cursor hidden), else a window
// with caption and close box, not resizable. 0 on failure.
PlatformWindow GLimp_CreateWindow(const char *className, const char *caption, bool fullScreen, int x, int y, int w,
                                  int h);
// Switches the display to exactly w x h (depth bpp) with the window full
// screen over it. False when the mode cannot be set. A null-sized request
// (w == 0) puts back the desktop mode; that always succeeds.
bool GLimp_ChangeDisplayMode(PlatformWindow window, int w, int h, int bpp);
PlatformDc GLimp_GetDc(PlatformWindow window);
void GLimp_ReleaseDc(PlatformWindow window, PlatformDc dc);
int GLimp_ChoosePixelFormat(PlatformDc dc, const PlatformPixelFormat *format);  // 0 on failure
bool GLimp_SetPixelFormat(PlatformDc dc, int formatIndex, const PlatformPixelFormat *format);
PlatformGlContext GLimp_CreateContext(PlatformDc dc);
// dc 0 and context 0 release the current context.
bool GLimp_MakeCurrent(PlatformDc dc, PlatformGlContext context);
bool GLimp_DeleteContext(PlatformGlContext context);
// True while some GL context is current on this thread.
bool GLimp_HasCurrentContext();
// Presents the back buffer; failures are ignored.
void GLimp_SwapBuffers(PlatformDc dc);
// Asks for presenting to wait for the display's refresh (interval 1) or not (0).
// Waiting presents come at most 60 a second: the backend asks for the whole
// multiple of 60 Hz its display refreshes at, and paces on a clock where that
// is not honoured. Interval 0 presents unpaced (benchmarks of drawing speed).
void GLimp_SetSwapInterval(int interval);

// ---------------------------------------------------------------- message boxes

// A modal box with an OK button, caption and text exactly as given, owned by
// owner when not 0. Every box of the program goes through here.
void Sys_MessageBox(PlatformWindow owner, const char *text, const char *caption);

// ---------------------------------------------------------------- ending and failures

// From this call on, Ctrl-C (SIGINT), SIGTERM, SIGHUP (the terminal closed)
// and SIGQUIT ask the program to end instead of killing it (on Windows:
// Ctrl-C, Ctrl-Break and the console closing, as SIGINT or SIGTERM): the
// next Sys_PeekMessage takes kMsgQuit with wParam 128 + the signal's number,
// ahead of anything queued, so the show ends through its own shutdown. Every
// later signal is taken as well and changes nothing: the first decides the
// exit code, and no second one can cut the shutdown short (the display mode
// always comes back). A signal the program was started with ignored stays
// ignored. The live backend calls it as its display opens (until then
// nothing needs undoing); the capture tool as it starts.
void Sys_CatchEndSignals();
// The first signal that asked the program to end; 0 while none has. Work
// that takes no messages (the loading fade, the capture's encoder) looks here
// to stop early.
int Sys_EndSignal();
// One line on stderr: "kaveld: " and the formatted text, naming what failed
// (the file, the display, the sound output).
void Sys_ReportFailure(const char *format, ...) __attribute__((format(printf, 1, 2)));

// ---------------------------------------------------------------- files

struct PlatformFileMap {
    const uint8_t *data;
    size_t length;
};
// Only regular files are read: anything else (a directory, a FIFO, a device)
// counts as a file that cannot be opened, and opening it never waits.

// Maps a whole file read-only. False (and nothing held) when the file cannot
// be opened, is empty or cannot be mapped.
bool Sys_MapFile(const char *path, PlatformFileMap *map);
void Sys_UnmapFile(PlatformFileMap *map);  // harmless on a map that failed
// Opens a file for reading through stdio, mode "rb" or "rt"; null when it
// cannot be opened. The caller closes it with fclose.
FILE *Sys_OpenFile(const char *path, const char *mode);

// ---------------------------------------------------------------- time and place

// The calendar time in seconds (what seeds the show's random numbers).
int64_t Sys_CalendarTime();
// Fixes what Sys_CalendarTime reports (the capture tool's --seed).
void Sys_FixCalendarTime(int64_t seconds);
// Makes the directory that holds the show's data/ the working directory:
// the current one when it has data/, else the installed share/kaveld beside
// the program. False when neither is found (the working directory stays).
bool Sys_EnterShowDirectory();

// ---------------------------------------------------------------- DIB conversion

struct PlatformDibHeader {  // the 40-byte info header, in host order
    int32_t size, width, height;
    uint16_t planes, bitCount;
    uint32_t compression, imageSize;
    int32_t xPelsPerMeter, yPelsPerMeter;
    uint32_t colorsUsed, colorsImportant;
};

// Converts pixels described by header (+ colorCount 4-byte blue-green-red-0
// entries) into rows of 24-bit blue-green-red pixels, each padded to a
// multiple of 4 bytes, in the source's row order. bits/bitsLength is the
// pixel data as mapped; nothing outside it is read. out holds
// outLength bytes (|height| rows). Returns the number of rows converted, 0 on
// failure. Handles compression 0 at 1/4/8/16/24/32 bits, RLE8 (1) and RLE4 (2).
int Sys_ConvertDibTo24(const PlatformDibHeader *header, const uint8_t *colors, uint32_t colorCount, const uint8_t *bits,
                       size_t bitsLength, uint8_t *out, size_t outLength);

// ---------------------------------------------------------------- sound

typedef struct SndSong SndSong;  // opaque; null when no song

// The rate (frames a second) the sound mixes at when Snd_Init is given 0 or
// less; the show asks for it (music.h's kMixRate).
enum : int { kSndDefaultRate = 44100 };

float Snd_GetVersion();
void Snd_SetBufferSize(int milliseconds);
bool Snd_Init(int mixRate, int maxChannels, int flags);
SndSong *Snd_LoadSong(const char *path);              // null on failure
bool Snd_PlaySong(SndSong *song);                     // plays from its first order, loops at its restart position
int Snd_GetOrder(SndSong *song);                      // the order being heard; -1 for a null song
bool Snd_SetMasterVolume(SndSong *song, int volume);  // 0..256, 256 = unity
void Snd_FreeSong(SndSong *song);
void Snd_Close();
