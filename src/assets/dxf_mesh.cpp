// dxf_mesh.cpp -- the mesh store and the ASCII DXF reader that fills one
// slot of it from the 3DFACE entities of a file.
#include <cstdio>
#include <cstring>

#include "assets/assets.h"
#include "driver/quit.h"
#include "platform/platform.h"

MeshSlot meshStore[kMeshSlots];

namespace {

enum : int { kTokenBytes = 100 };

// One whitespace-separated token into a 100-byte buffer, and the white space
// behind it. A longer token keeps its first 99 characters; the rest of it is
// passed over, so it never matches a keyword. False at the end of the file.
bool readToken(FILE *file, char (&token)[kTokenBytes]) {
    std::memset(token, 0, sizeof token);
    if (std::fscanf(file, "%99s", token) != 1) return false;
    if (std::fscanf(file, "%*[^ \t\n\v\f\r]") == EOF) return true;
    std::fscanf(file, " ");
    return true;
}

// A group code (or any integer field), read and dropped. False at the end of the file.
bool skipInteger(FILE *file) { return std::fscanf(file, "%*d ") != EOF; }

// A coordinate; a value that does not convert leaves *value as it was.
bool readCoordinate(FILE *file, float *value) {
    if (!skipInteger(file)) return false;
    return std::fscanf(file, "%f ", value) != EOF;
}

// Where the twelve coordinates of a face go: the slot's arrays for a face
// that fits the store, a scratch face for one past its end.
struct FaceTarget {
    float *coordinate[12];
};

FaceTarget faceTarget(MeshSlot &mesh, int face, float (&scratch)[12]) {
    FaceTarget target;
    for (int corner = 0; corner < 4; corner++) {
        float *x = face < kMaxMeshFaces ? &mesh.x[corner][face] : &scratch[3 * corner];
        float *y = face < kMaxMeshFaces ? &mesh.y[corner][face] : &scratch[3 * corner + 1];
        float *z = face < kMaxMeshFaces ? &mesh.z[corner][face] : &scratch[3 * corner + 2];
        target.coordinate[3 * corner] = x;
        target.coordinate[3 * corner + 1] = y;
        target.coordinate[3 * corner + 2] = z;
    }
    return target;
}

// The fixed fields behind a 3DFACE token: one group with a one-word value
// (the layer), one with an integer value (the colour), then x, y, z of the
// four corners. False when the file ends inside them.
bool readFace(FILE *file, MeshSlot &mesh, int face) {
    char value[kTokenBytes];
    if (!skipInteger(file) || !readToken(file, value) || !skipInteger(file) || !skipInteger(file)) return false;
    float scratch[12];
    FaceTarget target = faceTarget(mesh, face, scratch);
    for (float *coordinate : target.coordinate)
        if (!readCoordinate(file, coordinate)) return false;
    return true;
}

}  // namespace

// Faces past kMaxMeshFaces are read but not stored. A file without "EOF"
// ends at its end; a face cut off by the end of the file is not counted.
void loadDxfMesh(const char *path, int slot) {
    MeshSlot &mesh = meshStore[slot];
    int faces = 0;
    FILE *file = Sys_OpenFile(path, "rt");
    if (!file) {
        Sys_ReportFailure("cannot open %s", path);
        quitRequests++;
        mesh.faceCount = 0;
        return;
    }
    char token[kTokenBytes];
    while (readToken(file, token)) {
        if (std::strcmp(token, "3DFACE") == 0) {
            mesh.loaded = 1;
            if (!readFace(file, mesh, faces)) break;
            faces++;
        } else if (std::strcmp(token, "EOF") == 0) {
            break;
        }
    }
    std::fclose(file);
    mesh.faceCount = faces < kMaxMeshFaces ? faces : kMaxMeshFaces;
}
