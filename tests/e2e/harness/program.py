"""One run of the program: its process, its windows and its standard error."""
import os
import signal
import subprocess

from . import accessibility, timeouts
from .main_window import MainWindow
from .message_box import MessageBox
from .waiting import CannotHappen, wait_until

MAIN_WINDOW_CAPTION = "Pelmarin"


class RunningProgram:
    def __init__(self, executable, arguments, env, stderr_path, x11):
        self.executable = str(executable)
        self.arguments = list(arguments)
        self.stderr_path = stderr_path
        self.x11 = x11
        with open(stderr_path, "wb") as stderr:
            # A session of its own lets stop() end the program's engine processes too.
            self._process = subprocess.Popen([self.executable, *self.arguments], env=env,
                                             stdin=subprocess.DEVNULL, stdout=stderr, stderr=stderr,
                                             start_new_session=True)
        self.pid = self._process.pid

    # -- process -------------------------------------------------------------------

    @property
    def returncode(self):
        return self._process.poll()

    def has_exited(self):
        return self._process.poll() is not None

    def wait_for_exit(self, timeout=timeouts.PROGRAM_EXIT):
        try:
            return self._process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program did not end within {timeout} s") from None

    def stop(self):
        """Ends the program and everything it started (its process group)."""
        if self._process.poll() is None:
            self._signal_group(signal.SIGTERM)
            try:
                self._process.wait(5)
            except subprocess.TimeoutExpired:
                pass
        self._signal_group(signal.SIGKILL)
        try:
            self._process.wait(5)
        except subprocess.TimeoutExpired:
            pass

    def _signal_group(self, sig):
        try:
            os.killpg(self.pid, sig)
        except ProcessLookupError:
            pass

    def stderr_text(self):
        try:
            with open(self.stderr_path, encoding="utf-8", errors="replace") as stderr:
                return stderr.read()
        except FileNotFoundError:
            return ""

    # -- windows -------------------------------------------------------------------

    def windows(self):
        return accessibility.windows_of(self.pid)

    def frames(self):
        return [w for w in self.windows() if w.getRoleName() == "frame"]

    def dialogs(self):
        return [MessageBox(w, self.pid, self.x11) for w in self.windows()
                if w.getRoleName() in ("dialog", "alert")]

    def check_running(self):
        """Raises CannotHappen once the program has ended, so no wait outlives it."""
        if self.has_exited():
            raise CannotHappen(f"the program ended with status {self.returncode}; "
                                 f"stderr:\n{self.stderr_text()[-3000:]}")
        return True

    def wait_for_main_window(self, timeout=timeouts.PROGRAM_START):
        def frame():
            self.check_running()
            for candidate in self.frames():
                if candidate.name == MAIN_WINDOW_CAPTION and accessibility.is_showing(candidate):
                    return candidate
            return None
        return MainWindow(self, wait_until(frame, timeout, f"a frame titled {MAIN_WINDOW_CAPTION!r}"))

    def wait_for_message_box(self, caption, timeout=timeouts.PROGRAM_START):
        def box():
            self.check_running()
            for dialog in self.dialogs():
                if dialog.caption == caption and dialog.is_open():
                    return dialog
            return None
        return wait_until(box, timeout, f"a message box captioned {caption!r}")

    def main_window_shown(self):
        return any(f.name == MAIN_WINDOW_CAPTION and accessibility.is_showing(f) for f in self.frames())

    def describe_windows(self):
        app = accessibility.application_of(self.pid)
        return accessibility.describe(app) if app is not None else "<not on the accessibility bus>"
