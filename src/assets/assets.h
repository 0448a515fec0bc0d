// assets.h -- decoding .bmp images, the texture slots, the DXF mesh store,
// and the preload with its loading screen.
#pragma once

#include <cstdint>

// ---- images (bmp_decode.cpp)
struct RgbImage {
    int32_t width;
    int32_t height;
    unsigned char *data;  // width * height * 3 bytes, red-green-blue, bottom row first
};
// The widest and tallest image decoded: four times the show's widest texture
// and as large as any GL implementation of its time takes. Anything larger is
// refused as an unknown format before pixel memory is allocated (12 MB at most).
constexpr int32_t kMaxImageSide = 2048;

RgbImage *loadBmpImage(const char *path);
RgbImage *decodeDib(const char *path);
uint32_t countDibColors(const unsigned char *dibHeader);

// ---- texture slots (textures.cpp)
enum : int { kTextureSlots = 18, kLoadingImageSlot = 17 };
extern unsigned int textureNames[kTextureSlots];
int loadTexture(int slot, const char *path);

// ---- meshes (dxf_mesh.cpp)
constexpr int kMaxMeshFaces = 4000;
enum : int { kMeshSlots = 5 };
struct MeshSlot {
    int32_t loaded;
    int32_t faceCount;
    float x[4][kMaxMeshFaces];
    float y[4][kMaxMeshFaces];
    float z[4][kMaxMeshFaces];
};
extern MeshSlot meshStore[kMeshSlots];
void loadDxfMesh(const char *path, int slot);

// ---- the files the preload reads (data_files.cpp), the only list of them
extern const char *const kMeshFiles[kMeshSlots];        // one per slot; the morph scene's first shape twice
extern const char *const kTextureFiles[kTextureSlots];  // one per slot, the loading image last
extern const char *const kSongFile;

// ---- preload (preload.cpp)
extern float loadingBrightness;  // 1.0 at start
// The morph scene's cosine-table indices: seeded here from the random
// numbers, then stepped by the morph scene.
extern int32_t wobbleIndexX, wobbleIndexY, wobbleIndexZ;
void loadAssets();
void drawLoadingScreen(float halfWidth, float halfHeight, bool fadeOut);
