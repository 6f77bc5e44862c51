#!/usr/bin/env python3
"""brantel-dump's pcapng captures as tshark reads them: a candump log converted with
--input gives the same interface, time, identifier, flags, length, data and direction
for every frame, and a streamed capture reaches tshark while brantel-dump still runs and
ends cleanly on SIGINT.
usage: check_pcapng.py TSHARK BRANTEL-DUMP LOG. Exit 77 (skipped) without tshark."""

import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile

TSHARK, DUMP, LOG = sys.argv[1:4]
if not shutil.which(TSHARK):
    print("tshark is not installed (Debian: tshark)")
    sys.exit(77)
failures = []
LOG_LINE = re.compile(r"\((\d+)\.(\d{6})\) (can[01]) ([0-9A-F]{3}|[0-9A-F]{8})#"
                      r"(R(\d?)|(?:[0-9A-F]{2})*)(_[0-9A-F])? ([RT])$")
FIELDS = ["frame.interface_name", "frame.time_epoch", "can.id", "can.flags.xtd",
          "can.flags.rtr", "can.len", "data.data", "frame.packet_flags_direction"]


def from_log(text):
    """(interface, time µs, id, extended, remote, length, data, inbound) per line."""
    frames = []
    for line in text.splitlines():
        # Every line of the sample matches (a line that does not stops the script).
        secs, micros, name, ident, payload, rdlc, big_dlc, direction = LOG_LINE.match(line).groups()
        remote = payload.startswith("R")
        length = 8 if big_dlc else int(rdlc or 0) if remote else len(payload) // 2
        frames.append((name, int(secs) * 10**6 + int(micros), int(ident, 16), len(ident) == 8,
                       remote, length, "" if remote else payload.lower(), direction == "R"))
    return frames


def from_capture(path):
    args = [TSHARK, "-r", path, "-T", "fields"] + [a for f in FIELDS for a in ("-e", f)]
    # A capture tshark cannot read gives no frames: the comparison below reports it.
    run = subprocess.run(args, capture_output=True, text=True, timeout=120)
    frames = []
    for line in run.stdout.splitlines():
        name, when, ident, xtd, rtr, length, data, direction = line.split("\t")
        remote = rtr in ("1", "True")
        # tshark shows a remote frame's zero bytes up to its length: they carry nothing. A
        # double holds these times to well under a microsecond.
        frames.append((name, round(float(when) * 1e6), int(ident), xtd in ("1", "True"), remote,
                       int(length), "" if remote else data, int(direction, 16) == 1))
    return frames


with tempfile.NamedTemporaryFile(suffix=".pcapng") as converted:
    run = subprocess.run([DUMP, "--input", LOG, "-f", "pcapng", "-o", converted.name],
                         capture_output=True, timeout=120)
    if run.returncode != 0:
        failures.append(f"--input: exit {run.returncode}: {run.stderr}")
    got, want = from_capture(converted.name), from_log(open(LOG).read())
if got != want or not want:
    diff = next(((g, w) for g, w in zip(got + [None], want + [None]) if g != w), None)
    failures.append(f"{len(got)} frames in the capture, {len(want)} in the source: {diff}")

# Streaming: tshark shows frames while the capture goes on; SIGINT ends it cleanly, with
# reporting confirmed off and every counted frame in the capture.
producer = subprocess.Popen([DUMP, "--simulate", "-f", "pcapng"], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)
reader = subprocess.Popen([TSHARK, "-l", "-i", "-", "-T", "fields", "-e", "can.id"],
                          stdin=producer.stdout, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, text=True)
producer.stdout.close()
ready, _, _ = select.select([reader.stdout], [], [], 60)
first = reader.stdout.readline() if ready else ""
if not first.strip().isdigit() or producer.poll() is not None:
    failures.append(f"no frame reached tshark while the capture ran: {first!r}")
producer.send_signal(signal.SIGINT)
shown = 1 + len(reader.stdout.read().split())
summary = producer.stderr.read()
if producer.wait(timeout=30) != 0 or reader.wait(timeout=30) != 0:
    failures.append(f"streaming: exit {producer.returncode}, tshark {reader.returncode}")
if not re.fullmatch(rf"brantel-dump: {shown} frames \(.*\), \d+ transfers, 0 malformed "
                    r"transfers dropped, 0 frames filtered out\n", summary):
    failures.append(f"streaming: {shown} frames shown, summary {summary}")

print("\n".join(failures + [f"{len(failures)} failures"]))
sys.exit(1 if failures else 0)
