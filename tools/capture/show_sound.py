"""show_sound.py -- the show's sound measured as a viewer hears it: EBU R128
loudness (integrated, range, short-term, over any window) and true peak from
libebur128, the hit at a moment (how much louder its first 50 ms are than the
250 ms before it) and the share of the energy above 2 kHz. Audio is a 16-bit
stereo WAV as kaveld-capture writes it."""
import ctypes
import ctypes.util
import struct

import numpy as np

MODE_M, MODE_S, MODE_I = 1, 2 | 1, 4 | 1
MODE_LRA = 8 | MODE_S
MODE_TRUE_PEAK = 32 | 1 | 16
HIT_AFTER, HIT_BEFORE = 0.050, 0.250   # a hit: its first 50 ms against the 250 ms before
HIT_DB = 6.0
SILENCE = -70.0                        # the meter's absolute gate

_lib = None


def _ebur128():
    global _lib
    if _lib is None:
        name = ctypes.util.find_library("ebur128") or "libebur128.so.1"
        lib = ctypes.CDLL(name)
        lib.ebur128_init.restype = ctypes.c_void_p
        lib.ebur128_init.argtypes = [ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        lib.ebur128_destroy.argtypes = [ctypes.POINTER(ctypes.c_void_p)]
        lib.ebur128_add_frames_short.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_size_t]
        for f in ("ebur128_loudness_global", "ebur128_loudness_shortterm", "ebur128_loudness_range"):
            getattr(lib, f).argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_double)]
        lib.ebur128_loudness_window.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_double)]
        lib.ebur128_true_peak.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.POINTER(ctypes.c_double)]
        lib.ebur128_set_max_window.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        _lib = lib
    return _lib


class Sound:
    """A 16-bit stereo recording: samples[frame, channel]."""

    def __init__(self, samples, rate):
        self.samples = np.ascontiguousarray(samples, dtype=np.int16)
        self.rate = rate

    def at(self, seconds):
        return int(round(seconds * self.rate))


def read_wav(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError(path + ": not a WAV file")
    at, rate, channels, body = 12, 0, 0, None
    while at + 8 <= len(data):
        tag, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        if tag == b"fmt ":
            fmt, channels, rate = struct.unpack_from("<HHI", data, at + 8)
            bits = struct.unpack_from("<H", data, at + 22)[0]
            if fmt != 1 or bits != 16 or channels != 2:
                raise ValueError(path + ": not 16-bit stereo PCM")
        elif tag == b"data":
            body = data[at + 8:at + 8 + size]
        at += 8 + size + (size & 1)
    if body is None or not rate:
        raise ValueError(path + ": no sound")
    return Sound(np.frombuffer(body[:len(body) // 4 * 4], dtype="<i2").reshape(-1, 2), rate)


class Meter:
    """One libebur128 state, fed in order."""

    def __init__(self, rate, mode, max_window_ms=0):
        self.lib = _ebur128()
        self.state = ctypes.c_void_p(self.lib.ebur128_init(2, rate, mode))
        if not self.state:
            raise RuntimeError("libebur128 could not start a meter")
        if max_window_ms:
            self.lib.ebur128_set_max_window(self.state, max_window_ms)

    def __del__(self):
        if getattr(self, "state", None):
            self.lib.ebur128_destroy(ctypes.byref(self.state))

    def feed(self, block):
        block = np.ascontiguousarray(block, dtype=np.int16)
        if len(block):
            self.lib.ebur128_add_frames_short(self.state, block.ctypes.data, len(block))

    def _ask(self, fn, *args):
        out = ctypes.c_double()
        if fn(self.state, *args, ctypes.byref(out)) != 0:
            raise RuntimeError("libebur128 refused a measure")
        return max(out.value, SILENCE - 30) if out.value == out.value else SILENCE - 30

    def integrated(self):
        return self._ask(self.lib.ebur128_loudness_global)

    def shortterm(self):
        return self._ask(self.lib.ebur128_loudness_shortterm)

    def loudness_range(self):
        return self._ask(self.lib.ebur128_loudness_range)

    def window(self, ms):
        return self._ask(self.lib.ebur128_loudness_window, ms)

    def true_peak_db(self):
        peak = max(self._ask(self.lib.ebur128_true_peak, c) for c in (0, 1))
        return 20 * np.log10(max(peak, 1e-9))


def section(sound, start, end):
    """Integrated loudness, loudness range and true peak of [start, end) seconds."""
    m = Meter(sound.rate, MODE_I | MODE_LRA | MODE_TRUE_PEAK)
    m.feed(sound.samples[sound.at(start):sound.at(end)])
    return {"integrated": m.integrated(), "lra": m.loudness_range(), "true_peak": m.true_peak_db()}


def shortterm_curve(sound, start, end, step=0.1):
    """[(t, short-term loudness of the 3 s ending at t)] every `step` seconds of [start, end)."""
    m = Meter(sound.rate, MODE_S)
    out, at, n = [], sound.at(start), sound.at(step)
    stop = sound.at(end)
    while at + n <= stop:
        m.feed(sound.samples[at:at + n])
        at += n
        out.append((at / sound.rate, m.shortterm()))
    return out


def window_loudness(sound, start, end):
    """The loudness of [start, end) seconds (ungated), the meter warmed up on the second before."""
    ms = max(1, int(round((end - start) * 1000)))
    m = Meter(sound.rate, MODE_M, max_window_ms=max(ms, 400))
    m.feed(sound.samples[max(0, sound.at(start - 1.0)):sound.at(start)])
    m.feed(sound.samples[sound.at(start):sound.at(start) + sound.at(ms / 1000.0)])
    return m.window(ms)


def hit(sound, moment, before=1 / 60, after=3 / 60, step=0.002):
    """The largest jump (dB) within [moment - before, moment + after]: the loudness of the
    50 ms from a time against the 250 ms before it."""
    m = Meter(sound.rate, MODE_M, max_window_ms=400)
    t0 = moment - before
    first = max(0, sound.at(t0 - HIT_BEFORE - 0.25))
    m.feed(sound.samples[first:sound.at(t0)])
    n = sound.at(step)
    at = sound.at(t0)
    steps = int(round((before + after) / step)) + 1
    behind, ahead = [], []
    lag = int(round(HIT_AFTER / step))
    for k in range(steps + lag):
        if k:
            m.feed(sound.samples[at:at + n])
            at += n
        if k < steps:
            behind.append(m.window(int(HIT_BEFORE * 1000)))
        if k >= lag:
            ahead.append(m.window(int(HIT_AFTER * 1000)))
    return max(a - max(b, SILENCE) for a, b in zip(ahead, behind))


def high_share(sound, start, end, cutoff=2000.0):
    """The share of the energy of [start, end) seconds above `cutoff` Hz (both channels, 1 s Hann blocks)."""
    x = sound.samples[sound.at(start):sound.at(end)].astype(np.float64)
    n = sound.rate
    window = np.hanning(n)
    freqs = np.fft.rfftfreq(n, 1.0 / sound.rate)
    high = total = 0.0
    for at in range(0, len(x) - n + 1, n // 2):
        for c in range(2):
            power = np.abs(np.fft.rfft(x[at:at + n, c] * window)) ** 2
            total += power.sum()
            high += power[freqs >= cutoff].sum()
    return high / total if total else 0.0
