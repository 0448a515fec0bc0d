// bmp_decode_test.cpp -- the .bmp decoder against Pillow for every layout it
// covers, the layout rules, the messages, and damaged files of every kind.
#include <gtest/gtest.h>

#include <cstring>

#include "assets/assets.h"
#include "assets/bmp_fixture.h"
#include "assets/dib_bytes.h"
#include "support/test_support.h"

namespace {

void captureFresh() {
    test::captureMessageBoxes();
    test::messageBoxes().clear();
}

struct Decoded {
    RgbImage *image;
    ~Decoded() {
        if (image) std::free(image->data);
        std::free(image);
    }
};

std::vector<uint8_t> imageBytes(const RgbImage *image) {
    return std::vector<uint8_t>(image->data, image->data + (size_t)image->width * image->height * 3);
}

std::string writeBmp(const std::string &name, const DibFixture &fixture) {
    std::string path = test::tempPath(name);
    test::writeFile(path, buildBmp(fixture));
    return path;
}

// ---- every layout against an independent decoder

struct LayoutCase {
    const char *name;
    std::string (*make)(const std::string &dir);  // writes the fixture, returns its path
    int tolerance;                                // per channel
    bool byConvert = false;                       // ImageMagick as the reference instead of Pillow
};

std::string viaConvert(const std::string &name, int w, int h, int colors, const std::string &options) {
    std::string ppm = test::tempPath(name + ".ppm"), bmp = test::tempPath(name + ".bmp");
    test::writeFile(ppm, patternPpm(w, h, colors));
    if (!runConvert("'" + ppm + "' " + options + "'" + bmp + "'")) return "";
    return bmp;
}

// 16-bit 5-5-5, 3 x 2, rows padded to 4 bytes.
std::string make16(const std::string &) {
    DibFixture f;
    f.width = 3, f.height = 2, f.bitCount = 16;
    const uint16_t words[2][3] = {{0x7C00, 0x03E0, 0x001F}, {0x4210, 0x7FFF, 0x1234}};
    for (auto &row : words) {
        for (uint16_t w : row) f.pixels.insert(f.pixels.end(), {(uint8_t)w, (uint8_t)(w >> 8)});
        f.pixels.insert(f.pixels.end(), {0, 0});
    }
    return writeBmp("s16.bmp", f);
}

std::vector<uint8_t> rampPalette(int entries) {
    std::vector<uint8_t> table;
    for (int i = 0; i < entries; i++)
        table.insert(table.end(), {(uint8_t)(i * 13), (uint8_t)(i * 29), (uint8_t)(i * 71), 0});
    table[0] = table[1] = table[2] = 0;  // index 0 black, like pixels an encoding skips
    return table;
}

// RLE8 with runs, an odd absolute run (padded), end of line, delta and end of bitmap.
std::string makeRle8(const std::string &) {
    DibFixture f;
    f.width = 7, f.height = 4, f.bitCount = 8, f.compression = 1, f.colorsUsed = 16;
    f.colorTable = rampPalette(16);
    f.pixels = {3, 5, 0, 3, 1, 2, 3, 0, 0, 0,  // row 0: 5 5 5 1 2 3, padding byte
                7, 9, 0, 0,                    // row 1
                2, 4, 0, 2, 3, 1, 2, 6,        // row 2: 4 4, delta to (5, 3): 6 6
                0, 1};
    f.imageSize = (uint32_t)f.pixels.size();
    return writeBmp("rle8.bmp", f);
}

// RLE4 with nibble runs, an odd absolute run, end of line and end of bitmap.
std::string makeRle4(const std::string &) {
    DibFixture f;
    f.width = 6, f.height = 3, f.bitCount = 4, f.compression = 2;
    f.colorTable = rampPalette(16);
    f.pixels = {5, 0x12, 1,    0x30, 0, 0,  // row 0: 1 2 1 2 1 3
                0, 3,    0x45, 0x60, 0, 0,  // row 1: 4 5 6 (absolute, 2 bytes, padded to 2)
                6, 0xF7, 0,    1};          // row 2
    f.imageSize = (uint32_t)f.pixels.size();
    return writeBmp("rle4.bmp", f);
}

const LayoutCase kLayouts[] = {
    {"Info24Width5", [](const std::string &) { return viaConvert("a5", 5, 3, 200, "BMP3:"); }, 0},
    {"Info24Width4", [](const std::string &) { return viaConvert("a4", 4, 4, 200, "BMP3:"); }, 0},
    {"Info24Width6", [](const std::string &) { return viaConvert("a6", 6, 2, 200, "BMP3:"); }, 0},
    {"Info24Width7", [](const std::string &) { return viaConvert("a7", 7, 3, 200, "BMP3:"); }, 0},
    {"Info32",
     [](const std::string &) { return viaConvert("t32", 5, 3, 200, "-define bmp3:alpha=true -alpha on BMP3:"); }, 0},
    {"Palette8", [](const std::string &) { return viaConvert("p8", 16, 8, 100, "-type palette BMP3:"); }, 0},
    {"Palette4", [](const std::string &) { return viaConvert("p4", 7, 5, 9, "-type palette BMP3:"); }, 0},
    {"Mono1", [](const std::string &) { return viaConvert("m1", 13, 3, 2, "-monochrome BMP3:"); }, 0},
    {"Rle8ByConvert",
     [](const std::string &) { return viaConvert("r8", 16, 8, 60, "-type palette -compress RLE BMP3:"); }, 0},
    {"Core24", [](const std::string &) { return viaConvert("c24", 5, 3, 200, "BMP2:"); }, 0},
    {"Core4", [](const std::string &) { return viaConvert("c4", 5, 3, 9, "-type palette BMP2:"); }, 0},
    {"Core8", [](const std::string &) { return viaConvert("c8", 9, 4, 100, "-type palette BMP2:"); }, 0},
    {"Bits16", make16, 1},
    {"Rle8Escapes", makeRle8, 0, true},  // Pillow drops the pixels behind a delta
    {"Rle4Escapes", makeRle4, 0, true},  // and the last pixel of an odd absolute run
};

class BmpLayouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(BmpLayouts, DecodesLikeAnIndependentDecoder) {
    captureFresh();
    std::string path = GetParam().make(test::tempPath(""));
    ASSERT_FALSE(path.empty()) << "fixture not made";
    Decoded ours{decodeDib(path.c_str())};
    ASSERT_NE(ours.image, nullptr);
    DecodedPixels reference;
    if (GetParam().byConvert)
        ASSERT_TRUE(decodeWithConvert(path, ours.image->width, ours.image->height, &reference));
    else
        ASSERT_TRUE(decodeWithPil(path, &reference));
    EXPECT_TRUE(test::messageBoxes().empty());
    ASSERT_EQ(ours.image->width, reference.width);
    ASSERT_EQ(ours.image->height, reference.height);
    std::vector<uint8_t> got = imageBytes(ours.image);
    for (size_t i = 0; i < got.size(); i++)
        ASSERT_LE(std::abs(got[i] - reference.rgb[i]), GetParam().tolerance) << "byte " << i;
}

INSTANTIATE_TEST_SUITE_P(Layouts, BmpLayouts, ::testing::ValuesIn(kLayouts),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- where the parts of a file lie

TEST(BmpLayout, BottomLeftPixelComesFirstWithRedFirst) {
    DibFixture f;
    f.width = 2, f.height = 2;
    // bottom row: (10,20,30) (40,50,60); top row: (70,80,90) (100,110,120)
    f.pixels = rows24({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120}, 2, 2);
    Decoded d{decodeDib(writeBmp("bl.bmp", f).c_str())};
    ASSERT_NE(d.image, nullptr);
    EXPECT_EQ(imageBytes(d.image), (std::vector<uint8_t>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120}));
}

TEST(BmpLayout, BareHeadersFindPixelsBehindTheirColourTable) {
    struct Case {
        const char *name;
        uint32_t headerSize;
        uint16_t bitCount;
        uint32_t colorsUsed;
        int entries;
    } cases[] = {
        {"info 24 colours-used 0: pixels at 40", 40, 24, 0, 0},
        {"info 8 colours-used 16: pixels at 40 + 64", 40, 8, 16, 16},
        {"core 8: pixels at 12 + 256 * 3", 12, 8, 0, 256},
        {"info 24 colours-used 4: table skipped", 40, 24, 4, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DibFixture f;
        f.fileHeader = false, f.headerSize = c.headerSize, f.width = 4, f.height = 1, f.bitCount = c.bitCount;
        f.colorsUsed = c.colorsUsed;
        int entrySize = c.headerSize == 12 ? 3 : 4;
        for (int i = 0; i < c.entries; i++)
            for (int k = 0; k < entrySize; k++) f.colorTable.push_back((uint8_t)(i * 3 + k));
        std::vector<uint8_t> expected;
        if (c.bitCount == 24) {
            f.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
            expected = {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10};
        } else {
            f.pixels = {0, 15, 2, 9};
            for (int i : {0, 15, 2, 9})
                expected.insert(expected.end(), {(uint8_t)(i * 3 + 2), (uint8_t)(i * 3 + 1), (uint8_t)(i * 3)});
        }
        std::string bytes = buildBmp(f);
        ASSERT_EQ(countDibColors((const unsigned char *)bytes.data()), (uint32_t)c.entries);
        Decoded d{decodeDib(writeBmp("bare.bmp", f).c_str())};
        ASSERT_NE(d.image, nullptr);
        EXPECT_EQ(imageBytes(d.image), expected);
    }
}

TEST(BmpLayout, CountDibColorsRule) {
    struct Case {
        uint32_t headerSize;
        uint16_t bitCount;
        uint32_t colorsUsed;
        uint32_t count;
    } cases[] = {
        {40, 1, 0, 2},  {40, 4, 0, 16},  {40, 8, 0, 256}, {40, 16, 0, 0},           {40, 24, 0, 0},
        {40, 32, 0, 0}, {40, 8, 16, 16}, {40, 24, 7, 7},  {40, 8, 0x12345, 0x2345}, {40, 8, 0x10000, 0},
        {12, 1, 0, 2},  {12, 4, 0, 16},  {12, 8, 0, 256}, {12, 24, 0, 0},           {108, 8, 5, 5},
    };
    for (const Case &c : cases) {
        DibFixture f;
        f.headerSize = c.headerSize, f.bitCount = c.bitCount, f.colorsUsed = c.colorsUsed, f.fileHeader = false;
        std::string bytes = buildBmp(f);
        EXPECT_EQ(countDibColors((const unsigned char *)bytes.data()), c.count)
            << c.headerSize << "/" << c.bitCount << "/" << c.colorsUsed;
    }
}

// ---- messages

TEST(BmpMessages, EachFailureShowsItsOneMessage) {
    captureFresh();
    std::string empty = test::tempPath("empty.bmp");
    test::writeFile(empty, "");
    DibFixture v108;
    v108.headerSize = 108;
    v108.pixels = {1, 2, 3, 0};
    DibFixture noPixels;
    noPixels.width = 8, noPixels.height = 8;
    std::string missing = test::tempPath("nowhere/missing.bmp");
    struct Case {
        std::string path, text;
    } cases[] = {
        {empty, "Failed to open DIB file " + empty + ".\n"},
        {missing, "Failed to open DIB file " + missing + ".\n"},
        {writeBmp("v108.bmp", v108), "Unknown DIB file format."},
        {writeBmp("nopix.bmp", noPixels), "Image file conversion error."},
    };
    for (const Case &c : cases) {
        test::messageBoxes().clear();
        EXPECT_EQ(decodeDib(c.path.c_str()), nullptr);
        ASSERT_EQ(test::messageBoxes().size(), 1u) << c.path;
        EXPECT_EQ(test::messageBoxes()[0].text, c.text);
        EXPECT_EQ(test::messageBoxes()[0].caption, "Error");
        EXPECT_EQ(test::messageBoxes()[0].owner, Sys_GetFocusWindow());
    }
    EXPECT_EQ(quitRequests, 0);
}

TEST(BmpMessages, MissingFileIsCountedNotShownAndDamagedFileIsShownNotCounted) {
    captureFresh();
    EXPECT_EQ(loadBmpImage(test::tempPath("absent.bmp").c_str()), nullptr);
    EXPECT_EQ(quitRequests, 1);
    EXPECT_TRUE(test::messageBoxes().empty());
    DibFixture v108;
    v108.headerSize = 108;
    EXPECT_EQ(loadBmpImage(writeBmp("v108b.bmp", v108).c_str()), nullptr);
    EXPECT_EQ(quitRequests, 1);
    EXPECT_EQ(test::messageBoxes().size(), 1u);
}

TEST(BmpMessages, LongPathIsCutToTheMessageBuffer) {
    captureFresh();
    std::string path = "/nonexistent/" + std::string(600, 'p') + ".bmp";
    EXPECT_EQ(decodeDib(path.c_str()), nullptr);
    ASSERT_EQ(test::messageBoxes().size(), 1u);
    const std::string &text = test::messageBoxes()[0].text;
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text, ("Failed to open DIB file " + path).substr(0, 255));
}

// ---- what the decoder refuses

// A run-length-encoded image of any size that is all end of bitmap: a few
// bytes that claim as many pixels as the header says.
void emptyRle(DibFixture &f, int32_t width, int32_t height) {
    f.compression = 1, f.bitCount = 8, f.colorsUsed = 1, f.colorTable = {0, 0, 0, 0}, f.pixels = {0, 1};
    f.width = width, f.height = height;
}

TEST(BmpRejects, UnhandledAndDamagedHeaders) {
    captureFresh();
    const std::string unknown = "Unknown DIB file format.", conversion = "Image file conversion error.";
    struct Case {
        const char *name;
        void (*edit)(DibFixture &);
        std::string text;
    } cases[] = {
        {"top-down", [](DibFixture &f) { f.height = -2; }, unknown},
        {"bit fields", [](DibFixture &f) { f.bitCount = 16, f.compression = 3; }, unknown},
        {"width 0", [](DibFixture &f) { f.width = 0; }, unknown},
        {"negative width", [](DibFixture &f) { f.width = -4; }, unknown},
        {"height 0", [](DibFixture &f) { f.height = 0; }, unknown},
        {"size overflows 32 bits", [](DibFixture &f) { f.width = 70000, f.height = 70000; }, unknown},
        {"core size overflows 32 bits",
         [](DibFixture &f) { f.headerSize = 12, f.width = 65535, f.height = 65535, f.bitCount = 65535; }, unknown},
        {"source bits overflow 32 bits", [](DibFixture &f) { f.width = 0x7FFFFFFF, f.height = 1, f.bitCount = 32; },
         unknown},
        {"header size 124", [](DibFixture &f) { f.headerSize = 124; }, unknown},
        {"header size 0", [](DibFixture &f) { f.headerSize = 0; }, unknown},
        {"colour table past the end", [](DibFixture &f) { f.bitCount = 8, f.colorsUsed = 200; }, unknown},
        {"pixel offset past the end", [](DibFixture &f) { f.pixelOffset = 1 << 30; }, conversion},
        {"pixel rows short", [](DibFixture &f) { f.height = 3; }, conversion},
        {"bit count 7", [](DibFixture &f) { f.bitCount = 7; }, conversion},
        {"jpeg compression", [](DibFixture &f) { f.compression = 4; }, conversion},
        {"RLE8 at 4 bits",
         [](DibFixture &f) {
             f.compression = 1, f.bitCount = 4, f.colorsUsed = 1, f.colorTable = {0, 0, 0, 0};
         },
         conversion},
        {"RLE without end of bitmap",
         [](DibFixture &f) {
             f.compression = 1, f.bitCount = 8, f.colorsUsed = 1, f.colorTable = {0, 0, 0, 0}, f.pixels = {2, 0, 0, 0};
         },
         conversion},
        {"RLE delta cut off",
         [](DibFixture &f) {
             f.compression = 1, f.bitCount = 8, f.colorsUsed = 1, f.colorTable = {0, 0, 0, 0}, f.pixels = {0, 2, 1};
         },
         conversion},
        {"RLE absolute run cut off",
         [](DibFixture &f) {
             f.compression = 1, f.bitCount = 8, f.colorsUsed = 1, f.colorTable = {0, 0, 0, 0}, f.pixels = {0, 9, 1, 2};
         },
         conversion},
        {"RLE claiming 21845 x 65535", [](DibFixture &f) { emptyRle(f, 21845, 65535); }, unknown},
        {"one wider than the limit", [](DibFixture &f) { emptyRle(f, kMaxImageSide + 1, 2); }, unknown},
        {"one taller than the limit", [](DibFixture &f) { emptyRle(f, 2, kMaxImageSide + 1); }, unknown},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DibFixture f;
        f.width = 2, f.height = 2;
        f.pixels = std::vector<uint8_t>(16, 0x55);
        c.edit(f);
        test::messageBoxes().clear();
        EXPECT_EQ(decodeDib(writeBmp("reject.bmp", f).c_str()), nullptr);
        ASSERT_EQ(test::messageBoxes().size(), 1u);
        EXPECT_EQ(test::messageBoxes()[0].text, c.text);
    }
    // The limit itself is taken, on either side.
    for (auto size : {std::make_pair(kMaxImageSide, 2), std::make_pair(2, kMaxImageSide)}) {
        DibFixture f;
        emptyRle(f, size.first, size.second);
        Decoded decoded{decodeDib(writeBmp("limit.bmp", f).c_str())};
        ASSERT_NE(decoded.image, nullptr) << size.first << " x " << size.second;
    }
}

TEST(BmpRejects, BitFieldFileFromConvertIsRefused) {
    captureFresh();
    std::string path = viaConvert("bf16", 4, 4, 50, "-define bmp:subtype=RGB555 BMP3:");
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(decodeDib(path.c_str()), nullptr);
    ASSERT_EQ(test::messageBoxes().size(), 1u);
    EXPECT_EQ(test::messageBoxes()[0].text, "Unknown DIB file format.");
}

// Every prefix of small files of each layout, from exact-size buffers (so
// the sanitizers see any read past the end) and through real files.
TEST(BmpRejects, EveryTruncationFailsCleanlyOrDecodes) {
    captureFresh();
    std::vector<std::string> files;
    DibFixture info24;
    info24.width = 5, info24.height = 3;
    info24.pixels = std::vector<uint8_t>(48, 0x7A);
    files.push_back(buildBmp(info24));
    DibFixture core8 = info24;
    core8.headerSize = 12, core8.bitCount = 8, core8.colorTable = std::vector<uint8_t>(768, 9);
    core8.pixels = std::vector<uint8_t>(24, 3);
    files.push_back(buildBmp(core8));
    DibFixture bare4 = info24;
    bare4.fileHeader = false, bare4.bitCount = 4, bare4.colorsUsed = 3,
    bare4.colorTable = std::vector<uint8_t>(12, 200);
    bare4.pixels = std::vector<uint8_t>(12, 0x12);
    files.push_back(buildBmp(bare4));
    DibFixture rle = info24;
    rle.bitCount = 8, rle.compression = 1, rle.colorsUsed = 2, rle.colorTable = std::vector<uint8_t>(8, 100);
    rle.pixels = {5, 1, 0, 0, 0, 4, 0, 1, 1, 0, 0, 2, 0, 1, 0, 1};
    files.push_back(buildBmp(rle));

    std::string path = test::tempPath("cut.bmp");
    for (const std::string &file : files) {
        for (size_t length = 0; length <= file.size(); length++) {
            SCOPED_TRACE(length);
            uint8_t *exact = (uint8_t *)std::malloc(length ? length : 1);
            std::memcpy(exact, file.data(), length);
            test::messageBoxes().clear();
            Decoded fromMemory{decodeDibBytes(exact, length)};
            std::free(exact);
            test::writeFile(path, file.substr(0, length));
            Decoded fromFile{decodeDib(path.c_str())};
            EXPECT_EQ(test::messageBoxes().size(), (fromMemory.image ? 0u : 1u) + (fromFile.image ? 0u : 1u));
            EXPECT_EQ(fromMemory.image == nullptr, fromFile.image == nullptr);
            if (length == file.size()) {
                ASSERT_NE(fromFile.image, nullptr);
                EXPECT_EQ(fromFile.image->width, 5);
            }
        }
    }
}

}  // namespace
