"""The Flash module beside the real program: activation with and without its player's
files, and the "/commit" run with Flash registered and not registered, read back in the
registry's file and in the next start-up."""
import shutil
from pathlib import Path

from harness import timeouts
from harness.case import EndToEndTest, Settings
from harness.sandbox import FLASH_CLASS_KEY

FATAL_TEXT = "Could not initialize the Flash Player: unable to proceed"


def windows_path(path):
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


class FlashModuleTest(EndToEndTest):
    def program_with_module(self, name, player=True):
        """A copy of the program in a folder of its own with the built module beside it,
        and the player's files too when player is true."""
        folder = self.work / name
        build = Path(Settings.program).parent
        executable = self.private_program_folder(build / "MOXVE32_24.ocx", folder)
        if player:
            shutil.copytree(build / "flash-player", folder / "flash-player")
        return executable

    def expect_silent_end(self, program):
        status = program.wait_for_exit(timeouts.PROGRAM_EXIT)
        self.assertEqual(program.dialogs(), [], "a run with /commit showed something")
        return status

    def test_activation_needs_the_players_files(self):
        cases = {"player beside the module": True, "no player": False, "player without its list": "no list"}
        for case, player in cases.items():
            with self.subTest(player=case):
                executable = self.program_with_module(case.replace(" ", "-"), player=bool(player))
                if player == "no list":
                    (executable.parent / "flash-player" / "player-files.txt").unlink()
                loads_before = len(self.server.requests_for("links.html"))
                program = self.start_pelmarin("/URL", self.server.url("links.html"), executable=executable)
                if player is True:
                    window = program.wait_for_main_window()
                    window.wait_for_address(self.server.url("links.html"))
                    self.assert_no_dialog(program)
                    self.close_and_expect_clean_exit(program, window)
                else:
                    box = program.wait_for_message_box("FATAL ERROR")
                    self.assertEqual(box.text, FATAL_TEXT)
                    self.assertFalse(program.main_window_shown(), "a main window beside the fatal message")
                    box.press("OK")
                    program.wait_for_exit()
                    self.assertEqual(len(self.server.requests_for("links.html")), loads_before,
                                     "the start page was loaded")

    def test_commit_registers_flash_once_and_the_warning_goes(self):
        self.sandbox.classes_hive.unlink()
        executable = self.program_with_module("program")
        self.expect_silent_end(self.start_pelmarin("/commit", executable=executable))
        hive = self.sandbox.classes_hive.read_text(encoding="utf-8")
        self.assertIn(f"[{FLASH_CLASS_KEY}]", hive)
        module = windows_path(executable.parent / "MOXVE32_24.ocx")
        self.assertIn('@="%s"' % module.replace("\\", "\\\\"), hive)

        # Registered now: a second "/commit" activates per process and writes nothing.
        written = self.sandbox.classes_hive.read_bytes()
        self.expect_silent_end(self.start_pelmarin("/commit", executable=executable))
        self.assertEqual(self.sandbox.classes_hive.read_bytes(), written)

        # And a normal start shows no warning.
        program = self.start_pelmarin("/URL", self.server.url("links.html"), executable=executable)
        window = program.wait_for_main_window()
        window.wait_for_address(self.server.url("links.html"))
        self.assert_no_dialog(program)
        self.close_and_expect_clean_exit(program, window)

    def test_commit_that_cannot_write_ends_silently(self):
        self.sandbox.classes_hive.unlink()
        # A registry folder below a plain file: nothing can create it, not even root.
        blocker = self.work / "not-a-folder"
        blocker.write_text("")
        self.sandbox.machine_registry = blocker / "machine"
        executable = self.program_with_module("program")
        program = self.start_pelmarin("/commit", executable=executable)
        self.expect_silent_end(program)
        self.assertFalse(self.sandbox.machine_registry.exists())
