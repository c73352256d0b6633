"""Basic authentication in the real window: a server's 401 brings the "Basic Authentication"
dialog with a masked password; wrong credentials bring it again, empty; Cancel or an empty
field fail the request; a popup's challenge gets the same dialog."""
from harness import accessibility, timeouts
from harness.case import EndToEndTest
from harness.proxies import BasicAuthServer
from harness.waiting import stays_true, wait_until
from popup_windows import wait_for_popup
from program_dialogs import field_texts, fields, fill, press, wait_for_dialog, wait_for_dialog_gone

LOGIN = "Basic Authentication"


class BasicAuthTest(EndToEndTest):
    def auth_server(self, **kwargs):
        server = BasicAuthServer("alice", "pass word", **kwargs).start()
        self.addCleanup(server.stop)
        return server

    def answer(self, program, user, password, button="OK"):
        dialog = wait_for_dialog(program, LOGIN, timeouts.PAGE_LOAD)
        self.assertEqual(field_texts(dialog), ["", ""], "every challenge starts empty")
        self.assertEqual([f.getRoleName() for f in fields(dialog)], ["text", "password text"])
        if user:
            fill(dialog, 0, user)
        if password:
            fill(dialog, 1, password)
        press(dialog, button)
        # Wrong credentials bring the next challenge's dialog at once: this one must go.
        wait_for_dialog_gone(program, LOGIN, dialog=dialog)

    def test_wrong_then_right_credentials_through_the_dialog(self):
        server = self.auth_server()
        program = self.start_pelmarin("/URL", server.url("secret"))
        window = program.wait_for_main_window()
        self.answer(program, "alice", "wrong")
        wait_until(lambda: len(server.requests()) >= 2, timeouts.PAGE_LOAD, "the wrong credentials sent")
        self.answer(program, "alice", "pass word")
        window.wait_for_page_title("Welcome")
        self.assertEqual(server.requests(), [("/secret", None), ("/secret", "alice:wrong"), ("/secret", "alice:pass word")])
        self.assert_no_dialog(program)

    def test_an_empty_field_or_cancel_fails_the_request(self):
        server = self.auth_server()
        program = self.start_pelmarin("/URL", server.url("first"))
        window = program.wait_for_main_window()
        self.answer(program, "alice", "")
        self.answer_fails(program, window, server, [("/first", None)])

        window.type_address(server.url("second"))
        self.answer(program, "alice", "pass word", button="Cancel")
        self.answer_fails(program, window, server, [("/first", None), ("/second", None)])

    def answer_fails(self, program, window, server, requests):
        self.assertTrue(stays_true(lambda: server.requests() == requests and not any(
            w.name == LOGIN and accessibility.is_showing(w) for w in program.windows()), timeouts.QUIET_PERIOD * 2),
            f"no credentials are sent and no dialog comes back (requests {server.requests()})")
        self.assertNotEqual(window.page_title(), "Welcome")

    def test_a_popup_gets_the_same_dialog(self):
        server = self.auth_server(welcome="Welcome popup")
        program, window = self.open_page("popup-auth.html?target=" + server.url("popup"))
        self.answer(program, "alice", "pass word")
        wait_for_popup(program, "Welcome popup")
        self.assertEqual(server.requests(), [("/popup", None), ("/popup", "alice:pass word")])
        self.assertTrue(program.main_window_shown())
