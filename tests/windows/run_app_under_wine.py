#!/usr/bin/env python3
"""The Windows vx6207-app.exe as shipped (a portable copy of the install tree) under Wine and
Xvfb against its built-in simulator: a second start ends at once (the named mutex), Space starts
an interval capture of 5 readings into a CSV beside the executable, a screenshot is taken during
the capture, and the window closes the way a window manager closes it.

Usage: run_app_under_wine.py WINE SHIPPED_FOLDER SCREENSHOT.png. Exit 77 (skipped) without Xvfb."""
import os
import shutil
import sys
import tempfile

from wine_display import SKIP, Display, missing_tools, result_rows, wait_for, write_capture_settings


def main(wine, shipped, screenshot):
    why = missing_tools()
    if why:
        print("skipped: " + why)
        return SKIP
    folder = tempfile.mkdtemp(prefix="vx-win-app-")
    try:
        copy = os.path.join(folder, "VX6207App")
        shutil.copytree(shipped, copy)
        # Outside Program Files the data folder is the executable's own.
        write_capture_settings(copy)
        app = os.path.join(copy, "vx6207-app.exe")
        with Display() as screen:
            first = screen.start(wine, app, "--simulate=VX6207-02")
            window = screen.window("VX6207App")
            second = screen.start(wine, app, "--simulate")
            if second.wait(timeout=120) != 0 or first.poll() is not None:
                raise SystemExit("the second instance did not end quietly")
            screen.x.press(window, 0x20)  # Space: Start has the focus
            wait_for(lambda: len(result_rows(copy)) >= 2, "rows in the result file")
            screen.screenshot(screenshot, window)
            wait_for(lambda: len(result_rows(copy)) >= 5, "five rows in the result file")
            screen.x.close(window)
            status = first.wait(timeout=120)
        if status != 0:
            raise SystemExit("vx6207-app.exe ended with status %d" % status)
        rows = result_rows(copy)
        judged = [row for row in rows if row.split(",")[-1] in ("IN", "Hi", "Lo")]
        if len(rows) != 5 or len(judged) != 5:
            raise SystemExit("expected five judged rows, found: %s" % rows)
        with open(os.path.join(copy, "Vx6207App.ini"), encoding="ascii") as ini:
            if "LogLimit=5" not in ini.read():
                raise SystemExit("the configuration beside the executable was not kept")
        print("rows recorded: %d; screenshot: %s" % (len(rows), screenshot))
        return 0
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
