#!/usr/bin/python3
"""Runs the Linux UpDate in a client folder laid out as on Windows against a
server on 127.0.0.1:8000 and checks each outcome: the exit codes, the client
folder afterwards, the dummy client stopped and restarted with the highest
version. Then the same update signed by update-publish: taken by a folder
without a key and by one with the key, and refused (with the reason printed,
nothing installed and the client left running) when the signature or a
package is not the vendor's; and the tool's own refusals, which write nothing.

  check_terminal_update.py --updater UpDate --library libunzdll.so
                           --client DUMMY_CLIENT --packages FOLDER --publisher update-publish
"""
import argparse
import base64
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from vendor import Vendor  # noqa: E402

failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


def manifest(entries):
    rows = "".join("<entry><version>%s</version><url>%s</url><description>%s</description></entry>\n"
                   % (v, u, base64.b64encode(d.encode()).decode()) for v, u, d in entries)
    return '<?xml version="1.0" encoding="GBK"?>\n<updates>\n<group name="ziro">\n%s</group>\n</updates>\n' % rows


class Setup:
    def __init__(self, args, top, name="client"):
        self.args, self.top = args, top
        self.client = os.path.join(top, name)
        self.www = os.path.join(top, "www")
        os.makedirs(os.path.join(self.www, "im", "pkgs"), exist_ok=True)
        os.makedirs(self.client)
        shutil.copy(args.updater, os.path.join(self.client, "UpDate"))
        shutil.copy(args.library, os.path.join(self.client, "libunzdll.so"))
        shutil.copy(args.client, os.path.join(self.client, "ZiroIM2.exe"))
        self.write("imset.ini", "[IMSET]\r\nIMSERVER=127.0.0.1\r\n")
        self.write("readme.txt", "readme 1\n")
        self.write("old.txt", "old\n")
        self.write("ro.txt", "read-only 1\n")
        shutil.copy(os.path.join(args.packages, "one.zip"), os.path.join(self.www, "im", "pkgs", "one.zip"))
        shutil.copy(os.path.join(args.packages, "two.zip"), os.path.join(self.www, "im", "two.zip"))

    def write(self, name, text):
        with open(os.path.join(self.client, name), "w") as f:
            f.write(text)

    def read(self, name):
        try:
            with open(os.path.join(self.client, name)) as f:
                return f.read()
        except OSError:
            return None

    def serve(self, text):
        with open(os.path.join(self.www, "im", "update.xml"), "w") as f:
            f.write(text)

    def run(self, *arguments, stdin=""):
        run = subprocess.run([os.path.join(self.client, "UpDate"), *arguments], input=stdin.encode(),
                             capture_output=True, timeout=60, env=dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8"))
        return run.returncode, run.stdout.decode("utf-8", "replace")

    def start_client(self):
        client = subprocess.Popen([os.path.join(self.client, "ZiroIM2.exe"), "3.0.0.5"])
        self.started_lines(1)
        return client

    def started_lines(self, count):
        for _ in range(200):
            text = self.read("client-started.txt") or ""
            if text.count("\n") >= count:
                return text
            time.sleep(0.05)
        return self.read("client-started.txt")


def installed(s):
    return (s.read("readme.txt") == "readme 3\n" and s.read("ro.txt") == "read-only 2\n"
            and s.read("shared.txt") == "shared 2\n" and s.read(os.path.join("sub", "new.txt")) == "new in sub\n")


def tool_refusals(vendor, root):
    """Bad input: a clear message and not a byte written."""
    before = sorted(os.listdir(root)), open(os.path.join(root, "update.xml"), "rb").read()
    notes = vendor.write("notes.txt", "说明\n")
    bad_version = vendor.run("publish", "--root", root, "--key", vendor.key, "--version", "3.0.8", "--url",
                             "two.zip", "--description", notes)
    missing = vendor.run("publish", "--root", root, "--key", vendor.key, "--version", "3.0.0.8", "--url",
                         "pkgs/none.zip", "--description", notes)
    leaving = vendor.run("package", os.path.join(vendor.folder, "two"),
                         vendor.write("leaving.txt", "copy readme.txt\nremove ../../escape.txt\n"),
                         os.path.join(root, "leaving.zip"))
    check(bad_version[0] == 1 and "reads as 3.0.0.8" in bad_version[1], "tool: a version read otherwise is refused")
    check(missing[0] == 1 and "none.zip" in missing[1], "tool: a missing package is refused")
    check(leaving[0] == 1 and "leaves the client folder" in leaving[1], "tool: an action leaving the folder is refused")
    check((sorted(os.listdir(root)), open(os.path.join(root, "update.xml"), "rb").read()) == before,
          "tool: nothing written by a refused command")


def signed_updates(args, top, unsigned):
    print("--- signed by update-publish")
    www = os.path.join(unsigned.www, "im")
    vendor = Vendor(args.publisher, os.path.join(top, "vendor"))
    os.remove(os.path.join(www, "update.xml"))  # the vendor's first signed manifest
    vendor.package_two(os.path.join(www, "pkgs", "two.zip"))
    vendor.publish(www, [("3.0.0.7", "pkgs/two.zip", "second"), ("3.0.0.6", "pkgs/one.zip", "升级\n第二行")])
    vendor.publish(www, [("3.0.0.7", "pkgs/two.zip", "second, again")], "--days", "7")
    with open(os.path.join(www, "update.xml"), encoding="gbk") as f:
        manifest = f.read()
    check(manifest.count("<entry ") == 2 and 'serial="3"' in manifest and manifest.index("3.0.0.6") < manifest.index(
        "3.0.0.7"), "tool: entries in version order, one replaced, the serial raised")
    tool_refusals(vendor, www)

    keyless = Setup(args, top, "keyless")
    code, out = keyless.run("--yes", "3.0.0.5")
    check(code == 0 and installed(keyless) and not os.path.exists(os.path.join(keyless.client, "update-serial.txt")),
          "no key, signed server: updated as before (%d)" % code)
    keyless.write("client-quit", "")

    keyed = Setup(args, top, "keyed")
    shutil.copy(vendor.public_key, os.path.join(keyed.client, "update-key.pem"))
    client = keyed.start_client()
    code, out = keyed.run("--yes", "3.0.0.5")
    check(code == 0 and installed(keyed) and client.wait(timeout=15) is not None
          and keyed.started_lines(2) == "3.0.0.5\n3.0.0.7\n", "key: the signed update installed (%d)" % code)
    check(keyed.read("update-serial.txt") == "3", "key: the serial kept (%r)" % keyed.read("update-serial.txt"))
    keyed.write("client-quit", "")

    refused = Setup(args, top, "refused")
    shutil.copy(vendor.public_key, os.path.join(refused.client, "update-key.pem"))
    client = refused.start_client()
    signature = os.path.join(www, "update.xml.sig")
    os.rename(signature, signature + ".good")
    shutil.copy(os.path.join(args.packages, "one.zip"), signature)
    code, out = refused.run("--yes", "3.0.0.5")
    check(code == 3 and "更新请求失败！" in out and "更新清单的签名不是一行 Base64 文本" in out,
          "key: a foreign signature file refuses the manifest, and says why (%d)" % code)
    os.replace(signature + ".good", signature)
    package = os.path.join(www, "pkgs", "two.zip")
    with open(package, "r+b") as f:
        f.seek(40)
        byte = f.read(1)
        f.seek(40)
        f.write(bytes([byte[0] ^ 1]))
    code, out = refused.run("--yes", "3.0.0.5")
    check(code == 6 and "下载的更新包 SHA-256 摘要与清单不符" in out,
          "key: a package other than signed is refused (%d)" % code)
    check(client.poll() is None and refused.read("readme.txt") == "readme 1\n"
          and not os.path.exists(os.path.join(refused.client, "two.zip"))
          and not os.path.exists(os.path.join(refused.client, "ziro_update")),
          "key: nothing installed, the client still running")
    refused.write("client-quit", "")
    client.wait(timeout=15)


def main():
    parser = argparse.ArgumentParser()
    for name in ("updater", "library", "client", "packages", "publisher"):
        parser.add_argument("--" + name, required=True)
    args = parser.parse_args()
    top = tempfile.mkdtemp(prefix="ziro-update-")
    s = Setup(args, top)
    server = subprocess.Popen([sys.executable, "-B", os.path.join(HERE, "http_test_server.py"), "--root", s.www,
                               "--port", "8000", "--port-file", os.path.join(top, "port")])
    client = None
    try:
        for _ in range(200):
            if os.path.exists(os.path.join(top, "port")):
                break
            time.sleep(0.05)
        code, out = s.run()
        check(code == 2 and "版本不正确！" in out, "no version: exit 2 and the message (%d)" % code)
        s.serve("<broken")
        code, out = s.run("--yes", "3.0.0.5")
        check(code == 3 and "更新请求失败！" in out, "bad manifest: exit 3 and the message (%d)" % code)
        s.serve(manifest([("3.0.0.5", "x.zip", "")]))
        code, out = s.run("--yes", "3.0.0.5")
        check(code == 1 and "您的IM已经是最新版本，不需要升级" in out, "nothing newer: exit 1 (%d)" % code)
        s.serve(manifest([("3.0.0.4", "old.zip", "旧"), ("3.0.0.6", "pkgs/one.zip", "升级\n第二行"),
                          ("3.0.0.7", "two.zip", "second")]))
        code, out = s.run("3.0.0.5", stdin="n\n")
        check(code == 5 and "3.0.0.6升级内容:\n升级\n第二行" in out and "旧" not in out,
              "declined: the newer versions and their descriptions are shown, nothing is done (%d)" % code)
        check(s.read("readme.txt") == "readme 1\n", "declined: nothing changed")

        os.chmod(os.path.join(s.client, "ro.txt"), 0o444)
        client = subprocess.Popen([os.path.join(s.client, "ZiroIM2.exe"), "3.0.0.5"])
        s.started_lines(1)
        code, out = s.run("--yes", "  3.0.0.5  ")
        print(out)
        check(code == 0, "update: exit 0 (%d)" % code)
        check(client.wait(timeout=15) is not None, "update: the running client was stopped")
        check(s.started_lines(2) == "3.0.0.5\n3.0.0.7\n", "update: the client restarted with the highest version")
        check(s.read("readme.txt") == "readme 3\n" and s.read("ro.txt") == "read-only 2\n"
              and s.read(os.path.join("sub", "new.txt")) == "new in sub\n" and s.read("old.txt") is None
              and os.path.isfile(os.path.join(s.client, "数据", "说明.txt")),
              "update: the packages' actions applied in order")
        for gone in ("one.zip", "two.zip", "ziro_update", "backup"):
            check(not os.path.exists(os.path.join(s.client, gone)), "update: %s is gone" % gone)
        check(not os.path.exists(os.path.join(top, "escape.txt")), "update: an escaping name was refused")
        check("下载完成，升级程序将关闭IM" in out and "安装更新完成" in out, "update: the messages and row texts")
        s.write("client-quit", "")

        os.remove(os.path.join(s.client, "libunzdll.so"))
        os.remove(os.path.join(s.client, "client-started.txt"))
        code, out = s.run("--yes", "3.0.0.5")
        check(code == 4 and "解压缩失败" in out, "no unzip library: exit 4 and the message (%d)" % code)
        check(os.path.exists(os.path.join(s.client, "one.zip")) and s.read("client-started.txt") is None,
              "no unzip library: the archive stays, the client is not restarted")
        signed_updates(args, top, s)
    finally:
        if client and client.poll() is None:
            client.kill()
        server.terminate()
        server.wait()
        shutil.rmtree(top, ignore_errors=True)
    print("%d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
