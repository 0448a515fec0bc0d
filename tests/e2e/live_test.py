"""live_test.py CASE -- the real demo on a private Xvfb, driven by real
clicks and key presses: options window, display window, message box, exit
codes. One case per CTest test."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from xsession import XSession

BIN = os.path.join(os.environ.get("KAVELD_BIN", "build"), "kaveld")
OPTIONS = "morvane :: k a v e l d"
DISPLAY_TITLE = " k a v e l d  v1.0\u00e1"
# Client positions of the options window's buttons (centres).
OK, CANCEL, FULL_SCREEN = (72, 131), (207, 131), (105, 91)
RES_800, RES_1024, BPP_32 = (10, 34), (10, 57), (215, 34)


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def start(session, cwd=None):
    return subprocess.Popen([BIN], cwd=cwd or os.path.dirname(BIN), env=session.env,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)


def finish(process, timeout=30):
    try:
        out, _ = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        out, _ = process.communicate()
        fail("the demo did not exit in time:\n" + out)
    return process.returncode, out


def expect_exit(process, wanted, why, timeout=30):
    """The demo exits by itself with the code wanted."""
    code, out = finish(process, timeout)
    if code != wanted:
        fail(f"exit code {code}, wanted {wanted} ({why})\n{out}")


def options_window(session, process):
    window = session.wait_window(OPTIONS, process=process)
    if window is None:
        fail("no options window")
    # Found as soon as it is mapped, it may still be on its way to its place.
    deadline = time.time() + 5
    while session.geometry(window) != (0, 0, 294, 206) and time.time() < deadline:
        time.sleep(0.05)
    if session.geometry(window) != (0, 0, 294, 206):
        fail(f"options window at {session.geometry(window)}, wanted (0, 0, 294, 206)")
    return window


def press(session, window, *buttons):
    for b in buttons:
        session.click(window, *b)
        time.sleep(0.15)


def display_window(session, process, timeout=30):
    window = session.wait_window(DISPLAY_TITLE, timeout=timeout, process=process)
    if window is None:
        fail("no display window titled %r" % DISPLAY_TITLE)
    return window


def still_running_then_escape(session, window, process, seconds=2):
    """Lets the show run, then presses Esc: the demo must exit with 27."""
    time.sleep(seconds)
    if process.poll() is not None:
        fail("the demo ended by itself: " + process.stdout.read())
    session.key(window, "Escape")
    expect_exit(process, 27, "Esc")


def case_defaults_fullscreen_esc():
    with XSession(640, 480) as s:
        p = start(s)
        press(s, options_window(s, p), OK)
        d = display_window(s, p)
        if s.geometry(d) != (0, 0, 640, 480):
            fail(f"full-screen display at {s.geometry(d)}")
        still_running_then_escape(s, d, p)


def case_mode_fail():
    with XSession(640, 480) as s:
        p = start(s)
        press(s, options_window(s, p), RES_800, OK)
        box = s.wait_window("video mode fail", process=p)
        if box is None:
            fail("no 'video mode fail' message box")
        s.key(box, "Return")
        expect_exit(p, 201, "the last message taken was the OK click")


def case_windowed_800():
    with XSession(1024, 768) as s:
        p = start(s)
        press(s, options_window(s, p), FULL_SCREEN, RES_800, BPP_32, OK)
        d = display_window(s, p)
        x, y, w, h = s.geometry(d)
        if (w, h) != (800, 600):
            fail(f"windowed display is {w}x{h}")
        still_running_then_escape(s, d, p, seconds=0.5)


def case_cancel():
    with XSession(640, 480) as s:
        p = start(s)
        options = options_window(s, p)
        for key in ("Escape", "Return"):  # no default button, no keyboard handling of its own
            s.key(options, key)
        time.sleep(0.5)
        if p.poll() is not None or s.windows(DISPLAY_TITLE):
            fail("a key in the options window did something")
        press(s, options, CANCEL)
        deadline = time.time() + 5
        while p.poll() is None and time.time() < deadline:
            if s.windows(DISPLAY_TITLE):
                fail("a display window was created after CANCEL")
            time.sleep(0.05)
        expect_exit(p, 202, "the CANCEL click was the last message taken")


def case_close_options_during_show():
    with XSession(640, 480) as s:
        p = start(s)
        options = options_window(s, p)
        press(s, options, OK)
        display_window(s, p)
        time.sleep(1)
        s.close_window(options)
        expect_exit(p, 0, "its destruction posted quit with code 0")


def case_missing_data():
    with XSession(640, 480) as s, tempfile.TemporaryDirectory() as empty:
        # A copy of the program with no data beside it, started from an empty directory.
        shutil.copy(BIN, empty)
        p = subprocess.Popen([os.path.join(empty, "kaveld")], cwd=empty, env=s.env,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        press(s, options_window(s, p), OK)
        expect_exit(p, 201, "no data: start-up ran to its end, no frame; the OK click came last")


def case_installed_runs_from_anywhere():
    with XSession(640, 480) as s, tempfile.TemporaryDirectory() as prefix:
        subprocess.run(["cmake", "--install", os.path.dirname(BIN), "--prefix", prefix], check=True,
                       capture_output=True, timeout=120)
        for path in ("bin/kaveld", "bin/kaveld-capture", "share/kaveld/data/demotune.xm",
                     "share/applications/kaveld.desktop", "share/pixmaps/kaveld.xpm"):
            if not os.path.exists(os.path.join(prefix, path)):
                fail("not installed: " + path)
        p = subprocess.Popen([os.path.join(prefix, "bin", "kaveld")], cwd="/", env=s.env,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        press(s, options_window(s, p), OK)
        # With no data found it would end at once, before any frame.
        still_running_then_escape(s, display_window(s, p), p)


CASES = {name[5:]: fn for name, fn in globals().items() if name.startswith("case_")}

if __name__ == "__main__":
    if len(sys.argv) != 2 or sys.argv[1] not in CASES:
        fail("usage: live_test.py " + "|".join(CASES))
    CASES[sys.argv[1]]()
    print("PASS:", sys.argv[1])
