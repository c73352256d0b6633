"""A private Xvfb server on a display number that the server picks itself."""
import os
import select
import subprocess


class VirtualDisplay:
    def __init__(self, log_path, width=1280, height=1024, depth=24):
        self.width = width
        self.height = height
        self._depth = depth
        self._log_path = log_path
        self._process = None
        self.name = None

    def start(self, timeout=20):
        # -displayfd lets Xvfb choose a free display and report it once it accepts
        # connections, so parallel test runs never race for a number.
        read_end, write_end = os.pipe()
        with open(self._log_path, "ab") as log:
            self._process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 f"{self.width}x{self.height}x{self._depth}", "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        os.close(write_end)
        try:
            number = b""
            while not number.endswith(b"\n"):
                ready, _, _ = select.select([read_end], [], [], timeout)
                if not ready:
                    raise RuntimeError("Xvfb did not report a display number")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise RuntimeError("Xvfb ended before it reported a display number")
                number += chunk
        except BaseException:
            self.stop()
            raise
        finally:
            os.close(read_end)
        self.name = ":" + number.decode().strip()
        return self

    def stop(self):
        if self._process and self._process.poll() is None:
            self._process.terminate()
            try:
                self._process.wait(5)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
        self._process = None
