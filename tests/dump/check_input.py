#!/usr/bin/env python3
"""brantel-dump --input: a candump log converted to the other formats and back, read by
python-can; ASC files of python-can and log2asc read in; JSON lines and console lines
decoded with a DBC; the filter, count and numbering on file frames; refused arguments
and inputs.
usage: check_input.py BRANTEL-DUMP SAMPLE.log SAMPLE.dbc. Exit 77 without python-can."""

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

DUMP, LOG, DBC = sys.argv[1:4]
os.environ["TZ"] = "UTC"  # for the capture dated 1969
failures = []

# Hand-worked from sample.log and sample.dbc: 0x0003 x 0.1 = 0.3 km/h, 0xE6 = -26 - 40 =
# -66, CDCCCC3D the float 0.1, 02FE: mode 2 selects the signed Code = -2, F87F... a NaN.
JSON = r"""{"t":1765000000.123456,"ch":0,"id":291,"ext":false,"rtr":false,"dlc":8,"data":"0300E603CDCCCC3D","msg":"Engine","signals":{"Speed":0.3,"Temp":-66,"Gear":3,"Ratio":0.1},"labels":{"Gear":"Drive \"D\""}}
{"t":1765000000.200000,"ch":1,"id":291,"ext":false,"rtr":false,"dlc":2,"data":"E803","msg":"Engine","signals":{"Speed":100}}
{"t":1765000001.000001,"ch":0,"id":419361024,"ext":true,"rtr":false,"dlc":2,"data":"0105","msg":"Status","signals":{"Mode":1,"Level":2.5},"labels":{"Mode":"Größe\u0009\\1"}}
{"t":1765000001.500000,"ch":1,"id":419361024,"ext":true,"rtr":false,"dlc":2,"data":"02FE","msg":"Status","signals":{"Mode":2,"Code":-2},"labels":{"Mode":"Code"}}
{"t":1765000002.000000,"ch":0,"id":1280,"ext":false,"rtr":false,"dlc":8,"data":"000000000000F87F","msg":"Raw","signals":{"Value":null}}
{"t":1765000002.250000,"ch":0,"id":1280,"ext":false,"rtr":false,"dlc":8,"data":"9A9999999999B93F","msg":"Raw","signals":{"Value":0.1}}
{"t":1765000003.000000,"ch":1,"id":291,"ext":false,"rtr":true,"dlc":8,"data":""}
{"t":1765000003.000100,"ch":0,"id":448585456,"ext":true,"rtr":true,"dlc":0,"data":""}
{"t":1765000004.000000,"ch":1,"id":1,"ext":false,"rtr":false,"dlc":0,"data":""}
{"t":1765000004.999999,"ch":0,"id":256,"ext":false,"rtr":false,"dlc":12,"data":"A1A2A3A4A5A6A7A8"}
"""
CONSOLE = ['  Engine(Speed=0.3 km/h, Temp=-66 °C, Gear=3 "Drive "D"", Ratio=0.1)',
           "  Engine(Speed=100 km/h)", '  Status(Mode=1 "Größe\t\\1", Level=2.5 %)',
           '  Status(Mode=2 "Code", Code=-2)', "  Raw(Value=nan)", "  Raw(Value=0.1)"]
def check(condition, text):
    if not condition:
        failures.append(text)


def dump(*args, code=0):
    run = subprocess.run([DUMP, *args], capture_output=True, text=True, timeout=60)
    check(run.returncode == code, f"{' '.join(args)}: exit {run.returncode}, {run.stderr}")
    return run


def frames(reader, asc=False):
    """Each frame's fields, its time in µs from the first frame's."""
    out = [(round(m.timestamp * 1e6), m.channel if asc else int(m.channel[3:]),
            m.arbitration_id, m.is_extended_id, m.is_remote_frame, m.is_rx, m.dlc,
            b"" if m.is_remote_frame else bytes(m.data)) for m in reader]
    return [(f[0] - out[0][0],) + f[1:] for f in out]


with tempfile.TemporaryDirectory() as d:
    def path(name, text=None):
        p = os.path.join(d, name)
        if text is not None:
            with open(p, "w") as f:
                f.write(text)
        return p

    sample = open(LOG).read()
    # python-can reads no DLC above 8.
    classic = path("classic.log", "".join(l for l in sample.splitlines(True) if "_" not in l))
    want = frames(can.CanutilsLogReader(classic))

    dump("--input", classic, "-f", "asc", "-o", path("ours.asc"))
    check(frames(can.ASCReader(path("ours.asc")), asc=True) == want, "python-can read our ASC")
    start = next(iter(can.ASCReader(path("ours.asc"), relative_timestamp=False)))
    check(round(start.timestamp * 1e6) == 1765000000123456, "our ASC file's start")
    # Every sample frame through the ASC and candump writers and readers: tst_logs; the
    # candump lines written here: the filter table below.

    # ASC files from other writers, with the first frame's time they give: python-can's
    # (dated when written, started by its trigger block at the millisecond) and log2asc's
    # (a 24-hour date to the second, no trigger block).
    with can.ASCWriter(path("python-can.asc")) as w:
        for m in can.CanutilsLogReader(classic):
            w.on_message_received(m)
    writers = [("python-can.asc", "(1765000000.123000) ")]
    if shutil.which("log2asc"):
        subprocess.run(["log2asc", "-I", classic, "-O", path("log2asc.asc"), "can0", "can1"],
                       check=True)
        writers.append(("log2asc.asc", "(1765000000.000000) "))
    for name, start in writers:
        back = path(name + ".log", dump("--input", path(name)).stdout)
        check(frames(can.CanutilsLogReader(back)) == want, f"{name} read in")
        check(open(back).read().startswith(start), f"{name}: first frame not at {start}")

    run = dump("--input", LOG, "--dbc", DBC, "-f", "json")
    check(run.stdout == JSON, f"JSON lines:\n{run.stdout}")
    lines = dump("--input", LOG, "--dbc", DBC, "-f", "candump").stdout.splitlines()
    check([l for l in lines if l.startswith("  ")] == CONSOLE and len(lines) == 16,
          f"candump lines:\n{lines}")
    text = dump("--input", LOG, "-f", "text").stdout.splitlines()
    check([l.split()[0] for l in text] == [str(i) for i in range(1, 11)], "text numbering")

    # A capture dated before 1970: negative times, counted as any others.
    old = path("old.asc", "date Wed Dec 31 11:59:58 pm 1969\n   0.500000 1  123  Rx   d 1 01\n"
               "   1.500000 2  123  Rx   d 1 01\n")
    run = dump("--input", old, "-f", "json")
    check([l[:18] for l in run.stdout.splitlines()] == ['{"t":-1.500000,"ch', '{"t":-0.500000,"ch']
          and "2 frames (channel 0: 1, channel 1: 1)" in run.stderr, f"1969: {run.stdout}{run.stderr}")

    # (arguments, lines of the sample written, summary)
    for args, rows, summary in [
            (["--filter", "123", "-n", "2"], [0, 1], "2 frames (channel 0: 1, channel 1: 1), 0"),
            (["--exclude", "100-1FF"], [2, 3, 4, 5, 7, 8], "6 frames (channel 0: 4, channel 1: 2), 4")]:
        run = dump("--input", LOG, *args)
        check(run.stdout.splitlines() == [sample.splitlines()[i] for i in rows], f"{args}: {run.stdout}")
        check(f"{summary} frames filtered out" in run.stderr, f"{args}: {run.stderr}")

    # (input text, further arguments, exit status, message)
    asc_head = "date Sat Dec 06 05:46:40.123 pm 2025\nbase hex  timestamps absolute\n"
    for text, args, code, message in [
            ("hello\n", [], 1, "in:1: neither a candump log frame nor"),
            ("\n" + sample[:100] + "(1.5) can0 123#\n", [], 1, "in:4: not a candump log frame"),
            (asc_head + "0.100000 CANFD 1 Rx 123 1 0 8 8 01 02 03 04 05 06 07 08\n", [], 1,
             "in:3: CAN FD frames are not read"),
            (sample, ["--seconds", "1"], 2, "--seconds has no meaning"),
            (sample, ["--filter", "200-100"], 2, "--filter takes LOW-HIGH"),
            (sample, ["--exclude", "80000000"], 2, "--exclude takes LOW-HIGH"),
            (sample, ["--count", "0"], 2, "--count takes a positive number"),
            (sample, ["-f", "html"], 2, 'unknown format "html"'),
            (sample, ["--dbc", DBC], 2, "candump and json formats only"),
            (sample, ["-f", "json", "--dbc", LOG], 1, "sample.log: line 1: expected"),
            (sample, ["-o", path("in")], 2, "would overwrite the input")]:
        run = dump("--input", path("in", text), *args, code=code)
        check(message in run.stderr, f"{message}: {run.stderr}")
    check(open(path("in")).read() == sample, "the input was overwritten")

print("\n".join(failures + [f"{len(failures)} failures"]))
sys.exit(1 if failures else 0)
