#!/usr/bin/python3
"""A real HTTPS server on a loopback port, for the catalogue update tests.

Binds 127.0.0.1 on a free port, prints that port on one line, and serves the
files of --root as /<name> (HTTP/1.1, Content-Length, keep-alive) until it is
terminated, its parent process ends, or --lifetime seconds have passed, so
that a crashed test never leaves it behind. TLS with --cert/--key, or plain
HTTP with --plain.

Faults, each for one file name (options may be repeated):
  --status NAME=CODE     answers CODE (404, 500...) with a short page
  --cut NAME=BYTES       announces the whole length, sends BYTES, closes
  --stall NAME=BYTES     sends the headers and BYTES, then nothing until the
                         file --release names exists (then the rest)
  --redirect NAME=URL    answers 302 with Location URL

--events FILE gets one line per event: "GET /NAME" for each request,
"stalled NAME" once a stalled file has sent its first bytes.
"""
import argparse
import http.server
import os
import ssl
import sys
import threading
import time


def pairs(values):
    result = {}
    for value in values or []:
        name, _, rest = value.partition("=")
        result[name] = rest
    return result


class Events:
    def __init__(self, path):
        self.path = path
        self.lock = threading.Lock()

    def note(self, event):
        if self.path:
            with self.lock, open(self.path, "a") as log:
                log.write(event + "\n")


def make_handler(options, events):
    statuses = {name: int(code) for name, code in pairs(options.status).items()}
    cuts = {name: int(size) for name, size in pairs(options.cut).items()}
    stalls = {name: int(size) for name, size in pairs(options.stall).items()}
    redirects = pairs(options.redirect)

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, format, *args):
            sys.stderr.write("%s\n" % (format % args))

        def send_page(self, code, text):
            body = text.encode()
            self.send_response(code)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def do_GET(self):
            name = self.path.lstrip("/")
            events.note("GET /" + name)
            if name in statuses:
                self.send_page(statuses[name], "<html><body>Erreur %d</body></html>" % statuses[name])
                return
            if name in redirects:
                self.send_response(302)
                self.send_header("Location", redirects[name])
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            path = os.path.join(options.root, name)
            if "/" in name or not os.path.isfile(path):
                self.send_page(404, "<html><body>Introuvable</body></html>")
                return
            with open(path, "rb") as source:
                data = source.read()
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(data)))
            self.send_header("Last-Modified", self.date_time_string(os.path.getmtime(path)))
            self.end_headers()
            if name in cuts:
                self.wfile.write(data[:cuts[name]])
                self.wfile.flush()
                self.close_connection = True
                return
            if name in stalls:
                self.wfile.write(data[:stalls[name]])
                self.wfile.flush()
                events.note("stalled " + name)
                while not (options.release and os.path.exists(options.release)):
                    time.sleep(0.05)
                data = data[stalls[name]:]
            self.wfile.write(data)

    return Handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--plain", action="store_true")
    parser.add_argument("--status", action="append")
    parser.add_argument("--cut", action="append")
    parser.add_argument("--stall", action="append")
    parser.add_argument("--redirect", action="append")
    parser.add_argument("--release", default="")
    parser.add_argument("--events", default="")
    parser.add_argument("--lifetime", type=float, default=600)
    parser.add_argument("--parent", type=int, default=0,
                        help="the process that started the server (default: the current parent)")
    options = parser.parse_args()

    events = Events(options.events)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), make_handler(options, events))
    server.daemon_threads = True
    if not options.plain:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(options.cert, options.key)
        # The handshake happens in each request's thread, so that a client
        # that never finishes one holds up no other.
        server.socket = context.wrap_socket(server.socket, server_side=True, do_handshake_on_connect=False)
    print(server.server_address[1], flush=True)

    parent = options.parent or os.getppid()
    started = time.monotonic()

    def watch():
        # A test that crashed cannot stop its server: notice the orphaning and end.
        while os.getppid() == parent and time.monotonic() - started < options.lifetime:
            time.sleep(0.5)
        os._exit(0)

    threading.Thread(target=watch, daemon=True).start()
    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
