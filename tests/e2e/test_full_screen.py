"""F11 and the "k" switch: the full-screen view covers the monitor without menu and
address bar, and F11 brings the windowed view back; the page never sees F11, while
Enter and Escape reach the page and do not close the window."""
from harness import timeouts
from harness.case import EndToEndTest
from harness.waiting import stays_true, wait_until
from harness.x11 import Rect


class FullScreenTest(EndToEndTest):
    def monitor(self):
        return Rect(0, 0, self.display.width, self.display.height)

    def assert_full_screen(self, window):
        window.wait_for_geometry(self.monitor())
        wait_until(lambda: not window.menu_bar_showing(), timeouts.WIDGET_CHANGE, "menu bar hidden")
        wait_until(lambda: not window.address_bar_showing(), timeouts.WIDGET_CHANGE, "address bar hidden")

    def assert_windowed(self, window):
        wait_until(window.menu_bar_showing, timeouts.WIDGET_CHANGE, "menu bar shown")
        wait_until(window.address_bar_showing, timeouts.WIDGET_CHANGE, "address bar shown")

    def test_f11_switches_to_full_screen_and_back(self):
        _, window = self.open_page("keys.html")
        self.server.wait_for_beacon("keys-loaded")
        windowed = window.geometry()
        self.assertNotEqual(windowed, self.monitor(), "the window starts covering the monitor")
        self.assert_windowed(window)

        window.click_in_page()  # keyboard focus in the page, where F11 must not arrive
        window.press("F11")
        self.assert_full_screen(window)

        window.press("F11")
        window.wait_for_geometry(windowed)
        self.assert_windowed(window)

        # A key after the two F11 presses: once it is reported, any F11 would have been too.
        window.press("x")
        self.server.wait_for_beacon("key-x")
        self.assertNotIn("key-F11", self.server.beacons())

    def test_k_switch_starts_full_screen_and_f11_restores_the_window(self):
        program = self.start_pelmarin("/k", "/URL", self.server.url("keys.html"))
        window = program.wait_for_main_window()
        self.server.wait_for_beacon("keys-loaded")
        self.assert_full_screen(window)

        window.press("F11")
        self.assert_windowed(window)
        restored = wait_until(lambda: (lambda g: g != self.monitor() and g)(window.geometry()),
                              timeouts.WIDGET_CHANGE, "the window leaving full screen")
        self.assertLess(restored.width, self.monitor().width)
        self.assertLess(restored.height, self.monitor().height)
        self.assertEqual(window.address_text(), self.server.url("keys.html"))

    def test_enter_and_escape_reach_the_page_and_keep_the_window(self):
        program, window = self.open_page("keys.html")
        self.server.wait_for_beacon("keys-loaded")
        window.click_in_page()
        for key, reported in (("Return", "key-Enter"), ("Escape", "key-Escape")):
            with self.subTest(key=key):
                window.press(key)
                self.server.wait_for_beacon(reported)
        self.assertTrue(stays_true(lambda: not program.has_exited() and program.main_window_shown(),
                                   timeouts.QUIET_PERIOD), "the window closed")
        self.assert_no_dialog(program)
