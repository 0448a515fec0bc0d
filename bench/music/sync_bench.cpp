// sync_bench.cpp -- how closely the live order clock follows what the output
// device consumes (SDL disk driver, 100 ms buffer), against a clock that
// reports the mixing position; and what one order query costs.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "music/disk_sync.h"

namespace {

const int kChanges = 40;

void printFigure(const char *name, double value, const char *unit) {
    printf("%-34s %10.3f %s\n", name, value, unit);
    printf("bench: %s %.3f %s\n", name, value, unit);
}

double mean(const std::vector<double> &values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / values.size();
}

}  // namespace

int main() {
    SyncRun run;
    if (!measureDiskSync(kChanges, 20.0, &run)) {
        fprintf(stderr, "sync_bench: the song did not play through the disk driver\n");
        return 1;
    }
    std::vector<double> magnitudes;
    for (size_t i = 0; i < run.errorsMs.size(); i++) {
        magnitudes.push_back(std::fabs(run.errorsMs[i]));
        if (getenv("SYNC_BENCH_VERBOSE")) printf("change %zu error %.3f ms\n", i + 1, run.errorsMs[i]);
    }
    std::sort(magnitudes.begin(), magnitudes.end());
    printf("music sync over %d order changes, 100 ms output buffer, SDL disk driver\n", kChanges);
    printFigure("music_sync_error_mean_ms", mean(run.errorsMs), "ms");
    printFigure("music_sync_error_p95_abs_ms", magnitudes[magnitudes.size() * 95 / 100], "ms");
    printFigure("music_sync_error_max_abs_ms", magnitudes.back(), "ms");
    printFigure("music_mixing_clock_error_mean_ms", mean(run.mixingErrorsMs), "ms");
    printFigure("music_order_query_ns", run.queryNs, "ns");
    return 0;
}
