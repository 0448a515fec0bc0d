"""capture_bench.py BUILD_DIR -- how fast kaveld-capture renders the whole
show (no output written): frames per second, and capture time over the
show's own running time at 60 frames per second."""
import os
import subprocess
import sys
import time


def run(build, size):
    start = time.monotonic()
    result = subprocess.run([os.path.join(build, "kaveld-capture"), "--size", size, "--seed", "1"],
                            cwd=build, capture_output=True, text=True, timeout=3600)
    seconds = time.monotonic() - start
    if result.returncode != 0:
        sys.exit(f"capture at {size} failed: {result.stderr[-500:]}")
    frames = int(result.stderr.strip().splitlines()[-1].split()[1]) + 202  # the loading frames too
    fps = frames / seconds
    ratio = seconds / (frames / 60.0)
    print(f"{size}: {frames} frames in {seconds:.1f} s")
    print(f"bench: capture.{size}.fps {fps:.1f} fps")
    print(f"bench: capture.{size}.time_ratio {ratio:.3f} x")


if __name__ == "__main__":
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    for size in ("640x480", "1280x720"):
        run(build, size)
