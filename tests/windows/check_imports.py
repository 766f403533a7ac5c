#!/usr/bin/env python3
"""What is shipped for Windows runs on a stock Windows: every DLL that an .exe or .dll of the
package imports is either in the package or one of Windows' own. Wine brings DLLs of its own
(zlib1.dll among them), so a run under Wine cannot show a missing one; the import tables can.

Usage: check_imports.py OBJDUMP FOLDER [--standalone NAME...]
FOLDER is an install tree, an unpacked ZIP or an installed copy. Each NAME given after
--standalone must import Windows' DLLs only (a single executable that runs from any folder).
"""
import os
import subprocess
import sys

# Windows' own DLLs, present on every supported Windows. Beyond the everyday ones: the DirectWrite
# and Direct2D font rendering of Qt's windows plugin (d2d1, d3d11, dxgi, dwrite), the printer
# spooler of Qt PrintSupport (winspool.drv), and what Qt Core uses for file ownership, network
# drives and the shell's folders (authz, mpr, shcore).
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
    "oleaut32.dll", "comdlg32.dll", "comctl32.dll", "ws2_32.dll", "setupapi.dll", "winmm.dll",
    "imm32.dll", "version.dll", "uxtheme.dll", "dwmapi.dll", "shlwapi.dll", "userenv.dll",
    "netapi32.dll", "wtsapi32.dll", "msvcrt.dll", "ucrtbase.dll",
    "d2d1.dll", "d3d11.dll", "dxgi.dll", "dwrite.dll", "winspool.drv", "authz.dll", "mpr.dll",
    "shcore.dll",
}


def is_system(dll):
    name = dll.lower()
    return name in SYSTEM_DLLS or name.startswith("api-ms-win-")


def imports_of(objdump, path):
    result = subprocess.run([objdump, "-p", path], capture_output=True, text=True, check=False)
    if result.returncode != 0:
        raise RuntimeError(f"{objdump} -p {path}: {result.stderr.strip()}")
    return [line.split(":", 1)[1].strip() for line in result.stdout.splitlines()
            if line.strip().startswith("DLL Name:")]


def binaries(folder):
    for where, _, names in os.walk(folder):
        for name in names:
            if name.lower().endswith((".exe", ".dll")):
                yield os.path.join(where, name)


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    objdump, folder = argv[1], argv[2]
    standalone = {name.lower() for name in argv[4:]} if argv[3:4] == ["--standalone"] else set()
    found = sorted(binaries(folder))
    shipped = {os.path.basename(path).lower() for path in found}
    problems = []
    for path in found:
        name = os.path.relpath(path, folder)
        imported = imports_of(objdump, path)
        for dll in imported:
            if os.path.basename(path).lower() in standalone and not is_system(dll):
                problems.append(f"{name} is to stand alone but imports {dll}")
            elif not is_system(dll) and dll.lower() not in shipped:
                problems.append(f"{name} imports {dll}, which is neither shipped nor part of Windows")
        print(f"{name}: {', '.join(imported)}")
    missing = standalone - shipped
    problems += [f"{name} is not in the package" for name in sorted(missing)]
    if not found:
        problems.append(f"no .exe or .dll under {folder}")
    for problem in problems:
        print(f"FAIL: {problem}", file=sys.stderr)
    print(f"{len(found)} binaries, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
