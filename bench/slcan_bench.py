#!/usr/bin/env python3
"""brantel-slcan at the bus maximum: the simulated adapter streams 42,553 frames a second
(three to a transfer, on both channels), one reading client per channel link opens its
channel, counts the frame lines it reads for SECONDS, closes it and reads what is left.
Prints the frames streamed, reported and forwarded, each client's count, the loss, and
the bridge's CPU time per second of wall time (from /proc/PID/stat; the simulated
adapter's model runs inside the bridge process and is counted too).
usage: slcan_bench.py BRANTEL-SLCAN [SECONDS]"""

import os
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time

BRIDGE = sys.argv[1]
SECONDS = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
RATE = 42553
work = tempfile.mkdtemp()
links = [os.path.join(work, "can0"), os.path.join(work, "can1")]


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def client(path, channel, start, stop, counts):
    fd = os.open(path, os.O_RDWR | os.O_NOCTTY)
    os.set_blocking(fd, False)
    rest = b""

    def take():
        nonlocal rest
        try:
            data = os.read(fd, 1 << 16)
        except BlockingIOError:
            return False
        parts = (rest + data).split(b"\r")
        rest = parts.pop()
        counts[channel] += sum(1 for p in parts if p)  # empty: the answers to O and C
        return True

    start.wait()
    os.write(fd, b"O\r")
    while not stop.is_set():
        if not take():
            time.sleep(0.001)
    os.write(fd, b"C\r")
    quiet = time.time()
    while time.time() - quiet < 1.0:
        if take():
            quiet = time.time()
        else:
            time.sleep(0.005)
    os.close(fd)


bridge = subprocess.Popen([BRIDGE, "--simulate", "--sim-rate", str(RATE), "--link",
                           ",".join(links)], stderr=subprocess.PIPE, text=True)
while not all(os.path.islink(p) for p in links):
    time.sleep(0.05)
start, stop = threading.Event(), threading.Event()
counts = [0, 0]
threads = [threading.Thread(target=client, args=(links[i], i, start, stop, counts))
           for i in range(2)]
for t in threads:
    t.start()
cpu0, t0 = cpu_seconds(bridge.pid), time.time()
start.set()
time.sleep(SECONDS)
cpu1, t1 = cpu_seconds(bridge.pid), time.time()
in_window = sum(counts)
stop.set()
for t in threads:
    t.join()
bridge.send_signal(signal.SIGINT)
_, err = bridge.communicate(timeout=60)

summary = re.search(r"(\d+) frames reported \(channel 0: (\d+), channel 1: (\d+).*"
                    r"channel 0: (\d+) forwarded, (\d+) dropped, "
                    r"channel 1: (\d+) forwarded, (\d+) dropped", err)
streamed = int(re.search(r"streamed (\d+) frames", err).group(1))
reported, rep0, rep1, fwd0, drop0, fwd1, drop1 = map(int, summary.groups())
got = counts
print(f"window {t1 - t0:.1f} s, target {RATE} frames/s on two channels")
print(f"simulated adapter streamed {streamed} frames; bridge read {reported} from the bulk pipe "
      f"({streamed - reported} missing)")
for ch, (fwd, drop, n) in enumerate([(fwd0, drop0, got[0]), (fwd1, drop1, got[1])]):
    print(f"channel {ch}: bridge forwarded {fwd}, dropped {drop}; client read {n} lines "
          f"({fwd - n} lost between bridge and client)")
print(f"frames the clients read per second in the window: {in_window / (t1 - t0):.0f}")
print(f"bridge CPU: {(cpu1 - cpu0) / (t1 - t0):.3f} s/s")
lost = (streamed - reported) + drop0 + drop1 + (fwd0 - got[0]) + (fwd1 - got[1])
print(f"frames lost: {lost}")
