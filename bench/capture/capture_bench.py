"""capture_bench.py BUILD_DIR -- how fast kaveld-capture renders the whole
show (no output written, every frame rendered when presented): frames per
second, capture time over the show's own running time at 60 frames per
second, and the capture's peak memory at 640x480."""
import os
import subprocess
import sys
import tempfile
import time


def run(build, size):
    """(seconds, frames, peak resident MB) of one whole-show capture."""
    with tempfile.TemporaryFile("w+") as log:
        start = time.monotonic()
        proc = subprocess.Popen([os.path.join(build, "kaveld-capture"), "--size", size, "--seed", "1"],
                                cwd=build, stdout=subprocess.DEVNULL, stderr=log)
        _, status, usage = os.wait4(proc.pid, 0)
        seconds = time.monotonic() - start
        proc.returncode = os.waitstatus_to_exitcode(status)
        log.seek(0)
        stderr = log.read()
    if proc.returncode != 0:
        sys.exit(f"capture at {size} failed: {stderr[-500:]}")
    frames = int(stderr.strip().splitlines()[-1].split()[1]) + 202  # the loading frames too
    return seconds, frames, usage.ru_maxrss / 1024.0


if __name__ == "__main__":
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    for size in ("640x480", "1280x720"):
        seconds, frames, peak_mb = run(build, size)
        print(f"{size}: {frames} frames in {seconds:.1f} s, peak {peak_mb:.0f} MB")
        print(f"bench: capture.{size}.fps {frames / seconds:.1f} fps")
        print(f"bench: capture.{size}.time_ratio {seconds / (frames / 60.0):.3f} x")
        if size == "640x480":
            print(f"bench: capture.peak_rss_mb {peak_mb:.0f} MB")
