"""What the X server shows and what a user does with keyboard and mouse.

Geometry comes from xwininfo, input goes through xdotool (XTEST), and closing a
window sends WM_DELETE_WINDOW the way a window manager's close button does."""
import ctypes
import ctypes.util
import re
import subprocess
from dataclasses import dataclass


@dataclass(frozen=True)
class Rect:
    x: int
    y: int
    width: int
    height: int

    @property
    def centre(self):
        return (self.x + self.width // 2, self.y + self.height // 2)


class X11:
    def __init__(self, env):
        self._env = env
        self._root = None

    def _run(self, *command, check=True):
        return subprocess.run(command, env=self._env, check=check, capture_output=True,
                              text=True, timeout=30)

    def visible_windows(self, pid, name_pattern=None):
        """Ids of the mapped toplevel windows that belong to process pid."""
        command = ["xdotool", "search", "--maxdepth", "1", "--onlyvisible", "--pid", str(pid)]
        if name_pattern is not None:
            command += ["--name", name_pattern]
        else:
            command += ["--name", ""]
        result = self._run(*command, check=False)
        return [int(token) for token in result.stdout.split() if int(token) != self.root_window()]

    def root_window(self):
        # xdotool's search at depth 0 reports the root window as well.
        if self._root is None:
            out = self._run("xwininfo", "-root").stdout
            self._root = int(re.search(r"Window id: (0x[0-9a-f]+)", out).group(1), 16)
        return self._root

    def window_at(self, pid, x, y):
        """The smallest visible toplevel of process pid that contains the point."""
        best = None
        for window_id in self.visible_windows(pid):
            box = self.geometry(window_id)
            if box.x <= x < box.x + box.width and box.y <= y < box.y + box.height:
                if best is None or box.width * box.height < best[1]:
                    best = (window_id, box.width * box.height)
        return best and best[0]

    def window_name(self, window_id):
        return self._run("xdotool", "getwindowname", str(window_id), check=False).stdout.rstrip("\n")

    def geometry(self, window_id):
        out = self._run("xwininfo", "-id", str(window_id)).stdout

        def field(label):
            return int(re.search(rf"{label}:\s+(-?\d+)", out).group(1))
        return Rect(field("Absolute upper-left X"), field("Absolute upper-left Y"),
                    field("Width"), field("Height"))

    def is_viewable(self, window_id):
        out = self._run("xwininfo", "-id", str(window_id), check=False).stdout
        return "Map State: IsViewable" in out

    def focus(self, window_id):
        self._run("xdotool", "windowfocus", "--sync", str(window_id))

    def key(self, window_id, *keys):
        """Focuses the window (there is no window manager to do it) and presses keys."""
        self.focus(window_id)
        self._run("xdotool", "key", "--clearmodifiers", *keys)

    def type_text(self, window_id, text):
        self.focus(window_id)
        self._run("xdotool", "type", "--delay", "20", text)

    def click(self, x, y, button=1):
        # No --sync: it waits for a motion event that never comes when the pointer is
        # already there. The server handles the move before the click in any case.
        self._run("xdotool", "mousemove", str(x), str(y), "click", str(button))

    def screenshot(self, path):
        self._run("import", "-window", "root", str(path), check=False)

    def close_window(self, window_id):
        """Asks the window to close (WM_DELETE_WINDOW), as a window manager would."""
        _send_delete_window(self._env["DISPLAY"], window_id)


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def _xlib():
    lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    lib.XOpenDisplay.restype = ctypes.c_void_p
    lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    lib.XInternAtom.restype = ctypes.c_ulong
    lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(_Event)]
    lib.XFlush.argtypes = [ctypes.c_void_p]
    lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    return lib


def _send_delete_window(display_name, window_id):
    xlib = _xlib()
    display = xlib.XOpenDisplay(display_name.encode())
    if not display:
        raise RuntimeError(f"cannot open display {display_name}")
    try:
        event = _Event()
        event.xclient.type = 33  # ClientMessage
        event.xclient.send_event = 1
        event.xclient.display = display
        event.xclient.window = window_id
        event.xclient.message_type = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        xlib.XSendEvent(display, window_id, 0, 0, ctypes.byref(event))
        xlib.XFlush(display)
    finally:
        xlib.XCloseDisplay(display)
