// pulse_sync.h -- measures how closely the live order clock follows what a
// real sound server plays: SDL's pulseaudio driver into a PulseAudio null
// sink whose monitor is recorded with parec (shared by the live test and the
// sync benchmark). Needs a server reachable through the environment, as
// tests/support/pulse_null_sink.sh provides.
#pragma once

#include <vector>

struct PulseSyncRun {
    std::vector<double> errorsMs;  // per order change: report time minus the time its first sound was played
    double modelLatencyMs = 0;     // the output latency the clock assumed
    bool ranDry = false;           // the output ran dry meanwhile: notes not an order apart, worth another try
};

// Records the null sink's monitor, opens the live sound output on SDL's
// pulseaudio driver with a buffer of bufferMs, plays a module whose orders
// each start with a note after silence, and records `changes` order changes.
// False (with the reason on stderr) when the recorder or the output does not
// start, or on timeout.
bool measurePulseSync(int changes, int bufferMs, double timeoutSeconds, PulseSyncRun *run);
