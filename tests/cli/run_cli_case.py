"""End-to-end cases of vx6207-cli against the simulator. Usage: run_cli_case.py CLI SIM CASE"""
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

CLI, SIM, CASE = sys.argv[1], sys.argv[2], sys.argv[3]
WORK = tempfile.mkdtemp(prefix="vx-cli-")


def run(*args, stdin=None, timeout=120):
    result = subprocess.run([CLI, *args], input=stdin, capture_output=True, text=True, timeout=timeout)
    return result.returncode, result.stdout, result.stderr


def expect(condition, message):
    if not condition:
        print("FAILED:", message)
        sys.exit(1)


def lines(path):
    with open(path, "rb") as file:
        data = file.read()
    expect(data.endswith(b"\r\n"), f"{path} ends with a complete CR LF line")
    return data.decode().split("\r\n")[:-1]


class Simulator:
    """vx6207-sim on a free loopback port, stopped on exit."""

    def __init__(self, *options):
        self.process = subprocess.Popen([SIM, "--tcp", "0", *options], stdout=subprocess.PIPE, text=True)
        first = self.process.stdout.readline()
        match = re.match(r"listening on (\S+)", first)
        expect(match is not None, f"simulator start line: {first!r}")
        self.address = match.group(1)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait(timeout=10)


def case_idn():
    rc, out, err = run("idn", "--simulate=VX6208")
    expect(rc == 0 and "Model: VX6208 (code 2048)" in out and "Serial No.: 123456" in out, f"idn: {rc} {out} {err}")
    rc, out, err = run("idn", "--lan", "127.0.0.1:1")
    expect(rc == 1 and "Failed to open interface." in err, f"idn without instrument: {rc} {err}")


def case_send():
    rc, out, _ = run("send", "--simulate", "*idn?")
    expect(rc == 0 and out.startswith("ZORVI,VX6207-02,"), f"send: {rc} {out}")
    rc, out, _ = run("send", "--simulate", ":NO:SUCH?", "--timeout-ms", "200")
    expect(rc == 1 and out.strip() == "(no reply)", f"send unanswered: {rc} {out}")


def case_usage():
    for args in (["send"], ["capture", "--simulate"], ["idn"], ["capture", "--method", "sometimes", "-o", "x"],
                 ["defaults", "--model", "99", "-o", "x.vxf"]):
        rc, _, err = run(*args)
        expect(rc == 2, f"{args} is a usage error: {rc} {err}")


def case_capture_interval():
    path = os.path.join(WORK, "front.csv")
    rc, out, err = run("capture", "--simulate=VX6207", "--method", "interval", "--interval", "0.1", "--count", "4",
                       "-o", path)
    expect(rc == 0, f"capture: {rc} {err}")
    rows = lines(path)
    expect(rows[0] == "Number,Date,Time,MeasValue,CompJudge,", f"header {rows[0]}")
    expect(len(rows) == 5 and rows[4].startswith("4,"), f"rows {rows}")
    expect(out.count("\n") == 4 and out.startswith("#1 "), f"printed rows {out}")
    book = os.path.join(WORK, "front.xlsx")
    rc, _, err = run("capture", "--simulate=VX6207", "--interval", "0", "--count", "3", "--xlsx", book)
    with open(book, "rb") as file:
        expect(rc == 0 and file.read(2) == b"PK", f"workbook: {rc} {err}")


def case_capture_key():
    path = os.path.join(WORK, "key.csv")
    rc, out, err = run("capture", "--simulate=VX6207", "--method", "key", "-o", path, stdin="\n\nq\n")
    expect(rc == 0, f"key capture: {rc} {err}")
    rows = lines(path)
    expect(len(rows) == 3 and rows[1].startswith("1,") and rows[2].startswith("2,"), f"rows {rows}")


def case_capture_trigger():
    # Triggers come faster than results are handled: no row beyond the count is ever kept.
    for run_number in range(3):
        with Simulator("--model", "VX6207", "--trigger-every-ms", "5") as sim:
            if run_number > 0:  # the instrument's own trigger input, answered by ":READ?"
                rc, _, err = run("send", "--lan", sim.address, "--no-reply", ":trig:sour ext")
                expect(rc == 0, f"external trigger source: {rc} {err}")
            path = os.path.join(WORK, f"trigger{run_number}.csv")
            rc, out, err = run("capture", "--lan", sim.address, "--model", "VX6207", "--method", "trigger",
                               "--count", "3", "-o", path)
            expect(rc == 0 and len(lines(path)) == 4 and out.count("\n") == 3, f"trigger capture: {rc} {out} {err}")


def case_capture_exit_status():
    # Any acquisition that ends with an error message fails, however many rows it kept.
    with Simulator("--model", "VX6207", "--close-after", "12") as sim:
        path = os.path.join(WORK, "lost.csv")
        rc, out, err = run("capture", "--lan", sim.address, "--model", "VX6207", "--interval", "0", "--count", "50",
                           "-o", path)
        kept = len(lines(path)) - 1
        expect(rc == 1 and kept >= 1 and f"{kept} row(s) kept in {path}." in err
               and "Failed to capture measurement results.\nThe connection was closed by the instrument." in err,
               f"lost link: {rc} {kept} {err}")
    with Simulator("--model", "VX6207", "--garble-reply", ":FETCh?") as sim:
        rc, out, err = run("capture", "--lan", sim.address, "--interval", "0", "--count", "5",
                           "-o", os.path.join(WORK, "garbled.csv"))
        expect(rc == 1 and out == "" and "0 row(s) kept." in err, f"garbled replies: {rc} {out} {err}")
    rc, _, err = run("capture", "--simulate=VX6207", "--count", "3", "-o", "/dev/full")
    expect(rc == 1 and err.count("Failed to save data.") == 1 and "/dev/full: the disk is full" in err,
           f"full disk: {rc} {err}")


def case_capture_model():
    # A model code works as everywhere else; without --model the instrument says which it is.
    path = os.path.join(WORK, "model.csv")
    rc, _, err = run("capture", "--simulate=VX6207", "--model", "8", "--interval", "0", "--count", "1", "-o", path)
    expect(rc == 0, f"capture --model 8: {rc} {err}")
    with Simulator("--model", "VX6208") as sim:
        rc, _, err = run("capture", "--lan", sim.address, "--interval", "0", "--count", "2", "-o", path)
        expect(rc == 0 and len(lines(path)) == 5, f"capture without --model: {rc} {err}")
        rc, out, err = run("selfcheck", "--lan", sim.address, "--yes")
        expect(rc == 0 and "Self check result : PASS" in out, f"selfcheck without --model: {rc} {out} {err}")
    rc, out, err = run("selfcheck", "--simulate=VX6207", "--model", "8", "--yes")
    expect(rc == 0 and "Self check result : PASS" in out, f"selfcheck --model 8: {rc} {out} {err}")
    for interval in ("nan", "-1", "inf", "3600.5"):
        rc, _, err = run("capture", "--simulate", "--interval", interval, "-o", path)
        expect(rc == 2 and "--interval must be" in err, f"--interval {interval}: {rc} {err}")
    rc, _, err = run("capture", "--simulate=VX6207", "--interval", "0.05", "--count", "1", "-o", path)
    expect(rc == 0 and "using 0.0 s" in err, f"--interval 0.05: {rc} {err}")


def case_capture_scan():
    with Simulator("--model", "VX6207-02", "--no-front-cable", "--mux-channels", "1,2,3", "--mux-select", "1",
                   "--scan-mode", "AUTO") as sim:
        path = os.path.join(WORK, "scan.csv")
        rc, out, err = run("capture", "--lan", sim.address, "--model", "VX6207-02", "--method", "interval",
                           "--interval", "0", "--count", "2", "-o", path)
        expect(rc == 0, f"scan capture: {rc} {err}")
        rows = lines(path)
        expect(rows[0].startswith("Number,Date,Time,TotalJudge,CH1_MeasValue,CH1_CompJudge,CH2_"), f"header {rows[0]}")
        expect(len(rows) == 3 and "CH3=" in out, f"rows {rows} {out}")
        with Simulator("--model", "VX6207-02", "--mux-select", "1") as cable:  # the front cable is plugged in
            rc, _, err = run("capture", "--lan", cable.address, "--model", "VX6207-02", "--count", "1", "-o", path)
            expect(rc == 1 and "Disconnect cable from front terminal" in err and "Failed to start measurement." in err,
                   f"front cable: {rc} {err}")


def case_capture_summary():
    limits = [option for channel in range(1, 7) for option in ("--channel-limits", f"{channel}=0.9:1.1")]
    with Simulator("--model", "VX6207-02", "--no-front-cable", "--mux-channels", "1,2,3,4,5,6", "--mux-select", "1",
                   "--scan-mode", "AUTO", "--resistance", "1.0", "--channel-resistance", "4=1.8", *limits) as sim:
        path, summary = os.path.join(WORK, "summary-scan.csv"), os.path.join(WORK, "summary.csv")
        rc, _, err = run("capture", "--lan", sim.address, "--model", "VX6207-02", "--interval", "0", "--count", "3",
                         "-o", path, "--summary", summary)
        expect(rc == 0, f"summary capture: {rc} {err}")
        header, *table = lines(summary)
        expect(header == "Channel,Readings,Passed,Failed,Other,OverRange,NotMeasured,Yield%,Min,Max,Mean,StdDev",
               f"summary header {header}")
        rows = {cells[0]: cells for cells in (row.split(",") for row in table)}
        expect(sorted(rows) == [f"CH{n}" for n in range(1, 7)], f"summary channels {table}")
        expect(rows["CH4"][1:8] == ["3", "0", "3", "0", "0", "0", "0.00"], f"failing channel {rows['CH4']}")
        expect(all(rows[f"CH{n}"][7] == "100.00" for n in (1, 2, 3, 5, 6)), f"passing channels {table}")
        # The figures are those of the recorded file, column by column.
        recorded = [row.split(",") for row in lines(path)[1:]]
        values = [float(row[4 + 2 * 3]) for row in recorded]
        mean = sum(values) / len(values)
        expect(float(rows["CH4"][8]) == min(values) and float(rows["CH4"][9]) == max(values)
               and abs(float(rows["CH4"][10]) - mean) < 1e-8, f"CH4 figures {rows['CH4']} from {values}")
        expect(re.search(r"^CH4\s+3\s+0\.00%", err, re.M) and re.search(r"^CH1\s+3\s+100\.00%", err, re.M),
               f"summary table {err}")
        rc, _, err = run("capture", "--lan", sim.address, "--model", "VX6207-02", "--interval", "0", "--count", "1",
                         "-o", path, "--summary", os.path.join(WORK, "no-such-folder", "summary.csv"))
        expect(rc == 1 and "Failed to write the summary" in err, f"unwritable summary: {rc} {err}")


def case_capture_interrupt():
    path = os.path.join(WORK, "interrupted.csv")
    process = subprocess.Popen([CLI, "capture", "--simulate=VX6207", "--interval", "0.05", "--count", "100000", "-o",
                                path], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    deadline = time.time() + 30
    while time.time() < deadline and (not os.path.exists(path) or len(open(path, "rb").read().split(b"\r\n")) < 4):
        time.sleep(0.05)
    process.send_signal(signal.SIGINT)
    _, err = process.communicate(timeout=30)
    expect(process.returncode == 0, f"interrupted capture ends cleanly: {process.returncode} {err}")
    rows = lines(path)
    expect(len(rows) >= 3 and all(re.match(r"\d+,", row) for row in rows[1:]), f"rows {rows[-3:]}")


def killed_workbook_capture(book, rows):
    """Starts a workbook capture, waits for `rows` printed rows and kills it; returns their values."""
    process = subprocess.Popen([CLI, "capture", "--simulate=VX6207", "--interval", "0", "--count", "100000",
                                "--xlsx", book], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    printed = []
    while len(printed) < rows:
        line = process.stdout.readline()
        expect(line.startswith("#"), f"printed row {line!r}")
        printed.append(float(line.split()[1]))
    process.kill()
    process.wait(timeout=30)
    expect(os.path.exists(book + ".journal"), "the journal outlives the killed capture")
    return printed


def recorded_values(book):
    """The MeasValue column of every row that is no header, in order."""
    import openpyxl  # Debian's interpreter runs these cases
    sheet = openpyxl.load_workbook(book).active
    return [row[3] for row in sheet.iter_rows(values_only=True) if row[0] != "Number"]


def case_capture_workbook_kill():
    book = os.path.join(WORK, "killed.xlsx")
    first = killed_workbook_capture(book, 25)
    rc, _, err = run("capture", "--simulate=VX6207", "--interval", "0", "--count", "3", "--xlsx", book)
    restored = re.search(r"Restored (\d+) rows of an interrupted capture into (\S+)\.", err)
    expect(rc == 0 and restored is not None, f"second capture: {rc} {err}")
    expect(int(restored.group(1)) >= len(first) and restored.group(2) == book, f"restored {restored.group(0)}")
    values = recorded_values(book)
    expect(values[:len(first)] == first, f"every printed row is kept: {values[:len(first)]} {first}")
    expect(len(values) == int(restored.group(1)) + 3, f"restored rows and the new ones: {len(values)}")
    expect(not os.path.exists(book + ".journal"), "the completed workbook removed its journal")

    # recover: the same restoration without a capture; the rows follow those already kept.
    second = killed_workbook_capture(book, 10)
    rc, _, err = run("recover", book)
    expect(rc == 0 and "Restored" in err and not os.path.exists(book + ".journal"), f"recover: {rc} {err}")
    expect(recorded_values(book)[len(values):len(values) + len(second)] == second, "recovered rows")
    rc, _, err = run("recover", book)
    expect(rc == 0 and "No interrupted capture to recover" in err, f"nothing left to recover: {rc} {err}")


def case_config_warnings():
    # Values outside their choices fall back as before; each key is named once on stderr.
    config = os.path.join(WORK, "odd.ini")
    with open(config, "wb") as file:
        file.write(b'[FILE_TYPE]\r\nSeparator=7\r\n[SAVE]\r\nSaveDate="1"\r\n')
    path = os.path.join(WORK, "odd.csv")
    rc, _, err = run("capture", "--simulate=VX6207", "--config", config, "--interval", "0", "--count", "1", "-o", path)
    expect(rc == 0, f"capture with odd values: {rc} {err}")
    expect(err.count("Separator=7") == 1 and err.count('SaveDate="1"') == 1, f"one note per key: {err}")
    expect(lines(path)[0] == "Number,Time,MeasValue,CompJudge,", f"the fallbacks hold: {lines(path)[0]}")


def case_settings_files():
    defaults = os.path.join(WORK, "defaults.vxf")
    rc, _, err = run("defaults", "--model", "VX6208", "-o", defaults)
    expect(rc == 0 and "MUX_ATC_TC,0,0,0,20.000000,3930" in open(defaults).read(), f"defaults: {rc} {err}")
    again = os.path.join(WORK, "again.vxf")
    rc, _, err = run("resave", defaults, "-o", again, "--model", "2048")
    expect(rc == 0 and open(again, "rb").read() == open(defaults, "rb").read(), f"resave: {rc} {err}")
    bad = os.path.join(WORK, "bad.vxf")
    with open(bad, "w") as file:
        file.write("MODEL,8\nRANGE,5,1\n")
    rc, _, err = run("resave", bad, "-o", again, "--model", "8")
    expect(rc == 1 and "Incorrect format found in Line 2." in err, f"resave of a bad file: {rc} {err}")


def case_selfcheck():
    rc, out, _ = run("selfcheck", "--simulate=VX6207", "--yes")
    expect(rc == 0 and "Self check result : PASS" in out, f"selfcheck: {rc} {out}")
    with Simulator("--model", "VX6207", "--self-test", "5") as sim:
        rc, out, _ = run("selfcheck", "--lan", sim.address, "--model", "VX6207", "--yes")
        expect(rc == 1 and "/CPU ROM Error" in out and "/Memory Error" in out, f"selfcheck errors: {rc} {out}")
    rc, out, err = run("selfcheck", "--simulate=VX6207", stdin="")
    expect(rc == 1 and "Execute self-check?" in err and "Self check" not in out, f"declined: {rc} {out}")


def case_panels():
    with Simulator("--model", "VX6207-02") as sim:
        rc, out, err = run("panel-save", "--lan", sim.address, "--panel", "32", "--name", "Oven_2")
        expect(rc == 0, f"panel-save: {rc} {err}")
        for model in ("VX6207-02", "10"):  # a name or a code, as every command takes
            rc, out, err = run("panels", "--lan", sim.address, "--model", model, "--mux")
            expect(rc == 0 and "32\tSaved\tOven_2" in out and out.count("\n") == 38, f"panels {model}: {rc} {out} {err}")
    rc, _, err = run("panel-save", "--simulate", "--panel", "3", "--name", "no spaces")
    expect(rc == 2 and "Please use 0-9 or A-z." in err, f"bad name: {rc} {err}")
    rc, _, err = run("panels", "--simulate=VX6207", "--mux")
    expect(rc == 1 and "MUX is unsupported." in err, f"mux panels: {rc} {err}")


def case_zero_adjust():
    settings = os.path.join(WORK, "range3.vxf")
    rc, _, err = run("defaults", "--model", "8", "-o", settings)
    text = open(settings, "rb").read().replace(b"\r\nRANGE,10\r\n", b"\r\nRANGE,3\r\n")
    open(settings, "wb").write(text.replace(b"\r\nAUTO_RANGE,1\r\n", b"\r\nAUTO_RANGE,0\r\n"))
    result = os.path.join(WORK, "adjusted.vxf")
    rc, out, err = run("zero-adjust", "--simulate=VX6207", "--yes", "--settings", settings, "-o", result)
    expect(rc == 0 and "front range 3: 12" in out and "0 adjusting..." in err, f"zero-adjust: {rc} {out} {err}")
    expect(b"\r\n0ADJ,3,1,12\r\n" in open(result, "rb").read(), "the adjusted value is saved")
    with Simulator("--model", "VX6207", "--zero-adjust-fail") as sim:
        rc, _, err = run("zero-adjust", "--lan", sim.address, "--model", "8", "--yes", "--settings", settings)
        expect(rc == 1 and "Failed to complete 0ADJ." in err, f"failed adjustment: {rc} {err}")
    rc, _, err = run("zero-adjust", "--simulate=VX6207", stdin="")
    expect(rc == 1 and "0 adjustment was not executed." in err, f"declined: {rc} {err}")


def case_ports():
    rc, out, err = run("ports")
    expect(rc == 0 and out.strip() != "", f"ports: {rc} {out} {err}")


def run_case(scope):
    cases = {name[5:]: function for name, function in scope.items() if name.startswith("case_")}
    cases[CASE]()
    print(f"case {CASE} passed")


if __name__ == "__main__":
    run_case(globals())
