"""Start-up with bad input: a Flash module that is missing or unusable, Flash not
registered, unreadable settings and registry files, an unwritable configuration
folder, and "/URL" followed by an empty argument."""
import os
import stat
import subprocess
import time
from pathlib import Path

from harness import timeouts
from harness.case import EndToEndTest, Settings
from harness.sandbox import Sandbox
from harness.waiting import stays_true, wait_until

FATAL_TEXT = "Could not initialize the Flash Player: unable to proceed"
WARNING_TEXT = ("No Flash Player is found registered in the system. This may cause your Flash-based "
                "application to not recognise the presence of Flash Player within the packaged browser."
                "\n\nTo rectify this, please contact KELVARO for a utility to restore the registry "
                "settings so that JavaScript will believe there is a Flash Player present.")
# Bytes no settings or registry reader can make sense of: NULs, a stray section start,
# invalid UTF-8 and UTF-16 fragments.
GARBAGE = bytes(range(256)) * 3 + b"\x00[Features\xff\xfe\x00=\r\n\xc3\x28" + bytes(range(255, -1, -1))


def flattened(text):
    return " ".join(text.split())


class StartUpTest(EndToEndTest):
    def test_unusable_flash_module_is_fatal_without_main_window(self):
        cases = {
            "missing": None,
            "not a library": "text",
            "no activation export": "e2e_flash_without_activation.so",
            "activation refused": "e2e_flash_refusing.so",
        }
        for number, (case, module) in enumerate(cases.items(), start=1):
            with self.subTest(module=case):
                folder = self.work / f"program-{number}"
                folder.mkdir()
                if module == "text":
                    not_a_library = self.work / "not-a-library.ocx"
                    not_a_library.write_text("This is a text file, not a shared object.\n")
                    module_path = not_a_library
                else:
                    module_path = module and self.fixture(module)
                executable = self.private_program_folder(module_path, folder)
                program = self.start_pelmarin("/URL", self.server.url("links.html"), executable=executable)
                box = program.wait_for_message_box("FATAL ERROR")
                self.assertEqual(box.text, FATAL_TEXT)
                self.assertFalse(program.main_window_shown(), "a main window beside the fatal message")
                box.press("OK")
                program.wait_for_exit()
                self.assertEqual(self.server.requests_for("links.html"), [], "the start page was loaded")

    def test_program_folder_longer_than_the_path_buffers(self):
        # Over 300 characters: the module's full name no longer fits 260 characters.
        # Refusing the module or loading it by a longer path are both sound; a crash or a
        # silent end is not.
        folder = self.work.joinpath(*[f"{index:02d}-" + "long-folder-name-" * 3 for index in range(6)])
        self.assertGreater(len(str(folder)), 300)
        folder.mkdir(parents=True)
        module = Path(Settings.program).with_name("MOXVE32_24.ocx")
        executable = self.private_program_folder(module, folder)
        program = self.start_pelmarin("/URL", self.server.url("links.html"), executable=executable)

        def outcome():
            program.check_running()
            if program.main_window_shown():
                return "main window"
            fatal = [d for d in program.dialogs() if d.caption == "FATAL ERROR" and d.is_open()]
            return fatal and fatal[0]
        seen = wait_until(outcome, timeouts.PROGRAM_START, "the main window or the fatal message")
        print(f"long program folder: {seen if isinstance(seen, str) else 'fatal message'}")
        if seen == "main window":
            window = program.wait_for_main_window()
            window.wait_for_address(self.server.url("links.html"))
            self.close_and_expect_clean_exit(program, window)
        else:
            self.assertEqual(seen.text, FATAL_TEXT)
            seen.press("OK")
            program.wait_for_exit()

    def test_unregistered_flash_warns_before_the_main_window(self):
        self.sandbox.classes_hive.unlink()
        program = self.start_pelmarin("/URL", self.server.url("links.html"))
        box = program.wait_for_message_box("Pelmarin")
        self.assertTrue(box.text.startswith("No Flash Player is found registered in the system."), box.text)
        self.assertEqual(flattened(box.text), flattened(WARNING_TEXT))
        self.assertFalse(program.main_window_shown(), "the main window opened before the warning was closed")
        box.press("OK")
        window = program.wait_for_main_window()
        window.wait_for_address(self.server.url("links.html"))

    def test_registered_flash_opens_the_main_window_without_warning(self):
        program, window = self.open_page("links.html")
        self.assertEqual(program.dialogs(), [])
        self.assertEqual(len(self.x11.visible_windows(program.pid)), 1)

    def test_unreadable_settings_and_hive_are_kept_and_the_window_opens(self):
        for name in ("settings file", "user hive"):
            with self.subTest(file=name):
                sandbox = Sandbox(self.work / f"sandbox-{name.replace(' ', '-')}")
                sandbox.register_flash()
                damaged = sandbox.settings_file if name == "settings file" else sandbox.user_hive
                damaged.parent.mkdir(parents=True, exist_ok=True)
                damaged.write_bytes(GARBAGE)
                program = self.start_pelmarin("/URL", self.server.url("links.html"), sandbox=sandbox)
                window = program.wait_for_main_window()
                window.wait_for_address(self.server.url("links.html"))
                self.assert_no_dialog(program)
                self.close_and_expect_clean_exit(program, window)
                self.assertEqual(damaged.read_bytes(), GARBAGE, f"the unreadable {name} was changed")

    def test_unwritable_config_folder_still_runs(self):
        for case in ("existing folder that refuses writes", "folder that cannot be made"):
            with self.subTest(config=case):
                sandbox = Sandbox(self.work / f"sandbox-{case.split()[0]}",
                                  config_home=self.unwritable_config_home(case))
                sandbox.register_flash()
                program = self.start_pelmarin("/logs", "/URL", self.server.url("second.html"), sandbox=sandbox)
                window = program.wait_for_main_window()
                window.wait_for_address(self.server.url("second.html"))
                self.server.wait_for_beacon("second-loaded", count=len(self._programs))
                self.assert_no_dialog(program)
                self.close_and_expect_clean_exit(program, window)
                self.assertFalse(sandbox.app_config_dir.exists(), "a folder appeared in the unwritable one")

    def unwritable_config_home(self, case):
        if case == "folder that cannot be made":
            # A configuration folder below a plain file: nothing can create it, not even root.
            blocker = self.work / "not-a-folder"
            blocker.write_text("")
            return blocker / "config"
        folder = self.work / "read-only-config"
        folder.mkdir()
        if os.geteuid() != 0:
            folder.chmod(stat.S_IRUSR | stat.S_IXUSR)
            self.addCleanup(folder.chmod, stat.S_IRWXU)
            return folder
        # Permission bits do not stop root; the immutable attribute does.
        if subprocess.run(["chattr", "+i", str(folder)], capture_output=True).returncode != 0:
            self.skipTest("chattr +i is not available here")
        self.addCleanup(subprocess.run, ["chattr", "-i", str(folder)], capture_output=True)
        return folder

    def test_url_switch_with_empty_argument_opens_without_crash(self):
        program = self.start_pelmarin("/URL", "")
        window = program.wait_for_main_window()
        # An empty address is the implementer's matter: should it be taken for an outside
        # application's address, the question may come and is declined; nothing may reach the desktop.
        deadline = time.monotonic() + 2 * timeouts.QUIET_PERIOD
        while time.monotonic() < deadline:
            for question in program.dialogs():
                if question.caption == "Message" and question.is_open():
                    question.press("Cancel")
            self.assertFalse(program.has_exited(), f"the program ended: {program.stderr_text()[-3000:]}")
            time.sleep(0.1)
        self.assertTrue(stays_true(lambda: not program.has_exited() and program.main_window_shown(),
                                   timeouts.QUIET_PERIOD), "the program ended or lost its window")
        self.assertEqual(self.desktop.calls(), [])
        self.close_and_expect_clean_exit(program, window)
