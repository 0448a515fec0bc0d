// xm_fixture.h -- small FastTracker 2 modules built in memory for the music
// tests and benchmark: one looped sample, a note at the top of every pattern
// (optionally cut by a key-off further down),
// known speed and BPM, so every order starts at a known sample position.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct XmFixture {
    int speed = 6;  // ticks per row
    int bpm = 125;  // 125 BPM: one tick is 882 frames at 44100 Hz
    int rowsPerPattern = 1;
    int patterns = 4;
    std::vector<uint8_t> orders = {0, 1, 2, 3};
    int restart = 0;     // order the song loops back to
    int keyOffRow = -1;  // row whose key-off silences the note, so each order starts audibly; -1 none
};

// Frames one order lasts at the given rate (exact when rate * 2.5 / bpm is whole).
long xmOrderFrames(const XmFixture &xm, int rate);
std::vector<uint8_t> buildXm(const XmFixture &xm);
// Writes bytes to a file in the process's temporary folder (temp_dir.h, removed
// at exit); returns its path.
std::string writeTempFile(const std::string &name, const std::vector<uint8_t> &bytes);
