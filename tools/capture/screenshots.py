"""screenshots.py BUILD_DIR -- a contact sheet of the show: one frame from
each timeline row, captured offline with kaveld-capture, labelled and
montaged into BUILD_DIR/screenshots.png."""
import json
import os
import subprocess
import sys
import tempfile

ROWS = [  # (first order, last order + 1, label)
    (0, 2, "0-1 intro mesh + card"), (2, 5, "2-4 fly-in + rings"), (5, 7, "5-6 twin rings"),
    (7, 8, "7 billboards + banner"), (8, 9, "8 banner"), (9, 12, "9-11 fading"), (12, 13, "12 still card"),
    (13, 14, "13 billboards out"), (14, 24, "14-23 morph"), (24, 26, "24-25 morph out"),
    (26, 27, "26 bridge"), (27, 10**6, "27+ credits"),
]
SEED, SIZE = "5", "320x240"


def main(build):
    capture = os.path.join(build, "kaveld-capture")
    with tempfile.TemporaryDirectory() as tmp:
        trace = os.path.join(tmp, "trace.jsonl")
        subprocess.run([capture, "--size", "64x48", "--seed", SEED, "--trace", trace], cwd=build, check=True,
                       timeout=900)
        orders = [json.loads(line)["musicOrder"] for line in open(trace)]
        picks = []
        for low, high, label in ROWS:
            frames = [i for i, o in enumerate(orders) if low <= o < high]
            if frames:
                # A third into the row (at most 400 frames): its layers are up, nothing has faded yet.
                picks.append((frames[0] + min(len(frames) // 3, 400), label))
        subprocess.run([capture, "--size", SIZE, "--seed", SEED, "--out", tmp, "--select",
                        ",".join(str(f) for f, _ in picks), "--frames", str(picks[-1][0] + 1)],
                       cwd=build, check=True, timeout=900)
        args = ["/usr/bin/montage"]
        for frame, label in picks:
            args += ["-label", f"{label} (frame {frame})", os.path.join(tmp, "show_%06d.png" % frame)]
        out = os.path.join(build, "screenshots.png")
        args += ["-tile", "4x", "-geometry", "+4+4", "-background", "#202020", "-fill", "#d0d0d0", out]
        subprocess.run(args, check=True, timeout=120)
        print("screenshots:", out)


if __name__ == "__main__":
    main(os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build"))
