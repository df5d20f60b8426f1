#!/usr/bin/python3
"""Sends mails through the library (natively, or the DLL under Wine) to real
servers on 127.0.0.1 and to hostile ones, all started once:

- a private Exim with AUTH LOGIN on a plain port, on 465 (TLS from the first
  byte) and on 587 (STARTTLS, AUTH only after it): what it queued is parsed
  back with Python's email package (Subject, names, pictures as sent), its log
  tells that TLS was on and that every connection ended with QUIT;
- aiosmtpd, and a raw server, at 127.0.0.2 to 127.0.0.9: certificates that are
  expired, self-signed, for another name (address and host name) or from an
  issuer nobody trusts, plain text and garbage records on 465, a 587 without
  STARTTLS, and plain text pushed with the reply to STARTTLS. Each must end in
  a status soon, with no credential sent.

The test's own certificate authority is trusted only inside a private mount
namespace, over a copy of /etc/ssl/certs (with a copy of /etc/hosts that names
the wrong-name server); nothing of the machine's changes. Wine runs in a
prefix of its own, whose certificate store is read inside that namespace.
Binds 465 and 587: as root, under flock /tmp/ziro-smtp-ports.lock.

  check_real_servers.py --host HOST_PROGRAM --library LIBRARY [--wine WINE_RUN]
"""
import argparse
import concurrent.futures
import os
import shutil
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_delivery  # noqa: E402
import smtp_test_server  # noqa: E402
import test_authority  # noqa: E402
from check_delivery import GBK_FILE_NAME, PASSWORD, SUBJECT, USER, check  # noqa: E402
from exim_instance import Exim  # noqa: E402

WRONG_NAME, RIGHT_NAME = "wrong-name.ziro.test", "mail.ziro.test"  # named in the namespace's /etc/hosts
# Where each hostile server listens, and what it does.
UNTRUSTED, EXPIRED, SELF_SIGNED, OTHER_NAME = "127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5"
PLAIN_ON_465, GARBAGE, NO_STARTTLS, INJECTING = "127.0.0.6", "127.0.0.7", "127.0.0.8", "127.0.0.9"
LI_SI = b"\xc0\xee\xcb\xc4"  # "李四" in GBK


def make_certificates(folder):
    """The authority (trusted inside the namespace) and one PEM file of key and certificate per server."""
    authority, nobody = test_authority.Authority("Ziro Test Authority"), test_authority.Authority("Nobody")
    test_authority.write_pem(os.path.join(folder, "ca.crt"), authority.certificate)
    good = ["localhost", RIGHT_NAME], ["127.0.0.1", INJECTING]
    issued = {
        "good": authority.issue(*good),
        "untrusted": nobody.issue([], [UNTRUSTED]),
        "expired": authority.issue([], [EXPIRED], valid=test_authority.expired()),
        "self-signed": authority.issue([], [SELF_SIGNED], self_signed=True),
        "other-name": authority.issue(*good),  # valid, but neither for OTHER_NAME nor for WRONG_NAME
    }
    for name, (key, certificate) in issued.items():
        test_authority.write_pem(os.path.join(folder, name + ".pem"), certificate, key)
    with open(os.path.join(folder, "extra-hosts"), "w") as out:
        out.write("%s %s\n%s %s\n" % (OTHER_NAME, WRONG_NAME, INJECTING, RIGHT_NAME))


def server_context(folder, name):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(folder, name + ".pem"))
    return context


class WinePrefix:
    """A prefix of the test's own, hard-linked from the build's (its registry copied),
    so that its wineserver starts inside the namespace and ends with the test."""

    def __init__(self, args, folder):
        shared = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(args.host))), "wineprefix")
        if not os.path.exists(os.path.join(shared, ".ziro-ready")):
            subprocess.run([args.wine, args.host], capture_output=True, timeout=300)  # wine-run makes it
        with open(os.path.join(shared, "system.reg")) as registry:
            bits64 = "#arch=win64" in registry.read(4096)
        self.server = "/usr/lib/wine/wineserver64" if bits64 else "/usr/bin/wineserver"
        self.path = os.path.join(folder, "wineprefix")
        subprocess.run(["cp", "-al", shared, self.path], check=True)
        for registry in ("system.reg", "user.reg", "userdef.reg"):
            os.remove(os.path.join(self.path, registry))
            shutil.copy(os.path.join(shared, registry), os.path.join(self.path, registry))
        os.environ["ZIRO_WINEPREFIX"] = self.path

    def stop(self):
        subprocess.run([self.server, "-k"], env=dict(os.environ, WINEPREFIX=self.path), capture_output=True)


class GarbageServer:
    """Answers a TLS hello with handshake records of random bytes, and closes
    2 s later (a stack that takes them for the start of a long message waits)."""

    def __init__(self, address):
        self.listener = socket.create_server((address, 465))
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        while True:
            connection, _ = self.listener.accept()
            with connection:
                try:
                    connection.recv(4096)
                    for _ in range(4):
                        connection.sendall(b"\x16\x03\x03\x00\x40" + os.urandom(64))
                    connection.settimeout(2)
                    while connection.recv(4096):
                        pass
                except OSError:
                    pass

    def stop(self):
        self.listener.close()


class Servers:
    def __init__(self, folder):
        self.exim = Exim(os.path.join(folder, "exim"), os.path.join(folder, "good.pem"),
                         os.path.join(folder, "good.pem"), USER, PASSWORD, "refused@example.com")
        peer = lambda address, port, **tls: smtp_test_server.start_server(USER, PASSWORD, address=address, port=port, **tls)
        implicit = lambda name: {"implicit_tls": server_context(folder, name)}
        self.peers = {
            UNTRUSTED: peer(UNTRUSTED, 465, **implicit("untrusted")),
            EXPIRED: peer(EXPIRED, 465, **implicit("expired")),
            SELF_SIGNED: peer(SELF_SIGNED, 465, **implicit("self-signed")),
            OTHER_NAME: peer(OTHER_NAME, 465, **implicit("other-name")),
            PLAIN_ON_465: peer(PLAIN_ON_465, 465),
            NO_STARTTLS: peer(NO_STARTTLS, 587),
            INJECTING: peer(INJECTING, 587, starttls=server_context(folder, "good"),
                            injection="250-PIPELINING\r\n" * 30 + "250 AUTH LOGIN"),  # more than one receive takes
        }
        self.garbage = GarbageServer(GARBAGE)

    def stop(self):
        self.exim.stop()
        for peer in self.peers.values():
            peer.stop()
        self.garbage.stop()


def picture_mail(sender, wine, case):
    """HTML with two pictures of one file name from two folders, and an attachment with a GBK name
    (an ASCII one under Wine, whose code page is not GBK here): (html, attachments, expected parts)."""
    first = sender.write(case + "/a/logo.gif", b"GIF89a" + os.urandom(100))
    second = sender.write(case + "/b/logo.gif", b"GIF89a" + os.urandom(120))
    name = b"report.doc" if wine else GBK_FILE_NAME
    attachment = sender.write(case.encode() + b"/" + name, os.urandom(3000))
    html = ('<html><body><IMG src="%s"><IMG src="%s"><IMG src="%s"></body></html>'
            % (sender.path(first), sender.path(second), sender.path(first)))
    parts = []
    for path, cid in ((first, "logo.gif"), (second, "logo-2.gif"), (attachment, None)):
        with open(path, "rb") as data:
            parts.append((os.path.basename(os.fsencode(path)), cid, data.read()))
    return html, [attachment], parts


def to_exim(sender, servers, wine, case, port, server="127.0.0.1", tls=True):
    """A mail to Exim, read back from its queue and its log."""
    html, attachments, parts = picture_mail(sender, wine, case)
    recipient = case + "@example.com"
    cc = b'"' + LI_SI + b'" <' + recipient.encode() + b">"
    statuses, _ = sender.send(port, html, attachments, cc=cc, server=server, to=recipient)
    check(statuses == ["status 1 user 7", "status 0 user 7"], "%s: statuses %s" % (case, statuses))
    received = servers.exim.received(recipient)
    check(len(received) == 1, "%s: one message queued" % case)
    if not received:
        return
    line, raw = received[0]
    protocol = "P=esmtpsa X=TLS1." if tls else "P=esmtpa A=login:"
    check(protocol in line and ("X=TLS1.2" in line or "X=TLS1.3" in line or not tls),
          "%s: came as %s" % (case, line.split(" <= ")[1].split(" S=")[0]))
    message = check_delivery.modern(raw)
    check(str(message["Subject"]) == SUBJECT.decode("gbk"), "%s: subject %s" % (case, message["Subject"]))
    check([a.display_name for a in message["CC"].addresses] == [LI_SI.decode("gbk")],
          "%s: CC display name %s" % (case, message["CC"]))
    check_delivery.check_parts(raw, parts, case)


def refused_by_exim(sender, servers, wine, case, port, status, **options):
    recipient = case + "@example.com"
    statuses, _ = sender.send(port, "<html>no</html>", to=recipient, **options)
    check(statuses == ["status 1 user 7", "status %d user 7" % status], "%s: statuses %s" % (case, statuses))
    check(not servers.exim.received(recipient) and not servers.exim.received("refused@example.com"),
          "%s: nothing queued" % case)


def to_hostile(sender, servers, wine, case, server, port, expected=-2, greetings=0):
    """A mail to a hostile server: the status, soon, and no credential sent (no login tried)."""
    started = time.monotonic()
    statuses, _ = sender.send(port, "<html>secret</html>", server=server)
    seconds = time.monotonic() - started
    check(statuses == ["status 1 user 7", "status %d user 7" % expected] and seconds < 20,
          "%s: statuses %s after %.1f s" % (case, statuses, seconds))
    peer = servers.peers.get({WRONG_NAME: OTHER_NAME, RIGHT_NAME: INJECTING}.get(server, server))
    if peer and expected != 0:
        check(not peer.credentials.attempts and not peer.mailbox.messages, "%s: no login tried, nothing sent" % case)
    if peer and server != WRONG_NAME:
        check(len(peer.mailbox.greetings) == greetings, "%s: EHLO %d times" % (case, len(peer.mailbox.greetings)))


CASES = [
    ("plain", lambda s, v, w: to_exim(s, v, w, "plain", v.exim.plain_port, tls=False)),
    ("implicit-tls", lambda s, v, w: to_exim(s, v, w, "implicit-tls", 465)),
    ("starttls", lambda s, v, w: to_exim(s, v, w, "starttls", 587, server="localhost")),
    ("wrong-password", lambda s, v, w: refused_by_exim(s, v, w, "wrong-password", 587, -3, password="wrong")),
    ("refused-recipient", lambda s, v, w: refused_by_exim(
        s, v, w, "refused-recipient", v.exim.plain_port, -7, cc="refused@example.com")),
    ("untrusted-issuer", lambda s, v, w: to_hostile(s, v, w, "untrusted-issuer", UNTRUSTED, 465)),
    ("expired", lambda s, v, w: to_hostile(s, v, w, "expired", EXPIRED, 465)),
    ("self-signed", lambda s, v, w: to_hostile(s, v, w, "self-signed", SELF_SIGNED, 465)),
    ("other-address", lambda s, v, w: to_hostile(s, v, w, "other-address", OTHER_NAME, 465)),
    ("other-host-name", lambda s, v, w: to_hostile(s, v, w, "other-host-name", WRONG_NAME, 465)),
    ("plain-text-on-465", lambda s, v, w: to_hostile(s, v, w, "plain-text-on-465", PLAIN_ON_465, 465)),
    ("garbage-records", lambda s, v, w: to_hostile(s, v, w, "garbage-records", GARBAGE, 465)),
    ("587-without-starttls", lambda s, v, w: to_hostile(s, v, w, "587-without-starttls", NO_STARTTLS, 587,
                                                         greetings=1)),
    # Reached by a name of the namespace's hosts file, as the wrong name is.
    ("pushed-after-starttls", lambda s, v, w: to_hostile(s, v, w, "pushed-after-starttls", RIGHT_NAME, 587,
                                                          expected=0, greetings=2)),
]


def run_inside(args, folder):
    servers = Servers(folder)
    prefix = WinePrefix(args, folder) if args.wine else None
    try:
        sender = check_delivery.Sender(args, os.path.join(folder, "files"))
        with concurrent.futures.ThreadPoolExecutor(4) as pool:
            for done in [pool.submit(case, sender, servers, bool(args.wine)) for _, case in CASES]:
                done.result()
        log = servers.exim.log()
        connections, quits = log.count("(TCP/IP connection count"), log.count("closed by QUIT")
        check(connections == 6 and quits == connections,  # with the start-up probe
              "Exim: all %d connections ended with QUIT (%d)" % (connections, quits))
    finally:
        if prefix:
            prefix.stop()
        servers.stop()
        if os.environ.get("ZIRO_KEEP_EXIM_LOG"):
            print(servers.exim.log())
    return check_delivery.failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True)
    parser.add_argument("--library", required=True)
    parser.add_argument("--wine")
    parser.add_argument("--inside", help=argparse.SUPPRESS)  # the test's folder, inside the namespace
    args = parser.parse_args()
    if args.inside:
        failures = run_inside(args, args.inside)
        print("%d failures" % len(failures))
        return 1 if failures else 0
    with tempfile.TemporaryDirectory(prefix="ziromail-tls-") as folder:
        os.chmod(folder, 0o755)
        make_certificates(folder)
        return test_authority.run_trusting(folder, [sys.executable, os.path.abspath(__file__), "--inside", folder]
                                           + sys.argv[1:])


if __name__ == "__main__":
    sys.exit(main())
