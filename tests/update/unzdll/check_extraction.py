#!/usr/bin/python3
"""Extracts archives made by Info-ZIP zip, bsdtar and Python's zipfile through the
unzip library's C interface (the host program loads the library by name) and
compares every file byte for byte with what Info-ZIP unzip extracts from the
same archive. Damaged, truncated, encrypted, unsupported and escaping
archives must be reported through the callback while the other entries are
extracted, and nothing may be written outside the target folder.

  check_extraction.py --host HOST --library LIBRARY [--wine WINE_RUN]
"""
import argparse
import io
import os
import random
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

UTF8_ENV = dict(os.environ, LC_ALL="C.UTF-8", TZ="UTC")
GBK_NAME = "更新"  # its GBK bytes are what a Chinese Windows stores
BACKSLASH_TRAIL = "乗嘰"  # GBK second bytes 0x5C: a byte-wise split on "\" would break them

failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)


class Host:
    def __init__(self, host, library, wine):
        self.host, self.library, self.wine = host, library, wine

    def path(self, path):
        return "Z:" + path.replace("/", "\\") if self.wine else path

    def run(self, archive, folder, *options):
        """Returns ([(code, entry, count, text)], result)."""
        command = [self.host, self.library, self.path(archive), self.path(folder), *options]
        if self.wine:
            command.insert(0, self.wine)
        run = subprocess.run(command, capture_output=True, timeout=300, env=UTF8_ENV)
        messages, result = [], None
        for line in run.stdout.split(b"\n"):
            line = line.rstrip(b"\r")
            if line.startswith(b"message ") or line.startswith(b"bad-record "):
                kind, code, numbers, text = (line.split(b" ", 3) + [b""])[:4]
                if kind != b"message":
                    check(False, "callback record consistent: %r" % line)
                entry, count = numbers.split(b"/")
                messages.append((int(code), int(entry), int(count), text.decode("gbk")))
            elif line.startswith(b"result "):
                result = int(line.split()[1])
        if result is None or run.returncode != 0:
            check(False, "host ran cleanly: exit %d, %r %r" % (run.returncode, run.stdout[-500:], run.stderr[-2000:]))
        return messages, result


def unzip(archive, folder, *options, patterns=()):
    subprocess.run(["unzip", "-q", "-o", *options, archive, *patterns, "-d", folder], env=UTF8_ENV,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def tree(root, encoding="utf-8"):
    """Relative name -> bytes for files, None for folders; names decoded from `encoding`."""
    found = {}
    base = os.fsencode(root)
    for folder, folders, files in os.walk(base):
        for name in folders + files:
            full = os.path.join(folder, name)
            key = os.path.relpath(full, base).decode(encoding)
            if os.path.isdir(full):
                found[key] = None
            else:
                with open(full, "rb") as f:
                    found[key] = f.read()
    return found


def same_trees(ours, reference, what):
    ok = ours == reference
    if not ok:
        only_ours = sorted(set(ours) - set(reference))
        only_ref = sorted(set(reference) - set(ours))
        differ = sorted(k for k in set(ours) & set(reference) if ours[k] != reference[k])
        what += " (only ours %s, only unzip %s, differ %s)" % (only_ours[:5], only_ref[:5], differ[:5])
    check(ok, what)


def fresh(work, name):
    path = os.path.join(work, name)
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


def make_sources(folder, encode):
    """A small client-like tree; `encode` turns a name into the bytes on disk."""
    rng = random.Random(7)
    text = b"".join(b"line %d of the update notes\r\n" % i for i in range(6000))
    files = {
        "readme.txt": text,
        "empty.txt": b"",
        "bin/app.bin": bytes(rng.getrandbits(8) for _ in range(300000)),
        "bin/run.sh": b"#!/bin/sh\necho run\n",
        "res/banner.bmp": bytes(range(256)) * 400,
        GBK_NAME + "/" + GBK_NAME + "说明.txt": "更新说明：修正错误。\r\n".encode("gbk") * 50,
        "bin/深/层/" + BACKSLASH_TRAIL + ".dat": b"deep" * 1000,
    }
    for name, data in files.items():
        path = os.path.join(os.fsencode(folder), *[encode(part) for part in name.split("/")])
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    os.chmod(os.path.join(os.fsencode(folder), b"bin", b"run.sh"), 0o755)
    os.makedirs(os.path.join(os.fsencode(folder), b"docs", b"empty"))
    return files


def info_zip(source, archive, *options):
    subprocess.run(["zip", "-r", "-q", *options, archive, "."], cwd=os.fsencode(source), check=True,
                   env=dict(os.environ, LC_ALL="C", TZ="UTC"))


class Pipe(io.RawIOBase):
    """A write-only stream: zipfile then writes data descriptors."""

    def __init__(self):
        self.data = bytearray()

    def writable(self):
        return True

    def write(self, chunk):
        self.data += chunk
        return len(chunk)


def python_zip(source, archive):
    pipe = Pipe()
    with zipfile.ZipFile(pipe, "w", compression=zipfile.ZIP_DEFLATED) as z:
        for folder, folders, files in sorted(os.walk(source)):
            rel = os.path.relpath(folder, source)
            if rel != "." and not files and not folders:
                z.writestr(rel + "/", b"")
            for index, name in enumerate(sorted(files)):
                path = os.path.join(folder, name)
                arcname = os.path.normpath(os.path.join(rel, name))
                info = zipfile.ZipInfo(arcname)
                info.compress_type = zipfile.ZIP_STORED if index % 2 else zipfile.ZIP_DEFLATED
                # ZIP64 sizes in the local header only: the directory's sizes count.
                with open(path, "rb") as f, z.open(info, "w", force_zip64=index == 0) as out:
                    out.write(f.read())
    with open(archive, "wb") as f:
        f.write(pipe.data)
    with zipfile.ZipFile(archive) as z:
        check(all(i.flag_bits & 0x08 for i in z.infolist()), "python archive uses data descriptors")
        check(any(i.flag_bits & 0x800 for i in z.infolist()), "python archive has UTF-8 names")


def data_start(archive_bytes, info):
    name_length, extra_length = struct.unpack("<HH", archive_bytes[info.header_offset + 26:info.header_offset + 30])
    return info.header_offset + 30 + name_length + extra_length


def deflate(data):
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    return packer.compress(data) + packer.flush()


def craft(entries, zip64_end=False):
    """A ZIP archive written field by field, for what no zip tool writes."""
    out, central = bytearray(), bytearray()
    for e in entries:
        plain = e.get("plain", b"data of " + e["name"])
        method = e.get("method", 0)
        data = e.get("data", deflate(plain) if method == 8 else plain)
        flags, crc = e.get("flags", 0), e.get("crc", zlib.crc32(plain))
        offset = len(out)
        out += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, flags, method, 0, 0x5A21, crc, len(data),
                           len(plain), len(e["name"]), 0) + e["name"] + data
        sizes = e.get("sizes", (len(data), len(plain)))
        extra = e.get("extra", b"")
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, e.get("made_by", 0x0314), 20, flags, method, 0,
                               0x5A21, crc, sizes[0], sizes[1], len(e["name"]), len(extra), 0, 0, 0,
                               e.get("mode", 0o100644) << 16, offset + e.get("shift", 0)) + e["name"] + extra
    count = 0xFFFF if zip64_end else len(entries)
    start = len(out)
    out += central
    if zip64_end:
        out += struct.pack("<IIQI", 0x07064B50, 0, len(out), 1)
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count, count, len(central), start, 0)
    return bytes(out)


def compare_with_unzip(host, work, archive, name_encoding, what, host_options=(), unzip_options=(), patterns=(),
                       unzip_archive=None):
    ours, reference = fresh(work, "ours"), fresh(work, "unzip")
    messages, result = host.run(archive, ours, *host_options, *patterns)
    unzip(unzip_archive or archive, reference, *unzip_options, patterns=patterns)
    check(result == 0 and all(m[0] == 0 for m in messages), what + ": no problem reported")
    same_trees(tree(ours), tree(reference, name_encoding), what + ": same files as unzip")
    return ours, reference, messages


def test_real_archives(host, work):
    gbk_source, utf8_source = fresh(work, "src-gbk"), fresh(work, "src-utf8")
    files = make_sources(gbk_source, lambda part: part.encode("gbk"))
    make_sources(utf8_source, lambda part: part.encode("utf-8"))
    deflated, stored = os.path.join(work, "deflated.zip"), os.path.join(work, "stored.zip")
    info_zip(gbk_source, deflated)
    info_zip(gbk_source, stored, "-0")

    ours, reference, messages = compare_with_unzip(host, work, deflated, "gbk", "Info-ZIP deflated, GBK names")
    check(tree(ours).get(GBK_NAME + "/" + GBK_NAME + "说明.txt") == files[GBK_NAME + "/" + GBK_NAME + "说明.txt"],
          "GBK name written as its characters")
    check(any(m[0] == 0 and m[3].startswith("已解压 ") and m[2] > 0 for m in messages),
          "progress messages carry the entry count")
    if not host.wine:
        check(os.access(os.path.join(ours, "bin/run.sh"), os.X_OK), "stored execute permission kept")
        times = [abs(os.stat(os.path.join(ours, n)).st_mtime - os.stat(os.path.join(reference, n)).st_mtime)
                 for n in ("readme.txt", "bin/app.bin")]
        check(max(times) <= 2, "modification times as unzip sets them (%s)" % times)
    compare_with_unzip(host, work, stored, "gbk", "Info-ZIP stored, GBK names")

    python = os.path.join(work, "python.zip")
    python_zip(utf8_source, python)
    compare_with_unzip(host, work, python, "utf-8", "Python zipfile, UTF-8 names, data descriptors")

    stubbed, tricky = os.path.join(work, "stubbed.zip"), os.path.join(work, "tricky.zip")
    for archive, comment in ((stubbed, b"update 2.1\n"), (tricky, b"PK\x05\x06 in a comment, and more text than a record\n")):
        shutil.copy(deflated, archive)
        subprocess.run(["zip", "-q", "-z", archive], input=comment, check=True)
        with open(archive, "rb") as f:
            body = f.read()
        with open(archive, "wb") as f:
            f.write(b"MZ stub " * 100 + body)
    compare_with_unzip(host, work, stubbed, "gbk", "archive behind a stub, with a comment")
    # unzip takes the signature in the comment for the end record: compared with the plain archive
    compare_with_unzip(host, work, tricky, "gbk", "end record signature inside the comment", unzip_archive=deflated)

    compare_with_unzip(host, work, deflated, "gbk", "file pattern *.txt", patterns=("*.txt",))
    compare_with_unzip(host, work, deflated, "gbk", "file patterns bin/* and ?eadme.*",
                       patterns=("bin/*", "?eadme.*"))
    compare_with_unzip(host, work, deflated, "gbk", "folders not recreated", ("--flat",), ("-j",))

    backslashes = os.path.join(work, "backslashes.zip")
    with open(backslashes, "wb") as f:
        f.write(craft([{"name": b"win\\path\\file.txt", "made_by": 0x0014, "mode": 0},
                       {"name": b"win\\other.txt", "made_by": 0x0014, "mode": 0, "method": 8}]))
    compare_with_unzip(host, work, backslashes, "utf-8", "backslash separators of a Windows archive")
    return deflated, stored


def bsdtar(source, archive, options):
    subprocess.run(["bsdtar", "--format", "zip", "--options", options, "-cf", archive, *sorted(os.listdir(source))],
                   cwd=source, check=True, env=UTF8_ENV)


def test_other_writers(host, work):
    """ZIP64 records as bsdtar and Info-ZIP zip write them even for small archives,
    and a method we lack as a refusal of its entry alone."""
    utf8_source, gbk_source = os.path.join(work, "src-utf8"), os.path.join(work, "src-gbk")
    end_records = os.path.join(work, "bsdtar-zip64.zip")
    bsdtar(utf8_source, end_records, "zip:zip64")
    compare_with_unzip(host, work, end_records, "utf-8", "bsdtar ZIP64 end records, deflated")
    stored = os.path.join(work, "bsdtar-zip64-stored.zip")
    bsdtar(utf8_source, stored, "zip:zip64,zip:compression=store")
    compare_with_unzip(host, work, stored, "utf-8", "bsdtar ZIP64 end records, stored")
    stubbed = os.path.join(work, "bsdtar-zip64-stubbed.zip")
    with open(end_records, "rb") as f, open(stubbed, "wb") as out:
        out.write(b"MZ stub " * 100 + f.read())
    compare_with_unzip(host, work, stubbed, "utf-8", "ZIP64 archive behind a stub", unzip_archive=end_records)

    forced = os.path.join(work, "zip-fz.zip")  # sizes and the directory offset as 0xFFFFFFFF markers
    info_zip(gbk_source, forced, "-fz")
    with zipfile.ZipFile(forced) as z:
        check(all(i.extra.find(b"\x01\x00") >= 0 for i in z.infolist()), "zip -fz writes ZIP64 extra fields")
    compare_with_unzip(host, work, forced, "gbk", "Info-ZIP zip -fz, ZIP64 extra fields")

    mixed = os.path.join(work, "bzip2.zip")
    info_zip(gbk_source, mixed, "-Z", "bzip2")
    with zipfile.ZipFile(mixed) as z:
        methods = {i.filename: i.compress_type for i in z.infolist()}
    ours = fresh(work, "ours")
    messages, result = host.run(mixed, ours)
    refused = [m for m in messages if m[0] != 0]
    bzip2 = sum(1 for m in methods.values() if m == 12)
    check(bzip2 > 0 and result == bzip2 and all(m[0] == 3 and "方法 BZip2 (12)" in m[3] for m in refused),
          "BZip2 entries refused one by one with their method: %s" % refused[:2])
    check("readme.txt" not in tree(ours) and set(tree(ours)) >= {n.rstrip("/") for n, m in methods.items()
                                                                  if m != 12 and not n.endswith("/")},
          "the entries zip kept stored extracted")


def test_replacing(host, work, deflated):
    ours, reference = fresh(work, "ours"), fresh(work, "unzip")
    for folder in (ours, reference):
        os.makedirs(os.path.join(folder, "bin"))
        for name in ("readme.txt", "bin/app.bin"):
            with open(os.path.join(folder, name), "wb") as f:
                f.write(b"old contents")
        os.chmod(os.path.join(folder, "readme.txt"), 0o444)
    messages, result = host.run(deflated, ours)
    unzip(deflated, reference)
    check(result == 0, "existing and read-only files replaced without a problem")
    same_trees(tree(ours), tree(reference, "gbk"), "replaced files equal unzip's")

    ours, reference = fresh(work, "ours"), fresh(work, "unzip")
    for folder in (ours, reference):
        with open(os.path.join(folder, "readme.txt"), "wb") as f:
            f.write(b"keep me")
    messages, result = host.run(deflated, ours, "--keep")
    subprocess.run(["unzip", "-q", "-n", deflated, "-d", reference], env=UTF8_ENV)
    check(result == 0 and any(m[0] == 0 and "未替换" in m[3] for m in messages), "kept file reported as progress")
    same_trees(tree(ours), tree(reference, "gbk"), "without replacing: same files as unzip -n")


def expect_reports(messages, expected, what):
    got = {m[1]: m[0] for m in messages if m[0] != 0}
    check(got == expected, "%s: reported %s, expected %s" % (what, got, expected))


def test_damaged(host, work, deflated, stored):
    with zipfile.ZipFile(deflated) as z:
        readme = z.getinfo("readme.txt")
        readme_number = z.infolist().index(readme) + 1
    with open(deflated, "rb") as f:
        data = bytearray(f.read())
    start = data_start(data, readme)
    for i in range(16):
        data[start + readme.compress_size // 2 + i] ^= 0x5A
    damaged = os.path.join(work, "damaged.zip")
    with open(damaged, "wb") as f:
        f.write(data)
    ours, reference = fresh(work, "ours"), fresh(work, "unzip")
    with open(os.path.join(ours, "readme.txt"), "wb") as f:
        f.write(b"previous version")
    messages, result = host.run(damaged, ours)
    unzip(deflated, reference)
    codes = [m[0] for m in messages if m[1] == readme_number and m[0] != 0]
    check(result == 1 and len(codes) == 1 and codes[0] in (6, 7), "damaged deflate data reported: %s" % codes)
    expected = tree(reference, "gbk")
    expected["readme.txt"] = b"previous version"
    same_trees(tree(ours), expected, "damaged entry leaves the earlier file, the others extracted, no leftovers")

    with zipfile.ZipFile(stored) as z:
        banner = z.getinfo("res/banner.bmp")
        banner_number = z.infolist().index(banner) + 1
    with open(stored, "rb") as f:
        data = bytearray(f.read())
    data[data_start(data, banner) + 1000] ^= 1
    flipped = os.path.join(work, "flipped.zip")
    with open(flipped, "wb") as f:
        f.write(data)
    ours = fresh(work, "ours")
    messages, result = host.run(flipped, ours)
    expect_reports(messages, {banner_number: 6}, "one flipped bit in a stored entry")
    check("res/banner.bmp" not in tree(ours) and "readme.txt" in tree(ours), "CRC mismatch not written, rest is")

    truncated = os.path.join(work, "truncated.zip")
    with open(truncated, "wb") as f:
        f.write(bytes(data[:len(data) * 3 // 5]))
    garbage = os.path.join(work, "garbage.bin")
    with open(garbage, "wb") as f:
        f.write(random.Random(3).randbytes(100000))
    for archive, code, what in ((truncated, 2, "truncated archive"), (garbage, 2, "not an archive"),
                                (os.path.join(work, "missing.zip"), 1, "missing archive")):
        ours = fresh(work, "ours")
        messages, result = host.run(archive, ours)
        check(result == -1 and [m[:2] for m in messages] == [(code, 0)] and tree(ours) == {},
              "%s: one message with code %d, nothing written" % (what, code))


def test_encrypted(host, work):
    source = fresh(work, "src-secret")
    for name, text in (("plain.txt", b"plain"), ("secret.txt", b"secret"), ("more.txt", b"more")):
        with open(os.path.join(source, name), "wb") as f:
            f.write(text * 100)
    archive = os.path.join(work, "encrypted.zip")
    subprocess.run(["zip", "-q", archive, "plain.txt"], cwd=source, check=True)
    subprocess.run(["zip", "-q", "-P", "password", archive, "secret.txt"], cwd=source, check=True)
    subprocess.run(["zip", "-q", archive, "more.txt"], cwd=source, check=True)
    ours = fresh(work, "ours")
    messages, result = host.run(archive, ours)
    expect_reports(messages, {2: 4}, "entry encrypted with zip -P")
    check(result == 1 and set(tree(ours)) == {"plain.txt", "more.txt"}, "the plain entries extracted")


def test_hostile(host, work):
    sandbox = fresh(work, "sandbox")
    outside = os.path.join(sandbox, "escape-absolute.txt")
    def zip64(*values):  # a ZIP64 extra field after another field, as zip writers put them
        return struct.pack("<HHI", 0x5455, 4, 0) + struct.pack("<HH", 1, 8 * len(values)) + \
            struct.pack("<%dQ" % len(values), *values)
    marked = (0xFFFFFFFF, 0xFFFFFFFF)
    entries = [
        ({"name": b"ok/first.txt"}, 0),
        ({"name": b"../escape-parent.txt"}, 8),
        ({"name": outside.encode()}, 8),
        ({"name": b"Z:" + outside.encode()}, 8),
        ({"name": b"C:escape-drive.txt"}, 8),
        ({"name": b"sub\\..\\..\\escape-backslash.txt"}, 8),
        ({"name": b"sub/../../escape-dots.txt"}, 8),
        ({"name": b"sub/.. /escape-space.txt"}, 8),
        ({"name": b"nul.txt"}, 8),
        ({"name": b"link", "plain": b"../", "mode": 0o120777}, 8),
        ({"name": b"ok/bzip2.txt", "method": 12}, 3),
        ({"name": b"ok/deflate64.txt", "method": 9}, 3),
        ({"name": b"ok/zip64.txt", "sizes": marked, "extra": zip64(20, 20)}, 0),
        ({"name": b"ok/zip64-short.txt", "sizes": marked, "extra": zip64(22)}, 5),
        ({"name": b"ok/zip64-missing.txt", "sizes": marked}, 5),
        ({"name": b"ok/zip64-huge.txt", "sizes": marked, "extra": zip64(2 ** 64 - 1, 2 ** 64 - 1)}, 7),
        ({"name": b"ok/encrypted.txt", "flags": 1}, 4),
        ({"name": b"ok/bad-local.txt", "shift": 3}, 7),
        ({"name": b"ok/past-directory.txt", "method": 8, "sizes": (100000, 20)}, 7),
        ({"name": b"ok/bad-crc.txt", "crc": 1234}, 6),
        ({"name": b"ok/bad-deflate.txt", "method": 8, "data": b"\xff" * 40}, 7),
        ({"name": b"ok/\xff\xfe.txt", "flags": 0x800}, 8),
        ({"name": b"ok/\x81\x20.txt"}, 8),
        ({"name": b"ok/ctl\x01.txt"}, 8),
        ({"name": "ok/名字.txt".encode(), "flags": 0x800, "method": 8}, 0),
        ({"name": GBK_NAME.encode("gbk") + b"/" + BACKSLASH_TRAIL.encode("gbk") + b".txt", "method": 8}, 0),
        ({"name": b"ok/last.txt", "method": 8}, 0),
    ]
    archive = os.path.join(work, "hostile.zip")
    with open(archive, "wb") as f:
        f.write(craft([e for e, _ in entries]))
    target = os.path.join(sandbox, "out")
    os.makedirs(target)
    messages, result = host.run(archive, target)
    expected = {i + 1: code for i, (_, code) in enumerate(entries) if code}
    expect_reports(messages, expected, "hostile entries")
    check(result == len(expected), "result counts the refused entries (%s)" % result)
    parent = [m for m in messages if m[1] == 2]
    check(parent and parent[0][3].startswith("../escape-parent.txt："), "message names the entry: %s" % parent)
    methods = [m[3] for m in messages if m[0] == 3]
    check(len(methods) == 2 and "方法 BZip2 (12)" in methods[0] and "方法 Deflate64 (9)" in methods[1],
          "unsupported methods named: %s" % methods)
    check(os.listdir(sandbox) == ["out"], "nothing written outside the target folder: %s" % os.listdir(sandbox))
    check(set(tree(target)) == {"ok", "ok/first.txt", "ok/zip64.txt", "ok/名字.txt", GBK_NAME, GBK_NAME + "/" + BACKSLASH_TRAIL +
                                ".txt", "ok/last.txt"}, "the sound entries extracted: %s" % sorted(tree(target)))

    zip64 = os.path.join(work, "zip64.zip")
    with open(zip64, "wb") as f:
        f.write(craft([{"name": b"a.txt"}], zip64_end=True))
    target = fresh(work, "ours")
    messages, result = host.run(zip64, target)
    check(result == -1 and [m[:2] for m in messages] == [(2, 0)], "ZIP64 locator naming no ZIP64 end record: damaged")


def test_report_level(host, work, deflated):
    messages, result = host.run(deflated, fresh(work, "ours"), "--level", "1")
    check(result == 0 and messages == [], "errors only: no progress messages")
    messages, result = host.run(os.path.join(work, "missing.zip"), fresh(work, "ours"), "--level", "4")
    check(result == -1 and messages == [], "progress only: no error messages")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True)
    parser.add_argument("--library", required=True)
    parser.add_argument("--wine")
    args = parser.parse_args()
    host = Host(args.host, args.library, args.wine)
    with tempfile.TemporaryDirectory(prefix="unzdll-test-") as work:
        deflated, stored = test_real_archives(host, work)
        test_other_writers(host, work)
        test_replacing(host, work, deflated)
        test_damaged(host, work, deflated, stored)
        test_encrypted(host, work)
        test_hostile(host, work)
        test_report_level(host, work, deflated)
        for root, folders, files in os.walk(work):  # read-only files would stop the clean-up
            for name in files:
                os.chmod(os.path.join(root, name), stat.S_IWUSR | stat.S_IRUSR)
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
