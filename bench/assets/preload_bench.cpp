// preload_bench.cpp -- times the preload's file work without GL: 17 images of
// 256 x 256 (24-bit, 8-bit palette and RLE8 mixed) and 5 meshes of 4000 faces,
// written to a temporary directory first. Prints `bench:` lines.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "assets/assets.h"
#include "support/temp_dir.h"

namespace {

void put16(std::string &s, uint32_t v) {
    s += (char)(v & 0xFF);
    s += (char)(v >> 8);
}
void put32(std::string &s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

std::string bmp(int size, int bitCount, int compression, const std::string &table, const std::string &pixels) {
    std::string header;
    put32(header, 40);
    put32(header, size);
    put32(header, size);
    put16(header, 1);
    put16(header, bitCount);
    put32(header, compression);
    put32(header, (uint32_t)pixels.size());
    for (int i = 0; i < 4; i++) put32(header, 0);
    std::string file = "BM";
    put32(file, (uint32_t)(54 + table.size() + pixels.size()));
    put32(file, 0);
    put32(file, (uint32_t)(54 + table.size()));
    return file + header + table + pixels;
}

std::string image(int kind, int size) {
    std::string table, pixels;
    if (kind == 0) {
        for (int i = 0; i < size * size * 3; i++) pixels += (char)(i * 7);
        return bmp(size, 24, 0, table, pixels);
    }
    for (int i = 0; i < 256; i++) table += std::string{(char)i, (char)(255 - i), (char)(i * 3), 0};
    if (kind == 1) {
        for (int i = 0; i < size * size; i++) pixels += (char)(i / 3);
        return bmp(size, 8, 0, table, pixels);
    }
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x += 16) pixels += std::string{16, (char)(x + y)};
        pixels += std::string{0, 0};
    }
    pixels += std::string{0, 1};
    return bmp(size, 8, 1, table, pixels);
}

std::string mesh(int faces) {
    std::string text = "  0\nSECTION\n  2\nENTITIES\n";
    char line[64];
    for (int f = 0; f < faces; f++) {
        text += "  0\n3DFACE\n  8\n0\n 62\n7\n";
        for (int k = 0; k < 12; k++) {
            std::snprintf(line, sizeof line, " %d\n%.6f\n", 10 + k % 3 * 10 + k / 3, f * 0.001 + k * 0.25);
            text += line;
        }
    }
    return text + "  0\nENDSEC\n  0\nEOF\n";
}

void write(const std::string &path, const std::string &bytes) {
    FILE *f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    std::string dir = test::tempPath("");
    for (int i = 0; i < 17; i++) write(dir + "/t" + std::to_string(i) + ".bmp", image(i % 3, 256));
    for (int i = 0; i < 5; i++) write(dir + "/m" + std::to_string(i) + ".dxf", mesh(4000));

    const int rounds = 5;
    double images = 1e30, meshes = 1e30;
    for (int round = 0; round < rounds; round++) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < 17; i++) {
            RgbImage *img = loadBmpImage((dir + "/t" + std::to_string(i) + ".bmp").c_str());
            if (!img) return 1;
            std::free(img->data);
            std::free(img);
        }
        double t = millisecondsSince(start);
        images = t < images ? t : images;
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < 5; i++) loadDxfMesh((dir + "/m" + std::to_string(i) + ".dxf").c_str(), i);
        t = millisecondsSince(start);
        meshes = t < meshes ? t : meshes;
        if (meshStore[4].faceCount != 4000) return 1;
    }
    std::printf("bench: preload_images_17x256 %.2f ms\n", images);
    std::printf("bench: preload_meshes_5x4000 %.2f ms\n", meshes);
    std::printf("bench: preload_files_total %.2f ms\n", images + meshes);
    std::system(("rm -rf '" + dir + "'").c_str());
    return 0;
}
