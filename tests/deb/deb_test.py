"""deb_test.py BUILD DEB -- the Debian package of BUILD: its contents and
control fields, lintian, the validators of its desktop entry and AppStream
metadata, its manual pages; then the package unpacked into a throwaway root
(dpkg -x under $TMPDIR, never the machine's own packages): the installed
capture renders the show from the installed data, every library the
installed programs load comes with the package's Depends, and the desktop
entry's Exec line starts the program on a private Xvfb. Prints one PASS/FAIL
line per case and exits non-zero when any failed."""
import glob
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import live_test  # noqa: E402
from xsession import XSession  # noqa: E402

from PIL import Image  # noqa: E402


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def run(*args, timeout=120, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=timeout, **kwargs)


def no_display_env():
    return {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}


def case_contents(ctx):
    """Every file and no other, owned by root, with Debian's modes; the control fields."""
    listing = run("dpkg-deb", "-c", ctx.deb).stdout.splitlines()
    files = {}
    for line in listing:
        mode, owner, _size, _date, _time, path = line.split(None, 5)
        check(owner == "root/root", f"{path} is owned by {owner}")
        if not mode.startswith("d"):
            files[path[1:]] = mode
    data = {f"/usr/share/kaveld/data/{name}": "-rw-r--r--" for name in os.listdir(os.path.join(ctx.build, "data"))}
    wanted = dict(data, **{
        "/usr/bin/kaveld": "-rwxr-xr-x", "/usr/bin/kaveld-capture": "-rwxr-xr-x",
        "/usr/share/applications/kaveld.desktop": "-rw-r--r--", "/usr/share/pixmaps/kaveld.xpm": "-rw-r--r--",
        "/usr/share/metainfo/org.kaveld.kaveld.metainfo.xml": "-rw-r--r--",
        "/usr/share/man/man6/kaveld.6.gz": "-rw-r--r--", "/usr/share/man/man1/kaveld-capture.1.gz": "-rw-r--r--",
        "/usr/share/doc/kaveld/copyright": "-rw-r--r--", "/usr/share/doc/kaveld/changelog.Debian.gz": "-rw-r--r--"})
    check(files == wanted, f"package files differ: missing {sorted(set(wanted) - set(files))}, extra "
          f"{sorted(set(files) - set(wanted))}, modes {[(p, m) for p, m in files.items() if wanted.get(p, m) != m]}")
    check(ctx.field("Package") == "kaveld" and ctx.field("Architecture") == "amd64", "package name or architecture")
    check(os.path.basename(ctx.deb) == f"kaveld_{ctx.field('Version')}_amd64.deb", "file name differs from Version")
    check(ctx.field("Recommends") == "ffmpeg", "Recommends: " + ctx.field("Recommends"))
    depends = ctx.field("Depends")
    for package in ("libsdl2-2.0-0 (>=", "libopenmpt0 (>=", "libfltk1.3 (>=", "libpng16-16 (>=", "libc6 (>="):
        check(package in depends, f"Depends lacks {package}: {depends}")
    copyright_text = open(os.path.join(ctx.root, "usr/share/doc/kaveld/copyright")).read()
    check(copyright_text.startswith("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/")
          and "License: MIT\n Permission is hereby granted" in copyright_text, "copyright is not DEP-5 MIT")
    # The programs answer without a display, with the package's version.
    upstream = ctx.field("Version").split("-")[0]
    for program in ("kaveld", "kaveld-capture"):
        r = run(os.path.join(ctx.root, "usr/bin", program), "--version", env=no_display_env(), timeout=10)
        check(r.returncode == 0 and r.stdout == f"{program} {upstream}\n", f"{program} --version: {r}")


def case_manual_pages(ctx):
    """Both pages render with man -l, without a warning from groff."""
    for page, title in (("man6/kaveld.6.gz", "KAVELD(6)"), ("man1/kaveld-capture.1.gz", "KAVELD-CAPTURE(1)")):
        r = run("man", "--warnings", "-l", os.path.join(ctx.root, "usr/share/man", page),
                env=dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8"), timeout=30)
        check(r.returncode == 0 and not r.stderr, f"{page}: exit {r.returncode}: {r.stderr}")
        lines = re.sub(".\b", "", r.stdout).splitlines()  # without the overstrikes of bold
        check(lines and lines[0].startswith(title) and "NAME" in lines and "SYNOPSIS" in lines,
              f"{page} rendered as: {r.stdout[:300]}")


def case_lintian_and_validators(ctx):
    """lintian finds no error; desktop-file-validate and appstreamcli have nothing to say."""
    r = run("lintian", "--fail-on", "error", ctx.deb, timeout=300)
    tags = [line for line in r.stdout.splitlines() if re.match(r"^[EWIPX]: ", line)]
    for line in tags:
        print("  lintian " + line)
    check(r.returncode == 0 and not any(t.startswith("E: ") for t in tags), f"lintian: {r.stdout}{r.stderr}")
    desktop = os.path.join(ctx.root, "usr/share/applications/kaveld.desktop")
    r = run("desktop-file-validate", desktop)
    check(r.returncode == 0 and not (r.stdout + r.stderr).strip(), "desktop-file-validate: " + r.stdout + r.stderr)
    r = run("appstreamcli", "validate", "--no-net", "--pedantic",
            os.path.join(ctx.root, "usr/share/metainfo/org.kaveld.kaveld.metainfo.xml"))
    check(r.returncode == 0 and not re.search(r"^[EWIP]: ", r.stdout, re.M), "appstreamcli: " + r.stdout + r.stderr)


def case_installed_capture(ctx):
    """The installed capture, started from an empty folder with no --data, renders from the
    installed data exactly what the build's capture renders from the build's."""
    args = ["--seed", "1", "--size", "160x120", "--frames", "400", "--select", "100,399", "--out"]
    frames = {}
    for name, program in (("installed", os.path.join(ctx.root, "usr/bin/kaveld-capture")),
                          ("build", os.path.join(ctx.build, "kaveld-capture"))):
        cwd = tempfile.mkdtemp(dir=ctx.tmp)
        env = dict(no_display_env(), LD_DEBUG="files", LD_DEBUG_OUTPUT=os.path.join(ctx.tmp, f"ld-{name}"))
        r = run(program, *args, "frames", cwd=cwd, env=env, timeout=300)
        check(r.returncode == 0, f"{name} capture: exit {r.returncode}: {r.stderr[-2000:]}")
        frames[name] = sorted(glob.glob(os.path.join(cwd, "frames", "*.png")))
    check(len(frames["installed"]) == 2, f"installed capture wrote {frames['installed']}")
    for mine, theirs in zip(frames["installed"], frames["build"]):
        with Image.open(mine) as a, Image.open(theirs) as b:
            check(a.tobytes() == b.tobytes(), f"{os.path.basename(mine)} differs from the build's")
            check(any(lo != hi for lo, hi in a.getextrema()), f"{os.path.basename(mine)} is one flat colour")


def case_desktop_entry_starts(ctx):
    """The Exec line, run as a menu would with the package's bin/ on the PATH: the options
    window comes up, CANCEL exits with 0 and says nothing."""
    entry = open(os.path.join(ctx.root, "usr/share/applications/kaveld.desktop")).read()
    exec_line = re.search(r"^Exec=(.*)$", entry, re.M).group(1)
    argv = [a for a in shlex.split(exec_line) if not re.fullmatch(r"%[fFuUdDnNickvm]", a)]
    program = shutil.which(argv[0], path=os.path.join(ctx.root, "usr/bin"))
    check(program == os.path.join(ctx.root, "usr/bin", "kaveld"), f"Exec={exec_line} is not the package's kaveld")
    with XSession(640, 480) as s:
        env = dict(s.env, PATH=os.path.join(ctx.root, "usr/bin") + ":" + os.environ["PATH"], LD_DEBUG="files",
                   LD_DEBUG_OUTPUT=os.path.join(ctx.tmp, "ld-live"))
        p = subprocess.Popen([program] + argv[1:], cwd=ctx.tmp, env=env, stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, text=True)
        try:
            live_test.press(s, live_test.options_window(s, p), live_test.CANCEL)
            code, out = live_test.finish(p)
        finally:
            if p.poll() is None:
                p.kill()
        check(code == 0 and not out, f"CANCEL: exit {code}, said {out!r}")


def case_loaded_libraries_come_with_depends(ctx):
    """What the installed programs loaded above (the libraries SDL opens at run time
    included) belongs to the package's Depends or what they depend on."""
    loaded = set()
    for log in glob.glob(os.path.join(ctx.tmp, "ld-installed.*")) + glob.glob(os.path.join(ctx.tmp, "ld-live.*")):
        loaded |= set(re.findall(r"calling init: (\S+)", open(log).read()))
    check(any("libGL.so" in path for path in loaded), f"no GL library among {sorted(loaded)}")
    # Each library's package: dpkg records /lib and /usr/lib paths as shipped.
    spellings = {}
    for path in loaded:
        for p in {path, os.path.realpath(path)}:
            spellings.setdefault(path, set()).update({p, p[4:] if p.startswith("/usr/") else "/usr" + p})
    owner = {}
    for line in run("dpkg-query", "-S", *sorted(set().union(*spellings.values()))).stdout.splitlines():
        packages, path = line.split(": ", 1)
        owner.setdefault(path, set()).update(p.split(":")[0] for p in packages.split(", "))
    depends = [re.sub(r"\(.*\)", "", a).strip() for d in ctx.field("Depends").split(",") for a in d.split("|")]
    closure = run("apt-cache", "depends", "--recurse", "--no-recommends", "--no-suggests", "--no-conflicts",
                  "--no-breaks", "--no-replaces", "--no-enhances", *depends).stdout
    closure = {line.strip() for line in closure.splitlines() if line and not line.startswith(" ")}
    missing = {}
    for path, names in spellings.items():
        packages = set().union(*(owner.get(n, set()) for n in names))
        if not packages & closure:
            missing[path] = sorted(packages) or "no package"
    check(not missing, f"loaded, but not pulled in by Depends: {missing}")


CASES = [case_contents, case_manual_pages, case_lintian_and_validators, case_installed_capture,
         case_desktop_entry_starts, case_loaded_libraries_come_with_depends]


class Context:
    def __init__(self, build, deb):
        self.build = os.path.abspath(build)
        self.deb = os.path.abspath(deb)
        self.tmp = tempfile.mkdtemp(prefix="kaveld-deb-")
        self.root = os.path.join(self.tmp, "root")
        subprocess.run(["dpkg-deb", "-x", self.deb, self.root], check=True, timeout=120)
        fields = run("dpkg-deb", "-f", self.deb).stdout
        self.fields = dict(re.findall(r"^([A-Za-z-]+): (.*)$", fields, re.M))

    def field(self, name):
        return self.fields.get(name, "")


def main():
    if len(sys.argv) != 3:
        print("usage: deb_test.py BUILD DEB")
        sys.exit(2)
    ctx = Context(*sys.argv[1:])
    failed = 0
    try:
        for case in CASES:
            started = time.time()
            try:
                case(ctx)
                print(f"PASS: {case.__name__[5:]} ({time.time() - started:.0f} s)", flush=True)
            except (Exception, SystemExit) as e:  # a failed check (live_test.fail exits), or the unexpected
                failed += 1
                print(f"FAIL: {case.__name__[5:]}: {e if isinstance(e, Failure) else repr(e)}", flush=True)
    finally:
        shutil.rmtree(ctx.tmp, ignore_errors=True)
    print(f"deb: {len(CASES) - failed} passed, {failed} failed", flush=True)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
