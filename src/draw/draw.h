// draw.h -- the drawing primitives: meshes (plain, offset, morphing),
// textured squares, and the sphere-map and polygon-mode switches.
#pragma once

// Mesh flags: 1 textured, 2 blended (implies textured).
enum : int { kMeshTextured = 1, kMeshBlended = 2 };
// Square flags: 1 additive.
enum : int { kQuadAdditive = 1 };

extern const float morphStep;  // 0.1

void drawMesh(int slot, int textureSlot, float alpha, int flags, float r, float g, float b);
void drawMeshOffset(int slot, int textureSlot, float alpha, int flags, float r, float g, float b, float dx, float dy,
                    float dz);
void morphMeshToward(int fromSlot, int toSlot);

void drawCenteredQuad(float halfSize, int textureSlot, float alpha, int flags, float r, float g, float b);
void drawQuadAt(float halfSize, float x, float y, float z, int textureSlot, float alpha, int flags, float r, float g,
                float b);
void enableSphereMap();
void disableSphereMap();
void enableSphereMapS();
void disableSphereMapS();
void setWireframe();
void setFilled();
