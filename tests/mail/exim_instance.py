"""A private, throw-away Exim (exim4-daemon-light) on 127.0.0.1 for the mail
tests: its own configuration, spool and log in the test's folder. AUTH LOGIN
for one user, offered on the plain port and after TLS on 587; implicit TLS on
465. Messages stay queued, read back with -Mvc; the main log tells how each
came (P=esmtpsa X=TLS...) and how each connection ended."""
import os
import re
import socket
import subprocess
import time

CONFIGURATION = """\
primary_hostname = localhost
keep_environment =
spool_directory = @FOLDER@/spool
log_file_path = @FOLDER@/log/%slog
log_selector = +smtp_connection +tls_cipher +received_recipients
local_interfaces = 127.0.0.1
daemon_smtp_ports = 465 : 587 : @PLAIN_PORT@
tls_on_connect_ports = 465
tls_advertise_hosts = *
tls_certificate = @CERTIFICATE@
tls_privatekey = @KEY@
exim_user = root
exim_group = root
queue_only = true
# RFC 8314: on 587 no AUTH before TLS.
auth_advertise_hosts = ${if eq{$received_port}{587}{${if def:tls_in_cipher{*}{}}}{*}}
acl_smtp_rcpt = check_recipient
begin acl
check_recipient:
  deny recipients = @REFUSED@
  accept authenticated = *
  deny
begin authenticators
login:
  driver = plaintext
  public_name = LOGIN
  server_prompts = Username:: : Password::
  server_condition = ${if and{{eq{$auth1}{@USER@}}{eq{$auth2}{@PASSWORD@}}}}
  server_set_id = $auth1
"""


class Exim:
    def __init__(self, folder, certificate, key, user, password, refused):
        self.folder = folder
        os.makedirs(os.path.join(folder, "log"))
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            self.plain_port = probe.getsockname()[1]
        self.configuration = os.path.join(folder, "exim.conf")
        with open(self.configuration, "w") as out:
            text = CONFIGURATION
            for name, value in (("FOLDER", folder), ("PLAIN_PORT", self.plain_port), ("CERTIFICATE", certificate),
                                ("KEY", key), ("USER", user), ("PASSWORD", password), ("REFUSED", refused)):
                text = text.replace("@%s@" % name, str(value))
            out.write(text)
        self.daemon = subprocess.Popen(["exim4", "-C", self.configuration, "-bdf"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._wait_until_listening()

    def _wait_until_listening(self):
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if self.daemon.poll() is not None:
                raise RuntimeError("exim ended at start-up: see %s" % os.path.join(self.folder, "log"))
            try:
                with socket.create_connection(("127.0.0.1", 587), timeout=5) as probe:
                    probe.recv(512)  # the greeting
                    probe.sendall(b"QUIT\r\n")
                    probe.recv(512)
                return
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("exim is not listening")

    def log(self):
        with open(os.path.join(self.folder, "log", "mainlog"), errors="replace") as log:
            return log.read()

    def received(self, recipient):
        """(main log line, raw message) of each message queued for `recipient`."""
        found = []
        for line in self.log().splitlines():
            match = re.search(r" (\S+) <= .* for (.+)$", line)
            if match and recipient in match.group(2).split():
                raw = subprocess.run(["exim4", "-C", self.configuration, "-Mvc", match.group(1)],
                                     capture_output=True, check=True).stdout
                found.append((line, raw))
        return found

    def stop(self):
        self.daemon.terminate()
        self.daemon.wait(10)
