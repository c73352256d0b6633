"""Certificate errors in the real program: a site on 127.0.0.1 with a certificate the test
makes (untrusted, for another host, expired) is never shown: the navigation ends on the
program's page naming the problem and the address, nothing is sent to the site, a second
visit meets the same check, subresources and frames from it do not load, and a page cannot
reach into the error page."""
import datetime
import functools
import http.server
import ipaddress
import ssl
import threading
from pathlib import Path

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import NameOID

from engine_faults import page_text
from harness import timeouts
from harness.case import EndToEndTest
from harness.page_server import PageServer
from harness.waiting import stays_true, wait_until
from popup_windows import popup_frames

ERROR_TITLE = "Certificate error"
UNTRUSTED = "The certificate is not trusted"
WRONG_HOST = "The certificate is for another host"
EXPIRED = "The certificate has expired"


def make_certificate(folder, name, subject_alt_name, days_valid=(-1, 30)):
    """A self-signed certificate and its key, as PEM files in folder."""
    key = ec.generate_private_key(ec.SECP256R1())
    now = datetime.datetime.now(datetime.timezone.utc)
    subject = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, "Pelmarin test site")])
    certificate = (x509.CertificateBuilder().subject_name(subject).issuer_name(subject)
                   .public_key(key.public_key()).serial_number(x509.random_serial_number())
                   .not_valid_before(now + datetime.timedelta(days=days_valid[0]))
                   .not_valid_after(now + datetime.timedelta(days=days_valid[1]))
                   .add_extension(x509.SubjectAlternativeName([subject_alt_name]), critical=False)
                   .sign(key, hashes.SHA256()))
    cert_path, key_path = folder / f"{name}.crt", folder / f"{name}.key"
    cert_path.write_bytes(certificate.public_bytes(serialization.Encoding.PEM))
    key_path.write_bytes(key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                           serialization.NoEncryption()))
    return cert_path, key_path


class TlsSite:
    """An https server on 127.0.0.1 that counts the connections it is offered and records
    every request that gets past the handshake (none should)."""

    def __init__(self, root, certificate, key):
        site = self

        class Server(http.server.ThreadingHTTPServer):
            daemon_threads = True

            def get_request(self):
                connection, address = self.socket.accept()
                with site._lock:
                    site.connections += 1
                return site._context.wrap_socket(connection, server_side=True), address

        class Handler(http.server.SimpleHTTPRequestHandler):
            def do_GET(self):  # noqa: N802 - name fixed by the base class
                with site._lock:
                    site.requests.append(self.path)
                super().do_GET()

            def log_message(self, *args):
                pass

        self._context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        self._context.load_cert_chain(certificate, key)
        self._lock = threading.Lock()
        self.connections = 0
        self.requests = []
        self._server = Server(("127.0.0.1", 0), functools.partial(Handler, directory=str(root)))
        self.port = self._server.server_address[1]
        self._thread = threading.Thread(target=self._server.serve_forever, daemon=True)

    def start(self):
        self._thread.start()
        return self

    def stop(self):
        self._server.shutdown()
        self._server.server_close()

    def url(self, path):
        return f"https://127.0.0.1:{self.port}/{path}"

    def connection_count(self):
        with self._lock:
            return self.connections


class TlsTest(EndToEndTest):
    def setUp(self):
        super().setUp()
        self.site_root = self.work / "tls-site"
        self.site_root.mkdir()
        (self.site_root / "secret.html").write_text(
            "<!DOCTYPE html><title>Secret</title><p>Should never be shown.</p>")
        (self.site_root / "pixel.png").write_bytes(b"\x89PNG\r\n\x1a\n")

    def tls_site(self, name, subject_alt_name, days_valid=(-1, 30)):
        certificate, key = make_certificate(self.work, name, subject_alt_name, days_valid)
        site = TlsSite(self.site_root, certificate, key).start()
        self.addCleanup(site.stop)
        return site

    def local_pages(self, pages):
        """A plain http server of this test's own pages (name -> HTML)."""
        root = self.work / "pages"
        root.mkdir(exist_ok=True)
        for name, html in pages.items():
            (root / name).write_text(html)
        server = PageServer(root).start()
        self.addCleanup(server.stop)
        return server

    def wait_for_error_page(self, window, address):
        window.wait_for_address(address)
        window.wait_for_page_title(ERROR_TITLE)
        return page_text(window)

    def test_each_certificate_problem_stops_on_our_page_naming_it(self):
        here = x509.IPAddress(ipaddress.ip_address("127.0.0.1"))
        cases = [
            ("untrusted", here, (-1, 30), [UNTRUSTED], [WRONG_HOST, EXPIRED]),
            ("wrong-host", x509.DNSName("elsewhere.example"), (-1, 30), [WRONG_HOST], [EXPIRED]),
            ("expired", here, (-30, -1), [EXPIRED], [WRONG_HOST]),
        ]
        for name, alt_name, days, expected, absent in cases:
            with self.subTest(certificate=name):
                site = self.tls_site(name, alt_name, days)
                address = site.url("secret.html")
                program = self.start_pelmarin("/URL", address)
                window = program.wait_for_main_window()
                text = self.wait_for_error_page(window, address)
                self.assertIn(address, text, "the page names the address")
                for sentence in expected:
                    self.assertIn(sentence, text)
                for sentence in absent:
                    self.assertNotIn(sentence, text)
                self.assertNotIn("Should never be shown", text)
                self.assertGreaterEqual(site.connection_count(), 1)
                self.assertEqual(site.requests, [], "nothing may be sent over the failed connection")
                self.close_and_expect_clean_exit(program, window)

    def test_no_exception_is_remembered_a_second_visit_meets_the_same_check(self):
        site = self.tls_site("untrusted", x509.IPAddress(ipaddress.ip_address("127.0.0.1")))
        address = site.url("secret.html")
        program, window = self.open_page("second.html")
        for visit in (1, 2):
            with self.subTest(visit=visit):
                # Typed once the page has loaded, so that the key reaches the address box.
                self.server.wait_for_beacon("second-loaded", count=visit)
                window.wait_for_page_title("Second page")
                before = site.connection_count()
                window.type_address(address)
                self.assertIn(UNTRUSTED, self.wait_for_error_page(window, address))
                self.assertGreater(site.connection_count(), before, "the certificate is checked again")
                window.type_address(self.server.url("second.html"))
        self.assertEqual(site.requests, [])
        self.close_and_expect_clean_exit(program, window)

    def test_subresources_and_frames_from_the_site_do_not_load_and_the_page_stays(self):
        site = self.tls_site("untrusted", x509.IPAddress(ipaddress.ip_address("127.0.0.1")))
        pages = self.local_pages({"mixed.html": f"""<!DOCTYPE html><title>Mixed</title>
<script>
function beacon(what) {{ new Image().src = "/beacon?" + what; }}
fetch("{site.url('data.json')}").then(() => beacon("fetch-loaded"), () => beacon("fetch-failed"));
window.addEventListener("load", () => {{
  let frame = document.querySelector("iframe"), shown;
  try {{ shown = "readable-" + frame.contentDocument.location.href; }} catch (e) {{ shown = "unreadable"; }}
  beacon("frame-" + encodeURIComponent(shown));
}});
</script>
<img src="{site.url('pixel.png')}" onload="beacon('image-loaded')" onerror="beacon('image-failed')">
<script src="{site.url('script.js')}" onerror="beacon('script-failed')"></script>
<iframe src="{site.url('secret.html')}"></iframe>"""})
        program = self.start_pelmarin("/URL", pages.url("mixed.html"))
        window = program.wait_for_main_window()
        for outcome in ("image-failed", "script-failed", "fetch-failed"):
            pages.wait_for_beacon(outcome)
        frame_report = wait_until(lambda: [b for b in pages.beacons() if b.startswith("frame-")],
                                  timeouts.PAGE_LOAD, "the page's report of its frame")[0]
        print(f"\n[the frame from the failing site: {frame_report}]")
        self.assertNotIn("secret.html", frame_report, "the frame must not show the site's page")
        self.assertEqual(window.page_title(), "Mixed", "the page itself stays")
        self.assertEqual(window.address_text(), pages.url("mixed.html"))
        self.assertNotIn("image-loaded", pages.beacons())
        self.assertEqual(site.requests, [])
        self.close_and_expect_clean_exit(program, window)

    def test_the_opener_cannot_reach_into_the_error_page_of_its_popup(self):
        site = self.tls_site("untrusted", x509.IPAddress(ipaddress.ip_address("127.0.0.1")))
        pages = self.local_pages({"opener.html": f"""<!DOCTYPE html><title>Opener</title>
<script>
function beacon(what) {{ new Image().src = "/beacon?" + what; }}
let popup = window.open("{site.url('secret.html')}", "_blank", "width=400,height=300");
let tries = 0, timer = setInterval(() => {{
  tries += 1;
  try {{
    let title = popup.document.title;
    if (title) {{ popup.document.body.textContent = "forged"; beacon("readable-" + encodeURIComponent(title)); }}
  }} catch (e) {{ beacon("blocked-" + e.name); clearInterval(timer); return; }}
  if (tries > 100) {{ beacon("gave-up"); clearInterval(timer); }}
}}, 100);
</script><p>Opens a popup.</p>"""})
        program = self.start_pelmarin("/URL", pages.url("opener.html"))
        program.wait_for_main_window()
        wait_until(lambda: popup_frames(program, ERROR_TITLE), timeouts.PAGE_LOAD,
                   "the popup showing the certificate error")
        report = wait_until(lambda: [b for b in pages.beacons() if b.split("-")[0] in ("blocked", "gave", "readable")],
                            timeouts.PAGE_LOAD, "the opener's report")
        self.assertEqual(report[0], "blocked-SecurityError", f"the opener reached the error page: {report}")
        self.assertTrue(stays_true(lambda: popup_frames(program, ERROR_TITLE), timeouts.QUIET_PERIOD))
