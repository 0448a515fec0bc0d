"""show_test.py CASE -- the whole show through kaveld-capture on the offline
platform with the generated data: it ends by itself, the trace follows the
effects' rules, the sound fades to silence; and the tool's own options."""
import json
import os
import signal
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from end_signals import send_together  # noqa: E402

BIN = os.environ.get("KAVELD_BIN", "build")
CAPTURE = os.path.join(BIN, "kaveld-capture")


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def capture(*args, timeout=600, env=None):
    return subprocess.run([CAPTURE, *args], cwd=BIN, capture_output=True, text=True, timeout=timeout, env=env)


def private_tmp(tmp):
    """An environment whose temporary folders go under tmp/t, to see that none is left."""
    folder = os.path.join(tmp, "t")
    os.makedirs(folder, exist_ok=True)
    return folder, dict(os.environ, TMPDIR=folder)


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


def cue_sheet():
    """The cue sheet the music is composed to: (first frame, frames) of each order, and the
    frames of the closing row until the show ends."""
    out = subprocess.run([os.path.join(BIN, "tools", "datagen", "kaveld-datagen"), "--cues"], capture_output=True,
                         text=True, timeout=60).stdout.split("\n")
    orders = [(int(w[3]), int(w[5])) for w in (line.split() for line in out) if w and w[0] == "order"]
    end = next(int(line.split()[1]) for line in out if line.startswith("finale_end "))
    return orders, end


def near(frame, cued):
    return abs(frame - cued) <= 2 + cued / 1000


# ---- every frame of the trace replayed by the effects' rules

def approach(level, target, up, down):
    """The fade rule, in single precision: up a step if below, then down a step if above."""
    if level < target:
        level = f32(level + f32(up))
    if level > target:
        level = f32(level - f32(down))
    return level


def add(state, name, step):
    state[name] = f32(state[name] + f32(step))


def fade(name, up=0.005, down=0.005):
    return lambda s, t: s.__setitem__(name, approach(s[name], t, up, down))


def twin_rings(s, t):
    fade("twinRingsLevel", 0.005, 0.004)(s, t)
    add(s, "twinRingsSpinFar", 0.5)
    add(s, "twinRingsSpinNear", 0.7)


def banner(s, t):
    if s["bannerX"] > f32(0.8):
        add(s, "bannerX", -0.02)
    fade("bannerLevel", 0.005, 0.003)(s, t)


def intro_mesh(s, t):
    add(s, "meshSpin", 1)
    add(s, "meshLevel", 0.005)


def mesh_fly_in(s, t):
    intro_mesh(s, t)
    add(s, "meshOffsetZ", 0.15)
    add(s, "meshOffsetX", 0.1)


def mesh_fly_back(s, t):
    add(s, "meshSpin", 1)
    fade("meshLevel")(s, t)
    if s["meshOffsetZ"] > -100:
        add(s, "meshOffsetZ", -0.4)
    if s["meshOffsetX"] > 0:
        add(s, "meshOffsetX", -0.265)


def billboard_cascade(s, t):
    s["billboardFrame"] += 1
    if s["billboardFrame"] >= 35:
        s["billboardFrame"] = 0
        s["billboardLast"] = min(s["billboardLast"] + 1, 24)


def morph_scene(s, t):
    add(s, "morphSpin", 1)
    s["morphFrame"] += 1
    fade("morphLevel")(s, t)
    if s["morphFrame"] >= 600:
        s["morphFrame"] = 0


def credits(s, t):
    c, levels = s["creditFrame"], s["creditLevels"]
    for k in range(8):  # slide k fades in over 500k..500k+499, out over the next 500 (the last over 400)
        if 500 * k <= c < 500 * (k + 1):
            levels[k] = approach(levels[k], 1.0, 0.005, 0.005)
        elif 500 * (k + 1) <= c < min(500 * (k + 2), 4400):
            levels[k] = approach(levels[k], 0.0, 0.005, 0.005)
    if 4400 < c < 5000:
        s["fadeOutTarget"] = 0.0
    s["creditFrame"] += 1


# Per row of orders: the routines called and their targets ("out" is the
# closing target as the frame starts).
SCRIPT = [
    (0, 2, [(intro_mesh, None), (fade("openingCardLevel"), 1)]),
    (2, 5, [(fade("ringLevel"), 1), (mesh_fly_in, None), (fade("openingCardLevel"), 0)]),
    (5, 7, [(twin_rings, 1), (fade("ringLevel"), 0), (mesh_fly_in, None)]),
    (7, 8, [(twin_rings, 1), (billboard_cascade, None), (fade("ringLevel"), 0), (banner, 1)]),
    (8, 9, [(twin_rings, 1), (billboard_cascade, None), (banner, 1)]),
    (9, 12, [(twin_rings, 0), (billboard_cascade, None), (banner, 0)]),
    (12, 13, [(fade("stillCardLevel"), 1)]),
    (13, 14, [(fade("stillCardLevel"), 0)]),
    (14, 24, [(fade("backdropLevel"), 1), (morph_scene, 1)]),
    (24, 26, [(fade("backdropLevel"), 0), (morph_scene, 0)]),
    (26, 27, [(twin_rings, 1)]),
    (27, 1 << 30, [(twin_rings, "out"), (fade("innerRingLevel"), "out"), (mesh_fly_back, "out"), (credits, None)]),
]

START = dict(meshLevel=0.0, openingCardLevel=0.0, twinRingsLevel=0.0, twinRingsSpinFar=0.0, twinRingsSpinNear=0.0,
             bannerLevel=0.0, bannerX=4.0, stillCardLevel=0.0, ringLevel=0.0, innerRingLevel=0.0, billboardFrame=0,
             billboardLast=0, meshSpin=0.0, meshOffsetX=0.0, meshOffsetZ=-100.0, morphSpin=0.0, morphLevel=0.0,
             morphFrame=0, backdropLevel=0.0, creditFrame=0, creditLevels=[0.0] * 8, fadeOutTarget=1.0)


def check_every_frame_by_the_rules(rows):
    """Replays each frame's row of the script on the state the frame before
    left, and compares every fade level, spin, position and counter traced."""
    state = {k: (list(v) if isinstance(v, list) else f32(v) if isinstance(v, float) else v)
             for k, v in START.items()}
    for row in rows:
        order, closing = row["musicOrder"], state["fadeOutTarget"]
        for low, high, calls in SCRIPT:
            if low <= order < high:
                for routine, target in calls:
                    routine(state, closing if target == "out" else target)
        for name, value in state.items():
            traced = row[name]
            same = (all(same_float(a, b) for a, b in zip(traced, value)) if isinstance(value, list)
                    else same_float(traced, value))
            check(same, f"frame {row['frame']} (order {order}): {name} is {traced}, the rules give {value}")


def case_whole_show():
    with tempfile.TemporaryDirectory() as tmp:
        trace, out = os.path.join(tmp, "trace.jsonl"), os.path.join(tmp, "frames")
        r = capture("--size", "160x120", "--seed", "7", "--trace", trace, "--out", out, "--select", "0")
        check(r.returncode == 0, f"exit {r.returncode}: {r.stderr[-2000:]}")
        rows = read_trace(trace)
        frames = len(rows)
        check_every_frame_by_the_rules(rows)
        check([row["frame"] for row in rows] == list(range(frames)), "trace frames are not 0, 1, 2 ...")

        # It ended by itself, through the end condition, on its last frame.
        last = rows[-1]
        check(last["quitRequests"] == 1 and all(row["quitRequests"] == 0 for row in rows[:-1]),
              "the show did not end by itself on its last frame")
        check(last["masterVolume"] == 0 and last["meshLevel"] <= 0, "end condition not met on the last frame")

        # The orders run 0 -> 27 in sequence and on, each starting where the cue sheet puts it
        # (give or take the frame in which the order change is heard, and the player's rounding of
        # each tick to whole samples), and the music does not loop back before the show ends.
        cues, closing = cue_sheet()
        orders = [row["musicOrder"] for row in rows]
        check(orders[0] == 0, "the show does not start at order 0")
        seen = sorted(set(orders))
        check(seen[:28] == list(range(28)), f"orders seen: {seen}")
        check(all(b >= a for a, b in zip(orders, orders[1:])), "the orders went backwards: the music looped")
        for order in seen:
            start = orders.index(order)
            check(near(start, cues[order][0]), f"order {order} starts on frame {start}, cued {cues[order][0]}")

        # The credits count through 4400; the volume steps 256 -> 0, one a frame, from credit 4401.
        first27 = orders.index(27)
        check(rows[first27]["creditFrame"] == 1, "the credits do not start with order 27")
        check(frames == first27 + closing, f"{frames} frames; expected {first27 + closing}")
        check(near(frames, cues[27][0] + closing), f"{frames} frames; cued {cues[27][0] + closing}")
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


def case_video_rate():
    """The show keeps its 60 frames to a second of music at any video rate;
    each video frame is the present nearest its time."""
    with tempfile.TemporaryDirectory() as tmp:
        runs = {}
        for fps in (30, 60, 120):
            out, trace = os.path.join(tmp, f"f{fps}"), os.path.join(tmp, f"t{fps}.jsonl")
            r = capture("--size", "64x48", "--seed", "5", "--frames", "30", "--fps", str(fps), "--out", out,
                        "--trace", trace)
            check(r.returncode == 0, f"--fps {fps}: exit {r.returncode}: {r.stderr}")
            frames = sorted(n for n in os.listdir(out) if n.startswith("frame_"))
            check(frames == [f"frame_{k:06d}.png" for k in range(len(frames))], f"--fps {fps}: frames not 0, 1, 2 ...")
            pictures = [open(os.path.join(out, n), "rb").read() for n in frames]
            runs[fps] = (pictures, open(trace).read(), open(os.path.join(out, "audio.wav"), "rb").read())
        presents = 202 + 30
        at60 = runs[60][0]
        check(len(at60) == presents, f"{len(at60)} frames at 60 fps for {presents} presents")
        check(len(set(at60)) > 40, "the frames do not change")
        check(runs[30][0] == at60[::2], "a frame at 30 fps is not every second frame at 60")
        check(runs[120][0] == [p for p in at60 for _ in (0, 1)], "a frame at 120 fps is not each frame at 60 twice")
        for fps in (30, 120):
            check(runs[fps][1] == runs[60][1], f"the show's trace differs at --fps {fps}")
            check(runs[fps][2] == runs[60][2], f"the sound differs at --fps {fps}")


def case_output_checked_first():
    """A video that cannot be written fails before the first frame, and leaves nothing behind."""
    with tempfile.TemporaryDirectory() as tmp:
        folder, env = private_tmp(tmp)
        video = os.path.join(tmp, "show.mp4")
        for why, path, extra, said in (
                ("ffmpeg off the PATH", video, {"PATH": folder}, "ffmpeg"),
                ("no such directory", os.path.join(tmp, "none", "show.mp4"), {}, "No such file or directory")):
            r = capture("--size", "64x48", "--out", path, timeout=60, env=dict(env, **extra))
            check(r.returncode == 1, f"{why}: exit {r.returncode}: {r.stderr}")
            lines = r.stderr.splitlines()
            check(len(lines) == 1 and path in lines[0] and said in lines[0], f"{why}: said {r.stderr!r}")
            check(os.listdir(folder) == [], f"{why}: left {os.listdir(folder)}")
        check(not os.path.exists(video), "a video was started")


def case_missing_module():
    """Without its song there is no show: start-up fails, even with no --frames to stop it."""
    with tempfile.TemporaryDirectory() as tmp:
        data = os.path.join(tmp, "data")
        os.mkdir(data)
        for name in os.listdir(os.path.join(BIN, "data")):
            if name != "demotune.xm":
                os.symlink(os.path.abspath(os.path.join(BIN, "data", name)), os.path.join(data, name))
        r = capture("--data", data, "--size", "64x48", timeout=120)
        check(r.returncode == 1, f"exit {r.returncode}: {r.stderr}")
        check("kaveld: cannot load the music module data/demotune.xm" in r.stderr.splitlines(), r.stderr)
        check("could not start" in r.stderr, r.stderr)


def wait_for_trace(p, trace):
    """Waits until the running capture has written some of its trace: the show is on."""
    deadline = time.time() + 240
    while not (os.path.exists(trace) and os.path.getsize(trace) > 0) and time.time() < deadline:
        check(p.poll() is None, f"the capture ended by itself: {p.returncode}")
        time.sleep(0.1)


def case_signal_stops_capture():
    """SIGTERM, or SIGHUP (the terminal closed), mid-show: the run stops at
    that frame, drops the unfinished video, leaves no temporary folder, and
    exits 128 + the signal's number. Of signals landing together the first
    decides (SIGTERM with a Ctrl-C: 130). (That a signal ignored from the
    start stays ignored, the contract suite checks on every backend.)"""
    for number in (signal.SIGTERM, signal.SIGHUP):
        with tempfile.TemporaryDirectory() as tmp:
            folder, env = private_tmp(tmp)
            video, trace = os.path.join(tmp, "show.mp4"), os.path.join(tmp, "trace.jsonl")
            p = subprocess.Popen([CAPTURE, "--size", "64x48", "--out", video, "--trace", trace], cwd=BIN, env=env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
            try:
                wait_for_trace(p, trace)
                check(len(os.listdir(folder)) == 2, f"temporary folders while running: {os.listdir(folder)}")
                p.send_signal(number)
                _, err = p.communicate(timeout=60)
            finally:
                if p.poll() is None:
                    p.kill()
            check(p.returncode == 128 + number, f"signal {number}: exit {p.returncode}: {err}")
            check(not os.path.exists(video), "an unfinished video was left")
            check(os.listdir(folder) == [], f"signal {number} left {os.listdir(folder)}")
            rows = read_trace(trace)
            check(rows and [row["frame"] for row in rows] == list(range(len(rows))), "the trace was not closed whole")
    for prefix, numbers, wanted in (((), (signal.SIGINT, signal.SIGTERM), signal.SIGINT),):
        with tempfile.TemporaryDirectory() as tmp:
            folder, env = private_tmp(tmp)
            trace = os.path.join(tmp, "trace.jsonl")
            p = subprocess.Popen([*prefix, CAPTURE, "--size", "64x48", "--trace", trace], cwd=BIN, env=env,
                                 stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
            try:
                wait_for_trace(p, trace)
                send_together(p, *numbers)
                _, err = p.communicate(timeout=60)
            finally:
                if p.poll() is None:
                    p.kill()
            check(p.returncode == 128 + wanted, f"{' '.join(prefix)} signals {numbers}: exit {p.returncode}: {err}")
            check(f"stopped by signal {wanted} " in err, err)
            check(os.listdir(folder) == [], f"signals {numbers} left {os.listdir(folder)}")


# A stand-in for ffmpeg: as the encoder it reads its input to the end and
# writes its output; as the mux it writes part of its output, says so, and
# waits (at most a minute) for a signal, on which it ends as ffmpeg does.
FFMPEG_STAND_IN = """#!/bin/sh
for out; do :; done
case " $* " in
  *" -i - "*) cat > /dev/null; : > "$out"; exit 0 ;;
esac
trap 'exit 255' INT TERM HUP
printf partial > "$out"
: > "$MUX_STARTED"
i=0
while [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done
exit 1
"""


def case_signal_during_mux():
    """Ctrl-C at the terminal (SIGINT to the whole process group) while the
    video is muxed: the encoder stops, nothing is left at --out or beside it,
    no temporary folder stays, and the tool exits 130."""
    with tempfile.TemporaryDirectory() as tmp:
        folder, env = private_tmp(tmp)
        programs, out = os.path.join(tmp, "bin"), os.path.join(tmp, "out")
        os.makedirs(programs)
        os.makedirs(out)
        with open(os.path.join(programs, "ffmpeg"), "w") as f:
            f.write(FFMPEG_STAND_IN)
        os.chmod(os.path.join(programs, "ffmpeg"), 0o755)
        started = os.path.join(tmp, "mux-started")
        env = dict(env, PATH=programs + os.pathsep + env["PATH"], MUX_STARTED=started)
        p = subprocess.Popen([CAPTURE, "--size", "64x48", "--frames", "2", "--out", os.path.join(out, "show.mp4")],
                             cwd=BIN, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                             start_new_session=True)
        try:
            deadline = time.time() + 240
            while not os.path.exists(started) and time.time() < deadline:
                check(p.poll() is None, f"the capture ended before its mux: {p.returncode}")
                time.sleep(0.05)
            os.killpg(p.pid, signal.SIGINT)
            _, err = p.communicate(timeout=60)
        finally:
            if p.poll() is None:
                os.killpg(p.pid, signal.SIGKILL)
        check(p.returncode == 128 + signal.SIGINT, f"exit {p.returncode}: {err}")
        check(os.listdir(out) == [], f"left at --out: {os.listdir(out)}")
        check(os.listdir(folder) == [], f"left {os.listdir(folder)}")
        try:
            os.killpg(p.pid, 0)
            fail("processes of the capture were left running")
        except ProcessLookupError:
            pass


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
