"""The generator writes the same bytes on every run, and exactly
the show's data files, identical to the build's data directory."""
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import time

GENERATOR = sys.argv[1]
DATA = os.environ.get("KAVELD_DATA", "data")
NAMES = (["lod.bmp"] + ["t%02d.bmp" % i for i in range(17)] +
         ["ball01.dxf", "balm01.dxf", "balm02.dxf", "balm03.dxf", "demotune.xm"])

failures = []
dirs = [tempfile.mkdtemp(prefix="kaveld-gen-") for _ in range(2)]
try:
    for d in dirs:
        start = time.monotonic()
        p = subprocess.run([GENERATOR, d], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
        took = time.monotonic() - start
        print("generated in %.2f s" % took)
        if p.returncode != 0:
            failures.append("generator failed:\n" + p.stdout.decode())
        if sorted(os.listdir(d)) != sorted(NAMES):
            failures.append("unexpected file set: %s" % sorted(os.listdir(d)))
    for name in NAMES:
        a, b, built = (os.path.join(dirs[0], name), os.path.join(dirs[1], name), os.path.join(DATA, name))
        if not (os.path.exists(a) and os.path.exists(b) and filecmp.cmp(a, b, shallow=False)):
            failures.append(name + ": differs between two runs")
        elif not (os.path.exists(built) and filecmp.cmp(a, built, shallow=False)):
            failures.append(name + ": differs from the build's data directory")
    p = subprocess.run([GENERATOR], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=10)
    if p.returncode == 0:
        failures.append("generator without an output directory should fail")
finally:
    for d in dirs:
        shutil.rmtree(d)

for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
