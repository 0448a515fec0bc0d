"""live_frame_bench.py BENCH BUILD_DIR -- runs the live display benchmark on
a private Xvfb (vsync off: Xvfb has no refresh to wait for)."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "e2e"))
from xsession import XSession  # noqa: E402

with XSession(1024, 768) as session:
    result = subprocess.run([sys.argv[1], sys.argv[2]], env=session.env, timeout=600)
sys.exit(result.returncode)
