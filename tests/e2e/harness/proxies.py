"""Proxies and servers on 127.0.0.1 that the tests start, each recording what reaches it.

HttpProxy answers absolute-address requests itself ("GET http://host/path"), SocksProxy
takes SOCKS 5 CONNECT requests and then answers the HTTP request that follows in the
tunnel, BasicAuthServer asks for Basic credentials. Every answer is a small page whose
title names who answered, so a test sees in the window which way a request went."""
import base64
import http.server
import socket
import socketserver
import struct
import threading
import urllib.parse
from dataclasses import dataclass


def _page(title, body=""):
    return (f"<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>{title}</title></head>"
            f"<body><p>{title}</p>{body}</body></html>").encode("utf-8")


class _Recorder:
    def __init__(self):
        self._lock = threading.Lock()
        self._records = []

    def add(self, record):
        with self._lock:
            self._records.append(record)

    def records(self):
        with self._lock:
            return list(self._records)


class _ThreadedServer:
    def __init__(self, server):
        self._server = server
        self._server.daemon_threads = True
        self.port = server.server_address[1]
        self._thread = threading.Thread(target=server.serve_forever, daemon=True)

    def start(self):
        self._thread.start()
        return self

    def stop(self):
        self._server.shutdown()
        self._server.server_close()
        self._thread.join(5)


# -- HTTP proxy ------------------------------------------------------------------------

class _ProxyHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):  # noqa: N802 - name fixed by the base class
        # A request through a proxy names the whole address; one without it was meant for
        # a server, not for a proxy.
        self.server.recorder.add(self.path)
        parts = urllib.parse.urlsplit(self.path)
        body = _page(f"{self.server.name} {parts.netloc}{parts.path}")
        self.send_response(200 if parts.scheme else 400)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):  # noqa: A002
        pass


class _RecordingServer:
    """One of this module's servers on a thread of its own, recording what reaches it."""

    def __init__(self, server):
        server.recorder = _Recorder()
        self._recorder = server.recorder
        self._server = _ThreadedServer(server)
        self.port = self._server.port

    def start(self):
        self._server.start()
        return self

    def stop(self):
        self._server.stop()


class HttpProxy(_RecordingServer):
    def __init__(self, name="via http proxy"):
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), _ProxyHandler)
        server.name = name
        super().__init__(server)
        self.name = name

    def requests(self):
        """The request targets received, e.g. "http://example.test/page"."""
        return self._recorder.records()


# -- SOCKS 5 proxy ---------------------------------------------------------------------

@dataclass(frozen=True)
class SocksConnect:
    host: str  # as the client sent it: a name (the proxy resolves it) or an address
    port: int
    request_line: str  # the first line of the HTTP request sent through the tunnel


class _SocksHandler(socketserver.StreamRequestHandler):
    def _read(self, count):
        data = b""
        while len(data) < count:
            chunk = self.rfile.read(count - len(data))
            if not chunk:
                raise ConnectionError("the client went away")
            data += chunk
        return data

    def handle(self):
        try:
            version, methods = self._read(2)
            if version != 5:
                return
            self._read(methods)
            self.wfile.write(b"\x05\x00")  # no authentication
            version, command, _, kind = self._read(4)
            if kind == 1:
                host = socket.inet_ntoa(self._read(4))
            elif kind == 3:
                host = self._read(self._read(1)[0]).decode("idna")
            elif kind == 4:
                host = socket.inet_ntop(socket.AF_INET6, self._read(16))
            else:
                return
            (port,) = struct.unpack("!H", self._read(2))
            if command != 1:  # only CONNECT
                self.wfile.write(b"\x05\x07\x00\x01" + b"\x00" * 6)
                return
            self.wfile.write(b"\x05\x00\x00\x01" + socket.inet_aton("127.0.0.1") + struct.pack("!H", self.server.port))
            self.wfile.flush()
            # The tunnel now carries the client's request for host:port; answer it here.
            request_line = self.rfile.readline().decode("latin-1").rstrip("\r\n")
            while self.rfile.readline() not in (b"\r\n", b"\n", b""):
                pass
            self.server.recorder.add(SocksConnect(host, port, request_line))
            path = request_line.split(" ")[1] if " " in request_line else "/"
            body = _page(f"{self.server.name} {host}{path}")
            self.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                             b"Cache-Control: no-store\r\nConnection: close\r\n"
                             + f"Content-Length: {len(body)}\r\n\r\n".encode("ascii") + body)
            self.wfile.flush()
        except (ConnectionError, ValueError, OSError):
            return


class _SocksServer(socketserver.ThreadingTCPServer):
    allow_reuse_address = True


class SocksProxy(_RecordingServer):
    def __init__(self, name="via socks proxy"):
        server = _SocksServer(("127.0.0.1", 0), _SocksHandler)
        server.name = name
        server.port = server.server_address[1]
        super().__init__(server)
        self.name = name

    def connections(self):
        return self._recorder.records()


# -- Basic authentication --------------------------------------------------------------

class _AuthHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):  # noqa: N802
        header = self.headers.get("Authorization")
        credentials = None
        if header and header.startswith("Basic "):
            try:
                credentials = base64.b64decode(header[6:]).decode("utf-8")
            except ValueError:
                credentials = "<undecodable>"
        self.server.recorder.add((self.path, credentials))
        if credentials == self.server.expected:
            body = _page(self.server.welcome)
            self.send_response(200)
        else:
            body = _page("Unauthorized")
            self.send_response(401)
            self.send_header("WWW-Authenticate", f"Basic realm=\"{self.server.realm}\", charset=\"UTF-8\"")
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):  # noqa: A002
        pass


class BasicAuthServer(_RecordingServer):
    """Answers with the page titled welcome when the credentials are user:password, else 401."""

    def __init__(self, user, password, realm="Pelmarin test", welcome="Welcome"):
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), _AuthHandler)
        server.expected = f"{user}:{password}"
        server.realm = realm
        server.welcome = welcome
        super().__init__(server)

    def url(self, path=""):
        return f"http://127.0.0.1:{self.port}/{path.lstrip('/')}"

    def requests(self):
        """(path, "user:password" or None) for every request, in order."""
        return self._recorder.records()
