"""A certificate authority of the test's own and the server certificates it
issues: a good one, and ones that fail in exactly one way each (expired,
self-signed, for another name, from an issuer nobody trusts); and a private
mount namespace in which that authority is trusted, over a copy of
/etc/ssl/certs, so that the machine's own trust store never changes."""
import datetime
import ipaddress
import os
import subprocess

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.hazmat.primitives.asymmetric.utils import decode_dss_signature
from cryptography.x509.oid import ExtendedKeyUsageOID, NameOID

NOW = datetime.datetime.now(datetime.timezone.utc).replace(tzinfo=None)
DAY = datetime.timedelta(days=1)


def _name(text):
    return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, text)])


def _key():
    return ec.generate_private_key(ec.SECP256R1())


def _signed(builder, key):
    """The certificate signed with both of the signature's integers 32 bytes long. Wine's
    chain check takes a shorter one (about one signature in 128) for a bad signature,
    so a good chain would fail now and then under Wine only; Windows and OpenSSL accept it."""
    while True:
        certificate = builder.sign(key, hashes.SHA256())
        if min(decode_dss_signature(certificate.signature)) >= 1 << 248:
            return certificate


class Authority:
    def __init__(self, common_name):
        self.key = _key()
        self.name = _name(common_name)
        builder = (x509.CertificateBuilder().subject_name(self.name).issuer_name(self.name)
                   .public_key(self.key.public_key()).serial_number(x509.random_serial_number())
                   .not_valid_before(NOW - DAY).not_valid_after(NOW + 30 * DAY)
                   .add_extension(x509.BasicConstraints(ca=True, path_length=0), critical=True)
                   .add_extension(x509.KeyUsage(False, False, False, False, False, True, True, False, False),
                                  critical=True))
        self.certificate = _signed(builder, self.key)

    def issue(self, names, addresses, valid=(NOW - DAY, NOW + 30 * DAY), self_signed=False):
        """A server certificate for DNS `names` and IP `addresses`: (key, certificate)."""
        key = _key()
        subject = _name(names[0] if names else addresses[0])
        entries = [x509.DNSName(n) for n in names] + [x509.IPAddress(ipaddress.ip_address(a)) for a in addresses]
        builder = (x509.CertificateBuilder().subject_name(subject)
                   .issuer_name(subject if self_signed else self.name)
                   .public_key(key.public_key()).serial_number(x509.random_serial_number())
                   .not_valid_before(valid[0]).not_valid_after(valid[1])
                   .add_extension(x509.SubjectAlternativeName(entries), critical=False)
                   .add_extension(x509.ExtendedKeyUsage([ExtendedKeyUsageOID.SERVER_AUTH]), critical=False))
        return key, _signed(builder, key if self_signed else self.key)


def write_pem(path, certificate, key=None):
    """Writes the certificate (and the key after it, for servers that take one file) to `path`."""
    with open(path, "wb") as out:
        out.write(certificate.public_bytes(serialization.Encoding.PEM))
        if key:
            out.write(key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                        serialization.NoEncryption()))
    return path


def expired():
    return NOW - 60 * DAY, NOW - 30 * DAY


TRUST_NAMESPACE = """set -e
cp -a /etc/ssl/certs "$T/certs" && mount --bind "$T/certs" /etc/ssl/certs
cat "$T/ca.crt" >> /etc/ssl/certs/ca-certificates.crt
ln -s "$T/ca.crt" "/etc/ssl/certs/$(openssl x509 -hash -noout -in "$T/ca.crt").0"
cat /etc/hosts "$T/extra-hosts" > "$T/hosts" && mount --bind "$T/hosts" /etc/hosts
exec "$@"
"""


def run_trusting(folder, command):
    """Runs `command` (as root) in a private mount namespace where FOLDER/ca.crt
    is a trusted root and the lines of FOLDER/extra-hosts, if any, add to
    /etc/hosts; native libraries and Wine started inside both see it. Returns
    its exit status."""
    open(os.path.join(folder, "extra-hosts"), "a").close()
    return subprocess.run(["unshare", "-m", "--propagation", "private", "sh", "-c", TRUST_NAMESPACE, "sh"] + command,
                          env=dict(os.environ, T=folder)).returncode
