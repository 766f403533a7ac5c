"""vx6207-cli cases where a capture meets another capture, an unusable file or a hang-up.
Usage: run_integrity_case.py CLI SIM CASE"""
import os
import resource
import signal
import subprocess
import time

from run_cli_case import CLI, WORK, Simulator, expect, lines, recorded_values, run, run_case


def start_capture(*destination, interval="0.05"):
    """A long capture against the built-in simulator; returns it once it has printed a row."""
    process = subprocess.Popen([CLI, "capture", "--simulate=VX6207", "--interval", interval, "--count", "100000",
                                *destination], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    first = process.stdout.readline()
    expect(first.startswith("#1 "), f"first row of the running capture: {first!r}")
    return process


def stop_capture(process, signal_number=signal.SIGINT):
    process.send_signal(signal_number)
    out, err = process.communicate(timeout=60)
    return process.returncode, out, err


def case_shared_file():
    # While one capture writes a file, a second one into it refuses at once and changes nothing.
    for option, name, refusal in (("-o", "shared.csv", "Failed to open file."),
                                  ("--xlsx", "shared.xlsx", "Failed to open Excel.")):
        path = os.path.join(WORK, name)
        first = start_capture(option, path)
        rc, _, err = run("capture", "--simulate=VX6207", "--interval", "0", "--count", "3", option, path)
        expect(rc == 1 and f"{refusal}\n{path}: another capture is writing this file" in err
               and "Restored" not in err, f"second capture into {name}: {rc} {err}")
        rc, out, err = stop_capture(first)
        printed = out.count("\n") + 1  # the first row was read before
        expect(rc == 0, f"first capture into {name}: {rc} {err}")
        if option == "-o":
            rows = lines(path)
            expect(len(rows) == printed + 1 and rows[0].startswith("Number,"), f"{name}: {len(rows)} / {printed}")
        else:
            expect(len(recorded_values(path)) == printed, f"{name}: every row of the first capture is kept")
            expect(not os.path.exists(path + ".journal"), f"{name}: the journal went with the completed workbook")


def case_hang_up():
    # A closed terminal, a termination request or a quit key: a clean stop with a complete file.
    for signal_number, option, name in ((signal.SIGHUP, "-o", "hup.csv"), (signal.SIGHUP, "--xlsx", "hup.xlsx"),
                                        (signal.SIGTERM, "-o", "term.csv"), (signal.SIGQUIT, "--xlsx", "quit.xlsx")):
        path = os.path.join(WORK, name)
        process = start_capture(option, path)
        rc, out, err = stop_capture(process, signal_number)
        expect(rc == 0 and "row(s) recorded" in err, f"{signal.Signals(signal_number).name} {name}: {rc} {err}")
        printed = out.count("\n") + 1
        if option == "-o":
            expect(len(lines(path)) == printed + 1, f"{name}: {printed} rows")
        else:
            expect(len(recorded_values(path)) == printed and not os.path.exists(path + ".partial")
                   and not os.path.exists(path + ".journal"), f"{name}: a completed workbook")


def case_settings_of_no_model():
    # Nothing is sent from a file whose model is not the one in use; an empty file names none.
    files = {"empty.vxf": b"", "blank.vxf": b"\r\n\r\n\r\n", "version.vxf": b"FILE_VER,3\r\n"}
    transcript = os.path.join(WORK, "sent.txt")
    with Simulator("--model", "VX6207", "--transcript", transcript) as sim:
        for name, content in files.items():
            path = os.path.join(WORK, name)
            with open(path, "wb") as file:
                file.write(content)
            rc, out, err = run("write-settings", path, "--model", "VX6207", "--lan", sim.address)
            expect(rc == 1 and "The model setting and the model of the setting file are different." in err
                   and "the file names no model" in err, f"write-settings {name}: {rc} {out} {err}")
            resaved = os.path.join(WORK, "resaved-" + name)
            rc, _, err = run("resave", path, "-o", resaved, "--model", "VX6207")
            expect(rc == 1 and not os.path.exists(resaved), f"resave {name}: {rc} {err}")
        # A marker after the refusals: once the simulator has it, anything sent before would be there too.
        rc, _, err = run("send", "--lan", sim.address, "--no-reply", "MARKER")
        expect(rc == 0, f"marker: {rc} {err}")
        deadline = time.time() + 10
        while time.time() < deadline and b"MARKER" not in open(transcript, "rb").read():
            time.sleep(0.02)
        expect(open(transcript, "rb").read() == b"MARKER\n", f"nothing but the marker was sent: {open(transcript, 'rb').read()!r}")


def case_causes():
    # Each failure names its cause, once, and the exit status says what kind it was.
    folder = os.path.join(WORK, "a-folder")
    os.makedirs(folder, exist_ok=True)
    junk = os.path.join(WORK, "junk.ini")
    with open(junk, "wb") as file:
        file.write(bytes(range(256)) * 4)
    for config, cause in ((os.path.join(WORK, "missing.ini"), "no such file or folder"),
                          (folder, "is a folder"), (junk, "not a configuration file")):
        rc, _, err = run("capture", "--simulate=VX6207", "--config", config, "--count", "1", "-o",
                         os.path.join(WORK, "unused.csv"))
        expect(rc == 2 and cause in err, f"--config {config}: {rc} {err}")
    rc, _, err = run("capture", "--simulate=VX6207", "--count", "1", "--xlsx", folder)
    expect(rc == 1 and f"{folder}: is a folder" in err and not os.path.exists(folder + "-2"), f"--xlsx folder: {rc} {err}")
    rc, _, err = run("capture", "--simulate=VX6207", "--count", "1", "-o", os.path.join(WORK, "no", "such.csv"))
    expect(rc == 1 and "Failed to open file.\n" in err and "such.csv: no such file or folder" in err,
           f"no such folder: {rc} {err}")
    bad = os.path.join(WORK, "bad-line.vxf")
    with open(bad, "w") as file:
        file.write("MODEL,8\nRANGE,5,1\n")
    rc, _, err = run("write-settings", bad, "--model", "8", "--simulate=VX6207")
    expect(rc == 1 and f"Failed to load settings.\n{bad}: line 2: incorrect format" in err, f"bad line: {rc} {err}")
    with Simulator("--model", "VX6207", "--drop-reply", "*idn?") as sim:
        rc, _, err = run("capture", "--lan", sim.address, "--model", "VX6207", "--count", "1", "-o",
                         os.path.join(WORK, "unused.csv"))
        expect(rc == 1 and "No response.\nNo reply at this address" in err, f"silent instrument: {rc} {err}")


def case_full_disk_workbook():
    # A workbook capture meets a file size limit (its journal and the library's scratch files fill
    # up): one message with the cause, no raw library lines, the rows kept in the journal, and
    # recover brings every printed row back.
    book = os.path.join(WORK, "full.xlsx")

    def small_files():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (6000, 6000))

    process = subprocess.run([CLI, "capture", "--simulate=VX6207", "--interval", "0", "--count", "100000", "--xlsx",
                              book], capture_output=True, text=True, timeout=120, preexec_fn=small_files)
    err = process.stderr
    printed = process.stdout.count("\n")
    expect(process.returncode == 1 and err.count("Failed to save data.") == 1 and "[ERROR]" not in err
           and "the largest size allowed" in err and f'"vx6207-cli recover {book}"' in err
           and f"{printed} row(s) kept in {book}.journal." in err, f"file size limit: {process.returncode} {err}")
    expect(not os.path.exists(book), "no workbook that would not read back whole")
    rc, _, err = run("recover", book)
    expect(rc == 0 and len(recorded_values(book)) == printed, f"recover: {rc} {printed} {err}")


if __name__ == "__main__":
    run_case(globals())
