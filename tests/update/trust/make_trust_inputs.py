#!/usr/bin/python3
"""Makes the trust tests' inputs with the openssl command line, as a vendor
would: key pairs, key files, a manifest signed with each key, a tampered copy,
a signature whose integers are shorter than 32 bytes, a package with its
SHA-256 digest, and for the engine's tests signed manifests of that package
(signed/NAME.xml with NAME.xml.sig): good (serial 7, expiring 2030), a good
one signed by a stranger, one without a serial, one with an entry lacking its
digest, and one promising other bytes of the same size.

  make_trust_inputs.py OUTPUT_FOLDER
"""
import base64
import hashlib
import os
import subprocess
import sys


def openssl(*args, data=None):
    return subprocess.run(["openssl", *args], input=data, capture_output=True, check=True).stdout


def sign(key, path):
    """The signature file exactly as `openssl dgst ... | base64 -w0` writes it."""
    return subprocess.run("openssl dgst -sha256 -sign '%s' '%s' | base64 -w0" % (key, path), shell=True,
                          capture_output=True, check=True).stdout


def short_integer(der):
    """True when r or s of a DER signature takes fewer than 32 bytes."""
    r_length = der[3]
    s_length = der[4 + r_length + 1]
    return r_length < 32 or s_length < 32


def main(out):
    os.makedirs(out, exist_ok=True)
    path = lambda name: os.path.join(out, name)

    def write(name, data):
        with open(path(name), "wb") as f:
            f.write(data)

    for name in ("trusted-1", "trusted-2", "stranger"):
        write(name + ".key", openssl("genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256"))
    public = {n: openssl("pkey", "-in", path(n + ".key"), "-pubout") for n in ("trusted-1", "trusted-2")}
    write("trusted-1.pem", public["trusted-1"])
    write("two-keys.pem", public["trusted-1"] + b"\nThe next key signs from version 3.1 on.\n\n" +
          public["trusted-2"].replace(b"\n", b"\r\n"))
    write("p384.pem", openssl("pkey", "-pubout", data=openssl("genpkey", "-algorithm", "EC", "-pkeyopt",
                                                                "ec_paramgen_curve:P-384")))
    write("rsa.pem", openssl("pkey", "-pubout", data=openssl("genpkey", "-algorithm", "RSA", "-pkeyopt",
                                                               "rsa_keygen_bits:1024")))
    write("compressed.pem", openssl("ec", "-in", path("trusted-1.key"), "-pubout", "-conv_form", "compressed"))

    manifest = (b'<?xml version="1.0" encoding="GBK"?>\r\n<update serial="7">\r\n<im group="1">\r\n'
                b'<entry size="10" sha256="%s"><version>3.0.0.6</version><url>one.zip</url></entry>\r\n'
                b'</im></update>\r\n' % (b"ab" * 32))
    write("manifest.xml", manifest)
    write("tampered.xml", manifest.replace(b"one.zip", b"evil.zip"))
    write("manifest.xml.sig-1", sign(path("trusted-1.key"), path("manifest.xml")))
    write("manifest.xml.sig-2", sign(path("trusted-2.key"), path("manifest.xml")) + b"\n")
    write("manifest.xml.sig-stranger", sign(path("stranger.key"), path("manifest.xml")))

    # About one signature in 128 has an integer below 32 bytes.
    for attempt in range(5000):
        write("short.xml", b"message %d\n" % attempt)
        der = openssl("dgst", "-sha256", "-sign", path("trusted-1.key"), path("short.xml"))
        if short_integer(der):
            write("short.xml.sig", base64.b64encode(der))
            break
    else:
        sys.exit("no signature with a short integer")

    write("package.bin", os.urandom(200000))
    write("package.sha256", openssl("dgst", "-sha256", "-r", path("package.bin")).split()[0])
    signed_manifests(out, path("package.bin"), path("trusted-1.key"), path("stranger.key"))


def signed_manifests(out, package, key, stranger):
    """CRLF between the lines, so that the text fetch's joined lines are other bytes."""
    os.makedirs(os.path.join(out, "signed"), exist_ok=True)
    with open(package, "rb") as f:
        body = f.read()
    digest = hashlib.sha256(body).hexdigest()
    other = hashlib.sha256(body[::-1]).hexdigest()

    def entry(version, url, sha256=digest, size=len(body)):
        promise = (' size="%d"' % size if size is not None else "") + (' sha256="%s"' % sha256 if sha256 else "")
        return "<entry%s><version>%s</version><url>%s</url><description>5Y2H57qn</description></entry>" % (
            promise, version, url)

    def manifest(name, root, entries, signer=key, suffix=".sig"):
        lines = ['<?xml version="1.0" encoding="GBK"?>', "<%s>" % root, '<group name="ziro">', *entries,
                 "</group>", "</updates>"]
        text = "".join(line + "\r\n" for line in lines)
        target = os.path.join(out, "signed", name + ".xml")
        with open(target, "w", newline="") as f:
            f.write(text)
        with open(target + suffix, "wb") as f:
            f.write(sign(signer, target))

    good = [entry("3.0.0.4", "pkgs/old.zip"), entry("3.0.0.6", "pkgs/signed.zip")]
    fresh = 'updates serial="7" expires="2030-01-01T00:00:00Z"'
    manifest("good", fresh, good)
    manifest("good", fresh, good, stranger, ".sig-stranger")
    manifest("no-serial", 'updates expires="2030-01-01T00:00:00Z"', good)
    manifest("no-digest", fresh, [good[0], entry("3.0.0.6", "pkgs/signed.zip", sha256=None)])
    manifest("other-digest", fresh, [good[0], entry("3.0.0.6", "pkgs/signed.zip", sha256=other)])


if __name__ == "__main__":
    main(sys.argv[1])
