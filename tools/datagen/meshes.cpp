// Mesh shapes on latitude-longitude grids: the opening ball, and the morph
// sphere, star and twisted torus that share one grid and face order.
#include "meshes.h"

#include <algorithm>
#include <cmath>

namespace {

const float kPi = 3.14159265358979f;

// A grid point: slice i around the y axis, stack j from the south pole up.
using Surface = Vec3 (*)(float lon, float lat);

Mesh gridMesh(int slices, int stacks, Surface surface) {
    Mesh mesh;
    mesh.reserve(static_cast<size_t>(slices) * stacks);
    for (int j = 0; j < stacks; ++j) {
        float lat0 = -kPi / 2 + kPi * j / stacks, lat1 = -kPi / 2 + kPi * (j + 1) / stacks;
        for (int i = 0; i < slices; ++i) {
            float lon0 = 2 * kPi * i / slices, lon1 = 2 * kPi * ((i + 1) % slices) / slices;
            Face f;
            f.c[0] = surface(lon0, lat0);
            f.c[1] = surface(lon1, lat0);
            f.c[2] = surface(lon1, lat1);
            f.c[3] = surface(lon0, lat1);
            mesh.push_back(f);
        }
    }
    return mesh;
}

Vec3 direction(float lon, float lat) {
    return {std::cos(lat) * std::cos(lon), std::sin(lat), -std::cos(lat) * std::sin(lon)};
}

Vec3 scaled(Vec3 d, float r) { return {d.x * r, d.y * r, d.z * r}; }

Vec3 ballPoint(float lon, float lat) { return scaled(direction(lon, lat), kBallRadius); }

const float kMorphRadius = 21.0f;

Vec3 spherePoint(float lon, float lat) { return scaled(direction(lon, lat), kMorphRadius); }

// Spikes toward the vertices of an icosahedron (long) and of a
// dodecahedron (short); the poles stay in a valley.
float spikeField(Vec3 d) {
    const float g = 1.6180340f, ig = 1 / g;
    static const float ico[12][3] = {{1, g, 0},  {-1, g, 0},  {1, -g, 0}, {-1, -g, 0}, {0, 1, g},  {0, -1, g},
                                     {0, 1, -g}, {0, -1, -g}, {g, 0, 1},  {-g, 0, 1},  {g, 0, -1}, {-g, 0, -1}};
    static const float dod[20][3] = {{1, 1, 1},    {1, 1, -1},   {1, -1, 1},   {1, -1, -1}, {-1, 1, 1},
                                     {-1, 1, -1},  {-1, -1, 1},  {-1, -1, -1}, {0, ig, g},  {0, ig, -g},
                                     {0, -ig, g},  {0, -ig, -g}, {ig, g, 0},   {ig, -g, 0}, {-ig, g, 0},
                                     {-ig, -g, 0}, {g, 0, ig},   {g, 0, -ig},  {-g, 0, ig}, {-g, 0, -ig}};
    auto closeness = [&](const float v[3]) {
        float n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        return std::max(0.0f, (d.x * v[0] + d.y * v[1] + d.z * v[2]) / n);
    };
    float longSpike = 0, shortSpike = 0;
    for (const auto &v : ico) longSpike = std::max(longSpike, std::pow(closeness(v), 18.0f));
    for (const auto &v : dod) shortSpike = std::max(shortSpike, std::pow(closeness(v), 24.0f));
    return std::max(longSpike * 11.0f, shortSpike * 6.0f);
}

Vec3 starPoint(float lon, float lat) {
    Vec3 d = direction(lon, lat);
    return scaled(d, 17.0f + spikeField(d));
}

// The sphere's latitude runs once around the tube (the poles meet on the
// inner equator); three ridges on the tube twist five times around the ring.
Vec3 torusPoint(float lon, float lat) {
    const float ringRadius = 13.0f;
    float theta = kPi / 2 - lat;  // 0 at the north pole
    float psi = kPi - 2 * theta;  // angle around the tube
    float tube = 8.5f + 2.5f * std::cos(3 * psi + 5 * lon);
    float rho = ringRadius + tube * std::cos(psi);
    return {rho * std::cos(lon), tube * std::sin(psi), -rho * std::sin(lon)};
}

}  // namespace

Mesh makeBall() { return gridMesh(kBallSlices, kBallStacks, ballPoint); }
Mesh makeMorphSphere() { return gridMesh(kMorphSlices, kMorphStacks, spherePoint); }
Mesh makeMorphStar() { return gridMesh(kMorphSlices, kMorphStacks, starPoint); }
Mesh makeMorphTorus() { return gridMesh(kMorphSlices, kMorphStacks, torusPoint); }

float maxCoordinateDistance(const Mesh &a, const Mesh &b) {
    float worst = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        for (int c = 0; c < 4; ++c) {
            worst = std::max(worst, std::fabs(a[i].c[c].x - b[i].c[c].x));
            worst = std::max(worst, std::fabs(a[i].c[c].y - b[i].c[c].y));
            worst = std::max(worst, std::fabs(a[i].c[c].z - b[i].c[c].z));
        }
    return worst;
}
