#!/usr/bin/env python3
"""Reads our candump log and ASC files with python-can's LogReader, and the candump log
converted by can-utils' log2asc, and compares every frame with the writer's listing.
Exit 77 (skipped) when python-can or log2asc is missing."""

import shutil
import subprocess
import sys
import tempfile

try:
    import can
except ImportError:
    can = None
if not can or not shutil.which(sys.argv[2]):
    print("python-can or log2asc is not installed (Debian: python3-can, can-utils)")
    sys.exit(77)


def frames(messages, relative=False):
    """(time, channel, id, extended, remote, rx, dlc, data); times from the first frame's
    where `relative`, since log2asc dates its file to the whole second."""
    out = [(round(m.timestamp * 1e6), int(str(m.channel).replace("can", "")),
            m.arbitration_id, m.is_extended_id, m.is_remote_frame, m.is_rx, m.dlc,
            b"" if m.is_remote_frame else bytes(m.data)) for m in messages]
    if relative and out:
        out = [(f[0] - out[0][0] + expected[0][0],) + f[1:] for f in out]
    return out


with tempfile.TemporaryDirectory() as work:
    subprocess.run([sys.argv[1], work], check=True)
    # The listing's fields in decimal (flags as 0 and 1), the data in hex last.
    expected = [(*map(int, f[:7]), bytes.fromhex(f[7]))
                for f in (line.rstrip("\n").split(" ") for line in open(f"{work}/expected.txt"))]
    converted = f"{work}/converted.asc"
    subprocess.run([sys.argv[2], "-I", f"{work}/sample.log", "-O", converted, "can0", "can1"],
                   check=True)
    # python-can's ASC reader counts channels from 0, as we do.
    readers = {"python-can candump log": frames(can.LogReader(f"{work}/sample.log")),
               "python-can ASC": frames(can.ASCReader(f"{work}/sample.asc",
                                                      relative_timestamp=False)),
               "log2asc": frames(can.ASCReader(converted), True)}
errors = [f"{name}: read {got}\n  written {expected}" for name, got in readers.items()
          if got != expected]
print("\n".join(errors + [f"{len(expected)} frames checked by 3 readers, {len(errors)} differ"]))
sys.exit(1 if errors else 0)
