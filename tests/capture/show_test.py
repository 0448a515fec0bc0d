"""show_test.py CASE -- the whole show through kaveld-capture on the offline
platform with the generated data: it ends by itself, the trace follows the
effects' rules, the sound fades to silence; and the tool's own options."""
import json
import os
import struct
import subprocess
import sys
import tempfile

BIN = os.environ.get("KAVELD_BIN", "build")
CAPTURE = os.path.join(BIN, "kaveld-capture")


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def capture(*args, timeout=600):
    return subprocess.run([CAPTURE, *args], cwd=BIN, capture_output=True, text=True, timeout=timeout)


def read_trace(path):
    with open(path) as f:
        return [json.loads(line) for line in f]


def wav_frames(path):
    """(rate, channels, list of left-channel samples) of a 16-bit WAV."""
    with open(path, "rb") as f:
        data = f.read()
    check(data[:4] == b"RIFF" and data[8:12] == b"WAVE", "audio.wav is not a WAV file")
    channels, rate = struct.unpack_from("<HI", data, 22)
    size = struct.unpack_from("<I", data, 40)[0]
    samples = struct.unpack_from("<%dh" % (size // 2), data, 44)
    return rate, channels, samples[::channels]


def rms(samples):
    return (sum(s * s for s in samples) / max(1, len(samples))) ** 0.5


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def same_float(traced, value):
    """A traced float (9 digits) is exactly the single-precision value."""
    return f32(traced) == f32(value)


def loading_fade_end():
    """The loading brightness after its fade: 0.005 off per frame while above 0, in floats."""
    b = 1.0
    while b > 0:
        b = f32(b - f32(0.005))
    return b


def case_whole_show():
    with tempfile.TemporaryDirectory() as tmp:
        trace, out = os.path.join(tmp, "trace.jsonl"), os.path.join(tmp, "frames")
        r = capture("--size", "160x120", "--seed", "7", "--trace", trace, "--out", out, "--select", "0")
        check(r.returncode == 0, f"exit {r.returncode}: {r.stderr[-2000:]}")
        rows = read_trace(trace)
        frames = len(rows)
        check([row["frame"] for row in rows] == list(range(frames)), "trace frames are not 0, 1, 2 ...")

        # It ended by itself, through the end condition, on its last frame.
        last = rows[-1]
        check(last["quitRequests"] == 1 and all(row["quitRequests"] == 0 for row in rows[:-1]),
              "the show did not end by itself on its last frame")
        check(last["masterVolume"] == 0 and last["meshLevel"] <= 0, "end condition not met on the last frame")

        # The orders run 0 -> 27 in sequence, and on.
        orders = [row["musicOrder"] for row in rows]
        check(orders[0] == 0, "the show does not start at order 0")
        seen = sorted(set(orders))
        check(seen[:28] == list(range(28)), f"orders seen: {seen}")
        before_loop = orders[: orders.index(max(orders)) + 1]
        check(all(b >= a for a, b in zip(before_loop, before_loop[1:])), "the orders went backwards")

        # The credits count through 4400; the volume steps 256 -> 0, one a frame, from credit 4401.
        first27 = orders.index(27)
        check(rows[first27]["creditFrame"] == 1, "the credits do not start with order 27")
        check(frames == first27 + 4401 + 256, f"{frames} frames; expected {first27 + 4401 + 256}")
        volumes = [row["masterVolume"] for row in rows]
        fade = first27 + 4401  # the call with creditFrame 4401 hands 256 and leaves 255
        check(all(v == 256 for v in volumes[:fade]), "the volume moved before the fade")
        check(volumes[fade:] == list(range(255, -1, -1)), "the volume did not step down by one a frame")
        check(all(row["fadeOutTarget"] == 1 for row in rows[:fade]) and
              all(row["fadeOutTarget"] == 0 for row in rows[fade:]), "fadeOutTarget switched at the wrong frame")

        # Figures the effects' rules give.
        check(same_float(rows[0]["meshLevel"], 0.005) and rows[0]["meshSpin"] == 1, "first frame's mesh state")
        check(same_float(rows[0]["openingCardLevel"], 0.005), "first frame's opening card")
        check(same_float(rows[0]["loadingBrightness"], loading_fade_end()), "loading fade did not end at -0.005")
        check(abs(last["bannerX"] - 0.78) < 0.001, "the banner did not come to rest at 0.78")
        c200 = next(row for row in rows if row["creditFrame"] == 200)
        check(same_float(c200["creditLevels"][0], 0.999999225), "slide 0 after 200 frames")
        check(last["creditLevels"][7] < 0, "the last slide did not fade out")
        check(last["billboardLast"] == 24, "not every billboard was released")

        # Sound: loud during the show, silent at the end.
        rate, channels, left = wav_frames(os.path.join(out, "audio.wav"))
        check(rate == 44100 and channels == 2, "audio.wav format")
        loading = 202 * rate // 60
        check(len(left) == (202 + frames) * rate // 60, f"{len(left)} audio frames for {202 + frames} video frames")
        check(rms(left[:loading]) == 0, "sound during the loading screen")
        show = left[loading:]
        check(rms(show[rate * 10:rate * 20]) > 300, "the music is silent during the show")
        # The last volume handed over is 1 of 256: the closing frame is all but silent.
        check(max(abs(s) for s in show[-rate // 60:]) < 32768 // 200, "the last frame is not silent")
        check(os.path.exists(os.path.join(out, "show_000000.png")), "the selected frame was not written")


def case_seeded_runs_repeat():
    with tempfile.TemporaryDirectory() as tmp:
        traces = []
        for n, seed in enumerate(("11", "11", "12")):
            path = os.path.join(tmp, f"t{n}.jsonl")
            r = capture("--size", "64x48", "--frames", "400", "--seed", seed, "--trace", path)
            check(r.returncode == 0, f"exit {r.returncode}: {r.stderr}")
            traces.append(open(path).read())
        check(traces[0] == traces[1], "two runs with the same seed differ")
        check(traces[0] != traces[2], "the seed does not reach the show's random numbers")
        check(len(traces[0].splitlines()) == 400, "--frames 400 did not stop at 400 frames")


def case_options():
    for args in (["--size", "10"], ["--fps", "0"], ["--frames", "x"], ["--bogus"], ["--out"]):
        r = capture(*args)
        check(r.returncode == 2 and "kaveld-capture" in r.stderr, f"{args}: exit {r.returncode}")
    r = capture("--help")
    check(r.returncode == 0 and "--trace" in r.stdout, "--help")
    r = capture("--version")
    check(r.returncode == 0 and r.stdout.startswith("kaveld-capture"), "--version")
    with tempfile.TemporaryDirectory() as empty:
        r = capture("--data", empty, "--frames", "5", "--size", "64x48")
        check(r.returncode == 1 and "could not start" in r.stderr, f"missing data: exit {r.returncode}")
    # Data files that are not regular files count as files that cannot be
    # opened: a FIFO would block the start-up, /dev/zero would never end.
    with tempfile.TemporaryDirectory() as odd:
        data = os.path.join(os.path.abspath(BIN), "data")
        for name in os.listdir(data):
            os.symlink(os.path.join(data, name), os.path.join(odd, name))
        for name in ("ball01.dxf", "t03.bmp", "demotune.xm"):
            os.remove(os.path.join(odd, name))
            os.mkfifo(os.path.join(odd, name))
        for name in ("balm02.dxf", "t04.bmp"):
            os.remove(os.path.join(odd, name))
            os.symlink("/dev/zero", os.path.join(odd, name))
        r = capture("--data", odd, "--frames", "5", "--size", "64x48", timeout=120)
        check(r.returncode == 1 and "could not start" in r.stderr, f"odd data files: exit {r.returncode}")


def peak_mb(*args):
    """Peak resident memory in MB of one capture, which must succeed."""
    # Under AddressSanitizer freed blocks wait in a quarantine that fills up to
    # its own bound; a small one leaves the program's own memory to measure.
    asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "quarantine_size_mb=8"]))
    proc = subprocess.Popen(["timeout", "-k", "10", "600", CAPTURE, *args], cwd=BIN,
                            env=dict(os.environ, ASAN_OPTIONS=asan),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)  # the capture's peak, as a child of timeout, included
    proc.returncode = os.waitstatus_to_exitcode(status)
    check(proc.returncode == 0, f"{args}: exit {proc.returncode}")
    return usage.ru_maxrss / 1024.0


def case_memory_flat():
    """Without --out nothing reads the pixels back; memory must not grow with the frames."""
    short, long = (peak_mb("--size", "320x240", "--seed", "1", "--frames", str(n)) for n in (100, 500))
    check(long < short + 40, f"peak {short:.0f} MB at 100 frames, {long:.0f} MB at 500")


def case_video():
    with tempfile.TemporaryDirectory() as tmp:
        video = os.path.join(tmp, "show.mp4")
        r = capture("--size", "161x121", "--frames", "60", "--out", video)  # odd sizes are padded
        check(r.returncode == 0, f"exit {r.returncode}: {r.stderr}")
        probe = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "stream=codec_name,nb_frames",
                                "-of", "json", video], capture_output=True, text=True, timeout=60)
        streams = json.loads(probe.stdout)["streams"]
        codecs = sorted(s["codec_name"] for s in streams)
        check(codecs == ["aac", "h264"], f"streams: {codecs}")
        video_stream = next(s for s in streams if s["codec_name"] == "h264")
        check(int(video_stream["nb_frames"]) == 202 + 60, f"{video_stream['nb_frames']} video frames")


CASES = {name[5:]: fn for name, fn in globals().items() if name.startswith("case_")}

if __name__ == "__main__":
    if len(sys.argv) != 2 or sys.argv[1] not in CASES:
        fail("usage: show_test.py " + "|".join(CASES))
    CASES[sys.argv[1]]()
    print("PASS:", sys.argv[1])
