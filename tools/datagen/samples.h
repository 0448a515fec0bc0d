// The tune's instruments, synthesized: drums from noise and swept sines,
// pitched sounds as seamless loops of detuned harmonic voices.
#pragma once

#include <vector>

#include "xm_writer.h"

// Instrument numbers as the patterns use them (XM counts from 1).
enum Instrument : int {
    kKick = 1,
    kSnare,
    kHatClosed,
    kHatOpen,
    kCrash,
    kBass,
    kPad,
    kLead,
    kPluck,
    kGlass,
    kNoise,
    kShaker,
    kSaw,
    kBigKick,
    kClap,
    kRide,
    kTambourine,
    kInstrumentCount = kTambourine
};

std::vector<XmInstrument> makeInstruments();
