// disk_sync.h -- measures how closely the live order clock follows what the
// output device consumes, under SDL's disk audio driver (shared by the live
// tests and the sync benchmark).
#pragma once

#include <vector>

struct SyncRun {
    std::vector<double> errorsMs;        // per order change: consumed frame minus boundary, in ms
    std::vector<double> mixingErrorsMs;  // the same for a clock reporting the mixing position
    double queryNs = 0;                  // mean cost of one order query
};

// Opens the live sound output on the disk driver (100 ms buffer), plays a
// module with an order every 120 ms and records `changes` order changes.
// False when output or the module does not start, or on timeout.
bool measureDiskSync(int changes, double timeoutSeconds, SyncRun *run);
