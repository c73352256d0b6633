"""The main window's menu commands in the real window: About, Exit, Refresh, Internet
options, zoom, Clear cache, Logging, Open logs folder and Compatibility."""
import re

from harness import accessibility, timeouts
from harness.case import EndToEndTest
from harness.waiting import stays_true, wait_until
from popup_windows import choose, is_checked

FEATURE_KEY = (r"HKEY_CURRENT_USER\SOFTWARE\Microsoft\Internet Explorer\Main\FeatureControl"
               r"\FEATURE_BROWSER_EMULATION")
RESTART_NOTICE = "New setting will take affect after restarting the application"
LINE = re.compile(r"^Browser: \d{2}:\d{2}:\d{2}: \t(Debug|Info|Warning|Error):\t[0-9A-F]{8,16}\t")


class MenuCommandsTest(EndToEndTest):
    def log_files(self):
        if not self.sandbox.logs_dir.is_dir():
            return []
        return sorted(p for p in self.sandbox.logs_dir.iterdir() if p.is_file())

    def widths(self):
        return [int(b[len("zoom-width-"):]) for b in self.server.beacons() if b.startswith("zoom-width-")]

    def wait_for_width(self, predicate, what):
        return wait_until(lambda: self.widths() and predicate(self.widths()[-1]) and self.widths()[-1],
                          timeouts.WIDGET_CHANGE, what)

    def test_about_shows_name_and_version(self):
        program, window = self.open_page("second.html")
        choose(window, "About")
        box = program.wait_for_message_box("Application Info")
        self.assertEqual([line.strip() for line in box.text.splitlines() if line.strip()],
                         ["Pelmarin", "Version: 1.1.1"])
        box.press("OK")
        wait_until(lambda: not box.is_open(), timeouts.WIDGET_CHANGE, "the About box closed")
        self.assertTrue(program.main_window_shown())

    def test_exit_ends_the_process_with_status_zero_and_the_log_complete(self):
        program, window = self.open_page("popup-geometry.html", "/logs")
        self.server.wait_for_beacon("child-loaded")
        wait_until(lambda: any("OnDocumentComplete" in p.read_bytes().decode("latin-1") for p in self.log_files()),
                   timeouts.WIDGET_CHANGE, "the popup's lines in the log")
        choose(window, "Exit")
        self.assertEqual(program.wait_for_exit(timeouts.PROGRAM_EXIT), 0, program.stderr_text()[-2000:])
        text = self.log_files()[0].read_bytes().decode("latin-1")
        self.assertTrue(text.endswith("\r\n"), "the last message lacks its line end")
        lines = text[:-2].split("\r\n")
        header_end = lines.index("AuxInfo : ") + 2
        for line in lines[header_end:]:
            self.assertRegex(line, LINE, "a broken line in the log")
        self.assertIn("CDerivedHtmlDialog::OnDocumentComplete()", text)

    def test_refresh_reloads_the_page_through_the_engine(self):
        program, window = self.open_page("second.html")
        self.server.wait_for_beacon("second-loaded")
        choose(window, "Refresh")
        self.server.wait_for_beacon("second-loaded", count=2)
        self.assertEqual(len(self.server.requests_for("second.html")), 2)
        self.assertEqual(window.address_text(), self.server.url("second.html"))

    def test_internet_options_shows_the_desktops_counterpart(self):
        program, window = self.open_page("second.html")
        choose(window, "Internet options")
        dialog = program.wait_for_message_box("Internet Properties")
        texts = dialog.texts()
        for heading in ("Connections", "Browsing history", "Security"):
            self.assertIn(heading, texts)
        dialog.press("Close")
        wait_until(lambda: not dialog.is_open(), timeouts.WIDGET_CHANGE, "Internet Properties closed")
        self.assertTrue(program.main_window_shown())

    def test_zoom_commands_zoom_the_page_with_the_focus_in_it_and_not_in_the_address_box(self):
        program, window = self.open_page("zoom.html")
        start = self.wait_for_width(lambda w: w > 0, "the page's first width")
        window.click_in_page()
        choose(window, "Zoom In")
        larger = self.wait_for_width(lambda w: w < start, "a zoomed-in page (fewer CSS pixels)")
        choose(window, "Actual Size")
        self.wait_for_width(lambda w: w == start, "the page back at its actual size")
        choose(window, "Zoom Out")
        self.wait_for_width(lambda w: w > start, "a zoomed-out page")
        choose(window, "Actual Size")
        self.wait_for_width(lambda w: w == start, "the page back at its actual size")
        self.assertLess(larger, start)

        accessibility.grab_focus(window.address_entry())
        wait_until(lambda: accessibility.is_focused(window.address_entry()), timeouts.WIDGET_CHANGE,
                   "the focus in the address box")
        seen = len(self.widths())
        choose(window, "Zoom In")
        self.assertTrue(stays_true(lambda: len(self.widths()) == seen, 2 * timeouts.QUIET_PERIOD),
                        f"the page zoomed with the focus in the address box: {self.widths()}")

    def test_clear_cache_removes_a_cookie_the_page_set(self):
        program, window = self.open_page("cookie.html?set")
        self.server.wait_for_beacon("cookie-oat")
        window.type_address(self.server.url("cookie.html"))
        self.server.wait_for_beacon("cookie-oat", count=2)
        choose(window, "Clear cache")

        # The engine clears in the background; each refresh asks the page again.
        def cleared():
            before = len(self.server.requests_for("cookie.html"))
            choose(window, "Refresh")
            self.server.wait_for_request("cookie.html", count=before + 1)
            return "cookie-none" in self.server.beacons()
        wait_until(cleared, timeouts.PAGE_LOAD, "the page seeing no cookie after Clear cache", interval=0.5)
        self.assertEqual(self.desktop.calls(), [], "nothing was handed to another program")
        self.assert_no_dialog(program)

    def test_logging_toggled_twice_starts_a_file_and_stops_it(self):
        program, window = self.open_page("second.html")
        self.server.wait_for_beacon("second-loaded")
        self.assertFalse(is_checked(window, "Logging"))
        self.assertEqual(self.log_files(), [])
        choose(window, "Logging")
        wait_until(lambda: is_checked(window, "Logging"), timeouts.WIDGET_CHANGE, "Logging checked")
        files = wait_until(self.log_files, timeouts.WIDGET_CHANGE, "a log file")
        self.assertEqual(len(files), 1)
        text = files[0].read_bytes().decode("latin-1")
        self.assertIn("\r\nCompanyName : Quendris\r\n", text)
        self.assertTrue(text.rstrip("\r\n").endswith("Starting..."))

        choose(window, "Logging")
        wait_until(lambda: not is_checked(window, "Logging"), timeouts.WIDGET_CHANGE, "Logging unchecked")
        size = files[0].stat().st_size
        choose(window, "Refresh")
        self.server.wait_for_beacon("second-loaded", count=2)
        self.assertTrue(stays_true(lambda: files[0].stat().st_size == size, timeouts.QUIET_PERIOD),
                        "lines were logged with logging off")

    def test_open_logs_folder_creates_it_and_hands_it_to_the_file_manager(self):
        program, window = self.open_page("second.html")
        self.assertFalse(self.sandbox.logs_dir.exists())
        choose(window, "Open logs folder")
        calls = wait_until(self.desktop.calls, timeouts.WIDGET_CHANGE, "a call of xdg-open")
        self.assertEqual(calls, [[str(self.sandbox.logs_dir)]])
        self.assertTrue(self.sandbox.logs_dir.is_dir())
        self.assertEqual(self.log_files(), [], "logging stays off")

    def test_compatibility_choice_is_written_and_checked_after_a_restart(self):
        hive = self.sandbox.user_hive
        hive.parent.mkdir(parents=True, exist_ok=True)
        hive.write_text(f"Windows Registry Editor Version 5.00\n\n[{FEATURE_KEY}]\n\n", encoding="utf-8")
        program, window = self.open_page("second.html")
        self.assertFalse(is_checked(window, "IE9   (9000)"))
        choose(window, "IE9   (9000)")
        box = program.wait_for_message_box("Pelmarin")
        self.assertIn(RESTART_NOTICE, box.text)
        box.press("OK")
        wait_until(lambda: is_checked(window, "IE9   (9000)"), timeouts.WIDGET_CHANGE, "IE9 (9000) checked")
        self.assertIn('"Pelmarin"=dword:00002328', hive.read_text(encoding="utf-8"))

        # The same choice again: nothing at all.
        choose(window, "IE9   (9000)")
        self.assertTrue(stays_true(lambda: not [d for d in program.dialogs() if d.is_open()], timeouts.QUIET_PERIOD))
        self.close_and_expect_clean_exit(program, window)

        program, window = self.open_page("second.html")
        wait_until(lambda: is_checked(window, "IE9   (9000)"), timeouts.WIDGET_CHANGE, "IE9 (9000) checked at start")
        self.assertFalse(is_checked(window, "IE11 (11001)"))
