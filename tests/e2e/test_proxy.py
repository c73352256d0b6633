"""The proxy in the real window: the proxy settings dialog switches from the desktop's
settings to a custom HTTP proxy and to a custom SOCKS proxy, and the next page goes through
the chosen one without a restart; 127.0.0.1 is bypassed in the custom modes; the stored
choice serves the very first page of the next start."""
import os
import subprocess
from unittest import mock

from harness import timeouts
from harness.case import EndToEndTest
from harness.proxies import HttpProxy, SocksConnect, SocksProxy
from harness.waiting import wait_until
from popup_windows import choose
from program_dialogs import (field_enabled, field_texts, fill, press, radio_state, wait_for_dialog,
                             wait_for_dialog_gone)

PROXY_VARIABLES = ("http_proxy", "https_proxy", "ftp_proxy", "all_proxy", "no_proxy")
SYSTEM, CUSTOM, HTTP, SOCKS = " Use system settings", " Custom", " HTTP", " SOCKS"


class ProxyTest(EndToEndTest):
    def setUp(self):
        super().setUp()
        self.system_proxy = HttpProxy("via system proxy").start()
        self.addCleanup(self.system_proxy.stop)
        self.http_proxy = HttpProxy("via http proxy").start()
        self.addCleanup(self.http_proxy.stop)
        self.socks_proxy = SocksProxy("via socks proxy").start()
        self.addCleanup(self.socks_proxy.stop)

    def start(self, address, **extra):
        """Starts the program with this desktop's proxy configuration pointing at the
        "system" proxy (the environment's http_proxy; the desktop settings say none)."""
        environment = {name: None for name in PROXY_VARIABLES + tuple(n.upper() for n in PROXY_VARIABLES)}
        clean = {k: v for k, v in os.environ.items() if k not in environment}
        clean["http_proxy"] = f"http://127.0.0.1:{self.system_proxy.port}"
        clean.update(extra)
        with mock.patch.dict(os.environ, clean, clear=True):
            program = self.start_pelmarin("/URL", address)
        return program, program.wait_for_main_window()

    def settings_bytes(self):
        path = self.sandbox.settings_file
        return path.read_bytes() if path.exists() else None

    def wait_for_settings(self, mode, proxy):
        expected = f"[Features]\r\nProxyMode={mode}\r\nProxy={proxy}\r\n".encode()
        wait_until(lambda: self.settings_bytes() == expected, timeouts.WIDGET_CHANGE,
                   f"AppSettings.ini holding {expected!r} (now {self.settings_bytes()!r})")

    def load(self, window, address, title):
        window.type_address(address)
        window.wait_for_page_title(title)

    def open_dialog(self, program, window):
        choose(window, "Proxy settings...")
        return wait_for_dialog(program, "Proxy settings")

    def wait_for_radio(self, dialog, label, checked, enabled):
        wait_until(lambda: radio_state(dialog, label) == (checked, enabled), timeouts.WIDGET_CHANGE,
                   f"{label!r} checked={checked} enabled={enabled} (now {radio_state(dialog, label)})")

    def test_system_then_custom_http_then_custom_socks_without_a_restart(self):
        program, window = self.start(self.server.url("second.html"))
        window.wait_for_page_title("Second page")
        self.assertEqual(self.system_proxy.requests(), [], "127.0.0.1 is bypassed by the desktop's proxy")

        self.load(window, "http://system.test/page", "via system proxy system.test/page")
        self.assertIn("http://system.test/page", self.system_proxy.requests())

        # Custom HTTP.
        dialog = self.open_dialog(program, window)
        self.assertEqual(radio_state(dialog, SYSTEM), (True, True))
        self.assertEqual(radio_state(dialog, CUSTOM), (False, True))
        self.assertEqual((radio_state(dialog, HTTP), radio_state(dialog, SOCKS)), ((False, False), (False, False)))
        self.assertFalse(field_enabled(dialog, 0))
        press(dialog, CUSTOM)
        self.wait_for_radio(dialog, HTTP, True, True)
        self.assertEqual(radio_state(dialog, SYSTEM), (False, True))
        self.assertTrue(field_enabled(dialog, 0))
        fill(dialog, 0, f"127.0.0.1:{self.http_proxy.port}")
        press(dialog, "OK")
        wait_for_dialog_gone(program, "Proxy settings")
        self.wait_for_settings(1, f"127.0.0.1:{self.http_proxy.port}")

        self.load(window, "http://custom-http.test/page", "via http proxy custom-http.test/page")
        self.assertIn("http://custom-http.test/page", self.http_proxy.requests())
        self.assertNotIn("http://custom-http.test/page", self.system_proxy.requests())

        # 127.0.0.1 itself does not go through the custom proxy.
        before = list(self.http_proxy.requests())
        self.load(window, self.server.url("second.html"), "Second page")
        self.assertEqual(len(self.server.requests_for("second.html")), 2)
        self.assertEqual(self.http_proxy.requests(), before)

        # Custom SOCKS: the dialog opens as saved.
        dialog = self.open_dialog(program, window)
        self.assertEqual(radio_state(dialog, CUSTOM), (True, True))
        self.assertEqual(radio_state(dialog, HTTP), (True, True))
        self.assertEqual(field_texts(dialog), [f"127.0.0.1:{self.http_proxy.port}"])
        press(dialog, SOCKS)
        self.wait_for_radio(dialog, SOCKS, True, True)
        self.wait_for_radio(dialog, HTTP, False, True)
        fill(dialog, 0, f"127.0.0.1:{self.socks_proxy.port}")
        press(dialog, "OK")
        wait_for_dialog_gone(program, "Proxy settings")
        self.wait_for_settings(2, f"127.0.0.1:{self.socks_proxy.port}")

        self.load(window, "http://custom-socks.test/page", "via socks proxy custom-socks.test/page")
        self.assertIn(SocksConnect("custom-socks.test", 80, "GET /page HTTP/1.1"), self.socks_proxy.connections(),
                      "the proxy resolves the name")
        self.assertNotIn("http://custom-socks.test/page", self.http_proxy.requests())

        # Back to the system settings; the custom server text stays saved.
        dialog = self.open_dialog(program, window)
        press(dialog, SYSTEM)
        self.wait_for_radio(dialog, SOCKS, True, False)
        press(dialog, "OK")
        wait_for_dialog_gone(program, "Proxy settings")
        self.wait_for_settings(0, f"127.0.0.1:{self.socks_proxy.port}")
        self.load(window, "http://system-again.test/page", "via system proxy system-again.test/page")
        self.assert_no_dialog(program)

    def test_custom_without_a_server_is_refused_and_cancel_changes_nothing(self):
        program, window = self.start(self.server.url("second.html"))
        window.wait_for_page_title("Second page")
        dialog = self.open_dialog(program, window)
        press(dialog, CUSTOM)
        self.wait_for_radio(dialog, HTTP, True, True)
        press(dialog, "OK")
        box = program.wait_for_message_box("Pelmarin", timeouts.WIDGET_CHANGE)
        self.assertEqual(box.text, "Please enter custom proxy ip or choose 'use system settings'")
        box.press("OK")
        wait_until(lambda: not box.is_open(), timeouts.WIDGET_CHANGE, "the message closing")
        dialog = wait_for_dialog(program, "Proxy settings")
        fill(dialog, 0, f"127.0.0.1:{self.http_proxy.port}")
        press(dialog, "Cancel")
        wait_for_dialog_gone(program, "Proxy settings")
        self.assertIsNone(self.settings_bytes(), "nothing saved")
        self.load(window, "http://after-cancel.test/page", "via system proxy after-cancel.test/page")
        self.assertEqual(self.http_proxy.requests(), [])

    def test_the_stored_proxy_serves_the_first_page_of_the_next_start(self):
        self.sandbox.app_config_dir.mkdir(parents=True, exist_ok=True)
        self.sandbox.settings_file.write_bytes(
            f"[Features]\r\nProxyMode=2\r\nProxy=127.0.0.1:{self.socks_proxy.port}\r\n".encode())
        program, window = self.start("http://first.test/start")
        window.wait_for_page_title("via socks proxy first.test/start")
        self.assertEqual(self.socks_proxy.connections()[0], SocksConnect("first.test", 80, "GET /start HTTP/1.1"),
                         "the very first request went through the stored proxy")
        self.assertEqual(self.system_proxy.requests(), [])

    # The desktop's settings in the sandbox's own folder: the keyfile backend writes them
    # there itself, where a settings service started by the session bus would write to the
    # real user's folders.
    SETTINGS_BACKEND = {"GSETTINGS_BACKEND": "keyfile"}

    def gsettings(self, *arguments):
        env = self.sandbox.environment(self.display.name)
        env.update(self.SETTINGS_BACKEND)
        return subprocess.run(["gsettings", *arguments], env=env, capture_output=True, text=True, timeout=30)

    def test_the_desktops_own_proxy_settings_come_before_the_environment(self):
        for key, value in (("mode", "manual"), ("ignore-hosts", "['127.0.0.1']")):
            self.assertEqual(self.gsettings("set", "org.gnome.system.proxy", key, value).returncode, 0)
        for key, value in (("host", "127.0.0.1"), ("port", str(self.http_proxy.port))):
            self.assertEqual(self.gsettings("set", "org.gnome.system.proxy.http", key, value).returncode, 0)
        if self.gsettings("get", "org.gnome.system.proxy", "mode").stdout.strip() != "'manual'":
            self.skipTest("this desktop keeps no proxy settings of its own")
        program, window = self.start(self.server.url("second.html"), **self.SETTINGS_BACKEND)
        window.wait_for_page_title("Second page")
        self.load(window, "http://desktop.test/page", "via http proxy desktop.test/page")
        self.assertEqual(self.system_proxy.requests(), [], "the environment's proxy is not used")
        self.assertIsNone(self.settings_bytes(), "the system settings are only read")
