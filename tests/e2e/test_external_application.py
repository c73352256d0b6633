"""A mailto: link: the question comes first; Cancel hands nothing to the desktop,
OK hands the address to xdg-open; the page stays where it is either way."""
from harness import timeouts
from harness.case import EndToEndTest
from harness.waiting import stays_true, wait_until

QUESTION = "Do you want to allow this website to open an application on your computer?"
MAIL_ADDRESS = "mailto:someone@example.com?subject=Hello"


class ExternalApplicationTest(EndToEndTest):
    def ask(self, program, window):
        window.click(window.page_link("Write to us"))
        box = program.wait_for_message_box("Message", timeouts.WIDGET_CHANGE)
        self.assertEqual(box.text, QUESTION)
        self.assertEqual(sorted(b.replace("_", "") for b in box.buttons()), ["Cancel", "OK"])
        return box

    def assert_page_unchanged(self, window):
        page = (self.server.url("mailto.html"), "Mail link")
        self.assertTrue(stays_true(lambda: (window.address_text(), window.page_title()) == page,
                                   timeouts.QUIET_PERIOD),
                        f"the page changed: now {(window.address_text(), window.page_title())}")
        self.assertEqual(len(self.server.requests_for("mailto.html")), 1, "the page was loaded again")

    def test_question_before_handing_mailto_to_the_desktop(self):
        program, window = self.open_page("mailto.html")
        self.server.wait_for_beacon("mailto-loaded")

        box = self.ask(program, window)
        box.press("Cancel")
        wait_until(lambda: not box.is_open(), timeouts.WIDGET_CHANGE, "the question closing")
        self.assert_page_unchanged(window)

        # Asked again and answered OK: exactly one call reaches the desktop, so the
        # Cancel above handed nothing over.
        box = self.ask(program, window)
        box.press("OK")
        calls = wait_until(self.desktop.calls, timeouts.WIDGET_CHANGE, "a call of xdg-open")
        self.assertEqual(calls, [[MAIL_ADDRESS]])
        wait_until(lambda: not box.is_open(), timeouts.WIDGET_CHANGE, "the question closing")
        self.assert_page_unchanged(window)
        self.assert_no_dialog(program)
