#!/usr/bin/python3
"""Launch-to-load time and resident memory of two programs under one Xvfb.

Each run starts the program on the same local page with fresh HOME and XDG folders
(so both start with an empty engine cache); the page's onload requests /loaded, and
the moment the server receives that request ends the run. At that moment the resident
memory of the program and of its engine processes (web and network) is read from /proc."""
import argparse
import functools
import http.server
import os
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

PAGE = b"""<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Bench page</title></head>
<body onload="fetch('/loaded', {cache: 'no-store'})">
<h1>Bench page</h1><p>A small local page; its onload reports the completed load.</p>
</body></html>
"""
ENGINE_PROCESSES = ("WebKitWebProces", "WebKitNetworkPr")  # /proc comm is cut to 15 characters
FLASH_REGISTRATION = ("Windows Registry Editor Version 5.00\n\n"
                      "[HKEY_CLASSES_ROOT\\CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32]\n"
                      "@=\"Z:\\\\usr\\\\lib\\\\flash\\\\MOXVE32_24.ocx\"\n")


def processes():
    """pid -> (parent pid, comm) for every process."""
    table = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                text = stat.read()
        except OSError:
            continue
        comm = text[text.index("(") + 1:text.rindex(")")]
        parent = int(text[text.rindex(")") + 2:].split()[1])
        table[int(entry)] = (parent, comm)
    return table


def rss_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def tree_rss_mib(root_pid):
    """RSS of the program plus its engine processes (found anywhere below it)."""
    table = processes()
    children = {}
    for pid, (parent, _) in table.items():
        children.setdefault(parent, []).append(pid)
    total, counted, stack = rss_kib(root_pid), [], list(children.get(root_pid, []))
    while stack:
        pid = stack.pop()
        stack.extend(children.get(pid, []))
        if table[pid][1] in ENGINE_PROCESSES:
            total += rss_kib(pid)
            counted.append(table[pid][1])
    return total / 1024, counted


class Bench:
    def __init__(self, work):
        self.work = work
        self.current = None          # pid of the program being measured
        self.loaded = threading.Event()
        self.result = None

        bench = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):  # noqa: N802 - fixed by the base class
                if self.path.startswith("/loaded"):
                    received = time.monotonic()
                    if bench.current is not None and not bench.loaded.is_set():
                        bench.result = (received, *tree_rss_mib(bench.current))
                        bench.loaded.set()
                    self.send_response(204)
                    self.end_headers()
                    return
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Cache-Control", "no-store")
                self.send_header("Content-Length", str(len(PAGE)))
                self.end_headers()
                self.wfile.write(PAGE)

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.page = f"http://127.0.0.1:{self.server.server_address[1]}/page.html"

    def run(self, command, display, timeout=90):
        home = tempfile.mkdtemp(dir=self.work)
        env = {key: value for key, value in os.environ.items()
               if key not in ("NO_AT_BRIDGE", "GTK_A11Y", "WAYLAND_DISPLAY")}
        env.update(DISPLAY=display, HOME=home, XDG_CONFIG_HOME=f"{home}/config",
                   XDG_CACHE_HOME=f"{home}/cache", XDG_DATA_HOME=f"{home}/data",
                   PELMARIN_MACHINE_REGISTRY=f"{home}/machine")
        os.makedirs(f"{home}/machine")
        with open(f"{home}/machine/HKEY_CLASSES_ROOT.reg", "w") as hive:
            hive.write(FLASH_REGISTRATION)
        self.loaded.clear()
        self.result = None
        started = time.monotonic()
        process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, start_new_session=True)
        self.current = process.pid
        try:
            if not self.loaded.wait(timeout):
                raise RuntimeError(f"{command[0]}: the page did not load within {timeout} s")
            received, rss, counted = self.result
            return (received - started) * 1000, rss, counted
        finally:
            self.current = None
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


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--bare", required=True)
    parser.add_argument("--pelmarin", required=True)
    parser.add_argument("--work", default=tempfile.gettempdir())
    options = parser.parse_args()
    if options.runs < 5:
        parser.error("at least 5 runs per program")

    bench = Bench(options.work)
    xvfb, display = start_xvfb()
    programs = {"bare": lambda: [options.bare, bench.page],
                "Pelmarin": lambda: [options.pelmarin, "/URL", bench.page]}
    samples = {name: [] for name in programs}
    try:
        # One warm-up each: the first start after a build reads the libraries from disk.
        for name, command in programs.items():
            bench.run(command(), display)
        for index in range(options.runs):
            for name, command in programs.items():  # alternating spreads slow moments over both
                load_ms, rss, counted = bench.run(command(), display)
                samples[name].append((load_ms, rss))
                print(f"run {index + 1} {name:8s} load {load_ms:7.0f} ms  RSS {rss:6.0f} MiB"
                      f"  ({1 + len(counted)} processes)", flush=True)
    finally:
        xvfb.terminate()
        xvfb.wait()
        bench.server.shutdown()

    medians = {name: (statistics.median(s[0] for s in values), statistics.median(s[1] for s in values))
               for name, values in samples.items()}
    print()
    print(f"{'':10s}{'load (ms)':>12s}{'RSS (MiB)':>12s}")
    for name, (load_ms, rss) in medians.items():
        print(f"{name:10s}{load_ms:12.0f}{rss:12.0f}")
    load_ratio = medians["Pelmarin"][0] / medians["bare"][0]
    rss_ratio = medians["Pelmarin"][1] / medians["bare"][1]
    print(f"{'ratio':10s}{load_ratio:12.2f}{rss_ratio:12.2f}   (Pelmarin/bare, target <= 1.20)")
    print(f"medians of {options.runs} runs each; within target: "
          f"load {'yes' if load_ratio <= 1.2 else 'no'}, memory {'yes' if rss_ratio <= 1.2 else 'no'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
