#!/usr/bin/env python3
"""Fault injection: how many realistic faults does the test suite catch?

Each mutant in scripts/mutants.tsv is a one-line fault in the product code. For
each, this script applies it to a scratch copy of the tree, rebuilds that copy
incrementally, runs the CTest labels (test folders) named for it, restores the
file and prints KILLED (some test failed), SURVIVED (every test passed) or
UNBUILT (the fault did not compile: the mutant itself is wrong). The kill rate
is over the mutants that built.

    scripts/mutate.py                 # every mutant
    scripts/mutate.py game-spread-down host-pan-flip
    scripts/mutate.py --check         # only check that each mutant applies once

The scratch copy lives in $QUORVEX_MUTATE_DIR (default /tmp/quorvex-mutate),
so the working tree and its build are never touched. Tests that need a display
run under xvfb-run; the soak and the real-key test are left out (too slow, and
the second needs the focus).
"""
import os
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.environ.get("QUORVEX_MUTATE_DIR", "/tmp/quorvex-mutate")
SRC = os.path.join(WORK, "src")
BUILD = os.path.join(WORK, "build")
EXCLUDE = "Soak|RealKeys"


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"n": "\n", "t": "\t", "\\": "\\"}.get(text[i + 1], "\\" + text[i + 1]))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def read_mutants(path):
    mutants = []
    for number, line in enumerate(open(path, encoding="utf-8"), 1):
        line = line.rstrip("\n")
        if not line or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) != 5:
            sys.exit(f"{path}:{number}: expected 5 tab-separated fields, got {len(fields)}")
        ident, file, labels, old, new = fields
        mutants.append((ident, file, labels, unescape(old), unescape(new)))
    return mutants


def sync_tree():
    """Copies the working tree's files into SRC, touching only changed files so
    the scratch build stays incremental."""
    files = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                           cwd=ROOT, check=True, capture_output=True).stdout.split(b"\0")
    listed = {f.decode() for f in files if f and os.path.isfile(os.path.join(ROOT, f.decode()))}
    # Files gone from the tree go from the copy too (a folder's glob would find them).
    for folder, _, names in os.walk(SRC):
        for name in names:
            rel = os.path.relpath(os.path.join(folder, name), SRC)
            if rel not in listed:
                os.remove(os.path.join(SRC, rel))
    for rel in sorted(listed):
        src = os.path.join(ROOT, rel)
        dst = os.path.join(SRC, rel)
        if not os.path.isfile(src):
            continue
        data = open(src, "rb").read()
        if os.path.exists(dst) and open(dst, "rb").read() == data:
            continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        open(dst, "wb").write(data)


def run(cmd, **kw):
    return subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          stdin=subprocess.DEVNULL, **kw).returncode


def build():
    if not os.path.exists(os.path.join(BUILD, "build.ninja")):
        if run(["cmake", "-S", SRC, "-B", BUILD, "-G", "Ninja"]) != 0:
            sys.exit("configure failed")
    return run(["cmake", "--build", BUILD]) == 0


def tests_pass(labels):
    cmd = ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24 -noreset",
           "ctest", "-L", f"^({labels})$", "-E", EXCLUDE, "-j", str(os.cpu_count() or 2),
           "--stop-on-failure", "--timeout", "300"]
    return run(cmd, cwd=BUILD) == 0


def main(argv):
    check_only = "--check" in argv
    wanted = [a for a in argv if not a.startswith("--")]
    mutants = read_mutants(os.path.join(ROOT, "scripts", "mutants.tsv"))
    if wanted:
        mutants = [m for m in mutants if m[0] in wanted]

    for ident, file, _, old, _ in mutants:
        count = open(os.path.join(ROOT, file), encoding="utf-8").read().count(old)
        if count != 1:
            sys.exit(f"{ident}: the old text occurs {count} times in {file}")
    if check_only:
        print(f"{len(mutants)} mutants apply")
        return 0

    os.makedirs(SRC, exist_ok=True)
    sync_tree()
    if not build() or not tests_pass("|".join({m[2] for m in mutants})):
        sys.exit("the unmutated tree does not build or its tests fail")

    killed, survived, unbuilt = [], [], []
    for ident, file, labels, old, new in mutants:
        path = os.path.join(SRC, file)
        original = open(path, encoding="utf-8").read()
        start = time.time()
        open(path, "w", encoding="utf-8").write(original.replace(old, new))
        try:
            if not build():
                verdict, bucket = "UNBUILT", unbuilt
            elif tests_pass(labels):
                verdict, bucket = "SURVIVED", survived
            else:
                verdict, bucket = "KILLED", killed
        finally:
            open(path, "w", encoding="utf-8").write(original)
        bucket.append(ident)
        print(f"{verdict:9} {ident:28} {file} ({time.time() - start:.0f} s)", flush=True)

    built = len(killed) + len(survived)
    rate = 100.0 * len(killed) / built if built else 0.0
    print(f"\n{len(killed)} of {built} mutants killed ({rate:.1f}%)"
          + (f", {len(unbuilt)} did not build" if unbuilt else ""))
    if survived:
        print("survived: " + " ".join(survived))
    build()  # leave the scratch build matching the tree
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
