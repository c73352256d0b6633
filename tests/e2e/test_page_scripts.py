"""What the program does for a page's scripts: no dialog for a script error,
window.resizeTo/moveBy acting on the whole window, and the address box showing the
top-level address while a frame navigates."""
from harness import timeouts
from harness.case import EndToEndTest
from harness.waiting import stays_true
from harness.x11 import Rect


class PageScriptsTest(EndToEndTest):
    def test_script_error_shows_no_dialog_and_later_scripts_run(self):
        program, window = self.open_page("script-error.html")
        self.server.wait_for_beacon("before-error")
        self.server.wait_for_beacon("after-error")
        window.wait_for_page_title("After the error")
        self.assertTrue(stays_true(lambda: not program.dialogs(), timeouts.QUIET_PERIOD),
                        f"a dialog appeared: {[(d.caption, d.text) for d in program.dialogs()]}")
        self.assertEqual(len(self.x11.visible_windows(program.pid)), 1,
                         "the program shows more than its main window")

    def test_resize_to_then_move_by_act_on_the_whole_window(self):
        program, window = self.open_page("resize-move.html")
        self.server.wait_for_beacon("resize-page-loaded")
        before = window.geometry()
        window.click(window.document())
        self.server.wait_for_beacon("resized-and-moved")
        # Both calls in one script: the move starts from where the window was, and the
        # size is that of the whole window.
        window.wait_for_geometry(Rect(before.x + 10, before.y - 5, 800, 600))
        self.assertTrue(stays_true(lambda: window.geometry() == Rect(before.x + 10, before.y - 5, 800, 600),
                                   timeouts.QUIET_PERIOD), f"the window moved on to {window.geometry()}")
        self.assert_no_dialog(program)

    def test_frame_navigation_keeps_top_level_address(self):
        _, window = self.open_page("frame.html")
        self.server.wait_for_beacon("frame-child-loaded")
        self.server.wait_for_beacon("frame-next-loaded")
        top_level = self.server.url("frame.html")
        self.assertTrue(stays_true(lambda: window.address_text() == top_level, timeouts.QUIET_PERIOD),
                        f"the address box shows {window.address_text()!r}")
        self.assertEqual(window.page_title(), "Page with a frame")
