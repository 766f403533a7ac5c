"""The Windows CLI under Wine against the Windows simulator does what the Linux CLI does against the
Linux simulator: identify, read settings, write them back and capture. Both runs must leave the
same simulator transcripts (every line the CLI sent), the same settings file and the same shape of
result file (the readings themselves carry the simulator's noise).

Usage: compare_transcripts.py WINE WIN_CLI WIN_SIM [LINUX_CLI LINUX_SIM]
Without the Linux pair the Windows run is checked on its own."""

import os
import re
import subprocess
import sys
import tempfile

WINE, WIN_CLI, WIN_SIM = sys.argv[1:4]
LINUX = sys.argv[4:6] if len(sys.argv) >= 6 else None


def expect(condition, message):
    if not condition:
        print("FAILED:", message)
        sys.exit(1)


def session(prefix, cli, sim):
    """Runs the four commands in a fresh folder; returns what is compared."""
    folder = tempfile.mkdtemp(prefix="vx-win-")
    process = subprocess.Popen([*prefix, sim, "--tcp", "0", "--model", "VX6207-02", "--transcript", "sim.txt"],
                               cwd=folder, stdout=subprocess.PIPE, text=True)
    try:
        first = process.stdout.readline().strip()
        match = re.fullmatch(r"listening on (127\.0\.0\.1:\d+)", first)
        expect(match is not None, f"simulator start line: {first!r}")
        lan = ["--lan", match.group(1)]
        outputs = []
        for args in (["idn"], ["read-settings", "--model", "10", "-o", "read.vxf"],
                     ["write-settings", "read.vxf", "--model", "10"],
                     ["capture", "--model", "10", "--method", "interval", "--interval", "0", "--count", "5",
                      "-o", "result.csv"]):
            result = subprocess.run([*prefix, cli, *args, *lan], cwd=folder, capture_output=True, text=True,
                                    timeout=120)
            expect(result.returncode == 0, f"{' '.join(args)} exits 0: {result.stdout}{result.stderr}")
            outputs.append(result.stdout)
    finally:
        process.terminate()
        process.wait(timeout=30)

    def read(name):
        with open(os.path.join(folder, name), "rb") as file:
            return file.read()

    transcript = read("sim.txt").decode("latin-1").splitlines()
    settings = read("read.vxf")
    expect(settings.startswith(b"FILE_VER,3\r\nMODEL,10\r\n") and b"\r\r" not in settings,
           "the settings file has CR LF line ends")
    rows = read("result.csv").split(b"\r\n")
    expect(len(rows) == 7 and rows[-1] == b"", f"header and five CR LF rows: {rows!r}")
    shape = [re.sub(rb"[0-9]", b"9", row) for row in rows]
    return {"idn": outputs[0], "transcript": transcript, "settings": settings, "rows": shape}


windows = session([WINE], WIN_CLI, WIN_SIM)
expect("Serial No.: 123456" in windows["idn"], f"identification: {windows['idn']!r}")
expect(any(line.startswith(":SYST") or line.startswith("*") for line in windows["transcript"]),
       "the simulator recorded the lines it received")
if LINUX:
    linux = session([], *LINUX)
    for key in ("idn", "transcript", "settings", "rows"):
        if windows[key] != linux[key]:
            print(f"FAILED: the {key} differ between Windows and Linux")
            print("windows:", windows[key] if key != "transcript" else "\n".join(windows[key]))
            print("linux:  ", linux[key] if key != "transcript" else "\n".join(linux[key]))
            sys.exit(1)
print(f"same transcripts ({len(windows['transcript'])} lines), settings file and result rows")
