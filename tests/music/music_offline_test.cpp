// music_offline_test.cpp -- the music routines over the offline sound backend,
// playing small XM modules through libopenmpt: order timing, looping at the
// restart position, master volume and the closing fade, the version rule,
// failed output, and modules that do not load.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "driver/driver.h"
#include "music/music.h"
#include "platform/offline/offline.h"
#include "platform/platform.h"
#include "platform/platform_testing.h"
#include "platform/sound_internal.h"
#include "support/temp_dir.h"
#include "support/xm_fixture.h"

namespace {

const int kRate = 44100;

// Position in the order list of the song frame `frame` (0-based).
int expectedOrder(const XmFixture &xm, long frame) {
    long index = frame / xmOrderFrames(xm, kRate);
    long length = static_cast<long>(xm.orders.size());
    if (index < length) return static_cast<int>(index);
    return static_cast<int>(xm.restart + (index - length) % (length - xm.restart));
}

std::vector<float> render(size_t frames) {
    std::vector<float> out(frames * 2);
    Snd_RenderOffline(out.data(), frames);
    return out;
}

double energy(const std::vector<float> &samples, size_t from = 0) {
    double sum = 0;
    for (size_t i = from; i < samples.size(); i++) sum += double(samples[i]) * samples[i];
    return sum;
}

// Gain of `out` against `ref` over the interleaved samples [from, to).
double gainAgainst(const std::vector<float> &out, const std::vector<float> &ref, size_t from, size_t to) {
    double cross = 0, self = 0;
    for (size_t i = from; i < to; i++) {
        cross += double(out[i]) * ref[i];
        self += double(ref[i]) * ref[i];
    }
    return cross / self;
}

std::string fixturePath(const XmFixture &xm, const char *name) { return writeTempFile(name, buildXm(xm)); }

}  // namespace

TEST(MusicOffline, OrderFollowsRenderedPositionAndLoopsAtRestart) {
    struct Case {
        int speed, bpm, rows;
        std::vector<uint8_t> orders;
        int restart;
        size_t chunk;
    };
    const Case cases[] = {
        {6, 125, 1, {0, 1, 2, 3}, 0, 735},         // one frame of 60 fps per chunk
        {6, 125, 2, {0, 1, 2, 3}, 1, 1},           // frame by frame across boundaries
        {3, 150, 1, {3, 2, 1, 0, 2}, 3, 1000},     // orders name patterns out of sequence
        {2, 125, 4, {0, 0, 1, 1, 2, 3}, 5, 4410},  // restart at the last order
    };
    for (const Case &c : cases) {
        XmFixture xm;
        xm.speed = c.speed;
        xm.bpm = c.bpm;
        xm.rowsPerPattern = c.rows;
        xm.orders = c.orders;
        xm.restart = c.restart;
        long orderFrames = xmOrderFrames(xm, kRate);
        long total = orderFrames * static_cast<long>(c.orders.size()) * 3;
        if (c.chunk == 1) total = orderFrames * 7;
        SCOPED_TRACE(testing::Message() << "speed " << c.speed << " bpm " << c.bpm << " chunk " << c.chunk);

        startMusic(fixturePath(xm, "order.xm").c_str());
        ASSERT_NE(songHandle, nullptr);
        pollMusicPosition();
        EXPECT_EQ(musicOrder, 0);
        std::vector<float> out(c.chunk * 2);
        int mismatches = 0;
        for (long position = 0; position < total && mismatches < 5;) {
            ASSERT_EQ(Snd_RenderOffline(out.data(), c.chunk), c.chunk);
            position += static_cast<long>(c.chunk);
            pollMusicPosition();
            if (musicOrder != expectedOrder(xm, position - 1)) {
                ADD_FAILURE() << "after " << position << " frames order " << musicOrder << ", expected "
                              << expectedOrder(xm, position - 1);
                mismatches++;
            }
        }
        stopMusic();
    }
    EXPECT_EQ(quitRequests, 0);
}

TEST(MusicOffline, OrderLogPlacesEveryBoundaryWithinOneGrain) {
    XmFixture xm;
    xm.speed = 3;
    xm.bpm = 150;
    xm.restart = 2;
    startMusic(fixturePath(xm, "log.xm").c_str());
    long orderFrames = xmOrderFrames(xm, kRate);
    long total = orderFrames * 9;
    render(static_cast<size_t>(total));
    for (long frame = 0; frame < total; frame += 7) {
        int logged = songOrderAt(songHandle, static_cast<uint64_t>(frame));
        long late = frame % orderFrames;                     // frames into its order
        if (late >= orderFrames - kSndOrderGrain) continue;  // may already show the next order
        EXPECT_EQ(logged, expectedOrder(xm, frame)) << "frame " << frame;
    }
    // Frames not rendered yet report the newest order.
    EXPECT_EQ(songOrderAt(songHandle, static_cast<uint64_t>(total) * 2), expectedOrder(xm, total - 1));
    stopMusic();
}

// An output that cannot tell what it plays (a device removed) keeps the
// order last heard: neither back to the song's start nor on to what was
// only rendered. One whose clock goes back (a device that rewinds it, a
// position read across a buffer's wrap) keeps it too, until its clock has
// passed the furthest frame heard.
TEST(MusicOffline, OrderHeldWhileTheOutputCannotTellOrGoesBack) {
    XmFixture xm;
    startMusic(fixturePath(xm, "held.xm").c_str());
    long orderFrames = xmOrderFrames(xm, kRate);
    render(static_cast<size_t>(orderFrames * 3 / 2));
    EXPECT_EQ(Snd_GetOrder(songHandle), 1);
    render(static_cast<size_t>(orderFrames));
    Sys_InjectFailure("SndPosition", 2);
    EXPECT_EQ(Snd_GetOrder(songHandle), 1);
    EXPECT_EQ(Snd_GetOrder(songHandle), 1);
    EXPECT_EQ(Snd_GetOrder(songHandle), 2);  // told again, at 2.5 orders
    Snd_SetOutputClockBack(static_cast<uint64_t>(orderFrames));
    EXPECT_EQ(Snd_GetOrder(songHandle), 2);  // told 1.5 orders
    Snd_SetOutputClockBack(static_cast<uint64_t>(orderFrames) * 9);
    EXPECT_EQ(Snd_GetOrder(songHandle), 2);  // told the song's start
    Snd_SetOutputClockBack(static_cast<uint64_t>(orderFrames / 2));
    render(static_cast<size_t>(orderFrames / 4));
    pollMusicPosition();
    EXPECT_EQ(musicOrder, 2);  // the driver sees the same: told 2.25 orders
    render(static_cast<size_t>(orderFrames));
    pollMusicPosition();
    EXPECT_EQ(musicOrder, 3);  // told 3.25 orders: past the furthest heard, on again
    Snd_SetOutputClockBack(0);
    EXPECT_EQ(Snd_GetOrder(songHandle), 3);
    stopMusic();
}

TEST(MusicOffline, MasterVolumeScalesRenderedEnergy) {
    std::string path = fixturePath(XmFixture(), "volume.xm");
    const size_t frames = 8192;
    startMusic(path.c_str());
    double unity = energy(render(frames));
    ASSERT_GT(unity, 1.0);
    struct Case {
        int volume;
        double ratio;
    };
    const Case cases[] = {{256, 1.0}, {128, 0.25}, {64, 1.0 / 16}, {1, 1.0 / 65536}, {0, 0.0}, {300, 1.0}, {-5, 0.0}};
    for (const Case &c : cases) {
        Snd_FreeSong(songHandle);
        songHandle = Snd_LoadSong(path.c_str());
        ASSERT_TRUE(Snd_SetMasterVolume(songHandle, c.volume));
        ASSERT_TRUE(Snd_PlaySong(songHandle));
        EXPECT_NEAR(energy(render(frames)) / unity, c.ratio, 1e-5) << "volume " << c.volume;
    }
    stopMusic();
}

TEST(MusicOffline, VolumeChangeIsRampedWithoutSteps) {
    std::string path = fixturePath(XmFixture(), "ramp.xm");
    startMusic(path.c_str());
    std::vector<float> ref = render(4000);
    Snd_FreeSong(songHandle);
    songHandle = Snd_LoadSong(path.c_str());
    Snd_PlaySong(songHandle);
    std::vector<float> out = render(1000);
    Snd_SetMasterVolume(songHandle, 0);
    std::vector<float> rest = render(3000);
    out.insert(out.end(), rest.begin(), rest.end());
    // Per-frame gain against the unity rendering: falls from 1 to 0 in small steps.
    double previous = 1.0;
    int firstSilent = -1;
    for (int frame = 1000; frame < 4000; frame++) {
        size_t i = 2 * static_cast<size_t>(frame);
        if (std::fabs(ref[i]) < 1e-3f) continue;
        double gain = out[i] / ref[i];
        EXPECT_LE(gain, previous + 1e-6) << "frame " << frame;
        EXPECT_LT(previous - gain, 1.0 / 64) << "frame " << frame;
        previous = gain;
        if (gain < 1e-6 && firstSilent < 0) firstSilent = frame;
    }
    EXPECT_GT(firstSilent, 1000 + 128);
    EXPECT_LT(firstSilent, 1000 + 1024);
    EXPECT_EQ(energy(out, 2 * 2000), 0.0);
    stopMusic();
}

TEST(MusicOffline, FadeOutHandsEveryVolumeFrom256DownToZero) {
    std::string path = fixturePath(XmFixture(), "fade.xm");
    const size_t chunk = 320;  // longer than a volume ramp
    const int calls = 260;
    startMusic(path.c_str());
    std::vector<float> ref = render(chunk * calls);
    Snd_FreeSong(songHandle);
    songHandle = Snd_LoadSong(path.c_str());
    Snd_PlaySong(songHandle);
    for (int call = 1; call <= calls; call++) {
        stepMusicFadeOut();
        EXPECT_EQ(masterVolume, call <= 256 ? 256 - call : 0) << "call " << call;
        std::vector<float> out = render(chunk);
        // Compare the chunk's settled tail with the unity rendering.
        std::vector<float> refChunk(ref.begin() + (call - 1) * chunk * 2, ref.begin() + call * chunk * 2);
        double handed = call <= 257 ? (257 - call) / 256.0 : 0.0;
        double gain = gainAgainst(out, refChunk, 2 * (chunk - 48), 2 * chunk);
        ASSERT_NEAR(gain, handed, 1e-4) << "call " << call;
    }
    stopMusic();
}

TEST(MusicOffline, VersionRuleAtThreePointThree) {
    std::string path = fixturePath(XmFixture(), "version.xm");
    struct Case {
        float version;
        int counted;
    };
    const Case cases[] = {{3.3f, 0}, {3.29f, 1}, {3.2999f, 1}, {3.31f, 0}, {1.0f, 1}, {0.0f, 0}};
    for (const Case &c : cases) {
        Snd_OverrideVersion(c.version);
        int before = quitRequests;
        startMusic(path.c_str());
        EXPECT_EQ(quitRequests - before, c.counted) << "version " << c.version;
        EXPECT_NE(songHandle, nullptr);  // the remaining steps still ran
        std::vector<float> out(64);
        EXPECT_EQ(Snd_RenderOffline(out.data(), 32), 32u);
        stopMusic();
    }
    EXPECT_GE(Snd_GetVersion(), 3.3f);  // the player's own version passes
}

TEST(MusicOffline, FailedOutputIsCountedAndNothingPlays) {
    Sys_InjectFailure("SndInit", 1);
    testing::internal::CaptureStderr();
    startMusic(fixturePath(XmFixture(), "noinit.xm").c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kaveld: cannot open the sound output\n");
    EXPECT_EQ(quitRequests, 1);
    ASSERT_NE(songHandle, nullptr);
    std::vector<float> out(2 * 512, 1.0f);
    EXPECT_EQ(Snd_RenderOffline(out.data(), 512), 0u);
    EXPECT_EQ(energy(out), 0.0);
    pollMusicPosition();
    EXPECT_EQ(musicOrder, 0);
    stopMusic();
    Snd_Close();  // a close after a close
}

TEST(MusicOffline, CancelledStartStopsHarmlessly) {
    EXPECT_EQ(musicOrder, 0);
    EXPECT_EQ(masterVolume, 256);
    EXPECT_EQ(songHandle, nullptr);
    stopMusic();  // frees a null handle, closes output never opened
    EXPECT_EQ(Snd_GetOrder(nullptr), -1);
    EXPECT_FALSE(Snd_SetMasterVolume(nullptr, 100));
    EXPECT_FALSE(Snd_PlaySong(nullptr));
    Snd_FreeSong(nullptr);
    Snd_Close();
    std::vector<float> out(2 * 64, 1.0f);
    EXPECT_EQ(Snd_RenderOffline(out.data(), 64), 0u);
    EXPECT_EQ(energy(out), 0.0);
    EXPECT_EQ(quitRequests, 0);
    Snd_OverrideOrder(true, 12);  // the seam scene tests use
    pollMusicPosition();
    EXPECT_EQ(musicOrder, 12);
    Snd_OverrideOrder(false, 0);
    pollMusicPosition();
    EXPECT_EQ(musicOrder, -1);
}

TEST(MusicOffline, ModulesThatDoNotLoadAreCountedAndNamed) {
    std::vector<uint8_t> good = buildXm(XmFixture());
    std::vector<uint8_t> garbage(4096);
    for (size_t i = 0; i < garbage.size(); i++) garbage[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    std::vector<uint8_t> badHeader = good;
    badHeader[0] = 'X';
    struct Case {
        const char *name;
        std::string path;
    };
    const Case cases[] = {
        {"missing", "/nonexistent/kaveld/demotune.xm"},
        {"directory", test::tempPath("")},
        {"empty", writeTempFile("empty.xm", {})},
        {"garbage", writeTempFile("garbage.xm", garbage)},
        {"bad signature", writeTempFile("badsig.xm", badHeader)},
        {"header only", writeTempFile("short.xm", std::vector<uint8_t>(good.begin(), good.begin() + 60))},
    };
    for (const Case &c : cases) {
        int before = quitRequests;
        testing::internal::CaptureStderr();
        startMusic(c.path.c_str());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "kaveld: cannot load the music module " + c.path + "\n");
        EXPECT_EQ(songHandle, nullptr) << c.name;
        EXPECT_EQ(quitRequests, before + 1) << c.name;
        pollMusicPosition();
        EXPECT_EQ(musicOrder, -1) << c.name;
        stepMusicFadeOut();
        std::vector<float> out(2 * 256);
        EXPECT_EQ(Snd_RenderOffline(out.data(), 256), 0u) << c.name;
        stopMusic();
    }
    EXPECT_EQ(Snd_LoadSong(nullptr), nullptr);
    // Cut anywhere, a module loads or is refused; one that loads plays on.
    for (size_t length = 17; length < good.size(); length += 23) {
        std::string path = writeTempFile("cut.xm", std::vector<uint8_t>(good.begin(), good.begin() + length));
        startMusic(path.c_str());
        std::vector<float> out(2 * 20000);
        EXPECT_EQ(Snd_RenderOffline(out.data(), 20000), songHandle ? 20000u : 0u) << "length " << length;
        stopMusic();
    }
}
