"""The engine's own processes in the real program: when the web process dies the window shows
the program's page saying so, under the page's address, and Refresh (F5 or the menu) brings
the site back; when the network process dies the next navigation works; the web process
runs in the engine's sandbox."""
import os
import signal

from engine_faults import NETWORK_PROCESS, WEB_PROCESS, descendants_named, namespace, page_text
from harness import timeouts
from harness.case import EndToEndTest
from harness.waiting import wait_until
from popup_windows import choose, popup_frames, wait_for_popup

GONE_TITLE = "Page stopped"


class EngineFaultsTest(EndToEndTest):
    def engine_process(self, program, name):
        return wait_until(lambda: descendants_named(program.pid, name), timeouts.PAGE_LOAD,
                          f"a {name} process below the program")[0]

    def kill_engine_process(self, program, name):
        pid = self.engine_process(program, name)
        os.kill(pid, signal.SIGKILL)
        wait_until(lambda: pid not in descendants_named(program.pid, name), timeouts.WIDGET_CHANGE,
                   f"{name} {pid} gone")
        return pid

    def test_a_dead_web_process_shows_our_page_and_refresh_brings_the_site_back(self):
        # An ampersand in the address shows that the page quotes it as text.
        page = "second.html?from=faults&x=1"
        address = self.server.url(page)
        program, window = self.open_page(page)
        window.wait_for_page_title("Second page")
        ways = {"F5": lambda: (window.click_in_page(), window.press("F5")),
                "the Refresh menu command": lambda: choose(window, "Refresh")}
        for loads, (way, refresh) in enumerate(ways.items(), start=2):
            with self.subTest(refresh=way):
                self.kill_engine_process(program, WEB_PROCESS)
                window.wait_for_page_title(GONE_TITLE)
                text = page_text(window)
                self.assertIn("This page stopped working", text)
                self.assertIn(address, text, "the page names the address that was shown")
                self.assertIn("it crashed", text)
                self.assertEqual(window.address_text(), address, "the address box keeps the address")
                program.check_running()

                refresh()
                window.wait_for_page_title("Second page")
                self.server.wait_for_beacon("second-loaded", count=loads)
                self.assertEqual(window.address_text(), address)
        self.assert_no_dialog(program)
        self.close_and_expect_clean_exit(program, window)

    def test_a_popup_shares_the_web_process_and_shows_the_same_page_when_it_dies(self):
        # The first page opens "Second popup" on load, in a popup related to the main window.
        program, window = self.open_page("popup-first.html")
        window.wait_for_page_title("First popup")
        wait_for_popup(program, "Second popup")
        self.kill_engine_process(program, WEB_PROCESS)
        window.wait_for_page_title(GONE_TITLE)
        wait_for_popup(program, GONE_TITLE)
        self.assertEqual(window.address_text(), self.server.url("popup-first.html"))
        window.click_in_page()
        window.press("F5")
        window.wait_for_page_title("First popup")
        self.server.wait_for_beacon("first-loaded", count=2)
        self.assertTrue(popup_frames(program, GONE_TITLE) or popup_frames(program, "Second popup"),
                        "the popup stays open")
        program.check_running()

    def test_after_the_network_process_dies_the_next_navigation_works(self):
        program, window = self.open_page("second.html")
        window.wait_for_page_title("Second page")
        self.kill_engine_process(program, NETWORK_PROCESS)
        window.type_address(self.server.url("links.html"))
        self.server.wait_for_request("links.html")
        window.wait_for_address(self.server.url("links.html"))
        window.wait_for_page_title("Links")
        self.close_and_expect_clean_exit(program, window)

    def test_the_web_process_runs_in_namespaces_of_its_own(self):
        program, window = self.open_page("second.html")
        web = self.engine_process(program, WEB_PROCESS)
        for kind in ("pid", "net", "mnt"):
            with self.subTest(namespace=kind):
                self.assertNotEqual(namespace(web, kind), namespace(program.pid, kind),
                                    f"the web process shares the program's {kind} namespace: no sandbox")
        self.close_and_expect_clean_exit(program, window)
