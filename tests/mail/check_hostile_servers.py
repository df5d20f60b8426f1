#!/usr/bin/python3
"""Sends mails through the library to hostile SMTP servers on 127.0.0.1: one
that answers one byte a second, one that closes in the middle of a reply, and
one that sends 10 MB of one line. Each job must end with the status of the
step the server spoiled, soon (nothing waits for ever), and the host's memory
must stay near what a normal job takes.

  check_hostile_servers.py --host HOST_PROGRAM --library LIBRARY
"""
import argparse
import os
import socket
import subprocess
import sys
import tempfile
import threading
import time

failures = []

# The replies of a server that accepts everything, in the order of the client's
# steps: greeting, EHLO, AUTH LOGIN, user, password, MAIL FROM, RCPT TO, DATA, message.
ACCEPTING = [b"220 ready\r\n", b"250 hello\r\n", b"334 VXNlcm5hbWU6\r\n", b"334 UGFzc3dvcmQ6\r\n",
             b"235 ok\r\n", b"250 sender ok\r\n", b"250 recipient ok\r\n", b"354 go ahead\r\n", b"250 queued\r\n"]
GREETING, AUTH_LOGIN, MAIL_FROM, DATA = 0, 2, 5, 7


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)


class Server:
    """Answers one client: replies as ACCEPTING until reply number `at`, which
    `spoil(connection, reply)` sends instead."""

    def __init__(self, at=None, spoil=None):
        self.at, self.spoil = at, spoil
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(1)
        self.port = self.listener.getsockname()[1]
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def serve(self):
        connection, _ = self.listener.accept()
        with connection:
            pending = b""
            try:
                for number, reply in enumerate(ACCEPTING):
                    if number > 0:
                        ending = b"\r\n.\r\n" if number == len(ACCEPTING) - 1 else b"\r\n"
                        while ending not in pending:
                            data = connection.recv(65536)
                            if not data:
                                return
                            pending += data
                        pending = pending[pending.index(ending) + len(ending):]
                    if number == self.at:
                        self.spoil(connection, reply)
                        return
                    connection.sendall(reply)
                while connection.recv(65536):
                    pass
            except OSError:
                pass  # the client went away first
        self.listener.close()


def one_byte_a_second(connection, reply):
    for byte in reply:
        connection.sendall(bytes([byte]))
        time.sleep(1)


def close_mid_reply(connection, reply):
    connection.sendall(reply[:2])


def ten_megabytes_of_one_line(connection, reply):
    connection.sendall(reply[:4])
    for _ in range(160):
        connection.sendall(b"x" * 65536)
    connection.sendall(b"\r\n")


def send(args, server):
    """Runs the host against the server: its final status, seconds taken, and
    its peak resident memory (kB). The peak is taken by time(1): a child forked
    from this script would count the script's own memory (the 10 MB line) too."""
    started = time.monotonic()
    peak = tempfile.NamedTemporaryFile("r")
    run = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", peak.name,
                          args.host, "--library", args.library, "--server", "127.0.0.1", "--port", str(server.port),
                          "--user", "user@example.com", "--password", "secret", "--sender", "from@example.com",
                          "--to", "to@example.com"], capture_output=True, text=True, timeout=180)
    seconds = time.monotonic() - started
    final = [line for line in run.stdout.splitlines() if line.startswith("status ") and not line.startswith("status 1 ")]
    status = int(final[-1].split()[1]) if final else None
    return status, seconds, int(peak.read().split()[-1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True)
    parser.add_argument("--library", required=True)
    args = parser.parse_args()

    status, _, normal_rss = send(args, Server())
    check(status == 0, "a normal server takes the mail (status %s, %d kB)" % (status, normal_rss))

    # A reply is what one receive brings: the first byte alone fails the step.
    status, seconds, _ = send(args, Server(GREETING, one_byte_a_second))
    check(status == -2 and seconds < 10, "one byte a second: greeting fails, -2 (%s, %.1f s)" % (status, seconds))
    status, seconds, _ = send(args, Server(MAIL_FROM, one_byte_a_second))
    check(status == -4 and seconds < 10, "one byte a second: MAIL FROM fails, -4 (%s, %.1f s)" % (status, seconds))

    for at, expected, step in ((GREETING, -2, "greeting"), (AUTH_LOGIN, -1, "AUTH LOGIN"),
                               (MAIL_FROM, -4, "MAIL FROM"), (DATA, -6, "DATA")):
        status, seconds, _ = send(args, Server(at, close_mid_reply))
        check(status == expected and seconds < 10,
              "closed in the middle of the %s reply: %d (%s, %.1f s)" % (step, expected, status, seconds))

    # The client reads 256 bytes per reply and never gathers the rest.
    for at, expected, step in ((GREETING, -2, "greeting"), (MAIL_FROM, -6, "MAIL FROM")):
        status, seconds, peak_rss = send(args, Server(at, ten_megabytes_of_one_line))
        check(status == expected and seconds < 30,
              "10 MB of one line as the %s reply: %d (%s, %.1f s)" % (step, expected, status, seconds))
        check(peak_rss < normal_rss + 4096, "memory stays near a normal job's: %d kB peak against %d kB"
              % (peak_rss, normal_rss))
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
