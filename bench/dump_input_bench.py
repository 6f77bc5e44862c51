#!/usr/bin/env python3
"""brantel-dump converting a saved capture: writes a candump log of FRAMES frames (both
channels; 40 % Engine, 30 % Status with its two multiplexed layouts, 10 % Raw, 20 %
identifiers the database does not describe, 5 % of all remote), then runs
`brantel-dump --input LOG --dbc tests/dump/sample.dbc -f FORMAT > /dev/null` under
/usr/bin/time -v and prints wall time, CPU time, frames per second and maximum RSS.
The log is deleted afterwards.
usage: dump_input_bench.py BRANTEL-DUMP SAMPLE.dbc [FRAMES = 1000000] [FORMAT = json]"""

import os
import random
import re
import subprocess
import sys
import tempfile

DUMP, DBC = sys.argv[1:3]
FRAMES = int(sys.argv[3]) if len(sys.argv) > 3 else 1_000_000
FORMAT = sys.argv[4] if len(sys.argv) > 4 else "json"
rng = random.Random(1)


def frame_line(i):
    t = 1765000000_000000 + i * 23  # one frame every 23 µs, near the bus maximum
    pick = rng.random()
    if pick < 0.4:
        ident, size = "123", 8
    elif pick < 0.7:
        ident, size = "18FEF100", 2
    elif pick < 0.8:
        ident, size = "500", 8
    else:
        ident, size = f"{rng.randrange(0x600, 0x7FF):03X}", rng.randrange(9)
    data = bytes(rng.randrange(256) for _ in range(size))
    if ident == "18FEF100":
        data = bytes([rng.choice((1, 2))]) + data[1:]
    payload = f"R{size}" if rng.random() < 0.05 else data.hex().upper()
    return f"({t // 10**6}.{t % 10**6:06d}) can{i % 2} {ident}#{payload} R\n"


with tempfile.TemporaryDirectory() as work:
    log = os.path.join(work, "big.log")
    with open(log, "w") as f:
        f.writelines(frame_line(i) for i in range(FRAMES))
    size = os.path.getsize(log)
    with open(os.devnull, "w") as null:
        run = subprocess.run(["/usr/bin/time", "-v", DUMP, "--input", log, "--dbc", DBC,
                              "-f", FORMAT], stdout=null, stderr=subprocess.PIPE, text=True)
    if run.returncode != 0:
        sys.exit(run.stderr)


def field(name):
    return re.search(rf"{re.escape(name)}: (.+)", run.stderr).group(1).strip()


wall = field("Elapsed (wall clock) time (h:mm:ss or m:ss)").split(":")
wall_s = sum(float(x) * 60 ** i for i, x in enumerate(reversed(wall)))
cpu = float(field("User time (seconds)")) + float(field("System time (seconds)"))
print(f"{FRAMES} frames, {size / 2**20:.1f} MiB log, -f {FORMAT} --dbc: wall {wall_s:.2f} s, "
      f"CPU {cpu:.2f} s, {FRAMES / wall_s:,.0f} frames/s, max RSS "
      f"{int(field('Maximum resident set size (kbytes)')) / 1024:.1f} MiB")
print(run.stderr.splitlines()[0])
