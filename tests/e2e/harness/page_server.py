"""A threaded HTTP server on 127.0.0.1 that serves the test pages and records every request.

Pages report what their scripts did by requesting /beacon?<what>; the server answers
those with 204 and keeps them in the record like any other request."""
import functools
import http.server
import threading
import time
import urllib.parse
from dataclasses import dataclass

from .waiting import wait_until


@dataclass(frozen=True)
class RecordedRequest:
    method: str
    path: str
    query: str
    received: float  # time.monotonic() when the request line arrived


class _Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, recorder, **kwargs):
        self._recorder = recorder
        super().__init__(*args, **kwargs)

    def do_GET(self):  # noqa: N802 - name fixed by the base class
        self._recorder(self)
        if urllib.parse.urlsplit(self.path).path == "/beacon":
            self.send_response(204)
            self.end_headers()
            return
        super().do_GET()

    def do_HEAD(self):  # noqa: N802
        self._recorder(self)
        super().do_HEAD()

    def end_headers(self):
        # Every test starts with an empty engine cache; this keeps a page loaded twice
        # within one test from being answered out of the cache without a request.
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, format, *args):  # noqa: A002 - signature fixed by the base class
        self.server.access_log.append(format % args)


class PageServer:
    def __init__(self, root):
        self._root = str(root)
        self._requests = []
        self._lock = threading.Lock()
        self._server = None
        self._thread = None
        self.port = None

    def start(self):
        handler = functools.partial(_Handler, directory=self._root, recorder=self._record)
        self._server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self._server.daemon_threads = True
        self._server.access_log = []
        self.port = self._server.server_address[1]
        self._thread = threading.Thread(target=self._server.serve_forever, daemon=True)
        self._thread.start()
        return self

    def stop(self):
        if self._server:
            self._server.shutdown()
            self._server.server_close()
            self._thread.join(5)
            self._server = None

    def url(self, path=""):
        return f"http://127.0.0.1:{self.port}/{path.lstrip('/')}"

    def _record(self, handler):
        parts = urllib.parse.urlsplit(handler.path)
        entry = RecordedRequest(handler.command, parts.path, parts.query, time.monotonic())
        with self._lock:
            self._requests.append(entry)

    def requests(self):
        with self._lock:
            return list(self._requests)

    def requests_for(self, path, query=None):
        path = "/" + path.lstrip("/")
        return [r for r in self.requests()
                if r.path == path and (query is None or r.query == query)]

    def beacons(self):
        return [r.query for r in self.requests() if r.path == "/beacon"]

    def wait_for_request(self, path, query=None, timeout=30, count=1):
        what = f"{count} request(s) for /{path.lstrip('/')}" + (f"?{query}" if query else "")
        return wait_until(lambda: len(self.requests_for(path, query)) >= count and
                          self.requests_for(path, query)[count - 1], timeout, what)

    def wait_for_beacon(self, query, timeout=30, count=1):
        return self.wait_for_request("beacon", query, timeout, count)

    def access_log(self):
        return list(self._server.access_log) if self._server else []
