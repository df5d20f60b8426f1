#!/usr/bin/python3
"""Makes the trust tests' inputs with the openssl command line, as a vendor
would: key pairs, key files, a manifest signed with each key, a tampered copy,
a signature whose integers are shorter than 32 bytes, and a package with its
SHA-256 digest.

  make_trust_inputs.py OUTPUT_FOLDER
"""
import base64
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


if __name__ == "__main__":
    main(sys.argv[1])
