"""on_xvfb.py PROGRAM [ARGS...] -- runs PROGRAM on a private Xvfb of its
own (tests/e2e/xsession.py), its output passed through, its exit status
returned; at most two minutes."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from xsession import XSession  # noqa: E402

with XSession(1024, 768) as session:
    try:
        code = subprocess.run(sys.argv[1:], env=session.env, timeout=120).returncode
    except subprocess.TimeoutExpired:
        print("FAIL: the program did not end within two minutes")
        code = 1
sys.exit(code)
