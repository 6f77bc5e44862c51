#!/usr/bin/env python3
"""brantel-dump as a user runs it, on the simulated adapter: 1000 frames on standard
output that python-can reads as 1000 messages. Exit 77 (skipped) without python-can."""

import os
import subprocess
import sys
import tempfile

try:
    import can
except ImportError:
    print("python-can is not installed (Debian: python3-can)")
    sys.exit(77)

run = subprocess.run([sys.argv[1], "--simulate", "--count", "1000"], capture_output=True,
                     text=True, timeout=60)
with tempfile.NamedTemporaryFile("w", suffix=".log", delete=False) as f:
    f.write(run.stdout)
try:
    messages = list(can.LogReader(f.name))
finally:
    os.unlink(f.name)
failures = [text for ok, text in [
    (run.returncode == 0, f"exit {run.returncode}: {run.stderr}"),
    (len(run.stdout.splitlines()) == 1000, f"{len(run.stdout.splitlines())} lines printed"),
    (len(messages) == 1000, f"python-can read {len(messages)} messages"),
    ("1000 frames" in run.stderr, f"summary: {run.stderr.strip()}")] if not ok]
print("\n".join(failures + [f"{len(failures)} failures"]))
sys.exit(1 if failures else 0)
