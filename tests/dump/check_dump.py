#!/usr/bin/env python3
"""brantel-dump as a user runs it, on the simulated adapter: 1000 frames that python-can
reads as 1000 messages, a filtered capture, and SIGINT in the middle of a capture.
Exit 77 (skipped) when python-can is missing."""

import os
import signal
import subprocess
import sys
import tempfile
import time

try:
    import can
except ImportError:
    print("python-can is not installed (Debian: python3-can)")
    sys.exit(77)

DUMP = sys.argv[1]
failures = []


def check(condition, text):
    if not condition:
        failures.append(text)


def read_log(text):
    with tempfile.NamedTemporaryFile("w", suffix=".log", delete=False) as f:
        f.write(text)
    try:
        return list(can.LogReader(f.name))
    finally:
        os.unlink(f.name)


# 1000 frames on standard output.
run = subprocess.run([DUMP, "--simulate", "--count", "1000"], capture_output=True, text=True,
                     timeout=60)
check(run.returncode == 0, f"--count 1000 exit {run.returncode}: {run.stderr}")
lines = run.stdout.splitlines()
check(len(lines) == 1000, f"--count 1000 printed {len(lines)} lines")
messages = read_log(run.stdout)
check(len(messages) == 1000, f"python-can read {len(messages)} messages")
check("1000 frames" in run.stderr, f"summary: {run.stderr.strip()}")

# A filter: only the engine-speed and vehicle-speed identifiers of the demo traffic.
run = subprocess.run([DUMP, "--simulate", "--count", "200", "--filter", "0C1,18FEF100"],
                     capture_output=True, text=True, timeout=60)
ids = {m.arbitration_id for m in read_log(run.stdout)}
check(run.returncode == 0 and ids == {0x0C1, 0x18FEF100}, f"--filter gave {ids}")
check("frames filtered out" in run.stderr and " 0 frames filtered out" not in run.stderr,
      f"--filter summary: {run.stderr.strip()}")

# SIGINT mid-capture: a normal end, whole lines only, reporting confirmed off.
with tempfile.TemporaryDirectory() as d:
    path = os.path.join(d, "capture.log")
    proc = subprocess.Popen([DUMP, "--simulate", "--output", path], stderr=subprocess.PIPE,
                            text=True)
    deadline = time.time() + 30
    while time.time() < deadline and (not os.path.exists(path) or os.path.getsize(path) < 5000):
        time.sleep(0.05)
    proc.send_signal(signal.SIGINT)
    _, err = proc.communicate(timeout=30)
    with open(path) as f:
        text = f.read()
    check(proc.returncode == 0, f"SIGINT exit {proc.returncode}: {err}")
    check(text.endswith("\n"), "the last line is cut")
    check(len(read_log(text)) == text.count("\n"), "a line python-can could not read")
    check("did not confirm" not in err and "frames" in err, f"SIGINT summary: {err.strip()}")

for f in failures:
    print(f)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
