"""Base class of the end-to-end tests: per test a private display, folders, page server
and desktop stand-in; on failure the evidence is kept in the test's output folder."""
import contextlib
import functools
import json
import shutil
import tempfile
import unittest
from pathlib import Path

from . import timeouts
from .fake_desktop import FakeDesktop
from .page_server import PageServer
from .program import RunningProgram
from .sandbox import Sandbox
from .virtual_display import VirtualDisplay
from .x11 import X11

PAGES = Path(__file__).resolve().parent.parent / "pages"


class Settings:
    """Filled in by run_e2e.py from its command line."""
    program = None       # path of the built Pelmarin executable
    fixtures = None      # folder of the fixture modules built for these tests
    output = None        # folder for evidence of failed tests


def _keeping_evidence(test_method):
    @functools.wraps(test_method)
    def run(self, *args, **kwargs):
        try:
            return test_method(self, *args, **kwargs)
        except unittest.SkipTest:
            raise
        except BaseException:
            self.keep_evidence("failure")
            raise
    return run


class EndToEndTest(unittest.TestCase):
    def __init_subclass__(cls, **kwargs):
        super().__init_subclass__(**kwargs)
        for name, member in list(vars(cls).items()):
            if name.startswith("test") and callable(member):
                setattr(cls, name, _keeping_evidence(member))

    # -- set-up and tear-down ------------------------------------------------------

    def setUp(self):
        if Settings.program is None or not Path(Settings.program).is_file():
            self.fail(f"the program to test is missing: {Settings.program}")
        if Settings.output:
            # Evidence from an earlier run of this test would only mislead.
            shutil.rmtree(Path(Settings.output) / self.id(), ignore_errors=True)
        self.work = Path(tempfile.mkdtemp(prefix="pelmarin-e2e-"))
        self.addCleanup(shutil.rmtree, self.work, ignore_errors=True)
        self._programs = []
        self._evidence_count = 0
        self.sandbox = Sandbox(self.work / "sandbox")
        self.sandbox.register_flash()
        self.display = VirtualDisplay(self.work / "xvfb.log").start()
        self.addCleanup(self.display.stop)
        self.server = PageServer(PAGES).start()
        self.addCleanup(self.server.stop)
        self.desktop = FakeDesktop(self.sandbox.bin_dir, self.work / "xdg-open-calls.jsonl")
        self.x11 = X11(self.sandbox.environment(self.display.name))
        # Runs first among the clean-ups (they run last-in first-out), so the display
        # and the server are still there while the program is ended.
        self.addCleanup(self._stop_programs)

    def _stop_programs(self):
        for program in self._programs:
            program.stop()

    # -- starting the program ------------------------------------------------------

    def start_pelmarin(self, *arguments, executable=None, sandbox=None):
        sandbox = sandbox or self.sandbox
        index = len(self._programs) + 1
        program = RunningProgram(executable or Settings.program, arguments,
                                 sandbox.environment(self.display.name),
                                 self.work / f"pelmarin-{index}.stderr", self.x11)
        self._programs.append(program)
        return program

    def open_page(self, page, *more_arguments):
        """Starts the program on a test page and waits until the address box shows it."""
        program = self.start_pelmarin("/URL", self.server.url(page), *more_arguments)
        window = program.wait_for_main_window()
        window.wait_for_address(self.server.url(page))
        return program, window

    def private_program_folder(self, module=None, folder=None):
        """A copy of the executable in a folder of its own, with module (a path) copied
        next to it as the Flash module, or with no module at all."""
        folder = Path(folder or self.work / "program")
        folder.mkdir(exist_ok=True)
        executable = folder / Path(Settings.program).name
        shutil.copy2(Settings.program, executable)
        if module is not None:
            shutil.copy2(module, folder / "MOXVE32_24.ocx")
        return executable

    def fixture(self, name):
        path = Path(Settings.fixtures) / name
        if not path.is_file():
            self.fail(f"fixture module missing: {path}")
        return path

    # -- evidence ------------------------------------------------------------------

    @contextlib.contextmanager
    def subTest(self, msg=unittest.case._subtest_msg_sentinel, **params):  # noqa: N802
        with super().subTest(msg, **params):
            try:
                yield
            except unittest.SkipTest:
                raise
            except BaseException:
                self.keep_evidence("failure-" + "-".join(f"{k}={v}" for k, v in params.items()))
                raise

    def keep_evidence(self, label):
        """Screenshot, widget trees, standard error, requests and desktop calls."""
        self._evidence_count += 1
        safe_label = "".join(c if c.isalnum() or c in "-=_." else "_" for c in label)[:80]
        folder = Path(Settings.output or self.work) / self.id() / f"{self._evidence_count}-{safe_label}"
        folder.mkdir(parents=True, exist_ok=True)
        try:
            self.x11.screenshot(folder / "screen.png")
        except Exception as error:  # noqa: BLE001 - the other evidence still matters
            print(f"no screenshot: {error!r}")
        for index, program in enumerate(self._programs, start=1):
            with contextlib.suppress(Exception):
                shutil.copy2(program.stderr_path, folder / f"pelmarin-{index}.stderr")
            with contextlib.suppress(Exception):
                (folder / f"pelmarin-{index}.widgets.txt").write_text(
                    f"{program.executable} {' '.join(program.arguments)}\n"
                    f"exit status: {program.returncode}\n\n{program.describe_windows()}\n")
        with contextlib.suppress(Exception):
            (folder / "requests.txt").write_text("\n".join(self.server.access_log()) + "\n")
        with contextlib.suppress(Exception):
            (folder / "xdg-open-calls.json").write_text(json.dumps(self.desktop.calls(), indent=1))
        with contextlib.suppress(Exception):
            shutil.copytree(self.sandbox.config_home, folder / "config", dirs_exist_ok=True)
        print(f"\n[evidence kept in {folder}]")

    # -- assertions shared by the tests --------------------------------------------

    def assert_no_dialog(self, program):
        dialogs = [(d.caption, d.text) for d in program.dialogs() if d.is_open()]
        self.assertEqual(dialogs, [], "unexpected dialogs are open")

    def close_and_expect_clean_exit(self, program, window):
        window.close()
        status = program.wait_for_exit(timeouts.PROGRAM_EXIT)
        self.assertEqual(status, 0, f"exit status after closing; stderr:\n{program.stderr_text()[-3000:]}")
