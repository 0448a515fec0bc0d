"""storyboard_test.py -- the show has no dead air and its music follows the
picture: on one whole-show capture at 160x120, the storyboard's measure
(dark and dim stretches, the share of dark frames from frame 120 to the
closing fade) and the score report's (loudness range, the drop under each
dark stretch, a hit at every cut and slide, a finale that peaks over all
before it, the energy above 2 kHz, true peak, no silence); and both measures
on made-up frames and sounds."""
import math
import os
import sys
import tempfile

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "capture"))
import score_report  # noqa: E402
import show_sound  # noqa: E402
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


def tone(freq, seconds, dbfs, rate=44100):
    t = np.arange(int(seconds * rate)) / rate
    x = np.round(32767 * 10 ** (dbfs / 20) * np.sin(2 * math.pi * freq * t)).astype(np.int16)
    return np.stack([x, x], axis=1)


def measure_on_made_up_sounds():
    # A 1 kHz sine at -20 dBFS in both channels is -20 LUFS; its energy lies below 2 kHz, a 5 kHz one's above.
    sine = show_sound.Sound(tone(1000, 6, -20), 44100)
    check(abs(show_sound.section(sine, 0, 6)["integrated"] + 20.0) < 0.2, "a -20 dBFS sine is not -20 LUFS")
    check(abs(show_sound.section(sine, 0, 6)["true_peak"] + 20.0) < 0.3, "the sine's true peak")
    check(show_sound.high_share(sine, 0, 6) < 0.001, "a 1 kHz sine has energy above 2 kHz")
    check(show_sound.high_share(show_sound.Sound(tone(5000, 3, -20), 44100), 0, 3) > 0.999, "5 kHz not above 2 kHz")
    # A hit: 30 dB louder after 2 s than before; steady sound has none, nor has a cut well before the hit.
    step = show_sound.Sound(np.concatenate([tone(300, 2, -50), tone(300, 1, -20)]), 44100)
    check(abs(show_sound.hit(step, 2.0) - 30) < 1.5, "a 30 dB step measures %.1f dB" % show_sound.hit(step, 2.0))
    check(abs(show_sound.hit(sine, 3.0)) < 0.5, "a steady tone has a hit")
    check(show_sound.hit(step, 2.0 - 8 / 60) < show_sound.HIT_DB, "a hit eight frames late was found")
    quiet = show_sound.section(step, 0, 2)["integrated"]
    check(abs(show_sound.window_loudness(step, 1.0, 1.6) - quiet) < 0.1, "the loudness of a stretch")


def whole_show():
    with tempfile.TemporaryDirectory(prefix="kaveld-storyboard-test-") as tmp:
        cap = storyboard.capture_show(os.path.abspath(BIN), tmp)
        score = score_report.figures(os.path.abspath(BIN), cap)
    fig = cap["fig"]
    sys.stdout.write(storyboard.report_text(fig))
    print("\n".join(score_report.bench_lines(score)))
    check(fig["dark"][0][0] <= 60, "a dark stretch of %d frames from frame %d" % fig["dark"][0])
    check(fig["dim"][0][0] <= 150, "a dim stretch of %d frames from frame %d" % fig["dim"][0])
    check(fig["dark_share"] <= 0.03, "%.2f%% dark frames" % (100 * fig["dark_share"]))
    show = score["show"]
    check(show["lra"] >= 6, "loudness range %.1f LU" % show["lra"])
    check(abs(show["integrated"] + 16) <= 1.5, "the show at %.1f LUFS" % show["integrated"])
    check(score["true_peak"] <= -1, "true peak %.1f dBTP" % score["true_peak"])
    check(score["high_share"] >= 0.10, "%.1f%% of the energy above 2 kHz" % (100 * score["high_share"]))
    check(len(score["dark"]) >= 1 and all(d["drop"] >= 6 for d in score["dark"]),
          "the music under a dark stretch: %s" % [(d["frame"], round(d["drop"], 1)) for d in score["dark"]])
    check(len(score["cuts"]) == 11 and sum(c["hit"] >= show_sound.HIT_DB for c in score["cuts"]) >= 10,
          "cuts without a hit: %s" % [c["name"] for c in score["cuts"] if c["hit"] < show_sound.HIT_DB])
    check(len(score["slides"]) == 8 and all(c["hit"] >= show_sound.HIT_DB for c in score["slides"]),
          "slides without a hit: %s" % [c["name"] for c in score["slides"] if c["hit"] < show_sound.HIT_DB])
    finale = next(s for s in score["sections"] if s["name"] == "finale")
    check(finale["loudest_3s"] - finale["loudest_3s_before"] >= 2,
          "the finale peaks %.1f LU over what came before" % (finale["loudest_3s"] - finale["loudest_3s_before"]))
    check(score["silence"] < 0.5, "%.1f s of silence before the closing fade" % score["silence"])


if __name__ == "__main__":
    measure_on_made_up_frames()
    measure_on_made_up_sounds()
    whole_show()
    print("PASS: storyboard")
