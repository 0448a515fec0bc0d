// billboards_test.cpp -- the cascade's release schedule, each square's fade
// and growth, and which squares are drawn, on real Mesa GL.
#include <gtest/gtest.h>

#include "effects/effects.h"
#include "support/gl_scene.h"

namespace {

constexpr int kW = 64, kH = 48;

// The view centred on square 0 at (50, -30), one unit per pixel.
void openBillboardView() {
    ASSERT_TRUE(test::openGlDisplay(kW, kH));
    test::setOrtho(50 - kW / 2, 50 + kW / 2, -30 - kH / 2, -30 + kH / 2);
    test::makeWhiteTextures();
}

int processedSquares() {
    int n = 0;
    for (const Billboard &b : billboards) n += b.blue != 1.0f;
    return n;
}

}  // namespace

TEST(LayoutBillboards, RowFrom50DownBy45Tenths) {
    billboards[3].scale = 2.0f;
    layoutBillboards();
    for (int i = 0; i < kBillboards; i++) {
        const Billboard &b = billboards[i];
        EXPECT_EQ(b.x, 50.0f - 4.5f * i) << i;
        EXPECT_EQ(b.y, -30.0f);
        EXPECT_EQ(b.size, 9.0f);
        EXPECT_EQ(b.red, 1.0f);
        EXPECT_EQ(b.green, 1.0f);
        EXPECT_EQ(b.blue, 1.0f);
    }
    EXPECT_EQ(billboards[24].x, -58.0f);
    EXPECT_EQ(billboards[3].scale, 2.0f);
    EXPECT_EQ(billboardFrame, 0);
    EXPECT_EQ(billboardLast, 0);
}

struct ScheduleCase {
    const char *name;
    int calls;
    int last, frame, processed;
};
void PrintTo(const ScheduleCase &c, std::ostream *os) { *os << c.name; }
class CascadeSchedule : public testing::TestWithParam<ScheduleCase> {};

TEST_P(CascadeSchedule, ReleasesASquareEvery35Calls) {
    const ScheduleCase &c = GetParam();
    openBillboardView();
    layoutBillboards();
    for (int i = 0; i < c.calls; i++) drawBillboardCascade();
    EXPECT_EQ(billboardLast, c.last);
    EXPECT_EQ(billboardFrame, c.frame);
    EXPECT_EQ(processedSquares(), c.processed);
}

INSTANTIATE_TEST_SUITE_P(Calls, CascadeSchedule,
                         testing::Values(ScheduleCase{"Call1", 1, 0, 1, 1}, ScheduleCase{"Call34", 34, 0, 34, 1},
                                         ScheduleCase{"Call35", 35, 1, 0, 1}, ScheduleCase{"Call36", 36, 1, 1, 2},
                                         ScheduleCase{"Call840", 840, 24, 0, 24},
                                         ScheduleCase{"Call841", 841, 24, 1, 25},
                                         ScheduleCase{"Call2000", 2000, 24, 1160 % 35, 25}),
                         [](const testing::TestParamInfo<ScheduleCase> &info) { return info.param.name; });

// Square 0 is drawn on calls 1..250 (brightness 1.0 down to 0.004, half
// size up to about 11.2); after call 250 its brightness sits just below 0.
TEST(DrawBillboardCascade, SquareFadesOver250Frames) {
    openBillboardView();
    layoutBillboards();
    for (int i = 0; i < 249; i++) drawBillboardCascade();
    EXPECT_EQ(billboards[0].blue, 0.00399867492f);
    EXPECT_NEAR(billboards[0].size * billboards[0].scale, 11.2f, 0.01f);
    drawBillboardCascade();
    EXPECT_EQ(billboards[0].blue, -1.32527202e-06f);
    EXPECT_EQ(billboards[0].red, billboards[0].blue);
    const float scale = billboards[0].scale;
    drawBillboardCascade();
    EXPECT_EQ(billboards[0].scale, scale + 0.005f);  // still growing, no longer drawn
}

struct SkipCase {
    const char *name;
    void (*routine)();
    float brightness;
    bool drawn, grows;
    float brightnessAfter;
};
void PrintTo(const SkipCase &c, std::ostream *os) { *os << c.name; }
class BillboardBelowZero : public testing::TestWithParam<SkipCase> {};

TEST_P(BillboardBelowZero, DrawnOrSkipped) {
    const SkipCase &c = GetParam();
    openBillboardView();
    layoutBillboards();
    Billboard &b = billboards[0];
    b.scale = 1.0f;
    b.red = b.green = b.blue = c.brightness;
    c.routine();
    EXPECT_EQ(test::readDepth(32, 24) < 0.999f, c.drawn);
    EXPECT_EQ(test::readPixel(32, 24).r, c.brightness > 0.5f ? 230 : 0);
    EXPECT_EQ(b.scale, c.grows ? 1.005f : 1.0f);
    EXPECT_EQ(b.blue, c.brightnessAfter);
    EXPECT_EQ(billboards[1].blue, 1.0f);  // not yet released
}

INSTANTIATE_TEST_SUITE_P(
    Routines, BillboardBelowZero,
    testing::Values(SkipCase{"CascadeDraws", drawBillboardCascade, 1.0f, true, true, 0.996f},
                    SkipCase{"CascadeSkipsBelowZero", drawBillboardCascade, -1.32527202e-06f, false, true,
                             -1.32527202e-06f - 0.004f},
                    SkipCase{"OutStillDrawsBelowZero", drawBillboardCascadeOut, -1.32527202e-06f, true, true,
                             -1.32527202e-06f - 0.006f},
                    SkipCase{"CascadeExactZeroNeitherDrawsNorGrows", drawBillboardCascade, 0.0f, false, false, -0.004f},
                    SkipCase{"OutExactZeroNeitherDrawsNorGrows", drawBillboardCascadeOut, 0.0f, false, false, -0.006f}),
    [](const testing::TestParamInfo<SkipCase> &info) { return info.param.name; });

TEST(DrawBillboardCascadeOut, ReleasesNothingAndFadesFaster) {
    openBillboardView();
    layoutBillboards();
    for (int i = 0; i < 40; i++) drawBillboardCascade();  // squares 0 and 1 out
    const float blue0 = billboards[0].blue, blue1 = billboards[1].blue;
    drawBillboardCascadeOut();
    EXPECT_EQ(billboardLast, 1);
    EXPECT_EQ(billboardFrame, 5);
    EXPECT_EQ(billboards[0].blue, blue0 - 0.006f);
    EXPECT_EQ(billboards[1].blue, blue1 - 0.006f);
    EXPECT_EQ(billboards[2].blue, 1.0f);
    EXPECT_EQ(billboards[2].scale, 0.0f);
}

TEST(DrawBillboardCascadeOut, FullBrightnessGoneAfter167Frames) {
    openBillboardView();
    layoutBillboards();
    for (int i = 0; i < 166; i++) drawBillboardCascadeOut();
    EXPECT_GT(billboards[0].blue, 0.0f);
    drawBillboardCascadeOut();
    EXPECT_LT(billboards[0].blue, 0.0f);
    EXPECT_EQ(billboards[1].blue, 1.0f);  // with billboardLast 0 only square 0 is processed
}
