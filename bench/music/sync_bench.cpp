// sync_bench.cpp -- how closely the live order clock follows what the output
// device consumes (SDL disk driver, 100 ms buffer), against a clock that
// reports the mixing position; and what one order query costs. With --pulse,
// how closely it follows what a PulseAudio null sink plays (run inside
// tests/support/pulse_null_sink.sh).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include "support/disk_sync.h"
#include "support/pulse_sync.h"

namespace {

const int kChanges = 40;

void printFigure(const char *name, double value, const char *unit) {
    printf("%-34s %10.3f %s\n", name, value, unit);
    printf("bench: %s %.3f %s\n", name, value, unit);
}

double mean(const std::vector<double> &values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / values.size();
}

void printChanges(const std::vector<double> &errorsMs) {
    if (!getenv("SYNC_BENCH_VERBOSE")) return;
    for (size_t i = 0; i < errorsMs.size(); i++) printf("change %zu error %.3f ms\n", i + 1, errorsMs[i]);
}

double maxAbs(const std::vector<double> &values) {
    double most = 0;
    for (double v : values) most = std::max(most, std::fabs(v));
    return most;
}

int pulseMain() {
    PulseSyncRun run;
    bool measured = measurePulseSync(kChanges, 100, 30.0, &run);
    for (int attempt = 1; attempt < 3 && run.ranDry; attempt++) {
        run = PulseSyncRun();
        measured = measurePulseSync(kChanges, 100, 30.0, &run);
    }
    if (!measured) {
        fprintf(stderr, "sync_bench: the song did not play through PulseAudio\n");
        return 1;
    }
    printChanges(run.errorsMs);
    printf("music sync over %d order changes, 100 ms output buffer, SDL pulseaudio driver into a null sink\n",
           kChanges);
    printf("(output latency assumed %.1f ms; heard latency = assumed minus mean error)\n", run.modelLatencyMs);
    printFigure("music_sync_error_pulse_mean_ms", mean(run.errorsMs), "ms");
    printFigure("music_sync_error_pulse_max_abs_ms", maxAbs(run.errorsMs), "ms");
    printFigure("music_pulse_heard_latency_ms", run.modelLatencyMs - mean(run.errorsMs), "ms");
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc > 1 && strcmp(argv[1], "--pulse") == 0) return pulseMain();
    SyncRun run;
    if (!measureDiskSync(kChanges, 20.0, &run)) {
        fprintf(stderr, "sync_bench: the song did not play through the disk driver\n");
        return 1;
    }
    printChanges(run.errorsMs);
    std::vector<double> magnitudes;
    for (double e : run.errorsMs) magnitudes.push_back(std::fabs(e));
    std::sort(magnitudes.begin(), magnitudes.end());
    printf("music sync over %d order changes, 100 ms output buffer, SDL disk driver\n", kChanges);
    printFigure("music_sync_error_mean_ms", mean(run.errorsMs), "ms");
    printFigure("music_sync_error_p95_abs_ms", magnitudes[magnitudes.size() * 95 / 100], "ms");
    printFigure("music_sync_error_max_abs_ms", maxAbs(run.errorsMs), "ms");
    printFigure("music_mixing_clock_error_mean_ms", mean(run.mixingErrorsMs), "ms");
    printFigure("music_order_query_ns", run.queryNs, "ns");
    return 0;
}
