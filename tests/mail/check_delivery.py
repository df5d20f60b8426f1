#!/usr/bin/python3
"""Sends mails through the library to a real SMTP server on 127.0.0.1 and
checks what arrives with Python's email package: the part tree of each
layout, cid references against Content-IDs, base64 payloads against the
files, the header order and the raw GBK subject bytes.

  check_delivery.py --host HOST_PROGRAM --library LIBRARY [--wine WINE_RUN]
"""
import argparse
import base64
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

    def send(self, port, html, attachments=(), cc="", password=PASSWORD):
        html_file = self.write("body-%d.html" % time.monotonic_ns(), html.encode("latin-1"))
        command = ([self.args.wine] if self.args.wine else []) + [
            self.args.host, "--library", self.args.library, "--server", "127.0.0.1", "--port", str(port),
            "--user", USER, "--password", password, "--sender", USER, "--to", "a@example.com;b@example.com",
            "--cc", cc, "--subject-hex", SUBJECT.hex(), "--html-file", self.path(html_file)]
        for local in attachments:
            command += ["--attach-hex", os.fsencode(self.path(local)).hex()]
        run = subprocess.run(command, capture_output=True, timeout=240)
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
    check(b"\r\nSubject: " + SUBJECT + b"\r\n" in header, "%s: GBK subject bytes unchanged" % label)
    boundary = message.get_boundary()
    check(re.fullmatch(r"__=_Part_Boundary_\d{3}_\d{6}\.\d{6}", boundary or "") is not None,
          "%s: generated boundary %s" % (label, boundary))
    check(body.startswith(b"--" + boundary.encode()), "%s: no preamble before the first delimiter" % label)
    check(message["From"] == USER and message["To"] == "a@example.com,b@example.com",
          "%s: From as given, To with \",\" for \";\"" % label)


def raw_parameter(part, field, parameter):
    """The parameter's bytes as sent (the parser would replace non-ASCII bytes)."""
    for name, value in part.raw_items():
        if name.lower() == field.lower():
            found = re.search(r'%s="([^"]*)"' % parameter, value)
            return found.group(1).encode("ascii", "surrogateescape") if found else None
    return None


def check_parts(message, files, label):
    html_part = next(part for part in leaves(message) if part.get_content_type() == "text/html")
    html = html_part.get_payload(decode=True).decode("latin-1")
    ids = {part["Content-ID"] for part in leaves(message) if part["Content-ID"]}
    references = re.findall(r'src="cid:([^"]+)"', html)
    check(all("<%s>" % ref in ids for ref in references), "%s: every cid %s has its part %s" % (label, references, ids))
    for part in leaves(message):
        if part.get_content_type() == "text/html":
            continue
        raw_name = raw_parameter(part, "Content-Type", "name")
        expected = files.get(raw_name)
        payload = base64.b64decode(part.get_payload())
        check(expected is not None and payload == expected,
              "%s: %s decodes to the file's bytes" % (label, raw_name))
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
        check_parts(message, {b"report.pdf": a.read(), second_name: b.read()}, "layout 1")
    if not wine:
        check(b'name="' + GBK_FILE_NAME + b'"' in raw, "layout 1: GBK file name bytes unchanged")


def picture_html(sender, gif, jpg):
    return ('<html><body><IMG src="%s"> <IMG src="%s"> <IMG src="%s">'
            '<IMG src="http://example.com/remote.gif"><img src="%s"></body></html>'
            % (sender.path(gif), sender.path(jpg), sender.path(gif), sender.path(jpg)))


def scenario_pictures(sender, server, wine):
    gif = sender.write("pics/one.gif", b"GIF89a" + os.urandom(300))
    jpg = sender.write("pics/two.jpg", b"\xff\xd8\xff" + os.urandom(3000))
    statuses, _ = sender.send(server.port, picture_html(sender, gif, jpg))
    check(statuses == ["status 1 user 7", "status 0 user 7"], "layout 2: statuses %s" % statuses)
    raw = server.mailbox.messages[-1][2]
    message = smtp_test_server.parse(raw)
    check_common(raw, message, "layout 2")
    check(shape(message) == ("multipart/related", [("multipart/alternative", ["text/html"]), "image/gif", "image/jpeg"]),
          "layout 2: tree %s" % (shape(message),))
    with open(gif, "rb") as a, open(jpg, "rb") as b:
        html = check_parts(message, {b"one.gif": a.read(), b"two.jpg": b.read()}, "layout 2")
    check(html.count('src="cid:one.gif"') == 2 and html.count('src="cid:two.jpg"') == 1,
          "layout 2: both references to the same picture rewritten")
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
        check_parts(message, {b"logo.gif": a.read(), b"photo.jpg": b.read(), b"archive.zip": c.read()}, "layout 3")


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
