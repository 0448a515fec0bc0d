"""storyboard.py BUILD_DIR -- the whole show at a glance. Captures the show
offline at 160x120 and 60 frames per second, then writes
BUILD_DIR/storyboard.png (a thumbnail every second in rows, each labelled
with its time and order, a strip of dark and dim frames, and under each row
the music's short-term loudness with every scene change and credit slide
marked) and BUILD_DIR/storyboard.txt (each order's start, length and mean
luminance; the longest dark and dim stretches)."""
import glob
import json
import math
import os
import subprocess
import sys
import tempfile

from PIL import Image, ImageDraw, ImageFont

SIZE, SEED, FPS = "160x120", "1", 60
DARK_LEVEL = 40      # a frame is dark when under 1% of its pixels are brighter than this
DARK_SHARE = 0.01
DIM_MEAN = 8.0       # a frame is dim when its mean luminance is under this
SKIP = 120           # the figures start after the show's first frames
PER_ROW, THUMB = 15, (80, 60)
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


def frame_stats(path):
    """(mean luminance, share of pixels brighter than DARK_LEVEL) of one PNG."""
    hist = Image.open(path).convert("L").histogram()
    total = sum(hist)
    mean = sum(i * n for i, n in enumerate(hist)) / total
    return mean, sum(hist[DARK_LEVEL + 1:]) / total


def runs(flags, start, end):
    """(length, first frame) of each run of True in flags[start:end], longest first."""
    out, run_start = [], None
    for i in range(start, end + 1):
        if i < end and flags[i]:
            if run_start is None:
                run_start = i
        elif run_start is not None:
            out.append((i - run_start, run_start))
            run_start = None
    return sorted(out, key=lambda r: (-r[0], r[1])) or [(0, start)]


def analyse(trace, stats):
    """The figures of one run: per order and over the judged window."""
    frames = len(trace)
    orders = [row["musicOrder"] for row in trace]
    fade = next((i for i, row in enumerate(trace) if row["fadeOutTarget"] == 0), frames)
    dark = [share < DARK_SHARE for _, share in stats]
    dim = [mean < DIM_MEAN for mean, _ in stats]
    table = []
    for i, o in enumerate(orders):
        if not table or table[-1]["order"] != o:
            table.append({"order": o, "start": i, "frames": 0, "luma": 0.0})
        table[-1]["frames"] += 1
        table[-1]["luma"] += stats[i][0]
    for t in table:
        t["luma"] /= t["frames"]
    window = max(0, fade - SKIP)
    return {
        "frames": frames, "closing_fade": fade, "orders": table,
        "dark": runs(dark, SKIP, fade), "dim": runs(dim, SKIP, fade),
        "dark_share": sum(dark[SKIP:fade]) / window if window else 0.0,
    }


def stretches(found):
    return ", ".join("%d from %d" % r for r in found if r[0] >= 30) or "none"


def report_text(fig):
    lines = ["order  start(frame)  start(s)  frames  seconds  mean luma"]
    for t in fig["orders"]:
        lines.append("%5d  %12d  %8.2f  %6d  %7.2f  %9.1f" % (
            t["order"], t["start"], t["start"] / FPS, t["frames"], t["frames"] / FPS, t["luma"]))
    lines += [
        "show: %d frames (%.1f s); closing fade from frame %d" % (fig["frames"], fig["frames"] / FPS,
                                                                   fig["closing_fade"]),
        "judged: frames %d..%d" % (SKIP, fig["closing_fade"]),
        "longest dark stretch: %d frames from frame %d (limit 60)" % fig["dark"][0],
        "longest dim stretch: %d frames from frame %d (limit 150)" % fig["dim"][0],
        "dark stretches of 30 frames or more: " + stretches(fig["dark"]),
        "dim stretches of 30 frames or more: " + stretches(fig["dim"]),
        "dark frames: %.2f%% (limit 3%%)" % (100 * fig["dark_share"]),
    ]
    return "\n".join(lines) + "\n"


LUFS_LOW, LUFS_HIGH = -40.0, -8.0  # the loudness strip's scale


def draw_sheet(fig, frames_dir, offset, curve, marks, stats, out):
    """curve: [(seconds from the show's first frame, short-term LUFS)]; marks: frames of the cuts and slides."""
    seconds = (fig["frames"] + FPS - 1) // FPS
    rows = (seconds + PER_ROW - 1) // PER_ROW
    tw, th = THUMB
    label_h, strip_h, sound_h, gap = 13, 4, 22, 6
    row_h = th + label_h + strip_h + sound_h + gap
    sheet = Image.new("RGB", (PER_ROW * tw, rows * row_h), (24, 24, 24))
    draw = ImageDraw.Draw(sheet)
    font = ImageFont.truetype(FONT, 10)
    orders = [t for t in fig["orders"]]
    order_at = {}
    for t in orders:
        for f in range(t["start"], t["start"] + t["frames"]):
            order_at[f] = t["order"]
    marked = set(marks)
    step = curve[1][0] - curve[0][0] if len(curve) > 1 else 0.1
    for s in range(seconds):
        x, y = (s % PER_ROW) * tw, (s // PER_ROW) * row_h
        frame = min(s * FPS, fig["frames"] - 1)
        thumb = Image.open(os.path.join(frames_dir, "frame_%06d.png" % (frame + offset))).convert("RGB")
        sheet.paste(thumb.resize(THUMB), (x, y))
        draw.text((x + 2, y + th), "%d:%02d  o%d" % (s // 60, s % 60, order_at.get(frame, -1)),
                  fill=(220, 220, 220), font=font)
        # One column per pixel: red dark, amber dim, green lit; then the loudness, a cut or slide in white.
        for px in range(tw):
            f = s * FPS + px * FPS // tw
            if f >= fig["frames"]:
                break
            mean, share = stats[f]
            colour = (200, 40, 40) if share < DARK_SHARE else (220, 160, 0) if mean < DIM_MEAN else (40, 160, 60)
            sy = y + th + label_h
            draw.line([(x + px, sy), (x + px, sy + strip_h - 1)], fill=colour)
            base = sy + strip_h + sound_h
            if any(m in marked for m in range(f, s * FPS + (px + 1) * FPS // tw)):
                draw.line([(x + px, sy + strip_h), (x + px, base - 1)], fill=(255, 255, 255))
                continue
            k = min(len(curve) - 1, max(0, int(round(f / FPS / step)) - 1)) if curve else 0
            lufs = curve[k][1] if curve else LUFS_LOW
            bar = int(round(sound_h * min(1.0, max(0.0, (lufs - LUFS_LOW) / (LUFS_HIGH - LUFS_LOW)))))
            if bar:
                draw.line([(x + px, base - bar), (x + px, base - 1)], fill=(90, 140, 220))
    sheet.save(out)


def capture_show(build, tmp):
    """Captures the whole show into tmp: its figures, trace, per-frame stats, frames directory, the loading
    screen's presents (which come first in the frames and the sound) and the sound's path."""
    trace_path, frames_dir = os.path.join(tmp, "trace.jsonl"), os.path.join(tmp, "frames")
    subprocess.run(["timeout", "-k", "10", "1800", os.path.join(build, "kaveld-capture"), "--size", SIZE, "--fps",
                    str(FPS), "--seed", SEED, "--trace", trace_path, "--out", frames_dir], cwd=build, check=True)
    trace = [json.loads(line) for line in open(trace_path)]
    pictures = sorted(glob.glob(os.path.join(frames_dir, "frame_*.png")))
    offset = len(pictures) - len(trace)
    stats = [frame_stats(pictures[offset + i]) for i in range(len(trace))]
    return {"fig": analyse(trace, stats), "trace": trace, "stats": stats, "frames_dir": frames_dir,
            "offset": offset, "wav": os.path.join(frames_dir, "audio.wav")}


def main(build):
    import score_report  # the loudness curve and the cues, from the same capture
    with tempfile.TemporaryDirectory(prefix="kaveld-storyboard-") as tmp:
        cap = capture_show(build, tmp)
        fig = cap["fig"]
        text = report_text(fig)
        with open(os.path.join(build, "storyboard.txt"), "w") as f:
            f.write(text)
        curve, marks = score_report.curve_and_marks(build, cap)
        draw_sheet(fig, cap["frames_dir"], cap["offset"], curve, marks, cap["stats"],
                   os.path.join(build, "storyboard.png"))
    sys.stdout.write(text)
    print("storyboard:", os.path.join(build, "storyboard.png"), "and", os.path.join(build, "storyboard.txt"))


if __name__ == "__main__":
    main(os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build"))
