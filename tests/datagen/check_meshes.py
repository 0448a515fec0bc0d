"""The generated DXF meshes: ezdxf and a reader with the show's token rules
see the same faces; the files are clean R12 text; the morph shapes share a
face count within budget and every morph phase arrives under the show's
0.1-per-frame rule in single precision; the ball is a closed sphere whose
faces tile texture space edge to edge."""
import array
import math
import os
import sys

import ezdxf

DATA = os.environ.get("KAVELD_DATA", "data")
MAX_FACES = 4000
failures = []


def check(cond, msg):
    if not cond:
        failures.append(msg)


def token_read(path):
    """The show's loader: whitespace tokens; after "3DFACE" a code and a word,
    a code and an integer, then twelve code/number pairs; stop at "EOF"."""
    with open(path) as f:
        tok = f.read().split()
    faces, i = [], 0
    while i < len(tok):
        if tok[i] == "3DFACE":
            codes = [tok[i + 1], tok[i + 3]] + [tok[i + 5 + 2 * k] for k in range(12)]
            check(codes == ["8", "62", "10", "20", "30", "11", "21", "31", "12", "22", "32", "13", "23", "33"],
                  "%s: face %d has groups %s" % (path, len(faces), codes))
            layer, colour = tok[i + 2], int(tok[i + 4])
            coords = [float(tok[i + 6 + 2 * k]) for k in range(12)]
            faces.append((layer, colour, coords))
            i += 29
        elif tok[i] == "EOF":
            break
        else:
            i += 1
    return faces


def ezdxf_read(path):
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    check(not auditor.has_errors, "%s: ezdxf audit errors %s" % (path, auditor.errors))
    out = []
    for f in doc.modelspace().query("3DFACE"):
        coords = []
        for v in (f.dxf.vtx0, f.dxf.vtx1, f.dxf.vtx2, f.dxf.vtx3):
            coords += [v[0], v[1], v[2]]
        out.append((f.dxf.layer, f.dxf.color, coords))
    return out


def check_text(path):
    with open(path, "rb") as f:
        text = f.read().decode("ascii")
    lines = text.split("\n")
    check(lines[-1] == "" and lines[-3:-1] == ["0", "EOF"], path + ": does not end with 0/EOF")
    body = lines[:-1]
    check(len(body) % 2 == 0, path + ": odd number of lines")
    check(all(l.strip() for l in body), path + ": blank line")
    check("," not in text, path + ": comma in a number")


meshes = {}
for name in ["ball01.dxf", "balm01.dxf", "balm02.dxf", "balm03.dxf"]:
    path = os.path.join(DATA, name)
    check_text(path)
    ours, theirs = token_read(path), ezdxf_read(path)
    check(len(ours) == len(theirs), "%s: %d faces by token, %d by ezdxf" % (name, len(ours), len(theirs)))
    for k, (a, b) in enumerate(zip(ours, theirs)):
        if a[0] != b[0] or a[1] != b[1] or max(abs(p - q) for p, q in zip(a[2], b[2])) > 1e-6:
            failures.append("%s: face %d differs: %s vs %s" % (name, k, a, b))
            break
    check(0 < len(ours) <= MAX_FACES, "%s: %d faces" % (name, len(ours)))
    print("%s: %d faces" % (name, len(ours)))
    meshes[name] = [c for (_, _, c) in ours]

counts = {len(meshes[n]) for n in ["balm01.dxf", "balm02.dxf", "balm03.dxf"]}
check(len(counts) == 1, "morph shapes have different face counts: %s" % counts)


def max_distance(a, b):
    return max(abs(p - q) for fa, fb in zip(a, b) for p, q in zip(fa, fb))


# The morph: each coordinate steps 0.1 (single precision) toward the target:
# up if below, then down if (now) above. A phase arrives when every
# coordinate has come to rest within 0.1 below its target or on it.
STEP = array.array("f", [0.1])[0]


def morph_phase(moving, target, frames):
    f32 = array.array("f", [0.0])
    out = []
    for fa, fb in zip(moving, target):
        face = []
        for a, b in zip(fa, fb):
            for _ in range(frames):
                if b - STEP < a <= b:
                    break  # at rest: stays within rounding of here
                if a < b:
                    f32[0] = a + STEP
                    a = f32[0]
                if a > b:
                    f32[0] = a - STEP
                    a = f32[0]
            face.append(a)
        out.append(face)
    return out


def arrived(moving, target):
    return all(b - STEP - 1e-4 <= a <= b + 1e-4 for fa, fb in zip(moving, target) for a, b in zip(fa, fb))


sphere, star, torus = meshes["balm01.dxf"], meshes["balm02.dxf"], meshes["balm03.dxf"]
reach = (max_distance(sphere, star), max_distance(star, torus), max_distance(torus, sphere))
print("morph reach: %.2f, %.2f, %.2f" % reach)
check(reach[0] > 3 and reach[1] > 8, "morph shapes barely differ: %s" % (reach,))
state = [list(map(lambda v: array.array("f", [v])[0], f)) for f in sphere]
for label, target, frames in [("balm02", star, 100), ("balm03", torus, 200), ("balm01", sphere, 299)]:
    state = morph_phase(state, target, frames)
    check(arrived(state, target), "the phase toward %s does not arrive in %d frames" % (label, frames))

# The ball: closed, radius 20..25, and each face's right edge is the left
# edge of a neighbour, its top edge the bottom edge of the face above
# (or collapsed at a pole), so per-face texture coordinates tile cleanly.
ball = meshes["ball01.dxf"]
key = lambda c: tuple(round(v, 3) for v in c)
corners = [[key(f[3 * k:3 * k + 3]) for k in range(4)] for f in ball]
radii = [math.sqrt(sum(v * v for v in f[3 * k:3 * k + 3])) for f in ball for k in range(4)]
check(20 <= min(radii) and max(radii) <= 25, "ball radius %.2f..%.2f" % (min(radii), max(radii)))
left_edges = {(c[0], c[3]) for c in corners}
bottom_edges = {(c[0], c[1]) for c in corners}
for i, c in enumerate(corners):
    if (c[1], c[2]) not in left_edges:
        failures.append("ball face %d: right edge has no neighbour" % i)
        break
    if c[3] != c[2] and (c[3], c[2]) not in bottom_edges:
        failures.append("ball face %d: top edge has no face above" % i)
        break

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
