"""storyboard_test.py -- the show has no dead air: the storyboard's own
measure of a whole-show capture at 160x120 (dark and dim stretches, the share
of dark frames from frame 120 to the closing fade), and that measure itself
on made-up frames."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "capture"))
import storyboard  # noqa: E402

BIN = os.environ.get("KAVELD_BIN", "build")


def check(condition, message):
    if not condition:
        print("FAIL:", message)
        sys.exit(1)


def measure_on_made_up_frames():
    # 400 frames: lit, then 70 dark (under 1% bright pixels), 40 dim but not dark, lit; the closing fade at 380.
    stats = [(30.0, 0.2)] * 200 + [(1.0, 0.005)] * 70 + [(5.0, 0.05)] * 40 + [(30.0, 0.2)] * 90
    trace = [{"musicOrder": 0 if i < 250 else 1, "fadeOutTarget": 1 if i < 380 else 0} for i in range(400)]
    fig = storyboard.analyse(trace, stats)
    check(fig["closing_fade"] == 380, "closing fade frame")
    check(fig["dark"][0] == (70, 200), f"dark stretch {fig['dark'][0]}")
    check(fig["dim"][0] == (110, 200), f"dim stretch {fig['dim'][0]}")
    check(abs(fig["dark_share"] - 70 / 260) < 1e-9, f"dark share {fig['dark_share']}")
    check([(t["order"], t["start"], t["frames"]) for t in fig["orders"]] == [(0, 0, 250), (1, 250, 150)], "orders")
    # Frames before 120 and from the closing fade on are not judged.
    fig = storyboard.analyse(trace, [(1.0, 0.0)] * 120 + stats[120:380] + [(1.0, 0.0)] * 20)
    check(fig["dark"][0] == (70, 200), "the first frames or the closing fade were judged")


def whole_show():
    with tempfile.TemporaryDirectory(prefix="kaveld-storyboard-test-") as tmp:
        fig = storyboard.capture_show(os.path.abspath(BIN), tmp)[0]
    sys.stdout.write(storyboard.report_text(fig))
    check(fig["dark"][0][0] <= 60, "a dark stretch of %d frames from frame %d" % fig["dark"][0])
    check(fig["dim"][0][0] <= 150, "a dim stretch of %d frames from frame %d" % fig["dim"][0])
    check(fig["dark_share"] <= 0.03, "%.2f%% dark frames" % (100 * fig["dark_share"]))


if __name__ == "__main__":
    measure_on_made_up_frames()
    whole_show()
    print("PASS: storyboard")
