// dxf_mesh_test.cpp -- the DXF reader on files written by the test: the fixed
// fields of a face, what the main scan skips, where reading ends, and files
// that are too big, too long-winded or not DXF at all.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>

#include "assets/assets.h"
#include "support/test_support.h"

namespace {

// One face in the layout the reader expects; corners c give (base + 3c + 1, +2, +3).
std::string face(float base, const std::string &layer = "0", const std::string &extra = "") {
    std::ostringstream s;
    s << "  0\n3DFACE\n  8\n" << layer << "\n 62\n7\n";
    const char *codes[4][3] = {{"10", "20", "30"}, {"11", "21", "31"}, {"12", "22", "32"}, {"13", "23", "33"}};
    for (int c = 0; c < 4; c++)
        for (int k = 0; k < 3; k++) s << codes[c][k] << "\n" << base + 3 * c + k + 1 << "\n";
    return s.str() + extra;
}

std::string dxf(const std::string &entities, bool withEof = true) {
    return "  0\nSECTION\n  2\nENTITIES\n" + entities + "  0\nENDSEC\n" + (withEof ? "  0\nEOF\n" : "");
}

int load(const std::string &text, int slot = 0) {
    std::string path = test::tempPath("mesh" + std::to_string(slot) + ".dxf");
    test::writeFile(path, text);
    loadDxfMesh(path.c_str(), slot);
    return meshStore[slot].faceCount;
}

void expectFace(const MeshSlot &m, int f, float base) {
    for (int c = 0; c < 4; c++) {
        EXPECT_EQ(m.x[c][f], base + 3 * c + 1) << "face " << f << " corner " << c;
        EXPECT_EQ(m.y[c][f], base + 3 * c + 2) << "face " << f << " corner " << c;
        EXPECT_EQ(m.z[c][f], base + 3 * c + 3) << "face " << f << " corner " << c;
    }
}

TEST(DxfMesh, BareTokenFileGivesOneFace) {
    std::string text;
    for (const char *t : {"3DFACE", "8", "0",  "62", "7",  "10", "1",  "20", "2",  "30", "3",  "11", "4",  "21", "5",
                          "31",     "6", "12", "7",  "22", "8",  "32", "9",  "13", "10", "23", "11", "33", "12", "EOF"})
        text += std::string(t) + "\n";
    EXPECT_EQ(load(text), 1);
    EXPECT_EQ(meshStore[0].loaded, 1);
    expectFace(meshStore[0], 0, 0);
}

TEST(DxfMesh, FaceCountsAndWhatTheScanSkips) {
    struct Case {
        const char *name;
        std::string text;
        int faces, loaded;
    } cases[] = {
        {"three faces", dxf(face(0) + face(100) + face(200)), 3, 1},
        {"no faces", dxf("  0\nLINE\n  8\n0\n 10\n1.0\n"), 0, 0},
        {"lower-case 3dface is not a face", dxf("  0\n3dface\n" + face(0).substr(10)), 0, 0},
        {"group 70 after a face is skipped", dxf(face(0, "0", " 70\n15\n") + face(100)), 2, 1},
        {"EOF token ends the reading", dxf(face(0) + "  0\nEOF\n" + face(100)), 1, 1},
        {"EOF as a layer name is a face field", dxf(face(0, "EOF") + face(100)), 2, 1},
        {"no EOF: ends at the end of the file", dxf(face(0) + face(100), false), 2, 1},
        {"cut inside the last face", dxf(face(0) + face(100)).substr(0, dxf(face(0)).size() + 60), 1, 1},
        {"CRLF line ends",
         [] {
             std::string s = dxf(face(0) + face(100)), out;
             for (char c : s) {
                 if (c == '\n') out += '\r';
                 out += c;
             }
             return out;
         }(),
         2, 1},
        {"empty file", "", 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        meshStore[0] = MeshSlot{};
        EXPECT_EQ(load(c.text), c.faces);
        EXPECT_EQ(meshStore[0].loaded, c.loaded);
        if (c.faces >= 1) expectFace(meshStore[0], 0, 0);
    }
    load(dxf(face(0) + face(100) + face(200)));
    expectFace(meshStore[0], 2, 200);
}

TEST(DxfMesh, CoordinatesGoByPositionNotByGroupCode) {
    // 20 before 10: the first value read is stored as x whatever its code says.
    std::string text = face(0);
    size_t at = text.find("10\n1\n20\n2\n");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 10, "20\n1\n10\n2\n");
    EXPECT_EQ(load(dxf(text)), 1);
    expectFace(meshStore[0], 0, 0);
}

TEST(DxfMesh, CoordinateThatDoesNotConvertKeepsItsOldValue) {
    load(dxf(face(100)), 1);
    std::string text = face(0);
    size_t at = text.rfind("33\n12\n");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 7, "33\nx\n");  // the last z of the face
    EXPECT_EQ(load(dxf(text), 1), 1);
    EXPECT_EQ(meshStore[1].z[3][0], 112.0f);
    EXPECT_EQ(meshStore[1].y[3][0], 11.0f);
}

TEST(DxfMesh, ReloadKeepsOldFacesPastTheNewCount) {
    std::string twenty, ten;
    for (int f = 0; f < 20; f++) twenty += face(1000 + f);
    for (int f = 0; f < 10; f++) ten += face(f);
    EXPECT_EQ(load(dxf(twenty), 2), 20);
    EXPECT_EQ(load(dxf(ten), 2), 10);
    expectFace(meshStore[2], 9, 9);
    expectFace(meshStore[2], 10, 1010);
    expectFace(meshStore[2], 19, 1019);
}

TEST(DxfMesh, MissingFileCountsAndKeepsTheSlot) {
    load(dxf(face(5)), 3);
    loadDxfMesh(test::tempPath("absent.dxf").c_str(), 3);
    EXPECT_EQ(quitRequests, 1);
    EXPECT_EQ(meshStore[3].faceCount, 0);
    EXPECT_EQ(meshStore[3].loaded, 1);
    expectFace(meshStore[3], 0, 5);
}

TEST(DxfMesh, SameFileInTwoSlotsIsIdentical) {
    std::string text;
    for (int f = 0; f < 50; f++) text += face(f * 0.25f);
    load(dxf(text), 1);
    load(dxf(text), 4);
    EXPECT_EQ(meshStore[1].faceCount, 50);
    EXPECT_EQ(std::memcmp(&meshStore[1], &meshStore[4], sizeof(MeshSlot)), 0);
}

TEST(DxfMesh, FacesPastTheStoreAreReadButNotStored) {
    std::string text;
    for (int f = 0; f < kMaxMeshFaces + 5; f++) text += face(f);
    EXPECT_EQ(load(dxf(text), 3), kMaxMeshFaces);
    expectFace(meshStore[3], kMaxMeshFaces - 1, kMaxMeshFaces - 1);
    const MeshSlot empty{};
    EXPECT_EQ(std::memcmp(&meshStore[4], &empty, sizeof(MeshSlot)), 0);  // the next slot is untouched
    // The faces past the store are still read as faces: an EOF inside their fields does not end the file.
    EXPECT_EQ(load(dxf(text + face(0, "EOF") + face(1)), 3), kMaxMeshFaces);
}

TEST(DxfMesh, LongTokensNeverMatchAndNeverOverrun) {
    std::string longWord(5000, 'A');
    struct Case {
        const char *name;
        std::string text;
        int faces;
    } cases[] = {
        {"long token in the scan", dxf(longWord + "\n" + face(0)), 1},
        {"long layer name", dxf(face(0, longWord) + face(100)), 2},
        {"3DFACE prefix of a long token", dxf("3DFACE" + longWord + "\n" + face(0)), 1},
        {"EOF prefix of a long token", dxf("EOF" + longWord + "\n" + face(0)), 1},
        {"token of exactly 99 characters", dxf(std::string(99, 'B') + "\n" + face(0)), 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(load(c.text), c.faces);
        expectFace(meshStore[0], 0, 0);
    }
}

TEST(DxfMesh, GarbageEndsWithoutHarm) {
    std::mt19937 random(12345);
    std::vector<std::string> inputs = {
        "3DFACE\n8\n0\n62\nx\n10\nabc\n20\n-\n30\n.e\n",  // fields that do not convert
        "3DFACE 3DFACE 3DFACE",                           // faces cut off
        "3DFACE\n8\n0\n62\n7\n10\n1e999\n20\nnan\n30\n-inf\n",
    };
    for (int n = 0; n < 40; n++) {
        std::string bytes(random() % 3000, '\0');
        for (char &b : bytes) b = (char)(random() % 4 == 0 ? "3DFACE EOF\n-.0123456789e"[random() % 23] : random());
        inputs.push_back(bytes);
    }
    for (const std::string &input : inputs) {
        load(input);
        EXPECT_GE(meshStore[0].faceCount, 0);
        EXPECT_LE(meshStore[0].faceCount, kMaxMeshFaces);
    }
    EXPECT_EQ(quitRequests, 0);
}

}  // namespace
