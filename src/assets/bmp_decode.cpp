// bmp_decode.cpp -- .bmp files to RgbImage: maps the file, finds and
// normalises its DIB header (core or info header, optional file header),
// has the platform convert the pixels to padded 24-bit rows, and copies them
// out as packed red-green-blue rows, bottom row first. Every failure of a
// file that opens is reported in one message box and gives no image.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/assets.h"
#include "assets/dib_bytes.h"
#include "driver/quit.h"
#include "platform/platform.h"

namespace {

const char kUnknownFormat[] = "Unknown DIB file format.";
const char kOutOfMemory[] = "Out of memory.";
const char kConversionError[] = "Image file conversion error.";

enum : uint32_t {
    kFileHeaderBytes = 14,
    kCoreHeaderBytes = 12,
    kInfoHeaderBytes = 40,
    kCompressionNone = 0,
    kCompressionBitFields = 3,
};

uint32_t read16(const unsigned char *p) { return (uint32_t)p[0] | ((uint32_t)p[1] << 8); }
uint32_t read32(const unsigned char *p) { return read16(p) | (read16(p + 2) << 16); }

void showError(const char *text) { Sys_MessageBox(Sys_GetFocusWindow(), text, "Error"); }

// The path is cut, never overrun, when the text would not fit.
void showOpenFailure(const char *path) {
    char text[256];
    std::snprintf(text, sizeof text, "Failed to open DIB file %s.\n", path);
    showError(text);
}

// Where the parts of a mapped file lie; all of it checked against the file's length.
struct DibLayout {
    const unsigned char *dib;  // the DIB header
    uint32_t headerSize;       // 12 or 40
    uint32_t count;            // colour-table entries
    const uint8_t *bits;       // pixel data, up to the end of the file
    size_t bitsLength;
};

const char *locateDib(const uint8_t *file, size_t length, DibLayout *layout) {
    bool fileHeader = length >= 2 && file[0] == 0x42 && file[1] == 0x4D;
    size_t dibOffset = fileHeader ? (size_t)kFileHeaderBytes : 0;
    if (length < dibOffset + 4) return kUnknownFormat;
    const unsigned char *dib = file + dibOffset;
    uint32_t headerSize = read32(dib);
    if (headerSize != kCoreHeaderBytes && headerSize != kInfoHeaderBytes) return kUnknownFormat;
    if (length - dibOffset < headerSize) return kUnknownFormat;
    uint32_t count = countDibColors(dib);
    uint64_t tableEnd = dibOffset + headerSize + (uint64_t)count * (headerSize == kCoreHeaderBytes ? 3 : 4);
    if (tableEnd > length) return kUnknownFormat;
    // Pixel data that starts past the end is empty; the conversion then fails.
    uint64_t pixelOffset = fileHeader ? read32(file + 10) : tableEnd;
    if (pixelOffset > length) pixelOffset = length;
    *layout = DibLayout{dib, headerSize, count, file + pixelOffset, (size_t)(length - pixelOffset)};
    return nullptr;
}

// The normalised header: an info header followed by count + 1 colour entries.
struct NormalisedDib {
    PlatformDibHeader header;
    uint8_t *colors;  // points into the same block, behind the header
};

NormalisedDib *allocNormalised(uint32_t count) {
    size_t bytes = sizeof(NormalisedDib) + ((size_t)count + 1) * 4;
    NormalisedDib *dib = (NormalisedDib *)std::calloc(1, bytes);
    if (dib) dib->colors = (uint8_t *)(dib + 1);
    return dib;
}

void normaliseCore(const DibLayout &in, NormalisedDib *out) {
    PlatformDibHeader &h = out->header;
    h.size = kInfoHeaderBytes;
    h.width = (int32_t)read16(in.dib + 4);
    h.height = (int32_t)read16(in.dib + 6);
    h.planes = (uint16_t)read16(in.dib + 8);
    h.bitCount = (uint16_t)read16(in.dib + 10);
    h.colorsUsed = h.colorsImportant = in.count;
    const unsigned char *table = in.dib + kCoreHeaderBytes;
    for (uint32_t i = 0; i < in.count; i++) std::memcpy(out->colors + 4 * i, table + 3 * i, 3);
}

void normaliseInfo(const DibLayout &in, NormalisedDib *out) {
    PlatformDibHeader &h = out->header;
    h.size = (int32_t)read32(in.dib);
    h.width = (int32_t)read32(in.dib + 4);
    h.height = (int32_t)read32(in.dib + 8);
    h.planes = (uint16_t)read16(in.dib + 12);
    h.bitCount = (uint16_t)read16(in.dib + 14);
    h.compression = read32(in.dib + 16);
    h.imageSize = read32(in.dib + 20);
    h.xPelsPerMeter = (int32_t)read32(in.dib + 24);
    h.yPelsPerMeter = (int32_t)read32(in.dib + 28);
    h.colorsUsed = read32(in.dib + 32);
    h.colorsImportant = read32(in.dib + 36);
    std::memcpy(out->colors, in.dib + kInfoHeaderBytes, (size_t)in.count * 4);
}

uint64_t packedImageBytes(const PlatformDibHeader &h) {
    return ((uint64_t)h.bitCount * (uint64_t)h.width + 7) / 8 * (uint64_t)h.height;
}
uint64_t sectionRowBytes(int32_t width) { return (3 * (uint64_t)width + 3) / 4 * 4; }
uint64_t sourceRowBytes(const PlatformDibHeader &h) { return ((uint64_t)h.bitCount * (uint64_t)h.width + 31) / 32 * 4; }

// Images the decoder does not handle: bit-field masks, top-down rows, empty
// or negative sizes, sides over kMaxImageSide, sizes that do not fit 32 bits.
const char *checkSupported(const PlatformDibHeader &h) {
    if (h.compression == kCompressionBitFields || h.height < 0 || h.width <= 0 || h.height == 0) return kUnknownFormat;
    if (h.width > kMaxImageSide || h.height > kMaxImageSide) return kUnknownFormat;
    if (packedImageBytes(h) > UINT32_MAX || sectionRowBytes(h.width) * (uint64_t)h.height > UINT32_MAX)
        return kUnknownFormat;
    return nullptr;
}

// The header and colour table in normalised form, or an error text.
const char *normalise(const DibLayout &layout, NormalisedDib **result) {
    NormalisedDib *dib = allocNormalised(layout.count);
    if (!dib) return kOutOfMemory;
    if (layout.headerSize == kCoreHeaderBytes)
        normaliseCore(layout, dib);
    else
        normaliseInfo(layout, dib);
    if (dib->header.imageSize == 0) dib->header.imageSize = (uint32_t)packedImageBytes(dib->header);
    if (dib->header.colorsUsed == 0) dib->header.colorsUsed = layout.count;
    *result = dib;
    return nullptr;
}

// Section rows (blue, green, red, padded) to packed red-green-blue rows.
void copySwapped(const uint8_t *section, unsigned char *out, int32_t width, int32_t height) {
    for (int32_t row = 0; row < height; row++) {
        for (int32_t x = 0; x < width; x++, section += 3, out += 3) {
            out[0] = section[2];
            out[1] = section[1];
            out[2] = section[0];
        }
        section += width % 4;
    }
}

// Converts and copies out; returns the image or sets *error.
RgbImage *convertToImage(const PlatformDibHeader &h, const NormalisedDib &dib, const DibLayout &layout,
                         const char **error) {
    // Uncompressed pixels must all lie in the file before anything is allocated for them.
    if (h.compression == kCompressionNone && sourceRowBytes(h) * (uint64_t)h.height > layout.bitsLength) {
        *error = kConversionError;
        return nullptr;
    }
    size_t sectionBytes = (size_t)(sectionRowBytes(h.width) * (uint64_t)h.height);
    uint8_t *section = (uint8_t *)std::calloc(sectionBytes, 1);
    if (!section) {
        *error = kOutOfMemory;
        return nullptr;
    }
    RgbImage *image = nullptr;
    if (Sys_ConvertDibTo24(&h, dib.colors, layout.count, layout.bits, layout.bitsLength, section, sectionBytes) == 0) {
        *error = kConversionError;
    } else {
        unsigned char *pixels = (unsigned char *)std::malloc((size_t)h.width * (size_t)h.height * 3);
        image = pixels ? (RgbImage *)std::malloc(sizeof(RgbImage)) : nullptr;
        if (!image) {
            std::free(pixels);
            *error = kOutOfMemory;
        } else {
            copySwapped(section, pixels, h.width, h.height);
            *image = RgbImage{h.width, h.height, pixels};
        }
    }
    std::free(section);
    return image;
}

}  // namespace

RgbImage *decodeDibBytes(const uint8_t *file, size_t length) {
    DibLayout layout;
    NormalisedDib *dib = nullptr;
    RgbImage *image = nullptr;
    const char *error = locateDib(file, length, &layout);
    if (!error) error = normalise(layout, &dib);
    if (!error) error = checkSupported(dib->header);
    if (!error) image = convertToImage(dib->header, *dib, layout, &error);
    std::free(dib);
    if (error) showError(error);
    return image;
}

uint32_t countDibColors(const unsigned char *dibHeader) {
    bool core = read32(dibHeader) == kCoreHeaderBytes;
    uint32_t bitCount = read16(dibHeader + (core ? 10 : 14));
    if (!core) {
        uint32_t used = read32(dibHeader + 32);
        if (used != 0) return used & 0xFFFF;
    }
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

RgbImage *decodeDib(const char *path) {
    PlatformFileMap map;
    if (!Sys_MapFile(path, &map)) {
        showOpenFailure(path);
        return nullptr;
    }
    RgbImage *image = decodeDibBytes(map.data, map.length);
    Sys_UnmapFile(&map);
    return image;
}

RgbImage *loadBmpImage(const char *path) {
    FILE *file = Sys_OpenFile(path, "rb");
    if (!file) {
        Sys_ReportFailure("cannot open %s", path);
        quitRequests++;
        return nullptr;
    }
    std::fclose(file);
    return decodeDib(path);
}
