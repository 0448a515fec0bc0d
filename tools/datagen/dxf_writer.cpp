// ASCII DXF output for quad meshes. Numbers are written digit by digit, so
// the decimal point never depends on the locale, and the same on every C
// library (the browser's has no floating-point std::to_chars).
#include <cmath>
#include <cstdint>

#include "meshes.h"

namespace {

void group(std::string &out, int code, const std::string &value) {
    out += std::to_string(code);
    out += '\n';
    out += value;
    out += '\n';
}

// Fixed with four decimals, correctly rounded: a float times 10000 is exact
// in a double (24 + 14 bits), so rounding that to an integer, ties to even,
// rounds the decimal.
void number(std::string &out, int code, float v) {
    if (std::fabs(v) < 0.00005f) v = 0.0f;  // no "-0.0000"
    auto units = static_cast<uint64_t>(std::nearbyint(std::fabs(static_cast<double>(v)) * 10000.0));
    std::string fraction = std::to_string(units % 10000);
    std::string text = std::signbit(v) ? "-" : "";
    text += std::to_string(units / 10000) + '.' + std::string(4 - fraction.size(), '0') + fraction;
    group(out, code, text);
}

}  // namespace

std::string dxfText(const Mesh &mesh, const std::string &layer, int colour) {
    std::string out;
    group(out, 0, "SECTION");
    group(out, 2, "HEADER");
    group(out, 9, "$ACADVER");
    group(out, 1, "AC1009");
    group(out, 0, "ENDSEC");
    group(out, 0, "SECTION");
    group(out, 2, "TABLES");
    group(out, 0, "TABLE");
    group(out, 2, "LAYER");
    group(out, 70, "1");
    group(out, 0, "LAYER");
    group(out, 2, layer);
    group(out, 70, "0");
    group(out, 62, std::to_string(colour));
    group(out, 6, "CONTINUOUS");
    group(out, 0, "ENDTAB");
    group(out, 0, "ENDSEC");
    group(out, 0, "SECTION");
    group(out, 2, "ENTITIES");
    for (const Face &f : mesh) {
        // The show's reader expects exactly: layer (8), colour (62), then the
        // twelve coordinates in corner order.
        group(out, 0, "3DFACE");
        group(out, 8, layer);
        group(out, 62, std::to_string(colour));
        for (int c = 0; c < 4; ++c) {
            number(out, 10 + c, f.c[c].x);
            number(out, 20 + c, f.c[c].y);
            number(out, 30 + c, f.c[c].z);
        }
    }
    group(out, 0, "ENDSEC");
    group(out, 0, "EOF");
    return out;
}
