#!/usr/bin/env python3
"""The installer under Wine and Xvfb, as a user and an administrator meet it: its first page (a
screenshot for review), a silent install under Program Files with the Start-menu entry, the .vxf
file type and the entry among the installed programs; the installed CLI identifies the simulator;
the installed application starts and keeps its data in %APPDATA%\\ZORVI\\VX6207App; a silent
uninstall leaves none of its files, entries or keys.

Usage: run_installer.py WINE SETUP.exe SCREENSHOT.png. Needs WINEPREFIX (the prefix it installs
into). Exit 77 (skipped) without Xvfb."""
import os
import pwd
import subprocess
import sys

from wine_display import SKIP, Display, missing_tools, wait_for

PRODUCT = "VX6207App"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VX6207App"


def check(condition, what):
    if not condition:
        raise SystemExit("FAIL: " + what)


def reg_value(wine, key, value=None):
    """The text of a registry value ("" for the default one), or None when it is absent."""
    args = [wine, "reg", "query", key] + (["/v", value] if value else ["/ve"])
    result = subprocess.run(args, capture_output=True, text=True, env=dict(os.environ, WINEDEBUG="-all"))
    if result.returncode != 0:
        return None
    for line in result.stdout.splitlines():
        if "REG_" in line:
            return line.split("REG_SZ", 1)[-1].strip() if "REG_SZ" in line else line.strip()
    return None


def first_page(screen, wine, setup, screenshot):
    """The installer's welcome page, shown and left without installing."""
    shown = screen.start(wine, setup)
    try:
        window = screen.window("%s %s Setup" % (PRODUCT, version_of(setup)))
        screen.settled_screenshot(screenshot, window)
    finally:
        shown.kill()
        shown.wait(timeout=60)


def version_of(setup):
    return os.path.basename(setup).split("-")[1]


def main(wine, setup, screenshot):
    why = missing_tools()
    if why:
        print("skipped: " + why)
        return SKIP
    drive = os.path.join(os.environ["WINEPREFIX"], "drive_c")
    folder = os.path.join(drive, "Program Files", PRODUCT)
    menu = os.path.join(drive, "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", PRODUCT + ".lnk")
    with Display() as screen:
        first_page(screen, wine, setup, screenshot)

        check(subprocess.run([wine, setup, "/S"], env=screen.env()).returncode == 0, "silent install")
        for name in ("vx6207-app.exe", "vx6207-cli.exe", "vx6207-sim.exe", "Uninstall.exe", "Qt6Core.dll",
                     "libwinpthread-1.dll", os.path.join("platforms", "qwindows.dll")):
            check(os.path.isfile(os.path.join(folder, name)), "installed: " + name)
        check(os.path.isfile(menu), "the Start-menu entry")
        check(reg_value(wine, UNINSTALL_KEY, "DisplayName") == PRODUCT, "listed among the installed programs")
        check("Uninstall.exe" in (reg_value(wine, UNINSTALL_KEY, "UninstallString") or ""), "its uninstaller")
        check(reg_value(wine, r"HKCR\.vxf") == "VX6207App.SettingsFile", "the .vxf file type")
        command = reg_value(wine, r"HKCR\VX6207App.SettingsFile\shell\open\command") or ""
        check("vx6207-app.exe" in command and "%1" in command, "the application opens .vxf files: " + command)
        check("vx6207-app.exe" in (reg_value(wine, r"HKCR\VX6207App.SettingsFile\DefaultIcon") or ""),
              "the .vxf files' icon")

        idn = subprocess.run([wine, os.path.join(folder, "vx6207-cli.exe"), "--simulate", "idn"],
                             capture_output=True, text=True, env=screen.env(), timeout=120)
        check(idn.returncode == 0 and "VX6207-02" in idn.stdout, "the installed CLI identifies: " + idn.stdout)

        # Under Program Files the data go to the user's roaming application data.
        app = screen.start(wine, os.path.join(folder, "vx6207-app.exe"), "--simulate")
        window = screen.window(PRODUCT)
        data = os.path.join(drive, "users", pwd.getpwuid(os.getuid()).pw_name, "AppData", "Roaming", "ZORVI", PRODUCT)
        wait_for(lambda: os.path.isfile(os.path.join(data, "Vx6207App.ini")), "Vx6207App.ini in " + data)
        check(not os.path.exists(os.path.join(folder, "Vx6207App.ini")), "no configuration under Program Files")
        screen.x.close(window)
        check(app.wait(timeout=120) == 0, "the installed application ends cleanly")

        # The uninstaller runs from a copy of itself and ends after it has removed the files.
        check(subprocess.run([wine, os.path.join(folder, "Uninstall.exe"), "/S"], env=screen.env()).returncode == 0,
              "silent uninstall")
        wait_for(lambda: not os.path.exists(folder), "the installation folder to go")
        check(not os.path.exists(menu), "the Start-menu entry removed")
        check(reg_value(wine, UNINSTALL_KEY, "DisplayName") is None, "the installed-programs entry removed")
        check(reg_value(wine, r"HKCR\.vxf") is None, "the .vxf file type removed")
    print("installed, used and uninstalled; first page: " + screenshot)
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
