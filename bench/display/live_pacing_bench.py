"""live_pacing_bench.py BUILD_DIR -- the live demo on a private Xvfb
(640x480, full screen): presents a second and the spread of the intervals
between them over 8 s of the show, and how much of a core the options
window takes while it waits for the viewer; then the same demo with SDL's
swap made a display that waits and lets one frame queue, refreshing at
60.5 Hz and reporting 60 (tests/support/queued_display.cpp): frames shown a
second, and refreshes that showed a frame again, over 10 s of the intro."""
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "e2e"))
os.environ["KAVELD_BIN"] = sys.argv[1]
import live_test  # noqa: E402
from xsession import XSession  # noqa: E402

LOADING_SECONDS = 4  # the loading fade's 201 presents, and a little more
SHOW_SECONDS = 8


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(p / 100 * len(ordered)))]


with XSession(640, 480) as session, tempfile.TemporaryDirectory() as tmp:
    log = os.path.join(tmp, "presents")
    demo = live_test.start(session, env={"KAVELD_PRESENT_LOG": log})
    options = live_test.options_window(session, demo)
    time.sleep(0.5)
    used = live_test.cpu_seconds(demo)
    time.sleep(3)
    print("bench: options.cpu_percent %.2f %%" % (100 * (live_test.cpu_seconds(demo) - used) / 3))
    live_test.press(session, options, live_test.OK)
    live_test.still_running_then_escape(session, live_test.display_window(session, demo), demo,
                                        seconds=LOADING_SECONDS + SHOW_SECONDS)
    # The frame interval: when the show hands each frame to the display. The
    # swap's return adds the X server's own time to take the image.
    for name, returned in (("frame_interval", False), ("swap_return_interval", True)):
        times = live_test.present_times(log, returned)
        show = [t for t in times if t >= times[-1] - SHOW_SECONDS]
        intervals = [1000 * (b - a) for a, b in zip(show, show[1:])]
        if not returned:
            print("bench: live.fps.mean %.2f fps" % (len(intervals) / (show[-1] - show[0])))
        print("bench: live.%s.mean_ms %.2f ms" % (name, statistics.mean(intervals)))
        print("bench: live.%s.p95_ms %.2f ms" % (name, percentile(intervals, 95)))
        print("bench: live.%s.p99_ms %.2f ms" % (name, percentile(intervals, 99)))

QUEUED_HZ = 60.5
INTRO_SECONDS = 10
SHOW_START = 202 + 60  # the loading screen, its fade's 201 presents, and the show's first second


def lines_in(path):
    with open(path) as f:
        return [line for line in f if line.endswith("\n")]


with XSession(640, 480) as session, tempfile.TemporaryDirectory() as tmp:
    log, shown = os.path.join(tmp, "presents"), os.path.join(tmp, "shown")
    env = dict(live_test.queued_display_env(shown, rate=str(QUEUED_HZ)), KAVELD_PRESENT_LOG=log)
    demo = live_test.start(session, env=env)
    live_test.press(session, live_test.options_window(session, demo), live_test.OK)
    display = live_test.display_window(session, demo)
    deadline = time.time() + 120
    while (not os.path.exists(shown) or len(lines_in(shown)) < SHOW_START) and time.time() < deadline:
        time.sleep(0.1)
    live_test.still_running_then_escape(session, display, demo, seconds=INTRO_SECONDS + 1)
    refreshes = [int(line) for line in lines_in(shown)][SHOW_START:]
    window = [r for r in refreshes if r - refreshes[0] <= INTRO_SECONDS * QUEUED_HZ]
    span = window[-1] - window[0]
    print("bench: live.queued_display.presents_per_s %.2f fps" % ((len(window) - 1) * QUEUED_HZ / span))
    print("bench: live.queued_display.repeated_refreshes %d refreshes" % (span - (len(window) - 1)))
    states = [line.split()[2] for line in lines_in(log)]
    print("bench: live.queued_display.paced_presents %d presents" % sum(1 for s in states if s != "trusting"))
