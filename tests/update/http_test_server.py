#!/usr/bin/python3
"""An HTTP server on 127.0.0.1 for the updater's tests.

Serves the files under --root. A file may have a sidecar NAME.behaviour
(JSON) that changes how it is answered:
  status      the status code to answer with (default 200)
  announce    the Content-Length to announce instead of the real one
  cut_after   send only this many body bytes, then close
  silent      accept the request and never answer (until the server stops)
  stall_after send this many body bytes, then go silent
  no_length   no Content-Length: the body ends when the connection closes
  pace        [bytes, seconds]: the body in pieces of that size, each after that pause
Every request's path is appended to ROOT/requests.log.

  http_test_server.py --root DIR [--port N] [--port-file FILE]
"""
import argparse
import json
import os
import socketserver
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

SILENCE_LIMIT = 120  # seconds a silent answer holds its connection at most


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        root = self.server.root
        with self.server.log_lock, open(os.path.join(root, "requests.log"), "ab") as log:
            log.write(self.path.encode("latin-1", "replace") + b"\n")
        local = os.path.normpath(os.path.join(root, self.path.split("?")[0].lstrip("/")))
        if not local.startswith(os.path.abspath(root)) or not os.path.isfile(local):
            return self.answer(404, b"not found", {})
        behaviour = {}
        if os.path.isfile(local + ".behaviour"):
            with open(local + ".behaviour") as f:
                behaviour = json.load(f)
        with open(local, "rb") as f:
            body = f.read()
        self.answer(behaviour.get("status", 200), body, behaviour)

    def answer(self, status, body, behaviour):
        if behaviour.get("silent"):
            return self.stay_silent()
        self.send_response(status)
        if not behaviour.get("no_length"):
            self.send_header("Content-Length", str(behaviour.get("announce", len(body))))
        self.send_header("Connection", "close")
        self.end_headers()
        if status in (204, 304) or self.command == "HEAD":
            return
        if "stall_after" in behaviour:
            self.wfile.write(body[:behaviour["stall_after"]])
            self.wfile.flush()
            return self.stay_silent()
        body = body[:behaviour.get("cut_after", len(body))]
        if "pace" in behaviour:
            return self.dribble(body, *behaviour["pace"])
        self.wfile.write(body)
        self.wfile.flush()
        self.close_connection = True

    def dribble(self, body, size, pause):
        try:
            for at in range(0, len(body), size):
                if self.server.stopping.wait(pause):
                    break
                self.wfile.write(body[at:at + size])
                self.wfile.flush()
        except OSError:
            pass  # the client gave up
        self.close_connection = True

    def stay_silent(self):
        deadline = time.monotonic() + SILENCE_LIMIT
        while time.monotonic() < deadline and not self.server.stopping.is_set():
            time.sleep(0.05)
        self.close_connection = True


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file")
    args = parser.parse_args()
    server = Server(("127.0.0.1", args.port), Handler)
    server.root = os.path.abspath(args.root)
    server.log_lock = threading.Lock()
    server.stopping = threading.Event()
    if args.port_file:
        with open(args.port_file + ".tmp", "w") as f:
            f.write(str(server.server_address[1]))
        os.replace(args.port_file + ".tmp", args.port_file)
    try:
        server.serve_forever(poll_interval=0.1)
    except KeyboardInterrupt:
        pass
    finally:
        server.stopping.set()


if __name__ == "__main__":
    sys.exit(main())
