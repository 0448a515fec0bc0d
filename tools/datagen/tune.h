// "demotune": the show's music, composed in code as an XM module.
#pragma once

#include "xm_writer.h"

constexpr int kTuneOrders = 38;    // entries in the order list
constexpr int kFinaleOrder = 27;   // the restart position: the finale loops
constexpr int kTuneSpeed = 6;      // ticks per row
constexpr int kTuneBpm = 125;      // 0.12 s per row, 7.68 s per 64-row order

XmModule buildTune();
