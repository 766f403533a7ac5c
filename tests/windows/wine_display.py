"""What the Windows GUI tests share: an Xvfb of their own (a Qt program under Wine hangs without
an X display, whatever its Qt platform), Windows programs started under Wine on it, its top-level
windows found by title, keys typed into them, a close as a window manager sends it, and a
screenshot of the screen as PNG (Xlib and zlib only: no image tool needed)."""
import ctypes
import ctypes.util
import os
import shutil
import struct
import subprocess
import sys
import zlib

SKIP = 77
DEADLINE_S = 120.0
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app"))
# The Xlib calls and the waiting of the Linux application test.
from run_app_under_xvfb import X, result_rows, wait_for, write_capture_settings  # noqa: E402,F401


def missing_tools():
    """Why the GUI tests cannot run here, or None."""
    if not ctypes.util.find_library("Xtst") or not ctypes.util.find_library("X11"):
        return "the X test extension library (libXtst) is missing"
    if shutil.which("Xvfb") is None:
        return "Xvfb is not installed (scripts/bootstrap installs it)"
    return None


class Display:
    """An Xvfb on a free display number, ended with the object."""

    def __init__(self, size="1280x1024x24"):
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", size, "-nolisten", "tcp"],
                                       pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise SystemExit("Xvfb did not start")
        self.name = ":" + number
        self.x = X(self.name)

    def close(self):
        self.server.terminate()
        self.server.wait(timeout=30)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def env(self, **extra):
        return dict(os.environ, DISPLAY=self.name, WINEDEBUG="-all", **extra)

    def start(self, wine, program, *arguments, **popen):
        return subprocess.Popen([wine, program, *arguments], env=self.env(), **popen)

    def window(self, title, timeout=DEADLINE_S):
        return wait_for(lambda: self.x.find_window(title), "the window '%s'" % title, timeout)

    def settled_screenshot(self, path, window=0):
        """The screen (or one window) once it has drawn itself: two grabs alike, not one colour."""
        last = None

        def settled():
            nonlocal last
            rows = self.grab()[2]
            same = rows == last and len(set(rows)) > 2
            last = rows
            return same

        wait_for(settled, "the screen to settle")
        self.screenshot(path, window)

    def screenshot(self, path, window=0):
        """The whole screen, or the part a top-level window covers, as an RGB PNG."""
        width, height, rows = self.grab()
        if window:
            x, y, width, height = self.geometry(window)
            line = 1 + 3 * self.grab_width
            rows = b"".join(b"\0" + rows[(y + r) * line + 1 + 3 * x:(y + r) * line + 1 + 3 * (x + width)]
                            for r in range(height))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                    + chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b""))

    def geometry(self, window):
        """x, y, width and height of a top-level window on the screen."""
        root, x, y = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_int()
        width, height, border, depth = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
        self.x.x11.XGetGeometry(ctypes.c_void_p(self.x.display), ctypes.c_ulong(window), ctypes.byref(root),
                                ctypes.byref(x), ctypes.byref(y), ctypes.byref(width), ctypes.byref(height),
                                ctypes.byref(border), ctypes.byref(depth))
        left, top = max(x.value, 0), max(y.value, 0)
        return (left, top, min(width.value, self.grab_width - left), min(height.value, self.grab_height - top))

    def grab(self):
        """The screen's width, height and PNG scan lines (a filter byte, then RGB)."""
        x11 = self.x.x11
        d = ctypes.c_void_p(self.x.display)
        x11.XGetImage.restype = ctypes.c_void_p
        x11.XDisplayWidth.restype = x11.XDisplayHeight.restype = ctypes.c_int
        width, height = x11.XDisplayWidth(d, 0), x11.XDisplayHeight(d, 0)
        self.grab_width, self.grab_height = width, height
        image = x11.XGetImage(d, ctypes.c_ulong(self.x.root), 0, 0, width, height, ctypes.c_ulong(0xFFFFFFFF), 2)
        if not image:
            raise SystemExit("cannot read the screen")

        class XImage(ctypes.Structure):  # the fields up to the data of Xlib's XImage
            _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                        ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                        ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                        ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                        ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                        ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong), ("obdata", ctypes.c_void_p),
                        ("create_image", ctypes.c_void_p),
                        ("destroy_image", ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p))]

        info = XImage.from_address(image)
        raw = ctypes.string_at(info.data, info.bytes_per_line * height)
        rows = bytearray()
        for y in range(height):  # 32-bit little-endian pixels: B, G, R, unused
            line = raw[y * info.bytes_per_line:y * info.bytes_per_line + width * 4]
            rgb = bytearray(width * 3)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
            rows += b"\0" + rgb
        info.destroy_image(image)  # what the XDestroyImage macro does
        return width, height, bytes(rows)


def windows_path(path):
    """A Linux path as a Windows program under Wine sees it (the Z: drive)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")
