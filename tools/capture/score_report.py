"""score_report.py BUILD_DIR -- how the music follows the picture, measured on
the whole show as kaveld-capture renders it (160x120, its frames and sound):
per section and for the whole show the integrated loudness, the loudness range
and the loudest short-term loudness; the sound under each dark stretch of the
picture against the show's level; the hit at each scene change and at each
credit slide's entry (against the same measure at random moments); the share
of the energy above 2 kHz; the true peak. Every figure is also printed as a
`bench: NAME VALUE UNIT` line. The show's level and range are taken from the
first sound to the closing fade."""
import os
import random
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import show_sound  # noqa: E402
import storyboard  # noqa: E402

DARK_MIN = 30         # frames: the dark stretches judged, as the storyboard lists them
RANDOM_MOMENTS = 400  # moments for the hit measure's baseline


def cue_lines(build):
    """`kaveld-datagen --cues`, split: the first order of each row of the timeline, the sections (name, first
    order, end order), the credits' slide period."""
    out = subprocess.run(["timeout", "-k", "5", "60", os.path.join(build, "tools", "datagen", "kaveld-datagen"),
                          "--cues"], capture_output=True, text=True, check=True).stdout
    words = [line.split() for line in out.splitlines()]
    rows = next([int(x) for x in w[1:]] for w in words if w and w[0] == "timeline_rows")
    sections = [(w[1], int(w[2]), int(w[3])) for w in words if w and w[0] == "section"]
    slide = next((int(w[1]) for w in words if w and w[0] == "slide_frames"), 500)
    return rows, sections, slide


def events(trace, rows, slide):
    """(cuts, slides): (label, frame) of each scene change (the first frame of each row but the first) and of
    each credit slide's entry (the frame whose credit count is a whole number of slide periods)."""
    orders = [row["musicOrder"] for row in trace]
    cuts = [("order%d" % first, orders.index(first)) for first in rows[1:] if first in orders]
    slides = []
    for k in range(8):
        at = next((i for i, row in enumerate(trace) if row["creditFrame"] == k * slide + 1), None)
        if at is not None:
            slides.append(("slide%d" % k, at))
    return cuts, slides


def curve_and_marks(build, cap):
    """The short-term loudness over the whole show, [(seconds from its first frame, LUFS)], and the frames of
    its scene changes and credit slides."""
    rows, _, slide = cue_lines(build)
    sound = show_sound.read_wav(cap["wav"])
    start = cap["offset"] / storyboard.FPS
    curve = show_sound.shortterm_curve(sound, start, len(sound.samples) / sound.rate)
    cuts, slides = events(cap["trace"], rows, slide)
    return [(t - start, l) for t, l in curve], [f for _, f in cuts + slides]


def longest_silence(sound, start, end, block=0.1, floor=-60.0):
    """Seconds of the longest run of 100 ms blocks quieter than `floor` LUFS in [start, end)."""
    longest = run = 0
    t = start
    while t + block <= end:
        run = run + 1 if show_sound.window_loudness(sound, t, t + block) < floor else 0
        longest = max(longest, run)
        t += block
    return longest * block


def figures(build, cap):
    """Every figure of the report from one capture (storyboard.capture_show)."""
    rows, sections, slide = cue_lines(build)
    trace, fig, offset = cap["trace"], cap["fig"], cap["offset"]
    sound = show_sound.read_wav(cap["wav"])
    fps = storyboard.FPS
    at = lambda frame: (frame + offset) / fps  # noqa: E731 -- the sound's time of a frame's present
    start, fade = at(0), at(fig["closing_fade"])
    orders = [row["musicOrder"] for row in trace]
    out = {"sections": [], "dark": [], "cuts": [], "slides": []}
    out["show"] = show_sound.section(sound, start, fade)
    out["true_peak"] = max(out["show"]["true_peak"], show_sound.section(sound, fade, at(len(trace)))["true_peak"])
    curve = show_sound.shortterm_curve(sound, start, fade)
    out["curve"] = [(t - start, l) for t, l in curve]
    for name, first, end in sections:
        if first not in orders:
            continue
        f0 = orders.index(first)
        f1 = next((i for i, o in enumerate(orders) if o >= end), fig["closing_fade"])
        f1 = min(f1, fig["closing_fade"])
        s = show_sound.section(sound, at(f0), at(f1))
        s["name"], s["first_frame"], s["end_frame"] = name, f0, f1
        inside = [l for t, l in curve if at(f0) + 3.0 <= t <= at(f1)]
        s["loudest_3s"] = max(inside) if inside else show_sound.SILENCE
        before = [l for t, l in curve if t <= at(f0)]
        s["loudest_3s_before"] = max(before) if before else show_sound.SILENCE
        out["sections"].append(s)
    level = out["show"]["integrated"]
    for length, first in sorted(r for r in fig["dark"] if r[0] >= DARK_MIN):
        loud = show_sound.window_loudness(sound, at(first), at(first + length))
        out["dark"].append({"frame": first, "frames": length, "loudness": loud, "drop": level - loud})
    cuts, slides = events(trace, rows, slide)
    for label, frame in cuts:
        out["cuts"].append({"name": label, "frame": frame, "hit": show_sound.hit(sound, at(frame))})
    for label, frame in slides:
        out["slides"].append({"name": label, "frame": frame, "hit": show_sound.hit(sound, at(frame))})
    rng = random.Random(1)
    moments = sorted(rng.uniform(start + 1.0, fade - 1.0) for _ in range(RANDOM_MOMENTS))
    jumps = sorted(show_sound.hit(sound, t) for t in moments)
    out["random_hit_p99"] = jumps[int(0.99 * (len(jumps) - 1))]
    out["random_hit_share"] = sum(j >= show_sound.HIT_DB for j in jumps) / len(jumps)
    out["high_share"] = show_sound.high_share(sound, start, fade)
    out["silence"] = longest_silence(sound, start, fade)
    return out


def bench_lines(f):
    """The figures as `bench:` lines, with a readable line before each group."""
    lines = []
    b = lambda name, value, unit: lines.append("bench: %s %.2f %s" % (name, value, unit))  # noqa: E731
    show = f["show"]
    lines.append("whole show to the closing fade: %.1f LUFS, range %.1f LU, true peak %.1f dBTP, %.1f%% above 2 kHz"
                 % (show["integrated"], show["lra"], f["true_peak"], 100 * f["high_share"]))
    b("show_integrated", show["integrated"], "LUFS")
    b("show_lra", show["lra"], "LU")
    b("show_true_peak", f["true_peak"], "dBTP")
    b("show_energy_above_2khz", 100 * f["high_share"], "%")
    for s in f["sections"]:
        lines.append("section %s (frames %d-%d): %.1f LUFS, range %.1f LU, loudest 3 s %.1f LUFS" % (
            s["name"], s["first_frame"], s["end_frame"], s["integrated"], s["lra"], s["loudest_3s"]))
        b("section_%s_integrated" % s["name"], s["integrated"], "LUFS")
        b("section_%s_lra" % s["name"], s["lra"], "LU")
        b("section_%s_loudest_3s" % s["name"], s["loudest_3s"], "LUFS")
    finale = next((s for s in f["sections"] if s["name"] == "finale"), None)
    if finale:
        b("finale_peak_over_before", finale["loudest_3s"] - finale["loudest_3s_before"], "LU")
    for d in f["dark"]:
        lines.append("dark stretch of %d frames from frame %d: %.1f LUFS, %.1f dB under the show" % (
            d["frames"], d["frame"], d["loudness"], d["drop"]))
        b("dark_drop_frame%d" % d["frame"], d["drop"], "dB")
    if f["dark"]:
        b("dark_drop_least", min(d["drop"] for d in f["dark"]), "dB")
    for group in ("cuts", "slides"):
        for e in f[group]:
            lines.append("%s at frame %d: %.1f dB%s" % (e["name"], e["frame"], e["hit"],
                                                        " (hit)" if e["hit"] >= show_sound.HIT_DB else ""))
            b("hit_%s" % e["name"], e["hit"], "dB")
        b("%s_with_hit" % group, sum(e["hit"] >= show_sound.HIT_DB for e in f[group]), "count")
        b("%s" % group, len(f[group]), "count")
    b("random_moment_hit_p99", f["random_hit_p99"], "dB")
    b("random_moments_with_hit", 100 * f["random_hit_share"], "%")
    b("longest_silence", f["silence"], "s")
    lines.append("short-term loudness (the 3 s to each time), every 5 s to the closing fade:")
    for t, l in f["curve"]:
        if abs(t / 5 - round(t / 5)) < 1e-6 and t >= 5:
            b("shortterm_%03ds" % round(t), l, "LUFS")
    return lines


def main(build):
    with tempfile.TemporaryDirectory(prefix="kaveld-score-") as tmp:
        cap = storyboard.capture_show(build, tmp)
        f = figures(build, cap)
    print("\n".join(bench_lines(f)))


if __name__ == "__main__":
    main(os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build"))
