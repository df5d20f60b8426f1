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
    injection = ""  # pushed in the same write as the reply to STARTTLS, as a hostile server would

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

    async def push(self, status):
        if self.injection and status == "220 Ready to start TLS":
            status += "\r\n" + self.injection
        await super().push(status)


class Mailbox:
    """Keeps every accepted message (envelope sender, recipients, raw bytes)
    and the name of every EHLO."""

    def __init__(self):
        self.messages = []
        self.greetings = []

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        self.greetings.append(hostname)
        session.host_name = hostname  # what aiosmtpd does itself when there is no hook
        return responses

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.messages.append((envelope.mail_from, list(envelope.rcpt_tos), envelope.original_content))
        return "250 OK"


class Credentials:
    """AUTH LOGIN for one user; keeps the user name of every attempt."""

    def __init__(self, user, password):
        self.user, self.password = user.encode("latin-1"), password.encode("latin-1")
        self.attempts = []

    def __call__(self, server, session, envelope, mechanism, auth_data):
        self.attempts.append(getattr(auth_data, "login", None))
        ok = isinstance(auth_data, LoginPassword) and (auth_data.login, auth_data.password) == (self.user, self.password)
        return AuthResult(success=ok, handled=False)


class HeloAuthController(Controller):
    """The server on `address`:`port`: plain text, TLS from the first byte
    with `implicit_tls`, or STARTTLS offered, and required before AUTH and
    MAIL, with `starttls` (ssl.SSLContext objects)."""

    def __init__(self, user, password, port, address="127.0.0.1", implicit_tls=None, starttls=None, injection=""):
        self.mailbox = Mailbox()
        self.credentials = Credentials(user, password)
        self.starttls, self.injection = starttls, injection
        super().__init__(self.mailbox, hostname=address, port=port, ssl_context=implicit_tls)

    def factory(self):
        smtp = HeloAuthSMTP(self.handler, authenticator=self.credentials, auth_require_tls=bool(self.starttls),
                            auth_required=True, decode_data=False, tls_context=self.starttls,
                            require_starttls=bool(self.starttls))
        smtp.injection = self.injection
        return smtp


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_server(user, password, **options):
    """Starts the server (on a free port unless `port` is given); stop it with .stop()."""
    port = options.pop("port", None) or free_port()
    controller = HeloAuthController(user, password, port, **options)
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
