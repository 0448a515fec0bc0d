// The show's quad meshes (the opening ball and the three morph shapes)
// and their ASCII DXF form.
#pragma once

#include <string>
#include <vector>

struct Vec3 {
    float x, y, z;
};

// Corners in drawing order; the show maps them to texture coordinates
// (0,0), (1,0), (1,1), (0,1).
struct Face {
    Vec3 c[4];
};
using Mesh = std::vector<Face>;

// The opening ball: a latitude-longitude sphere. Drawn solid once per frame.
constexpr int kBallSlices = 40;
constexpr int kBallStacks = 30;
constexpr float kBallRadius = 22.0f;
constexpr int kBallFaces = kBallSlices * kBallStacks;

// The morph shapes share one grid so that face i of each is the same patch.
// Drawn twice per frame (solid and wireframe), hence the smaller grid.
constexpr int kMorphSlices = 36;
constexpr int kMorphStacks = 24;
constexpr int kMorphFaces = kMorphSlices * kMorphStacks;

Mesh makeBall();
Mesh makeMorphSphere();  // balm01
Mesh makeMorphStar();    // balm02
Mesh makeMorphTorus();   // balm03

// Largest per-coordinate difference between corresponding corners.
float maxCoordinateDistance(const Mesh &a, const Mesh &b);

// R12-style DXF: HEADER, a TABLES section with one layer, ENTITIES of
// 3DFACE (groups 8, 62, then 10/20/30 .. 13/23/33), 0/EOF.
std::string dxfText(const Mesh &mesh, const std::string &layer, int colour);
