"""A real SMTP server on 127.0.0.1 for the mail library's tests and demo.

Debian's aiosmtpd accepts AUTH only after EHLO and matches the mechanism name
case-sensitively; the client speaks "auth login" in lower case, as servers
accept, and falls back to HELO where a server knows no EHLO. HeloAuthSMTP
upper-cases the mechanism name and lets AUTH follow HELO too.
"""
import email
import logging
import socket
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

# AUTH without TLS is the point of this server: keep its warnings out of the output.
warnings.filterwarnings("ignore", module="aiosmtpd")
logging.getLogger("mail.log").setLevel(logging.ERROR)


class HeloAuthSMTP(SMTP):
    async def smtp_AUTH(self, arg):
        if arg:
            words = arg.split(None, 1)
            words[0] = words[0].upper()
            arg = " ".join(words)
        extended = self.session.extended_smtp
        self.session.extended_smtp = True
        try:
            await super().smtp_AUTH(arg)
        finally:
            self.session.extended_smtp = extended


class Mailbox:
    """Keeps every accepted message: envelope sender, recipients, raw bytes."""

    def __init__(self):
        self.messages = []

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.messages.append((envelope.mail_from, list(envelope.rcpt_tos), envelope.original_content))
        return "250 OK"


class Credentials:
    def __init__(self, user, password):
        self.user, self.password = user.encode("latin-1"), password.encode("latin-1")

    def __call__(self, server, session, envelope, mechanism, auth_data):
        ok = isinstance(auth_data, LoginPassword) and (auth_data.login, auth_data.password) == (self.user, self.password)
        return AuthResult(success=ok, handled=False)


class HeloAuthController(Controller):
    def __init__(self, user, password, port):
        self.mailbox = Mailbox()
        self.credentials = Credentials(user, password)
        super().__init__(self.mailbox, hostname="127.0.0.1", port=port)

    def factory(self):
        return HeloAuthSMTP(self.handler, authenticator=self.credentials, auth_require_tls=False,
                            auth_required=True, decode_data=False)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_server(user, password):
    """Starts the server on a free port; stop it with .stop()."""
    controller = HeloAuthController(user, password, free_port())
    controller.start()
    return controller


def mime_tree(message, depth=0):
    """One line per part: content type with its name, id and payload size."""
    lines = []
    details = [message.get_content_type()]
    if message.get_param("name"):
        details.append('name="%s"' % message.get_param("name"))
    if message["Content-ID"]:
        details.append("Content-ID %s" % message["Content-ID"])
    if not message.is_multipart():
        details.append("%d bytes" % len(message.get_payload(decode=True) or b""))
    lines.append("  " * depth + " ".join(details))
    if message.is_multipart():
        for part in message.get_payload():
            lines.extend(mime_tree(part, depth + 1))
    return lines


def parse(raw):
    return email.message_from_bytes(raw)
