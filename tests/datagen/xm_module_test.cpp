// The generated module as libopenmpt plays it: order list, restart, each
// order's play time against the cue sheet it is composed to, levels per order.
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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
    EXPECT_EQ(u16(66), 27u);
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
