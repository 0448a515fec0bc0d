// capture.h -- the capture tool's pieces: its options, where frames and
// sound go (PNG files and a WAV, or an ffmpeg-encoded video), and the
// per-frame JSON trace of the show's state.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct CaptureOptions {
    int width = 640, height = 480;
    int fps = 60;      // the video's rate; the show always runs 60 frames to a second of music
    long frames = -1;  // -1: the whole show
    bool seeded = false;
    int64_t seed = 0;
    std::string trace, out;
    std::string data;          // empty: ./data, else the data beside the program or its installed share/kaveld
    std::vector<long> select;  // with a directory --out: only these frame-loop frames
};

// Parses argv. Returns -1 to go on, else an exit status (0 after --help or
// --version, 2 for bad options, with the reason on stderr).
int parseCaptureOptions(int argc, char **argv, CaptureOptions &options);

// Frames and sound of one run.
struct CaptureSink {
    enum Kind { kNone, kDirectory, kVideo } kind = kNone;
    std::string out, tempDir;
    int width = 0, height = 0, fps = 60;
    FILE *video = nullptr;  // the encoder's standard input
    pid_t encoder = -1;
    FILE *audio = nullptr;  // raw float samples until finish
    long audioFrames = 0;
    std::vector<unsigned char> pixels, row;
};

// Checks, before any frame, that the output can be written (a video needs
// ffmpeg on the PATH and a writable file), saying on stderr what cannot.
bool openSink(CaptureSink &sink, const CaptureOptions &options);
// Writes the current GL back buffer: a video frame, or the PNG `name` in the
// output directory.
bool writeFrame(CaptureSink &sink, const char *name);
void writeAudio(CaptureSink &sink, const float *samples, size_t frames);
// Ends the output: a video is encoded to its end and muxed with the sound
// into a file beside its path, renamed to the path once whole. A signal that
// ends the capture meanwhile stops the encoder and leaves nothing at the path.
bool finishSink(CaptureSink &sink);
// A run stopped early: a video is dropped (the encoder stopped, nothing
// written at its path), frames and a valid WAV of the sound so far stay in a
// directory.
void abandonSink(CaptureSink &sink);
// A new folder under $TMPDIR (else /tmp), removed with everything in it
// however the program ends; "" when it cannot be made.
std::string makeTemporaryFolder(const char *prefix);
void removeTemporaryFolder(const std::string &dir);

// Starts a program from the PATH with these arguments (no shell); with
// input, *input is a pipe to its standard input. -1 when it cannot start.
pid_t startProgram(const std::vector<std::string> &args, FILE **input);
// Waits for it to end; true when it exited with 0. A signal that ends the
// capture (Sys_EndSignal) stops it: SIGTERM, and SIGKILL a few seconds later.
bool waitProgram(pid_t pid);

// One JSON object per frame-loop frame.
void writeTraceLine(FILE *trace, long frame);
