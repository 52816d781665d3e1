"""A small web server for the download tests, on 127.0.0.1 and a free port.

Usage: server.py FOLDER [CERT KEY]. With a certificate and its key it speaks https. Runs until its stdin ends. Prints the port on the first line of stdout, then one line per request
path. Serves the files below FOLDER; a leading path segment changes how the answer goes wrong:
  /status/NNN/...  answers NNN with an HTML error page
  /html/...        answers 200 with an HTML page instead of the file
  /cut/...         announces the file's length but sends half of it, then closes
  /close/...       sends half of the file without a length and closes (looks complete)
  /stall/...       sends the headers and a few bytes, then nothing for a minute
  /redirect/...    answers 302 pointing at the rest of the path
  /goto/URL        answers 302 pointing at URL as it stands (another scheme, another server)
  /slow/...        waits a second and a half, then serves the file
  /endless/...     sends bytes without a length until the client gives up (at most 30 s or 256 MiB)
"""

import http.server
import os
import ssl
import sys
import threading
import time

ROOT = os.path.abspath(sys.argv[1])


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, format, *args):
        pass

    def send_body(self, status, body, content_type="text/plain", length=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        if length is not None:
            self.send_header("Content-Length", str(length))
        else:
            self.send_header("Connection", "close")
        self.end_headers()

    def read_file(self, path):
        full = os.path.normpath(os.path.join(ROOT, path.lstrip("/")))
        if not full.startswith(ROOT + os.sep) or not os.path.isfile(full):
            return None
        with open(full, "rb") as f:
            return f.read()

    def do_GET(self):
        print(self.path, flush=True)
        parts = self.path.split("/", 2)
        kind = parts[1] if len(parts) > 1 else ""
        rest = "/" + (parts[2] if len(parts) > 2 else "")

        if kind == "status":
            code, _, _ = rest.lstrip("/").partition("/")
            page = b"<html><body><h1>Error %s</h1></body></html>" % code.encode()
            self.send_body(int(code), page, "text/html", len(page))
            self.wfile.write(page)
            return
        if kind == "html":
            page = b"<!DOCTYPE html>\r\n<html><body>Welcome to our hosting</body></html>\r\n"
            self.send_body(200, page, "text/html", len(page))
            self.wfile.write(page)
            return
        if kind == "redirect":
            self.send_response(302)
            self.send_header("Location", rest)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if kind == "goto":
            self.send_response(302)
            self.send_header("Location", parts[2])
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if kind == "endless":
            self.send_body(200, b"")
            chunk = b"Zorbeth " * 8192
            deadline = time.monotonic() + 30
            sent = 0
            try:
                while time.monotonic() < deadline and sent < 256 << 20:
                    self.wfile.write(chunk)
                    sent += len(chunk)
            except OSError:
                pass
            self.close_connection = True
            return
        if kind == "slow":
            time.sleep(1.5)
        if kind == "stall":
            self.send_body(200, b"", length=100000)
            self.wfile.write(b"Zorbeth")
            self.wfile.flush()
            time.sleep(60)
            self.close_connection = True
            return

        body = self.read_file(rest if kind in ("cut", "close", "slow") else self.path)
        if body is None:
            page = b"<html><body>Not here</body></html>"
            self.send_body(404, page, "text/html", len(page))
            self.wfile.write(page)
            return
        if kind == "cut":
            self.send_body(200, body, length=len(body))
            self.wfile.write(body[: len(body) // 2])
            self.close_connection = True
            return
        if kind == "close":
            self.send_body(200, body)
            self.wfile.write(body[: len(body) // 2])
            self.close_connection = True
            return
        self.send_body(200, body, length=len(body))
        self.wfile.write(body)


def exit_with_test():
    # The test holds our stdin open; end of input means it has gone, even if it crashed.
    sys.stdin.read()
    os._exit(0)


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
if len(sys.argv) > 3:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[2], sys.argv[3])
    server.socket = context.wrap_socket(server.socket, server_side=True)
threading.Thread(target=exit_with_test, daemon=True).start()
print(server.server_address[1], flush=True)
server.serve_forever()
