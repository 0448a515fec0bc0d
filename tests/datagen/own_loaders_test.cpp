// own_loaders_test.cpp -- the generated show data read back by the show's
// own readers: every image decodes without a message, every mesh loads
// within the store's bounds, and the module plays.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "assets/assets.h"
#include "cue_sheet.h"
#include "platform/offline/offline.h"
#include "support/test_support.h"

namespace {

std::string dataFile(const std::string &name) { return test::dataDir() + "/" + name; }

}  // namespace

TEST(GeneratedData, EveryImageDecodesToAPowerOfTwoTexture) {
    test::captureMessageBoxes();
    const char *names[] = {"lod", "t00", "t01", "t02", "t03", "t04", "t05", "t06", "t07",
                           "t08", "t09", "t10", "t11", "t12", "t13", "t14", "t15", "t16"};
    for (const char *name : names) {
        SCOPED_TRACE(name);
        RgbImage *image = loadBmpImage(dataFile(std::string(name) + ".bmp").c_str());
        ASSERT_NE(image, nullptr);
        EXPECT_GE(image->width, 64);
        EXPECT_EQ(image->width & (image->width - 1), 0);
        EXPECT_EQ(image->height & (image->height - 1), 0);
        long lit = 0;
        for (long i = 0; i < (long)image->width * image->height * 3; i++) lit += image->data[i] > 16;
        EXPECT_GT(lit, 0) << "a blank picture";
        std::free(image->data);
        std::free(image);
    }
    EXPECT_TRUE(test::messageBoxes().empty());
    EXPECT_EQ(quitRequests, 0);
}

TEST(GeneratedData, MeshesLoadAndTheMorphShapesMatchFaceForFace) {
    const char *names[] = {"ball01", "balm01", "balm02", "balm03"};
    for (int slot = 0; slot < 4; slot++) loadDxfMesh(dataFile(std::string(names[slot]) + ".dxf").c_str(), slot);
    EXPECT_EQ(quitRequests, 0);
    for (int slot = 0; slot < 4; slot++) {
        EXPECT_EQ(meshStore[slot].loaded, 1) << names[slot];
        EXPECT_GT(meshStore[slot].faceCount, 100) << names[slot];
        EXPECT_LE(meshStore[slot].faceCount, kMaxMeshFaces) << names[slot];
    }
    EXPECT_EQ(meshStore[1].faceCount, meshStore[2].faceCount);
    EXPECT_EQ(meshStore[2].faceCount, meshStore[3].faceCount);
}

TEST(GeneratedData, TheModuleLoadsAndPlaysFromOrderZero) {
    ASSERT_TRUE(Snd_Init(44100, 32, 0));
    SndSong *song = Snd_LoadSong(dataFile("demotune.xm").c_str());
    ASSERT_NE(song, nullptr);
    ASSERT_TRUE(Snd_PlaySong(song));
    EXPECT_EQ(Snd_GetOrder(song), 0);
    float block[2 * 4410];
    float peak = 0;
    for (int i = 0; i < 90; i++) {  // nine seconds: 540 frames of the show
        Snd_RenderOffline(block, 4410);
        for (float v : block) peak = std::max(peak, std::abs(v));
    }
    EXPECT_GT(peak, 0.05f);
    EXPECT_LT(peak, 1.0f);
    int order = 0, end = 0;  // the order the cue sheet plays at frame 540
    for (const OrderPlan &o : orderPlan())
        if ((end += o.frames()) <= 540) order++;
    EXPECT_EQ(Snd_GetOrder(song), order);
    Snd_FreeSong(song);
    Snd_Close();
}
