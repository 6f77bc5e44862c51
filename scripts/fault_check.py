#!/usr/bin/env python3
"""Runs the test suite against deliberate faults, to see what it catches.

Each fault in scripts/faults.txt replaces a few exact lines of one source file. The
script copies the working tree into a scratch folder (build-faults/tree, kept between
runs so that only what a fault touches is rebuilt), checks that the suite passes there
untouched, then applies each fault in turn: build, run the suite, restore. A fault is
caught when the suite fails; a fault that does not build or whose lines are not found
is reported as such and counts as not caught, so the list stays honest.

usage: fault_check.py [--only F01,F07] [--tests REGEX] [--list]

BRANTEL_FAULT_DIR chooses another scratch folder, so that two checks can run side by side.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
LIST = os.path.join(TOP, "scripts", "faults.txt")
SCRATCH = os.environ.get("BRANTEL_FAULT_DIR", os.path.join(TOP, "build-faults"))
TREE = os.path.join(SCRATCH, "tree")
BUILD = os.path.join(TREE, "build")
# The default suite: the soak has its own stage, and the package test packs the
# statically linked program, which this scratch build (shared libraries) does not make.
CTEST = ["ctest", "-j2", "--stop-on-failure", "--timeout", "180", "-LE", "soak",
         "-E", "package_deb"]


class Fault:
    def __init__(self, ident, path, title):
        self.ident, self.path, self.title = ident, path, title
        self.old, self.new = [], []

    @property
    def folder(self):
        parts = self.path.split("/")
        return "/".join(parts[:2]) if len(parts) > 2 else parts[0]


def read_faults(path):
    """[F01] src/x/y.cpp: what goes wrong, then '- old line' and '+ new line' lines."""
    faults = []
    header = re.compile(r"^\[(\w+)\]\s+(\S+):\s*(.+)$")
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            m = header.match(line)
            if m:
                faults.append(Fault(*m.groups()))
            elif faults and (line[:2] in ("- ", "+ ") or line in ("-", "+")):
                (faults[-1].old if line[0] == "-" else faults[-1].new).append(line[2:])
            else:
                sys.exit(f"{path}:{number}: expected '[ID] path: title', '- old' or '+ new'")
    for fault in faults:
        if not fault.old:
            sys.exit(f"{path}: fault {fault.ident} removes or replaces no line")
    return faults


def run(command, cwd, log):
    with open(log, "w") as out:
        return subprocess.run(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT).returncode


def sync_tree():
    """Copies tracked and untracked (not ignored) files; the scratch build stays."""
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=TOP,
                           check=True, capture_output=True).stdout.decode().split("\0")
    for rel in filter(None, files):
        source, target = os.path.join(TOP, rel), os.path.join(TREE, rel)
        if not os.path.isfile(source):
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if not (os.path.exists(target) and same_file(source, target)):
            shutil.copy(source, target)  # a fresh time stamp, so the build sees the change


def same_file(a, b):
    with open(a, "rb") as x, open(b, "rb") as y:
        return x.read() == y.read()


def build(log):
    if not os.path.exists(os.path.join(BUILD, "build.ninja")):
        # Shared libraries and no debug information: a fault then costs one compile
        # and one library link instead of relinking every test program.
        command = ["cmake", "-S", TREE, "-B", BUILD, "-G", "Ninja",
                   "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DBRANTEL_SHARED_LIBS=ON",
                   "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"]
        if shutil.which("ccache"):
            command.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        if run(command, TREE, log) != 0:
            return False
    return run(["cmake", "--build", BUILD, "--", "-j2"], TREE, log) == 0


def run_suite(log):
    """The suite in the order the tests are defined (unit tests first, the slow screen and
    cross-build tests last), not CTest's slowest-first order, so that a caught fault stops
    the run early."""
    cost = os.path.join(BUILD, "Testing", "Temporary", "CTestCostData.txt")
    if os.path.exists(cost):
        os.remove(cost)
    return run(CTEST, BUILD, log)


def failed_tests(log):
    """The names in CTest's closing list of failed tests."""
    with open(log, errors="replace") as f:
        text = f.read()
    tail = text.split("The following tests FAILED:")[-1] if "FAILED:" in text else ""
    return sorted(set(re.findall(r"^\s*\d+ - (\S+) \(", tail, re.M)))


def apply(fault):
    path = os.path.join(TREE, fault.path)
    with open(path, encoding="utf-8") as f:
        original = f.read()
    old, new = "\n".join(fault.old) + "\n", "\n".join(fault.new) + ("\n" if fault.new else "")
    if original.count(old) != 1:
        return None
    with open(path, "w", encoding="utf-8") as f:
        f.write(original.replace(old, new))
    return original


def restore(fault, original):
    with open(os.path.join(TREE, fault.path), "w", encoding="utf-8") as f:
        f.write(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--only", help="comma-separated fault ids")
    parser.add_argument("--tests", help="run only the tests matching this regular expression")
    parser.add_argument("--list", action="store_true", help="print the faults and stop")
    args = parser.parse_args()
    if args.tests:
        CTEST.extend(["-R", args.tests])

    faults = read_faults(LIST)
    if args.only:
        wanted = set(args.only.split(","))
        faults = [f for f in faults if f.ident in wanted]
    if args.list:
        for f in faults:
            print(f"{f.ident:4} {f.folder:14} {f.title}")
        return 0

    os.makedirs(TREE, exist_ok=True)
    sync_tree()
    log = os.path.join(SCRATCH, "last.log")
    if not build(log) or run_suite(log) != 0:
        print(f"the untouched suite does not pass in {TREE}; see {log}")
        return 1

    caught = 0
    print(f"{'fault':5} {'folder':14} {'result':8} {'s':>4}  caught by / what")
    for fault in faults:
        start = time.time()
        original = apply(fault)
        if original is None:
            result, by = "NOTFOUND", "the lines to replace are not in the file (exactly once)"
        else:
            try:
                if not build(log):
                    result, by = "NOBUILD", "the faulty code does not build"
                elif run_suite(log) != 0:
                    result, by = "caught", " ".join(failed_tests(log)) or "(see log)"
                    caught += 1
                else:
                    result, by = "MISSED", ""
            finally:
                restore(fault, original)
        print(f"{fault.ident:5} {fault.folder:14} {result:8} {time.time() - start:4.0f}  "
              f"{by} | {fault.title}", flush=True)
    build(log)  # leave the scratch build as the tree is
    print(f"caught {caught} of {len(faults)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
