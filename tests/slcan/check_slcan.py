#!/usr/bin/env python3
"""brantel-slcan on the simulated adapter as SLCAN clients see it: python-can's slcan
interface at 500 kbit/s receives 1000 frames equal to what brantel-dump reports for the
same traffic, and the 500K register reaches channel 0; transmit gets BEL; unplugging
ends python-can's reading and the bridge with exit 3; a program leaving without C
closes its channel; SIGTERM switches reporting off, exits 0, removes the links.
usage: check_slcan.py BRANTEL-SLCAN BRANTEL-DUMP. Exit 77 without python-can/pyserial."""

import errno
import os
import signal
import subprocess
import sys
import tempfile
import time

try:
    import can
    import serial
except ImportError:
    print("python-can or pyserial is not installed (Debian: python3-can python3-serial)")
    sys.exit(77)

BRIDGE, DUMP = sys.argv[1], sys.argv[2]
work = tempfile.mkdtemp()
links, sim_log, dump_log = [f"{work}/can0", f"{work}/can1"], f"{work}/requests.txt", f"{work}/log"
failures = []


def check(condition, text):
    if not condition:
        failures.append(text)


def start_bridge():
    proc = subprocess.Popen([BRIDGE, "--simulate", "--link", ",".join(links), "--sim-log", sim_log],
                            stderr=subprocess.PIPE, text=True)
    deadline = time.time() + 30
    while not all(os.path.islink(p) for p in links) and time.time() < deadline:
        time.sleep(0.05)
    return proc


def stop(proc, how):
    proc.send_signal(how)
    _, err = proc.communicate(timeout=30)
    return proc.returncode, err, open(sim_log).read().splitlines()


def fields(m):
    return (m.arbitration_id, m.is_extended_id, m.is_remote_frame, bytes(m.data))


# What brantel-dump reports for the same simulated traffic: channel 0's first 1000 frames.
subprocess.run([DUMP, "--simulate", "-n", "3000", "-o", dump_log], check=True, timeout=120)
expected = [fields(m) for m in can.CanutilsLogReader(dump_log) if m.channel == "can0"][:1000]

bridge = start_bridge()
bus = can.Bus(interface="slcan", channel=links[0], bitrate=500000)
received, deadline = [], time.time() + 120
while len(received) < len(expected) and time.time() < deadline:
    m = bus.recv(timeout=1)
    if m is not None:
        received.append(fields(m))
check(len(expected) == 1000 and received == expected, f"python-can received {len(received)} frames, "
      f"{sum(a != b for a, b in zip(received, expected))} differ from brantel-dump's")
port1 = serial.Serial(links[1], timeout=5)
port1.write(b"t1232AABB\r")
check(port1.read(1) == b"\a", "transmit was not refused with BEL")

# Unplug: the terminals hang up, so pyserial's first look (TIOCINQ) fails with EIO.
code, err, requests = stop(bridge, signal.SIGUSR1)
try:
    bus.recv(timeout=10)
    failures.append("python-can went on reading after the unplug")
except can.CanOperationError as e:
    check(getattr(e.__cause__, "errno", None) == errno.EIO, f"python-can failed otherwise: {e.__cause__!r}")
port1.close()
bus.serialPortOrig.close()
check(code == 3 and "unplugged" in err, f"unplug: exit {code}: {err}")
check("12 23 06 00 00 00 12 00 0B" in requests, "no 500K register written to channel 0")
check(not any(os.path.lexists(p) for p in links), "links left after the unplug")

# A program that leaves without C closes its channel and leaves no stale lines behind:
# the next one's O is answered first. Then SIGTERM with channel 0 open.
bridge = start_bridge()
for left in (True, False):
    raw0 = os.open(links[0], os.O_RDWR | os.O_NOCTTY)
    os.write(raw0, b"O\r")
    check(os.read(raw0, 1) == b"\r", "O was not answered with CR first")
    lines = b""
    while left and lines.count(b"\r") < 10:
        lines += os.read(raw0, 4096)
    if left:
        os.close(raw0)
        time.sleep(0.5)
code, err, requests = stop(bridge, signal.SIGTERM)
os.close(raw0)
on_off = [r for r in requests if r.startswith(("12 A2", "12 A3"))]
check(code == 0 and on_off == ["12 A2 01 00 00", "12 A3 01 00 00"] * 2, f"SIGTERM: exit {code}, {on_off}")
check(not any(os.path.lexists(p) for p in links), "links left after SIGTERM")
print("\n".join(failures + [f"{len(failures)} failures"]))
sys.exit(1 if failures else 0)
