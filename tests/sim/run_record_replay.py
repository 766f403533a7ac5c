"""Records captures of vx6207-cli made through vx6207-sim --proxy in front of a simulated meter,
answers the same captures with vx6207-sim --replay, and checks that they give the same rows (values
and judgements; not the time stamps) from the same requests. Always ends the simulators it started.
Usage: run_record_replay.py CLI SIM"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

CLI, SIM = sys.argv[1], sys.argv[2]
WORK = tempfile.mkdtemp(prefix="vx-replay-")

# A front capture judged by comparator limits given on the command line, and a MUX scan with a
# failing channel.
CAPTURES = [
    ("front", ["--model", "VX6207", "--channel-limits", "0=1.0e-3:1.2e-3", "--channel-resistance", "0=1.1e-3"],
     ["--model", "VX6207", "--interval", "0", "--count", "4"]),
    ("scan", ["--model", "VX6207-02", "--no-front-cable", "--mux-channels", "1,2,3", "--mux-select", "1",
              "--scan-mode", "AUTO", "--channel-limits", "1=0.9:1.1", "--channel-limits", "2=0.9:1.1",
              "--resistance", "1.0", "--channel-resistance", "2=1.5"],
     ["--model", "VX6207-02", "--interval", "0", "--count", "2"]),
]


def fail(message):
    print("FAILED:", message)
    sys.exit(1)


class Simulator:
    """vx6207-sim on a free loopback port; its error output is kept for the checks."""

    def __init__(self, *options):
        self.errors = tempfile.TemporaryFile(mode="w+")
        self.process = subprocess.Popen([SIM, "--tcp", "0", *options], stdout=subprocess.PIPE, stderr=self.errors,
                                        text=True)
        first = self.process.stdout.readline()
        match = re.match(r"listening on (\S+)", first)
        if match is None:
            self.stop()
            fail(f"simulator {options} start line: {first!r}: {self.error_text()}")
        self.address = match.group(1)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
                fail("a simulator did not stop")

    def error_text(self):
        self.errors.seek(0)
        return self.errors.read()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


def capture(address, arguments, name):
    path = os.path.join(WORK, name + ".csv")
    result = subprocess.run([CLI, "capture", "--lan", address, *arguments, "-o", path], capture_output=True, text=True,
                            timeout=120)
    if result.returncode != 0:
        fail(f"{name}: capture ended with {result.returncode}: {result.stderr}")
    with open(path, encoding="latin-1") as file:
        header, *rows = file.read().splitlines()
    # Date and time are the capture's own; every other column comes from the instrument.
    return header, [[field for index, field in enumerate(row.split(",")) if index not in (1, 2)] for row in rows]


def lines(path):
    with open(path, encoding="latin-1") as file:
        return file.read().splitlines()


def record_and_replay(name, sim_options, capture_arguments):
    recording = os.path.join(WORK, name + ".rec")
    sent = os.path.join(WORK, name + "-sent.txt")
    heard = os.path.join(WORK, name + "-heard.txt")
    with Simulator(*sim_options, "--transcript", sent) as meter:
        with Simulator("--proxy", meter.address, "--record", recording) as proxy:
            recorded = capture(proxy.address, capture_arguments, name + "-recorded")
    with Simulator("--replay", recording, "--transcript", heard) as replay:
        replayed = capture(replay.address, capture_arguments, name + "-replayed")
        said = replay.error_text()
        if said:
            fail(f"{name}: the replay had no answer for some requests: {said}")
        # A request the recording does not hold gets no answer, and the replay names it.
        result = subprocess.run([CLI, "send", "--lan", replay.address, "--timeout-ms", "300", "*TST?"],
                                capture_output=True, text=True, timeout=60)
        if result.returncode != 1 or result.stdout.strip() != "(no reply)":
            fail(f"{name}: an unrecorded request: {result.returncode} {result.stdout}")
        replay.stop()
        if 'no recorded answer for "*TST?"' not in replay.error_text():
            fail(f"{name}: the replay did not name the unrecorded request: {replay.error_text()!r}")
    if len(recorded[1]) < 2 or recorded != replayed:
        fail(f"{name}: recorded {recorded}, replayed {replayed}")
    if lines(heard)[:len(lines(sent))] != lines(sent):
        fail(f"{name}: the replayed capture sent other requests: {lines(sent)} then {lines(heard)}")
    return recorded


def main():
    front = record_and_replay(*CAPTURES[0])
    if {row[-1] for row in front[1]} != {"IN"}:
        fail(f"front judgements from the limits of the command line: {front}")
    scan = record_and_replay(*CAPTURES[1])
    if not all(row[1] == "FAIL" and "IN" in row and "HI" in row for row in scan[1]):
        fail(f"scan judgements: {scan}")
    shutil.rmtree(WORK)  # kept when a check fails, to look at
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
