#!/usr/bin/python3
"""First movie frame after DocumentComplete, and the player's share of the web process.

Each run starts Pelmarin with fresh HOME and XDG folders on a copy of the demo page whose
onload requests /loaded. From that request on, one screen pixel where the movie's red
rectangle will be is read every few milliseconds (XGetImage), until it turns red: that is
the first frame the user sees. Five seconds later the resident memory of the engine's web
process is read. The same page is then loaded by a copy of the program whose Flash module
succeeds without making any class available, so the page gets no player."""
import argparse
import ctypes
import ctypes.util
import functools
import http.server
import importlib
import sys
import os
import select
import shutil
import signal
import statistics
import subprocess
import tempfile
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
FLASH_REGISTRATION = ("Windows Registry Editor Version 5.00\n\n"
                      "[HKEY_CLASSES_ROOT\\CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32]\n"
                      "@=\"Z:\\\\usr\\\\lib\\\\flash\\\\MOXVE32_24.ocx\"\n")
SETTLE = 5.0  # seconds between the first frame and the memory reading


def movie_description():
    tools = str(ROOT / "tools/swf")
    if tools not in sys.path:
        sys.path.insert(0, tools)
    return importlib.import_module("make_demo_movie")


MOVIE = movie_description()


class Pixels:
    """Single pixels of the root window, read straight from the X server."""

    def __init__(self, display_name):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XGetImage.restype = ctypes.c_void_p
        self.x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x.XGetPixel.restype = ctypes.c_ulong
        self.x.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        self.display = self.x.XOpenDisplay(display_name.encode())
        if not self.display:
            raise RuntimeError(f"cannot open {display_name}")
        self.root = self.x.XDefaultRootWindow(self.display)

    def at(self, x, y):
        image = self.x.XGetImage(self.display, self.root, x, y, 1, 1, 0xFFFFFFFF, 2)  # ZPixmap
        if not image:
            return (0, 0, 0)
        value = self.x.XGetPixel(image, 0, 0)
        # XDestroyImage is a macro of Xlib: it calls the image's own destroy function.
        destroy = ctypes.cast(ctypes.c_void_p.from_address(image + XIMAGE_DESTROY_OFFSET).value,
                              ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p))
        destroy(image)
        return ((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF)


# The start of Xlib's XImage, up to its first function (destroy_image).
class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_char_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong),
                ("obdata", ctypes.c_void_p), ("destroy_image", ctypes.c_void_p)]


XIMAGE_DESTROY_OFFSET = _XImage.destroy_image.offset


def close_to(actual, expected, tolerance=6):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


def processes():
    table = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            text = Path(f"/proc/{entry}/stat").read_text()
        except OSError:
            continue
        table[int(entry)] = (int(text[text.rindex(")") + 2:].split()[1]), text[text.index("(") + 1:text.rindex(")")])
    return table


def rss_mib(pid):
    try:
        for line in Path(f"/proc/{pid}/status").read_text().splitlines():
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    except OSError:
        pass
    return 0.0


def web_process_rss_mib(root_pid):
    """RSS of the web processes below the program (one for one window)."""
    table = processes()
    children = {}
    for pid, (parent, _) in table.items():
        children.setdefault(parent, []).append(pid)
    total, stack = 0.0, list(children.get(root_pid, []))
    while stack:
        pid = stack.pop()
        stack.extend(children.get(pid, []))
        if table[pid][1] == "WebKitWebProces":
            total += rss_mib(pid)
    return total


class Site:
    """The demo site plus bench.html, the demo page with an onload report."""

    def __init__(self, build, work):
        self.folder = Path(work) / "site"
        shutil.copytree(Path(build) / "demo-site", self.folder)
        page = (self.folder / "flash/index.html").read_text()
        (self.folder / "flash/bench.html").write_text(
            page.replace("<body>", "<body onload=\"fetch('/loaded', {cache: 'no-store'})\">", 1))
        self.loaded = threading.Event()
        self.loaded_at = None
        site = self

        class Handler(http.server.SimpleHTTPRequestHandler):
            def do_GET(self):  # noqa: N802 - fixed by the base class
                if self.path.startswith("/loaded"):
                    if not site.loaded.is_set():
                        site.loaded_at = time.monotonic()
                        site.loaded.set()
                    self.send_response(204)
                    self.end_headers()
                    return
                super().do_GET()

            def end_headers(self):
                self.send_header("Cache-Control", "no-store")
                super().end_headers()

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(
            ("127.0.0.1", 0), functools.partial(Handler, directory=str(self.folder)))
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.page = f"http://127.0.0.1:{self.server.server_address[1]}/flash/bench.html"


def start_xvfb():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp"], pass_fds=(write_end,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        if not select.select([read_end], [], [], 20)[0]:
            raise RuntimeError("Xvfb did not start")
        number += os.read(read_end, 16)
    os.close(read_end)
    return xvfb, ":" + number.decode().strip()


def find_red_rectangle(display):
    """The screen point in the middle of the red rectangle, from a whole screenshot."""
    data = subprocess.run(["import", "-display", display, "-window", "root", "-depth", "8", "rgb:-"],
                          capture_output=True, check=True).stdout
    width = 1280
    colour = MOVIE.RED_RECTANGLE[1]
    xs, ys = [], []
    for y in range(0, len(data) // (width * 3), 2):
        row = data[y * width * 3:(y + 1) * width * 3]
        for x in range(0, width, 2):
            if close_to(row[x * 3:x * 3 + 3], colour):
                xs.append(x)
                ys.append(y)
    if not xs:
        return None
    return (min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2


class Bench:
    def __init__(self, build, work, display):
        self.build = Path(build)
        self.work = Path(work)
        self.display = display
        self.site = Site(build, work)
        self.pixels = Pixels(display)
        self.probe = None
        # A copy of the program with a module that succeeds and makes no class available.
        self.without_flash = self.work / "without-flash" / "Pelmarin"
        self.without_flash.parent.mkdir()
        shutil.copy2(self.build / "Pelmarin", self.without_flash)
        shutil.copy2(self.build / "fixtures/flash/success/MOXVE32_24.ocx", self.without_flash.parent)

    def start(self, executable):
        home = Path(tempfile.mkdtemp(dir=self.work))
        env = {k: v for k, v in os.environ.items() if k not in ("NO_AT_BRIDGE", "GTK_A11Y", "WAYLAND_DISPLAY")}
        env.update(DISPLAY=self.display, HOME=str(home), XDG_CONFIG_HOME=f"{home}/config",
                   XDG_CACHE_HOME=f"{home}/cache", XDG_DATA_HOME=f"{home}/data",
                   PELMARIN_MACHINE_REGISTRY=f"{home}/machine")
        (home / "machine").mkdir()
        (home / "machine/HKEY_CLASSES_ROOT.reg").write_text(FLASH_REGISTRATION)
        self.site.loaded.clear()
        process = subprocess.Popen([str(executable), "/URL", self.site.page], env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        return process, home

    @staticmethod
    def stop(process, home):
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(process.pid, sig)
            except ProcessLookupError:
                break
            try:
                process.wait(5)
                break
            except subprocess.TimeoutExpired:
                continue
        shutil.rmtree(home, ignore_errors=True)

    def calibrate(self):
        """Where the red rectangle shows: the page lays out the same in every run."""
        process, home = self.start(self.build / "Pelmarin")
        try:
            deadline = time.monotonic() + 90
            while time.monotonic() < deadline:
                self.probe = find_red_rectangle(self.display)
                if self.probe:
                    return
                time.sleep(0.5)
            raise RuntimeError("the movie never showed its red rectangle")
        finally:
            self.stop(process, home)

    def run_with_flash(self, timeout=90):
        process, home = self.start(self.build / "Pelmarin")
        try:
            if not self.site.loaded.wait(timeout):
                raise RuntimeError("the page did not load")
            deadline = self.site.loaded_at + timeout
            while not close_to(self.pixels.at(*self.probe), MOVIE.RED_RECTANGLE[1]):
                if time.monotonic() > deadline:
                    raise RuntimeError("no frame of the movie")
                time.sleep(0.005)
            first_frame_ms = (time.monotonic() - self.site.loaded_at) * 1000
            time.sleep(SETTLE)
            return first_frame_ms, web_process_rss_mib(process.pid)
        finally:
            self.stop(process, home)

    def run_without_flash(self, timeout=90):
        process, home = self.start(self.without_flash)
        try:
            if not self.site.loaded.wait(timeout):
                raise RuntimeError("the page did not load")
            time.sleep(SETTLE)
            return web_process_rss_mib(process.pid)
        finally:
            self.stop(process, home)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True)
    parser.add_argument("--runs", type=int, default=5)
    options = parser.parse_args()
    work = tempfile.mkdtemp(prefix="pelmarin-flash-bench-")
    xvfb, display = start_xvfb()
    try:
        bench = Bench(options.build, work, display)
        bench.calibrate()  # also the warm-up: the first start reads the libraries from disk
        frames, with_flash, without_flash = [], [], []
        for index in range(options.runs):
            first_frame_ms, rss = bench.run_with_flash()
            rss_without = bench.run_without_flash()
            frames.append(first_frame_ms)
            with_flash.append(rss)
            without_flash.append(rss_without)
            print(f"run {index + 1}: first frame {first_frame_ms:6.0f} ms after onload;  web process "
                  f"{rss:5.0f} MiB with Flash, {rss_without:5.0f} MiB without", flush=True)
        print()
        print(f"median first frame after DocumentComplete: {statistics.median(frames):.0f} ms "
              f"(min {min(frames):.0f}, max {max(frames):.0f})")
        print(f"median web process RSS: {statistics.median(with_flash):.0f} MiB with Flash, "
              f"{statistics.median(without_flash):.0f} MiB without: the player adds "
              f"{statistics.median(with_flash) - statistics.median(without_flash):.0f} MiB")
    finally:
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
