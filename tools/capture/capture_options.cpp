// capture_options.cpp -- the capture tool's command line.
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "capture.h"

namespace {

const char kUsage[] =
    "usage: kaveld-capture [--size WxH] [--fps N] [--frames N] [--seed N] [--trace FILE]\n"
    "                      [--out PATH] [--data DIR] [--select N,N,...]\n"
    "Runs the show offline, 60 of its frames to a second of music as on a 60 Hz display,\n"
    "with the sound rendered in lockstep.\n"
    "  --size WxH    picture size (default 640x480)\n"
    "  --fps N       the video's frames per second (default 60): each video frame shows the\n"
    "                show's frame nearest its time (30 keeps every second one, 120 shows each twice)\n"
    "  --frames N    stop after N frames of the show, at 60 a second (default: until it ends\n"
    "                by itself)\n"
    "  --seed N      seed for the show's random numbers in place of the clock\n"
    "  --trace FILE  one JSON line of the show's state per frame of the show\n"
    "  --out PATH    PATH.mp4 / PATH.mkv: a video with sound (ffmpeg); any other PATH:\n"
    "                a directory of frame_000000.png ... and audio.wav\n"
    "  --data DIR    where the show's data files are (default ./data, else the installed data)\n"
    "  --select LIST with a directory --out: write only these frames of the show\n";

bool parseLong(const char *text, long low, long high, long &value) {
    char *end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno || end == text || *end || v < low || v > high) return false;
    value = v;
    return true;
}

bool parseSize(const char *text, int &w, int &h) {
    const char *x = std::strchr(text, 'x');
    if (!x) return false;
    std::string a(text, x - text);
    long lw, lh;
    if (!parseLong(a.c_str(), 16, 8192, lw) || !parseLong(x + 1, 16, 8192, lh)) return false;
    w = (int)lw;
    h = (int)lh;
    return true;
}

bool parseList(const char *text, std::vector<long> &list) {
    std::string s(text);
    size_t start = 0;
    while (start <= s.size()) {
        size_t comma = s.find(',', start);
        std::string item = s.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        long v;
        if (!parseLong(item.c_str(), 0, 100000000, v)) return false;
        list.push_back(v);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return !list.empty();
}

int bad(const char *option, const char *value) {
    std::fprintf(stderr, "kaveld-capture: bad value for %s: '%s'\n%s", option, value ? value : "", kUsage);
    return 2;
}

}  // namespace

int parseCaptureOptions(int argc, char **argv, CaptureOptions &o) {
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        if (!std::strcmp(arg, "--help")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!std::strcmp(arg, "--version")) {
            std::puts("kaveld-capture 1.0");
            return 0;
        }
        const char *options[] = {"--size", "--fps", "--frames", "--seed", "--trace", "--out", "--data", "--select"};
        bool known = false;
        for (const char *name : options) known = known || !std::strcmp(arg, name);
        if (!known) {
            std::fprintf(stderr, "kaveld-capture: unknown option '%s'\n%s", arg, kUsage);
            return 2;
        }
        if (i + 1 >= argc) return bad(arg, nullptr);
        const char *value = argv[++i];
        long v = 0;
        if (!std::strcmp(arg, "--size")) {
            if (!parseSize(value, o.width, o.height)) return bad(arg, value);
        } else if (!std::strcmp(arg, "--fps")) {
            if (!parseLong(value, 1, 1000, v)) return bad(arg, value);
            o.fps = (int)v;
        } else if (!std::strcmp(arg, "--frames")) {
            if (!parseLong(value, 1, 100000000, v)) return bad(arg, value);
            o.frames = v;
        } else if (!std::strcmp(arg, "--seed")) {
            if (!parseLong(value, 0, 0x7FFFFFFFL, v)) return bad(arg, value);
            o.seeded = true;
            o.seed = v;
        } else if (!std::strcmp(arg, "--select")) {
            if (!parseList(value, o.select)) return bad(arg, value);
        } else if (!*value) {
            return bad(arg, value);
        } else if (!std::strcmp(arg, "--trace")) {
            o.trace = value;
        } else if (!std::strcmp(arg, "--out")) {
            o.out = value;
        } else {
            o.data = value;
        }
    }
    return -1;
}
