#!/usr/bin/env python3
"""Runs a Windows QtTest program under Wine on the offscreen platform, on an Xvfb of its own (a
Qt program under Wine hangs without an X display). Wine does not hand QT_* variables to the
program, so the platform goes on its command line, and the test log goes to a file, which is
printed. The Qt DLLs are found through WINEPATH.

Usage: run_qttest.py WINE PROGRAM DLL_FOLDER[:DLL_FOLDER...] [ARGUMENT...]. The exit status is
the program's (77: skipped without Xvfb)."""
import os
import subprocess
import sys

from wine_display import SKIP, Display, missing_tools, windows_path


def main(wine, program, dll_folders, *arguments):
    why = missing_tools()
    if why:
        print("skipped: " + why)
        return SKIP
    name = os.path.splitext(os.path.basename(program))[0]
    log = os.path.abspath(name + ".log.txt")
    if os.path.exists(log):
        os.remove(log)
    path = ";".join(windows_path(folder) for folder in dll_folders.split(":") if folder)
    # A QtTest takes -o FILE,FORMAT; other programs (renderers) get their own arguments only.
    output = ["-o", windows_path(log) + ",txt"] if not arguments else []
    with Display() as screen:
        env = screen.env(WINEPATH=path)
        status = subprocess.run([wine, program, "-platform", "offscreen", *output, *arguments], env=env).returncode
    if os.path.exists(log):
        with open(log, encoding="utf-8", errors="replace") as f:
            sys.stdout.write(f.read())
    return status


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
