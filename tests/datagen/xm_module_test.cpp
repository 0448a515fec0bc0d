// The generated module as libopenmpt plays it: order list, restart, each
// order's play time against the cue sheet it is composed to, levels per
// order, and the arrangement's cues: a stop and a hit at every cut and every
// credit slide, each slide on an order start, a finale of new material.
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "driver/timeline.h"
#include "music/music.h"
#include "samples.h"
#include "support/test_support.h"
#include "tune.h"
#include "xm_writer.h"

namespace {

std::vector<char> readModule() {
    std::string path = test::dataDir() + "/demotune.xm";
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Level {
    double peak = 0, rms = 0;
};

// Renders each order in turn (44.1 kHz stereo) and measures it.
std::vector<Level> levelsPerOrder(openmpt::module &mod, int orders) {
    std::vector<Level> out;
    std::vector<float> left(1024), right(1024);
    for (int o = 0; o < orders; ++o) {
        mod.set_position_order_row(o, 0);
        Level l;
        double sum = 0;
        size_t n = 0;
        while (mod.get_current_order() == o) {
            size_t got = mod.read(44100, left.size(), left.data(), right.data());
            if (got == 0) break;
            for (size_t i = 0; i < got; ++i) {
                l.peak = std::max({l.peak, std::fabs(double(left[i])), std::fabs(double(right[i]))});
                sum += left[i] * left[i] + right[i] * right[i];
            }
            n += 2 * got;
        }
        l.rms = std::sqrt(sum / std::max<size_t>(n, 1));
        out.push_back(l);
    }
    return out;
}

// The notes started (note, instrument) on each row and channel of a pattern.
struct Cell {
    int note, instrument;
};
using Grid = std::vector<std::vector<Cell>>;  // [row][channel]

Grid notesOf(const openmpt::module &mod, int order) {
    const int pattern = mod.get_order_pattern(order);
    Grid g(mod.get_pattern_num_rows(pattern), std::vector<Cell>(mod.get_num_channels()));
    for (size_t r = 0; r < g.size(); ++r)
        for (int c = 0; c < mod.get_num_channels(); ++c) {
            int note = mod.get_pattern_row_channel_command(pattern, int(r), c, openmpt::module::command_note);
            int ins = mod.get_pattern_row_channel_command(pattern, int(r), c, openmpt::module::command_instrument);
            g[r][c] = {note >= 1 && note <= 120 ? note : 0, ins};
        }
    return g;
}

bool starts(const std::vector<Cell> &row, int instrument) {
    for (const Cell &c : row)
        if (c.note && c.instrument == instrument) return true;
    return false;
}

// Of the notes two orders start in their common rows, the share that the
// same channel starts on the same row with the same pitch and instrument
// (against the order that starts more of them).
double noteIdentity(const Grid &a, const Grid &b) {
    const size_t rows = std::min(a.size(), b.size());
    int na = 0, nb = 0, same = 0;
    for (size_t r = 0; r < rows; ++r)
        for (size_t c = 0; c < a[r].size(); ++c) {
            na += a[r][c].note != 0, nb += b[r][c].note != 0;
            same += a[r][c].note && a[r][c].note == b[r][c].note && a[r][c].instrument == b[r][c].instrument;
        }
    return std::max(na, nb) ? double(same) / std::max(na, nb) : 0.0;
}

// The first frame of sound (at the show's mix rate) in which each order is
// heard, rendering from the start in steps of 16 frames.
std::vector<long> orderFirstFrames(openmpt::module &mod) {
    std::vector<long> first(mod.get_num_orders(), -1);
    std::vector<float> buf(2 * 16);
    long frames = 0;
    first[0] = 0;
    for (int last = 0;;) {
        size_t got = mod.read_interleaved_stereo(kMixRate, 16, buf.data());
        if (got == 0) break;
        frames += long(got);
        int o = mod.get_current_order();
        if (o < last) break;  // looped
        if (o != last && first[o] < 0) first[o] = frames;
        last = o;
    }
    return first;
}

class DemoTune : public ::testing::Test {
protected:
    void SetUp() override {
        bytes = readModule();
        ASSERT_GT(bytes.size(), 336u) << "demotune.xm missing or truncated";
    }
    std::vector<char> bytes;
};

TEST_F(DemoTune, HeaderCarriesOrderCountAndRestart) {
    auto u16 = [&](size_t at) { return unsigned(uint8_t(bytes[at])) | unsigned(uint8_t(bytes[at + 1])) << 8; };
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 17), "Extended Module: ");
    EXPECT_EQ(u16(58), 0x0104u);
    EXPECT_EQ(u16(64), unsigned(tuneOrders()));
    EXPECT_EQ(u16(66), unsigned(kClosingOrder));
    EXPECT_GE(u16(68), 8u);
    EXPECT_GE(tuneOrders(), 28);
}

TEST_F(DemoTune, LoadsWithTheOrdersAndChannelsOfTheScore) {
    openmpt::module mod(bytes);
    XmModule score = buildTune();
    EXPECT_EQ(mod.get_num_orders(), int(score.orders.size()));
    EXPECT_EQ(mod.get_num_channels(), score.channels);
    EXPECT_EQ(mod.get_num_patterns(), int(score.patterns.size()));
    EXPECT_EQ(mod.get_num_instruments(), int(score.instruments.size()));
    for (int o = 0; o < mod.get_num_orders(); ++o) EXPECT_EQ(mod.get_order_pattern(o), score.orders[o]);
}

// Each order lasts the frames the cue sheet gives it, as libopenmpt plays
// the file; each row of the timeline gets what its events need; the music
// from the finale's first order outlasts the credits and the closing fade.
TEST_F(DemoTune, EveryOrderLastsWhatTheCueSheetGives) {
    openmpt::module mod(bytes);
    const std::vector<OrderPlan> plan = orderPlan();
    const XmModule score = buildTune();
    ASSERT_EQ(int(plan.size()), mod.get_num_orders());
    std::vector<double> frames;
    for (int o = 0; o < mod.get_num_orders(); ++o) {
        double start = mod.set_position_order_row(o, 0);
        double end = o + 1 < mod.get_num_orders() ? mod.set_position_order_row(o + 1, 0) : mod.get_duration_seconds();
        frames.push_back((end - start) * kShowFps);
        // The player rounds each tick to whole samples: within 0.2%.
        EXPECT_NEAR(frames[o], plan[o].frames(), 0.002 * plan[o].frames()) << "order " << o;
        EXPECT_EQ(plan[o].bars * kRowsPerBar, score.patterns[score.orders[o]].rows) << "order " << o;
    }
    for (const CueRow &row : cueSheet()) {
        double length = 0;
        for (int o = row.firstOrder; o < row.endOrder; ++o) length += frames[o];
        EXPECT_GE(length, row.needMin * 0.998)
            << "orders " << row.firstOrder << "-" << row.endOrder - 1 << ": " << row.why;
        EXPECT_LE(length, row.needMax * 1.002)
            << "orders " << row.firstOrder << "-" << row.endOrder - 1 << ": " << row.why;
    }
    double finale = 0;
    for (int o = kFinaleOrder; o < mod.get_num_orders(); ++o) finale += frames[o];
    EXPECT_GE(finale, effectFrames().showEnd + 100) << "the finale loops before the show ends";
    EXPECT_GE(finale / kShowFps, 80.0 * 0.998);
}

// The frame counts the sheet is built on, from the effects' rules.
TEST(CueSheet, EffectFramesFollowTheEffectsRules) {
    EffectFrames e = effectFrames();
    EXPECT_EQ(e.fadeUp, 200);
    EXPECT_EQ(e.fadeDown, 201);
    EXPECT_EQ(e.bannerSlide, 161);
    EXPECT_EQ(e.cascadeRelease, 841);
    EXPECT_EQ(e.cascade, 1090);
    EXPECT_EQ(e.cascadeOut, 167);
    EXPECT_EQ(e.showEnd, 4657);
    EXPECT_NEAR(e.twinRingsDown, 250, 1);
    EXPECT_NEAR(e.bannerDown, 334, 1);
    // The ball (radius 22) at 0.1, 0.15 a call against a 45-degree field at 4:3.
    EXPECT_NEAR(e.ballAtEdge, 303, 2);
    EXPECT_NEAR(e.ballGone, 441, 2);
    // Rows cover the orders 0.. in sequence, the finale's from its restart order.
    int next = 0;
    for (const CueRow &row : cueSheet()) {
        EXPECT_EQ(row.firstOrder, next);
        EXPECT_EQ(int(row.bars.size()), row.endOrder - row.firstOrder);
        next = row.endOrder;
    }
    EXPECT_EQ(cueSheet().back().firstOrder, kFinaleOrder);
    // The cascade (orders 7-11) runs until its last square is released.
    int cascade = 0;
    for (int o = 7; o < 12; ++o) cascade += orderPlan()[o].frames();
    EXPECT_GE(cascade, e.cascadeRelease);
}

TEST_F(DemoTune, FinaleLoopsBackToTheRestartOrder) {
    openmpt::module mod(bytes);
    mod.set_repeat_count(-1);
    const int last = mod.get_num_orders() - 1;
    mod.set_position_order_row(last, 0);
    std::vector<float> buf(2048);
    std::vector<int> seen;
    for (int block = 0; block < 400; ++block) {  // about 18 s at 22.05 kHz
        if (mod.read(22050, buf.size(), buf.data()) == 0) break;
        int o = mod.get_current_order();
        if (seen.empty() || seen.back() != o) seen.push_back(o);
    }
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0], last);
    EXPECT_EQ(seen[1], kFinaleOrder);
}

// Every scene change and every credit slide's entry lands on an order's
// first row with kick, crash and bass together, after a stop: no note starts
// in the quarter second before it.
TEST_F(DemoTune, EveryCutAndSlideLandsAHitAfterAStop) {
    openmpt::module mod(bytes);
    std::vector<int> cues(kTimelineRowStarts + 1, kTimelineRowStarts + kTimelineRows);
    for (int k = 0; k < 8; ++k) cues.push_back(kClosingOrder + k);
    for (int order : cues) {
        const Grid g = notesOf(mod, order), before = notesOf(mod, order - 1);
        EXPECT_TRUE(starts(g[0], kKick) && starts(g[0], kCrash) && starts(g[0], kBass))
            << "order " << order << " starts without a hit";
        const double rowSeconds =
            (mod.set_position_order_row(order, 0) - mod.set_position_order_row(order - 1, 0)) / before.size();
        const size_t quiet = size_t(std::ceil(0.25 / rowSeconds));
        for (size_t r = before.size() - quiet; r < before.size(); ++r)
            for (size_t c = 0; c < before[r].size(); ++c)
                EXPECT_EQ(before[r][c].note, 0)
                    << "a note starts in the stop before order " << order << ", row " << r << ", channel " << c;
    }
}

// The credits' slides enter every kCreditSlideFrames frames from the closing
// row's first frame; each enters on a finale order's start, within a frame,
// as the player really times the orders (whole frames of sound a tick).
TEST_F(DemoTune, EverySlideEntersOnAnOrderStart) {
    openmpt::module mod(bytes);
    const std::vector<long> first = orderFirstFrames(mod);
    for (int k = 1; k < 8; ++k) {
        const double frames = double(first[kClosingOrder + k] - first[kClosingOrder]) * kShowFps / kMixRate;
        EXPECT_NEAR(frames, k * kCreditSlideFrames, 1.0) << "slide " << k;
    }
}

// The finale is new material: each of its orders shares at most half its
// notes with any order before it.
TEST_F(DemoTune, TheFinaleIsNewMaterial) {
    openmpt::module mod(bytes);
    std::vector<Grid> grids;
    for (int o = 0; o < mod.get_num_orders(); ++o) grids.push_back(notesOf(mod, o));
    for (int o = kClosingOrder; o < mod.get_num_orders(); ++o)
        for (int e = 0; e < o; ++e)
            EXPECT_LE(noteIdentity(grids[o], grids[e]), 0.5) << "order " << o << " repeats order " << e;
}

TEST_F(DemoTune, NoOrderIsSilentAndNoneClips) {
    openmpt::module mod(bytes);
    std::vector<Level> levels = levelsPerOrder(mod, mod.get_num_orders());
    double intro = 0, drive = 0;
    for (size_t o = 0; o < levels.size(); ++o) {
        EXPECT_GT(levels[o].rms, 0.01) << "order " << o << " is (nearly) silent";
        EXPECT_LT(levels[o].peak, 0.89) << "order " << o << " peaks within 1 dB of full scale";
        if (o < 2) intro = std::max(intro, levels[o].rms);
        if (o >= 7 && o < 12) drive += levels[o].rms / 5;
    }
    EXPECT_LT(intro, 0.6 * drive) << "the intro should be clearly quieter than the drive";
}

}  // namespace
