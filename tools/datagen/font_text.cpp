// FreeType text rendering into coverage planes, and stamping lines of
// text into images with a vertical gradient and a blurred halo.
#include "font_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace {

const char *const kRegularFile = "DejaVuSans.ttf";
const char *const kBoldFile = "DejaVuSans-Bold.ttf";
const int kPad = 48;  // room around the ink for the halo

// Owned by openFonts/closeFonts: the open faces every text picture draws with.
FT_Library library = nullptr;
FT_Face faces[2] = {nullptr, nullptr};

FT_Face faceFor(FontStyle style) { return faces[style == FontStyle::Bold ? 1 : 0]; }

}  // namespace

const char *const kSystemFontDir = "/usr/share/fonts/truetype/dejavu/";

bool openFonts(const std::string &dir, std::string &error) {
    if (FT_Init_FreeType(&library) != 0) {
        error = "cannot initialise FreeType";
        return false;
    }
    const char *files[2] = {kRegularFile, kBoldFile};
    for (int i = 0; i < 2; ++i) {
        std::string path = dir + files[i];
        if (FT_New_Face(library, path.c_str(), 0, &faces[i]) != 0) {
            error = "cannot open font " + path + (dir == kSystemFontDir ? " (install fonts-dejavu-core)" : "");
            return false;
        }
    }
    return true;
}

void closeFonts() {
    for (FT_Face &f : faces)
        if (f) FT_Done_Face(f), f = nullptr;
    if (library) FT_Done_FreeType(library), library = nullptr;
}

TextLine renderLine(const std::string &text, FontStyle style, int pixelSize, int tracking) {
    FT_Face face = faceFor(style);
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
    int descent = static_cast<int>(-(face->size->metrics.descender >> 6));

    // First pass: measure the advance of the whole line.
    long pen = 0;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_DEFAULT) != 0) continue;
        pen += face->glyph->advance.x + tracking * 64;
    }
    TextLine line;
    int width = static_cast<int>(pen >> 6) + 2 * kPad + pixelSize;
    line.mask = makePlane(width, ascent + descent + 2 * kPad);
    line.baseline = kPad + ascent;

    pen = (kPad + pixelSize / 2) * 64L;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0) continue;
        FT_GlyphSlot g = face->glyph;
        int ox = static_cast<int>(pen >> 6) + g->bitmap_left;
        int oy = line.baseline - g->bitmap_top;
        for (unsigned r = 0; r < g->bitmap.rows; ++r)
            for (unsigned c = 0; c < g->bitmap.width; ++c) {
                int x = ox + static_cast<int>(c), y = oy + static_cast<int>(r);
                if (x < 0 || y < 0 || x >= line.mask.w || y >= line.mask.h) continue;
                float a = g->bitmap.buffer[r * g->bitmap.pitch + c] / 255.0f;
                float &dst = line.mask.v[static_cast<size_t>(y) * line.mask.w + x];
                dst = std::max(dst, a);
            }
        pen += g->advance.x + tracking * 64;
    }
    line.inkTop = line.mask.h;
    line.inkBottom = 0;
    for (int y = 0; y < line.mask.h; ++y)
        for (int x = 0; x < line.mask.w; ++x)
            if (line.mask.v[static_cast<size_t>(y) * line.mask.w + x] > 0) {
                line.inkTop = std::min(line.inkTop, y);
                line.inkBottom = std::max(line.inkBottom, y);
            }
    // Trim the pen's slack on the right so the mask is centred on its ink.
    int inkLeft = line.mask.w, inkRight = 0;
    for (int y = 0; y < line.mask.h; ++y)
        for (int x = 0; x < line.mask.w; ++x)
            if (line.mask.v[static_cast<size_t>(y) * line.mask.w + x] > 0)
                inkLeft = std::min(inkLeft, x), inkRight = std::max(inkRight, x);
    if (inkRight >= inkLeft) {
        Plane trimmed = makePlane(inkRight - inkLeft + 1 + 2 * kPad, line.mask.h);
        for (int y = 0; y < line.mask.h; ++y)
            for (int x = inkLeft; x <= inkRight; ++x)
                trimmed.v[static_cast<size_t>(y) * trimmed.w + (x - inkLeft + kPad)] =
                    line.mask.v[static_cast<size_t>(y) * line.mask.w + x];
        line.mask = trimmed;
    }
    return line;
}

int lineWidth(const std::string &text, FontStyle style, int pixelSize, int tracking) {
    return renderLine(text, style, pixelSize, tracking).mask.w - 2 * kPad;
}

void drawLine(Image &img, const std::string &text, FontStyle style, int pixelSize, float cx, int baselineY,
              const TextLook &look, int tracking) {
    TextLine line = renderLine(text, style, pixelSize, tracking);
    int ox = static_cast<int>(std::lround(cx - line.mask.w / 2.0f));
    int oy = baselineY - line.baseline;
    if (look.glowRadius > 0) {
        Plane halo = line.mask;
        blurPlane(halo, look.glowRadius);
        addPlane(img, halo, ox, oy, look.glow * look.glowGain);
    }
    float span = std::max(1, line.inkBottom - line.inkTop);
    for (int y = 0; y < line.mask.h; ++y) {
        Rgb fill = mixRgb(look.top, look.bottom, clamp01((y - line.inkTop) / span));
        for (int x = 0; x < line.mask.w; ++x) {
            float a = line.mask.v[static_cast<size_t>(y) * line.mask.w + x];
            if (a > 0) addPixel(img, ox + x, oy + y, fill, a);
        }
    }
}
