"""live_pacing_bench.py BUILD_DIR -- the live demo on a private Xvfb
(640x480, full screen): presents a second and the spread of the intervals
between them over 8 s of the show, and how much of a core the options
window takes while it waits for the viewer."""
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
