#!/usr/bin/env python3
"""The run tier of scripts/packages holds what `make run` really uses.

A fresh configuration as `make run` makes it (no tests, no benchmarks) is
read for what its build uses (the compilers, every library and header
directory on its link and compile lines); each of those files must come from
a package the run tier installs, directly or through its dependencies. And the run tier must pull in none of the packages that only the
tests, the sanitizer and fuzzer builds or the Windows build need."""
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


def run(*args, **kw):
    return subprocess.run(["timeout", "-k", "10", "300", *args], check=True, capture_output=True, text=True, **kw)


def tier(*names):
    return run(os.path.join(ROOT, "scripts", "install-deps"), "--list", *names).stdout.split()


def installed_packages():
    """Installed package -> (its dependencies, the virtual packages it provides)."""
    out = run("dpkg-query", "-W", "-f", "${Package}\t${Status}\t${Depends}, ${Pre-Depends}\t${Provides}\n").stdout
    packages = {}
    for line in out.splitlines():
        name, status, depends, provides = line.split("\t")
        if not status.endswith("installed"):
            continue
        # Every alternative of every dependency counts: an installed one may be what satisfied it.
        deps = {re.split(r"[ :(]", d.strip())[0] for d in re.split(r"[,|]", depends) if d.strip()}
        provided = {re.split(r"[ (]", p.strip())[0] for p in provides.split(",") if p.strip()}
        packages[name] = (deps, provided)
    return packages


def closure(roots, packages):
    providers = {}
    for name, (_, provided) in packages.items():
        for p in provided:
            providers.setdefault(p, set()).add(name)
    seen, todo = set(), list(roots)
    while todo:
        name = todo.pop()
        for real in ({name} if name in packages else set()) | providers.get(name, set()):
            if real not in seen:
                seen.add(real)
                todo.extend(packages[real][0])
    return seen


def used_paths(build):
    """Absolute paths the generated build uses: the compilers, and every
    library and header directory on its link and compile lines."""
    paths = set()
    for line in open(os.path.join(build, "CMakeCache.txt")):
        m = re.match(r"^CMAKE_(C|CXX)_COMPILER:FILEPATH=(/.*)$", line.strip())
        if m:
            paths.add(m.group(2))
    for top, _, files in os.walk(build):
        for name in files:
            if name in ("link.txt", "flags.make"):
                text = open(os.path.join(top, name)).read()
                paths |= set(re.findall(r"(/usr/[^\s;]+)", text))
    return {os.path.realpath(p) if os.path.isdir(p) else p for p in paths if os.path.exists(p)}


def owners(path):
    out = subprocess.run(["dpkg", "-S", path], capture_output=True, text=True).stdout
    found = set()
    for line in out.splitlines():
        who, _, owned = line.partition(": ")
        if owned.strip() == path:
            found |= {w.strip().split(":")[0] for w in who.split(",")}
    return found


def main():
    packages = installed_packages()
    run_tier = tier("run")
    missing = [p for p in run_tier if p not in packages]
    assert not missing, f"run tier packages not installed: {missing}"
    run_closure = closure(run_tier, packages)

    with tempfile.TemporaryDirectory(prefix="kaveld-run-tier-") as build:
        run("cmake", "-S", ROOT, "-B", build, "-DKAVELD_TESTS=OFF", "-DKAVELD_BENCH=OFF")
        paths = used_paths(build)
    checked, outside = 0, []
    for path in sorted(paths):
        who = owners(path)
        if not who or (os.path.isdir(path) and len(who) > 1):
            continue  # a shared directory (/usr/include) or a file no package owns
        checked += 1
        if not who & run_closure:
            outside.append(f"{path} ({', '.join(sorted(who))})")
    assert checked >= 10, f"only {checked} files the build uses could be checked: {sorted(paths)}"
    assert not outside, "the run configuration uses files from packages outside the run tier:\n  " + "\n  ".join(outside)

    tiers = re.findall(r"^\[([a-z0-9-]+)", open(os.path.join(ROOT, "scripts", "packages")).read(), re.M)
    others = set(tier(*tiers)) - set(tier("run", "sheets"))
    pulled = sorted(others & run_closure)
    assert not pulled, f"the run tier pulls in packages of other tiers: {pulled}"
    print(f"run tier: {len(run_tier)} packages; {checked} files the build uses, all theirs; none of {len(others)} others")


if __name__ == "__main__":
    try:
        main()
    except AssertionError as e:
        print("FAIL:", e)
        sys.exit(1)
