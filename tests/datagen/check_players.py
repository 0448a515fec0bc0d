"""The generated module in two independent players: openmpt123 and xmp load
it cleanly with the order count in its header; a render with one restart
pass lasts one song plus the finale as the cue sheet times them (so the
restart order is honoured) and sox measures its peak below full scale; one
pass rendered by each player lasts as long and measures the same loudness,
range and hits (libebur128), so the score plays alike in both."""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "capture"))
import show_sound  # noqa: E402

DATA = os.environ.get("KAVELD_DATA", "data")
BIN = os.environ.get("KAVELD_BIN", ".")
XM = os.path.join(DATA, "demotune.xm")
DATAGEN = os.path.join(BIN, "tools", "datagen", "kaveld-datagen")

failures = []


def check(cond, msg):
    if not cond:
        failures.append(msg)


def cue_orders():
    """(first frame, frames) of each order at 60 frames a second, as the cue sheet composes them."""
    out = subprocess.run([DATAGEN, "--cues"], capture_output=True, text=True, timeout=60).stdout
    return [(int(w[3]), int(w[5])) for w in (line.split() for line in out.splitlines()) if w and w[0] == "order"]


def run(args, timeout=60):
    p = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)
    return p.stdout.decode("utf-8", "replace")


with open(XM, "rb") as f:
    head = f.read(80)
orders, restart, channels = struct.unpack_from("<HHH", head, 64)
check(orders >= 28, "only %d orders" % orders)
check(restart == 27, "restart position %d" % restart)
check(channels >= 8, "only %d channels" % channels)

info = run(["openmpt123", "--info", XM])
check(re.search(r"Type\.+: xm", info) is not None, "openmpt123: not loaded as XM:\n" + info)
check(re.search(r"Orders\.+: %d\b" % orders, info) is not None, "openmpt123: order count differs:\n" + info)
check(re.search(r"Channels\.+: %d\b" % channels, info) is not None, "openmpt123: channel count differs")
check(not re.search(r"error|warning", info, re.I), "openmpt123 complains:\n" + info)

xmp = run(["xmp", "--load-only", "-v", XM])
check("FastTracker v2.00 XM 1.04" in xmp, "xmp: not recognised as FT2 XM:\n" + xmp)
check(re.search(r"Module length: %d patterns" % orders, xmp) is not None, "xmp: length differs:\n" + xmp)
check(re.search(r"Channels\s+: %d\b" % channels, xmp) is not None, "xmp: channel count differs")
check(not re.search(r"unrecognized|error|warning", xmp, re.I), "xmp complains:\n" + xmp)

tmp = tempfile.mkdtemp(prefix="kaveld-xm-")
try:
    copy = os.path.join(tmp, "demotune.xm")
    shutil.copy(XM, copy)
    run(["openmpt123", "--quiet", "--render", "--subsong", "0", "--repeat", "1",
         "--output-type", "wav", "--force", copy], timeout=180)
    wav = copy + ".wav"
    check(os.path.exists(wav), "openmpt123 rendered nothing")
    if os.path.exists(wav):
        length = float(run(["soxi", "-D", wav], timeout=30).strip().split("\n")[-1])
        cues = cue_orders()
        song = cues[-1][0] + cues[-1][1]
        expected = (song + song - cues[restart][0]) / 60.0
        check(abs(length - expected) < 0.5,
              "render lasts %.2f s, expected %.2f s (song plus finale from order %d)" % (length, expected, restart))
        stats = run(["sox", wav, "-n", "stats"], timeout=60)
        peak = float(re.search(r"Pk lev dB\s+(-?[\d.]+)", stats).group(1))
        rms = float(re.search(r"RMS lev dB\s+(-?[\d.]+)", stats).group(1))
        print("render: %.2f s, peak %.2f dBFS, RMS %.2f dBFS" % (length, peak, rms))
        check(peak < -1.0, "peak %.2f dBFS: too close to full scale" % peak)
        check(rms > -26.0, "RMS %.2f dBFS: far too quiet" % rms)

    # One pass in each player, 16-bit at 44.1 kHz: the same length, loudness, range and hits.
    single = os.path.join(tmp, "once.xm")
    shutil.copy(XM, single)
    once = {"openmpt123": single + ".wav", "xmp": os.path.join(tmp, "xmp.wav")}
    run(["openmpt123", "--quiet", "--render", "--subsong", "0", "--repeat", "0", "--samplerate", "44100",
         "--no-float", "--output-type", "wav", "--force", single], timeout=180)
    run(["xmp", "--quiet", "--nocmd", "-f", "44100", "-o", once["xmp"], copy], timeout=180)
    sounds = {}
    for player, path in once.items():
        check(os.path.exists(path), player + " rendered nothing")
        if os.path.exists(path):
            sounds[player] = show_sound.read_wav(path)
    if len(sounds) == 2:
        a, b = sounds["openmpt123"], sounds["xmp"]
        la, lb = len(a.samples) / a.rate, len(b.samples) / b.rate
        check(abs(la - lb) < 0.5, "openmpt123 plays %.2f s, xmp %.2f s" % (la, lb))
        end = min(la, lb)
        fa, fb = show_sound.section(a, 0, end), show_sound.section(b, 0, end)
        print("openmpt123: %.1f LUFS, range %.1f LU; xmp: %.1f LUFS, range %.1f LU" % (
            fa["integrated"], fa["lra"], fb["integrated"], fb["lra"]))
        check(abs(fa["integrated"] - fb["integrated"]) < 1.0, "the players differ in loudness")
        check(abs(fa["lra"] - fb["lra"]) < 1.0, "the players differ in loudness range")
        # Each order's start, as the cue sheet times it: the players round ticks to whole frames of sound,
        # so by the finale they run a few frames early.
        for order, (frame, _) in enumerate(cue_orders()[1:28], 1):
            ha, hb = (show_sound.hit(s, frame / 60, before=6 / 60) for s in (a, b))
            check((ha >= show_sound.HIT_DB) == (hb >= show_sound.HIT_DB),
                  "order %d: a hit of %.1f dB in openmpt123, %.1f dB in xmp" % (order, ha, hb))
finally:
    shutil.rmtree(tmp)

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
