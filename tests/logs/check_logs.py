#!/usr/bin/env python3
"""Reads our candump log and ASC files with python-can's LogReader, and the candump log
converted by can-utils' log2asc, and compares every frame with the writer's listing.
Exit 77 (skipped) when python-can or log2asc is missing."""

import os
import shutil
import subprocess
import sys
import tempfile

try:
    import can
except ImportError:
    print("python-can is not installed (Debian: python3-can)")
    sys.exit(77)


def expected_frames(path):
    frames = []
    with open(path) as f:
        for line in f:
            t, ch, ident, ext, rtr, sent, dlc, data = line.split()
            frames.append(dict(time=int(t) / 1e6, channel=int(ch), id=int(ident, 16),
                               ext=ext == "1", remote=rtr == "1", rx=sent == "0",
                               dlc=int(dlc), data=b"" if data == "-" else bytes.fromhex(data)))
    return frames


def channel_number(msg, from_asc):
    if from_asc:
        return msg.channel  # python-can's ASC reader already counts from 0
    return int(str(msg.channel).replace("can", ""))


def compare(label, messages, expected, from_asc, relative_time):
    if len(messages) != len(expected):
        return [f"{label}: {len(messages)} frames read, {len(expected)} written"]
    errors = []
    t0_msg, t0_exp = messages[0].timestamp, expected[0]["time"]
    for i, (m, e) in enumerate(zip(messages, expected)):
        got = dict(channel=channel_number(m, from_asc), id=m.arbitration_id,
                   ext=m.is_extended_id, remote=m.is_remote_frame, rx=m.is_rx, dlc=m.dlc,
                   data=b"" if m.is_remote_frame else bytes(m.data))
        want = {k: v for k, v in e.items() if k != "time"}
        if got != want:
            errors.append(f"{label} frame {i}: read {got}, written {want}")
        dt_got = m.timestamp - (t0_msg if relative_time else 0)
        dt_want = e["time"] - (t0_exp if relative_time else 0)
        if abs(dt_got - dt_want) > 2e-6:
            errors.append(f"{label} frame {i}: time {dt_got:.6f}, written {dt_want:.6f}")
    return errors


def main():
    writer, log2asc, work = sys.argv[1], sys.argv[2], tempfile.mkdtemp(prefix="brantel-logs-")
    try:
        subprocess.run([writer, work], check=True)
        expected = expected_frames(os.path.join(work, "expected.txt"))
        log_path = os.path.join(work, "sample.log")
        errors = compare("python-can candump log",
                         list(can.LogReader(log_path)), expected, False, False)
        # Absolute times: the reader adds the header's date to each frame's offset.
        asc = can.LogReader(os.path.join(work, "sample.asc"), relative_timestamp=False)
        errors += compare("python-can ASC", list(asc), expected, True, False)
        if not shutil.which(log2asc):
            print("log2asc is not installed (Debian: can-utils)")
            return 77
        converted = os.path.join(work, "converted.asc")
        subprocess.run([log2asc, "-I", log_path, "-O", converted, "can0", "can1"], check=True)
        # log2asc dates its file to the whole second: compare times from the first frame.
        errors += compare("log2asc", list(can.ASCReader(converted)), expected, True, True)
        for e in errors:
            print(e)
        print(f"{len(expected)} frames checked by 3 readers, {len(errors)} differences")
        return 1 if errors else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
