"""Starts the real vx6207-app --simulate under Xvfb, presses Start with a synthetic key, waits
for rows in the result file and closes the window the way a window manager does.

Run by CTest as: run_app_under_xvfb.py APP. Exit 77 (skipped) when xvfb-run or the X test
extension library is missing."""
import ctypes
import ctypes.util
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
DEADLINE_S = 60.0


def wait_for(condition, what, timeout=DEADLINE_S):
    """Waits for an event (a window, a file, rows); fails with `what` when it never comes."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise SystemExit("timed out waiting for " + what)


class X:
    """The few Xlib and XTest calls the test needs, through the system's own libraries."""

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]

    def __init__(self, display_name):
        self.x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.xtst = ctypes.CDLL(ctypes.util.find_library("Xtst"))
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XInternAtom.restype = ctypes.c_ulong
        self.x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.display = self.x11.XOpenDisplay(display_name.encode())
        if not self.display:
            raise SystemExit("cannot open display " + display_name)
        self.root = self.x11.XDefaultRootWindow(ctypes.c_void_p(self.display))

    def find_window(self, title):
        """The top-level window with the title, or 0."""
        root_ret, parent_ret = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        d = ctypes.c_void_p(self.display)
        self.x11.XQueryTree(d, ctypes.c_ulong(self.root), ctypes.byref(root_ret), ctypes.byref(parent_ret),
                            ctypes.byref(children), ctypes.byref(count))
        found = 0
        for i in range(count.value):
            name = ctypes.c_char_p()
            if self.x11.XFetchName(d, ctypes.c_ulong(children[i]), ctypes.byref(name)) and name.value == title.encode():
                found = children[i]
        return found

    def press(self, window, keysym):
        d = ctypes.c_void_p(self.display)
        self.x11.XSetInputFocus(d, ctypes.c_ulong(window), 1, 0)  # RevertToPointerRoot, CurrentTime
        code = self.x11.XKeysymToKeycode(d, ctypes.c_ulong(keysym))
        self.xtst.XTestFakeKeyEvent(d, code, 1, 0)
        self.xtst.XTestFakeKeyEvent(d, code, 0, 0)
        self.x11.XFlush(d)

    def close(self, window):
        """WM_DELETE_WINDOW, as a window manager's close button sends it."""
        d = ctypes.c_void_p(self.display)
        event = X.ClientMessage()
        event.type = 33  # ClientMessage
        event.window = window
        event.message_type = self.x11.XInternAtom(d, b"WM_PROTOCOLS", 0)
        event.format = 32
        event.data[0] = self.x11.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
        self.x11.XSendEvent(d, ctypes.c_ulong(window), 0, 0, ctypes.byref(event))
        self.x11.XFlush(d)


def result_rows(folder):
    files = glob.glob(os.path.join(folder, "*.csv"))
    if not files:
        return []
    with open(files[0], encoding="ascii", errors="replace") as f:
        return f.read().splitlines()[1:]  # less the header


def write_capture_settings(folder):
    """A configuration beside the executable: an interval capture of five readings, one a second,
    each row only the value and its judgement."""
    with open(os.path.join(folder, "Vx6207App.ini"), "w", newline="\r\n") as ini:
        ini.write("[LOG_TYPE]\nLogType=2\nLogInterval=1\nLogLimit=5\n[SAVE]\nSaveDate=0\nSaveTime=0\n")


def rows_in(folder):
    return len(result_rows(folder))


def under_display(app):
    if not ctypes.util.find_library("Xtst") or not ctypes.util.find_library("X11"):
        print("skipped: the X test extension library (libXtst) is missing")
        return SKIP
    folder = tempfile.mkdtemp(prefix="vx-app-")
    try:
        # The data folder of an executable outside /usr and /opt is its own folder.
        local_app = os.path.join(folder, "vx6207-app")
        shutil.copy(app, local_app)
        write_capture_settings(folder)
        env = dict(os.environ, TMPDIR=folder, QT_QPA_PLATFORM="xcb")
        first = subprocess.Popen([local_app, "--simulate=VX6207-02"], env=env)
        x = X(os.environ["DISPLAY"])
        window = wait_for(lambda: x.find_window("VX6207App"), "the main window")
        # A second start while the first runs shows nothing and ends.
        second = subprocess.run([local_app, "--simulate"], env=env, timeout=DEADLINE_S)
        if second.returncode != 0 or first.poll() is not None:
            raise SystemExit("the second instance did not end quietly")
        x.press(window, 0x20)  # Space: Start has the focus
        wait_for(lambda: rows_in(folder) >= 5, "five rows in the result file")
        x.close(window)
        status = first.wait(timeout=DEADLINE_S)
        if status != 0:
            raise SystemExit("vx6207-app ended with status %d" % status)
        with open(os.path.join(folder, "Vx6207App.ini"), encoding="ascii") as ini:
            kept = ini.read()
        if "LogLimit=5" not in kept or "ModelCode=0" not in kept:
            raise SystemExit("the configuration was not kept as it was:\n" + kept)
        # The simulated meter's comparator is on: every row carries a judgement.
        judged = [row for row in result_rows(folder) if row.split(",")[-1] in ("IN", "Hi", "Lo")]
        if len(judged) != rows_in(folder):
            raise SystemExit("rows without a judgement: %s" % result_rows(folder))
        print("rows recorded: %d" % rows_in(folder))
        return 0
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    app = os.path.abspath(sys.argv[1])
    if sys.argv[2:] == ["--under-display"]:
        return under_display(app)
    if shutil.which("xvfb-run") is None:
        print("skipped: xvfb-run is not installed (scripts/bootstrap installs it)")
        return SKIP
    return subprocess.call(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", sys.executable, os.path.abspath(__file__),
                            app, "--under-display"])


if __name__ == "__main__":
    sys.exit(main())
