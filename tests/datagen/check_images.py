"""The generated BMPs as PIL and a raw header reader see them: 24-bit
uncompressed with a 40-byte info header, the intended power-of-two sizes,
real pictures (not blank, not duplicates), black borders where the square
is drawn additively and smaller than the screen."""
import math
import os
import struct
import sys

from PIL import Image, ImageStat

DATA = os.environ.get("KAVELD_DATA", "data")

# name: (side, border must be black)
EXPECTED = {
    "lod.bmp": (256, True),
    "t00.bmp": (512, True),
    "t01.bmp": (256, False),  # opaque mesh texture
    "t02.bmp": (256, True),
    "t03.bmp": (512, True),
    "t04.bmp": (256, True),
    "t05.bmp": (512, True),
    "t06.bmp": (512, False),  # covers the whole screen
    "t07.bmp": (256, False),  # opaque mesh texture
    "t08.bmp": (512, True),
}
for k in range(9, 17):
    EXPECTED["t%02d.bmp" % k] = (512, True)

failures = []


def check(cond, msg):
    if not cond:
        failures.append(msg)


def header(path):
    with open(path, "rb") as f:
        b = f.read()
    magic, size, _, offset = struct.unpack_from("<2sIII", b, 0)
    info, w, h, planes, bpp, comp = struct.unpack_from("<IiiHHI", b, 14)
    return dict(magic=magic, size=size, offset=offset, info=info, w=w, h=h, planes=planes,
                bpp=bpp, comp=comp, length=len(b))


def border_max(img, ring=2):
    w, h = img.size
    px = img.load()
    worst = 0
    for y in range(h):
        for x in list(range(ring)) + list(range(w - ring, w)):
            worst = max(worst, max(px[x, y]))
    for x in range(w):
        for y in list(range(ring)) + list(range(h - ring, h)):
            worst = max(worst, max(px[x, y]))
    return worst


pictures = {}
for name, (side, black_border) in sorted(EXPECTED.items()):
    path = os.path.join(DATA, name)
    if not os.path.exists(path):
        failures.append(name + ": missing")
        continue
    hd = header(path)
    check(hd["magic"] == b"BM", name + ": no BM signature")
    check(hd["info"] == 40, name + ": info header is %d bytes" % hd["info"])
    check(hd["bpp"] == 24 and hd["comp"] == 0 and hd["planes"] == 1,
          name + ": not 24-bit uncompressed (%d bpp, compression %d)" % (hd["bpp"], hd["comp"]))
    check((hd["w"], hd["h"]) == (side, side), name + ": %dx%d, wanted %d" % (hd["w"], hd["h"], side))
    check(hd["offset"] == 54 and hd["length"] == 54 + 3 * side * side and hd["size"] == hd["length"],
          name + ": pixel offset or file size wrong")
    img = Image.open(path)
    check(img.mode == "RGB" and img.size == (side, side), name + ": PIL reads %s %s" % (img.mode, img.size))
    img = img.convert("RGB")
    stat = ImageStat.Stat(img.convert("L"))
    check(stat.stddev[0] > 8, name + ": nearly flat (stddev %.1f)" % stat.stddev[0])
    check(max(b[1] for b in img.getextrema()) > 200, name + ": never gets bright")
    if black_border:
        check(border_max(img) <= 2, name + ": border not black (max %d)" % border_max(img))
    pictures[name] = img

# The mesh textures are opaque: they must be lit, and t07's frame (sampled
# by the wireframe pass along the faces' edges) must be bright.
if "t01.bmp" in pictures:
    check(ImageStat.Stat(pictures["t01.bmp"].convert("L")).mean[0] > 50, "t01: too dark for an opaque mesh")
if "t07.bmp" in pictures:
    check(ImageStat.Stat(pictures["t07.bmp"].convert("L")).mean[0] > 60, "t07: too dark for an opaque mesh")
    check(min(pictures["t07.bmp"].getpixel((0, 0))) > 150, "t07: the frame for the wireframe is not bright")
    # The morph scene's sphere map turns on one normal: when it lies across the view, every vertex samples
    # the disc's rim, at an angle that follows its place on the picture. Detail there streaks the mesh, so
    # the rim and the band inside it change only slowly around the disc.
    grey, side = pictures["t07.bmp"].convert("L").load(), 256

    def luma(radius, degrees):
        a = math.radians(degrees)
        return grey[int(side / 2 + radius * side / 2 * math.cos(a)), int(side / 2 - radius * side / 2 * math.sin(a))]

    def bend(line):  # the largest second difference: a ridge, a step or an alternation
        return max(abs(line[i + 1] - 2 * line[i] + line[i - 1]) for i in range(1, len(line) - 1))

    rings = [[luma(radius, a) for a in range(-2, 362, 2)] for radius in (0.9, 0.95, 0.99)]
    rays = [[luma(0.8 + k / 128, a) for k in range(24)] for a in range(0, 360, 10)]  # up to the frame
    worst = max(bend(line) for line in rings + rays)
    check(worst <= 16, "t07: the rim is not smooth (a second difference of %d)" % worst)

# The text pictures are all different from one another.
names = ["lod.bmp", "t00.bmp", "t05.bmp"] + ["t%02d.bmp" % k for k in range(9, 17)]
for i, a in enumerate(names):
    for b in names[i + 1:]:
        if a in pictures and b in pictures and pictures[a].size == pictures[b].size:
            pa, pb = pictures[a].convert("L").tobytes(), pictures[b].convert("L").tobytes()
            differing = sum(1 for p, q in zip(pa, pb) if abs(p - q) > 32) / len(pa)
            check(differing > 0.002, "%s and %s are (nearly) the same picture" % (a, b))

for f in failures:
    print("FAIL:", f)
print("%d textures checked, %d failures" % (len(EXPECTED), len(failures)))
sys.exit(1 if failures else 0)
