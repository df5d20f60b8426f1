#!/usr/bin/python3
"""Sends mails through the library to a real SMTP server on 127.0.0.1 and
checks what arrives with Python's email package: the part tree of each
layout, cid references against Content-IDs (distinct for two pictures of one
file name), base64 payloads against the files, the header order, and the GBK
subject and file names decoded from their encoded words.

  check_delivery.py --host HOST_PROGRAM --library LIBRARY [--wine WINE_RUN]
"""
import argparse
import base64
import email.policy
import os
import re
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import smtp_test_server  # noqa: E402

USER, PASSWORD = "sender@example.com", "s3cret-pass"
SUBJECT = b"\xb2\xe2\xca\xd4\xd3\xca\xbc\xfe"  # "测试邮件" in GBK
GBK_FILE_NAME = b"\xb1\xa8\xb8\xe6.doc"  # "报告.doc" in GBK
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


class Sender:
    def __init__(self, args, folder):
        self.args, self.folder = args, folder

    def path(self, local):
        """The path as the host names it (a drive path under Wine)."""
        return "Z:" + local.replace("/", "\\") if self.args.wine else local

    def write(self, name, data):
        local = os.path.join(self.folder, os.fsdecode(name) if isinstance(name, bytes) else name)
        os.makedirs(os.path.dirname(local), exist_ok=True)
        with open(local, "wb") as out:
            out.write(data)
        return local

    def send(self, port, html, attachments=(), cc="", password=PASSWORD, server="127.0.0.1",
             to="a@example.com;b@example.com"):
        """Runs the host for one mail: its status lines and all its output lines."""
        html_file = self.write("body-%d.html" % time.monotonic_ns(), html.encode("latin-1"))
        command = ([self.args.wine] if self.args.wine else []) + [
            self.args.host, "--library", self.args.library, "--server", server, "--port", str(port),
            "--user", USER, "--password", password, "--sender", USER, "--to", to,
            "--cc-hex", os.fsencode(cc).hex(), "--subject-hex", SUBJECT.hex(), "--html-file", self.path(html_file)]
        for local in attachments:
            command += ["--attach-hex", os.fsencode(self.path(local)).hex()]
        run = subprocess.run(command, capture_output=True, timeout=240)
        if b"Sanitizer" in run.stderr:  # a build with sanitizers found a fault in the host or the library
            check(False, "sanitizer report: %s" % run.stderr.decode("latin-1")[-2000:])
        lines = [line.strip() for line in run.stdout.decode("latin-1").splitlines()]
        return [line for line in lines if line.startswith("status ")], lines


def shape(message):
    if message.is_multipart():
        return (message.get_content_type(), [shape(part) for part in message.get_payload()])
    return message.get_content_type()


def leaves(message):
    return [part for part in message.walk() if not part.is_multipart()]


def check_common(raw, message, label):
    header, _, body = raw.partition(b"\r\n\r\n")
    names = [line.split(b":")[0] for line in header.split(b"\r\n")]
    check(names == [b"Date", b"MIME-Version", b"From", b"To", b"CC", b"Subject", b"Content-Type"],
          "%s: header fields in order %s" % (label, names))
    check(str(modern(raw)["Subject"]) == SUBJECT.decode("gbk") and max(header) < 128,
          "%s: GBK subject decoded from ASCII encoded words" % label)
    boundary = message.get_boundary()
    check(re.fullmatch(r"__=_Part_Boundary_\d{3}_\d{6}\.\d{6}", boundary or "") is not None,
          "%s: generated boundary %s" % (label, boundary))
    check(body.startswith(b"--" + boundary.encode()), "%s: no preamble before the first delimiter" % label)
    check(message["From"] == USER and message["To"] == "a@example.com,b@example.com",
          "%s: From as given, To with \",\" for \";\"" % label)


def modern(raw):
    """The message as a reader sees it: encoded words decoded."""
    return email.message_from_bytes(raw, policy=email.policy.default)


def check_parts(raw, files, label):
    """files: (GBK file name, Content-ID or None, bytes) of every part but the HTML."""
    message = modern(raw)
    html_part = next(part for part in leaves(message) if part.get_content_type() == "text/html")
    check(html_part.get_content_charset() == "gbk", "%s: the HTML part declares GBK" % label)
    html = html_part.get_payload(decode=True).decode("gbk")
    ids = [part["Content-ID"] for part in leaves(message) if part["Content-ID"]]
    references = re.findall(r'src="cid:([^"]+)"', html)
    check(len(set(ids)) == len(ids) and all("<%s>" % ref in ids for ref in references),
          "%s: every cid %s has its own part %s" % (label, references, ids))
    sent = sorted((name.decode("gbk"), cid and "<%s>" % cid, data) for name, cid, data in files)
    got = sorted((part.get_filename(), part["Content-ID"], part.get_payload(decode=True))
                 for part in leaves(message) if part.get_content_type() != "text/html")
    check(got == sent, "%s: names, IDs and bytes of the parts as sent: %s" % (label, [g[:2] for g in got]))
    return html


def scenario_html_and_attachments(sender, server, wine):
    pdf = sender.write("files/report.pdf", b"%PDF-1.4\n" + os.urandom(5000))
    second_name = b"data.bin" if wine else GBK_FILE_NAME
    second = sender.write(b"files/" + second_name, os.urandom(777))
    statuses, lines = sender.send(server.port, "<html><body><p>No pictures here.</p></body></html>", [pdf, second])
    check(statuses == ["status 1 user 7", "status 0 user 7"], "layout 1: statuses %s" % statuses)
    check("handle 1" in lines, "layout 1: the first handle of a process is 1")
    mail_from, rcpts, raw = server.mailbox.messages[-1]
    check(mail_from == USER and rcpts == ["a@example.com", "b@example.com"], "layout 1: envelope %s %s" % (mail_from, rcpts))
    message = smtp_test_server.parse(raw)
    check_common(raw, message, "layout 1")
    check(b"\r\nCC: \r\n" in raw, "layout 1: empty CC still written")
    second_type = "application/octet-stream" if wine else "application/msword"
    check(shape(message) == ("multipart/mixed", ["text/html", "application/pdf", second_type]),
          "layout 1: tree %s" % (shape(message),))
    with open(pdf, "rb") as a, open(second, "rb") as b:
        check_parts(raw, [(b"report.pdf", None, a.read()), (second_name, None, b.read())], "layout 1")
    check(max(raw) < 128, "layout 1: no 8-bit byte anywhere in the message")


def picture_html(sender, gif, jpg, same_name=None):
    """Tags for gif (twice), jpg, a remote and a lower-case picture, and one for
    a picture of gif's file name in another folder."""
    html = ('<html><body><IMG src="%s"> <IMG src="%s"> <IMG src="%s">'
            '<IMG src="http://example.com/remote.gif"><img src="%s">'
            % (sender.path(gif), sender.path(jpg), sender.path(gif), sender.path(jpg)))
    return html + ('<IMG src="%s">' % sender.path(same_name) if same_name else "") + "</body></html>"


def scenario_pictures(sender, server, wine):
    gif = sender.write("pics/one.gif", b"GIF89a" + os.urandom(300))
    jpg = sender.write("pics/two.jpg", b"\xff\xd8\xff" + os.urandom(3000))
    other = sender.write("other/one.gif", b"GIF89a" + os.urandom(200))
    statuses, _ = sender.send(server.port, picture_html(sender, gif, jpg, other))
    check(statuses == ["status 1 user 7", "status 0 user 7"], "layout 2: statuses %s" % statuses)
    raw = server.mailbox.messages[-1][2]
    message = smtp_test_server.parse(raw)
    check_common(raw, message, "layout 2")
    check(shape(message) == ("multipart/related", [("multipart/alternative", ["text/html"]), "image/gif",
                                                    "image/jpeg", "image/gif"]),
          "layout 2: tree %s" % (shape(message),))
    with open(gif, "rb") as a, open(jpg, "rb") as b, open(other, "rb") as c:
        html = check_parts(raw, [(b"one.gif", "one.gif", a.read()), (b"two.jpg", "two.jpg", b.read()),
                                 (b"one.gif", "one-2.gif", c.read())], "layout 2")
    check(html.count('src="cid:one.gif"') == 2 and html.count('src="cid:two.jpg"') == 1 and
          html.count('src="cid:one-2.gif"') == 1, "layout 2: every reference rewritten to its own picture")
    check('src="http://example.com/remote.gif"' in html and '<img src="%s">' % sender.path(jpg) in html,
          "layout 2: remote and lower-case tags untouched")


def scenario_pictures_and_attachment(sender, server, wine):
    gif = sender.write("more/logo.gif", b"GIF89a" + os.urandom(64))
    jpg = sender.write("more/photo.jpg", b"\xff\xd8\xff" + os.urandom(70000))
    zip_file = sender.write("more/archive.zip", b"PK\x03\x04" + os.urandom(12345))
    statuses, _ = sender.send(server.port, picture_html(sender, gif, jpg), [zip_file], cc="c@example.com")
    check(statuses == ["status 1 user 7", "status 0 user 7"], "layout 3: statuses %s" % statuses)
    _, rcpts, raw = server.mailbox.messages[-1]
    check(rcpts == ["a@example.com", "b@example.com", "c@example.com"], "layout 3: Cc recipient in the envelope")
    message = smtp_test_server.parse(raw)
    check_common(raw, message, "layout 3")
    check(message["CC"] == "c@example.com", "layout 3: CC header")
    expected = ("multipart/mixed", [("multipart/related", [("multipart/alternative", ["text/html"]),
                                                            "image/gif", "image/jpeg"]), "application/zip"])
    check(shape(message) == expected, "layout 3: tree %s" % (shape(message),))
    with open(gif, "rb") as a, open(jpg, "rb") as b, open(zip_file, "rb") as c:
        check_parts(raw, [(b"logo.gif", "logo.gif", a.read()), (b"photo.jpg", "photo.jpg", b.read()),
                          (b"archive.zip", None, c.read())], "layout 3")


def scenario_wrong_password(sender, server, wine):
    before = len(server.mailbox.messages)
    statuses, _ = sender.send(server.port, "<html></html>", password="wrong")
    check(statuses == ["status 1 user 7", "status -3 user 7"], "wrong password: statuses %s" % statuses)
    check(len(server.mailbox.messages) == before, "wrong password: nothing delivered")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True)
    parser.add_argument("--library", required=True)
    parser.add_argument("--wine")
    args = parser.parse_args()
    server = smtp_test_server.start_server(USER, PASSWORD)
    try:
        with tempfile.TemporaryDirectory(prefix="ziromail-") as folder:
            sender = Sender(args, folder)
            scenarios = [scenario_pictures_and_attachment] if args.wine else [
                scenario_html_and_attachments, scenario_pictures, scenario_pictures_and_attachment]
            for scenario in scenarios + [scenario_wrong_password]:
                scenario(sender, server, bool(args.wine))
    finally:
        server.stop()
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
