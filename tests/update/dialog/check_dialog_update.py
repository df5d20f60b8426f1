#!/usr/bin/python3
"""UpDate.exe end to end under Wine, on an X server of its own (Xvfb) so that
screenshots can be taken: a client folder laid out as the client ships it, a
server on 127.0.0.1:8000 with a manifest and archives made by Info-ZIP zip,
a dummy ZiroIM2.exe, and a driver program that reads and presses the dialog's
controls and message boxes as a user would.

  check_dialog_update.py --wine-run SCRIPT --bin BUILD_BIN --packages FOLDER
                         (--res FOLDER | --archive CLIENT_ZIP) --out FOLDER
                         [--publisher UPDATE_PUBLISH]
BUILD_BIN holds UpDate.exe, UNZDLL.DLL, update-dummy-client.exe and
update-dialog-driver.exe; screenshots go to OUT/screenshots. With --archive, each
client folder is the shipped archive unpacked, beside the dummy ZiroIM2.exe, and
only the full update runs: nothing of the client folder comes from the build.
With the native update-publish, the full update is signed by it and the client
folder holds its key, and a forged manifest and a changed package are refused;
without it (no native build) those runs are left out.
"""
import argparse
import base64
import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "http_test_server.py")
sys.path.insert(0, os.path.join(HERE, ".."))
from vendor import Vendor  # noqa: E402

WINE_FONTS = "/usr/share/wine/fonts"
TITLE = "IM自动升级"
CAPTION = "消息管理器"
CLOSING = "下载完成，升级程序将关闭IM 进行必要的更新操作，\r\n在更新完成后将会重新运行ZiroIM。"
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def manifest(entries):
    rows = "".join("<entry><version>%s</version><url>%s</url><description>%s</description></entry>\n"
                   % (v, u, base64.b64encode(d.encode()).decode()) for v, u, d in entries)
    return '<?xml version="1.0" encoding="GBK"?>\n<updates>\n<group name="ziro">\n%s</group>\n</updates>\n' % rows


def pe_is_64bit(path):
    with open(path, "rb") as f:
        data = f.read(4096)
    at = int.from_bytes(data[60:64], "little")
    return data[at + 4:at + 6] == b"\x64\x86"


class Screen:
    """An X server of our own and pictures of it."""

    def __init__(self, folder):
        self.folder = folder
        os.makedirs(folder, exist_ok=True)
        self.read, write = os.pipe()
        read = self.read
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                     pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        # The number ends with a line feed; Xvfb gives up if the pipe closes before it.
        number = b""
        while not number.endswith(b"\n") and select.select([read], [], [], 30)[0]:
            piece = os.read(read, 16)
            if not piece:
                break
            number += piece
        number = number.decode().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def shot(self, name, rects, icon=None):
        """Saves the screen cropped to the windows at `rects`; gives the icon's mean colour."""
        path = os.path.join(self.folder, name)
        subprocess.run(["import", "-display", self.display, "-window", "root", path], check=True, timeout=30)
        colour = None
        if icon:
            out = subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (icon[2] - icon[0], icon[3] - icon[1], icon[0], icon[1]),
                                  "-scale", "1x1!", "-format", "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]", "info:"],
                                 capture_output=True, text=True, timeout=30)
            colour = tuple(int(x) for x in out.stdout.split())
        left = max(0, min(r[0] for r in rects) - 12)
        top = max(0, min(r[1] for r in rects) - 12)
        right, bottom = max(r[2] for r in rects) + 12, max(r[3] for r in rects) + 12
        subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage", path],
                       check=True, timeout=30)
        print("     screenshot " + path)
        return colour

    def close(self):
        os.close(self.read)
        self.xvfb.terminate()
        self.xvfb.wait()


class Wine:
    def __init__(self, args, display):
        self.run_script = args.wine_run
        self.env = dict(os.environ, DISPLAY=display, ZIRO_WINEPREFIX=os.path.join(args.out, "wineprefix"),
                        ZIRO_WINE_TIMEOUT="600", NO_PROXY="127.0.0.1,localhost", no_proxy="127.0.0.1,localhost",
                        ZIRO_DUMMY_CLIENT_HOLDS="readme.txt")
        self.win64 = pe_is_64bit(os.path.join(args.bin, "update-dialog-driver.exe"))
        if self.win64:
            self.env["ZIRO_WINE_ARCH"] = "win64"
        self.server = "/usr/lib/wine/wineserver64" if self.win64 else "/usr/bin/wineserver"
        # Windows drawn on the X server with their own frames; 宋体 shown in a Song face of like measure.
        self.run("reg", "add", "HKCU\\Software\\Wine\\Drivers", "/v", "Graphics", "/d", "x11", "/f")
        self.run("reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f")
        fonts = os.path.join(args.out, "fonts.reg")
        with open(fonts, "w", encoding="utf-16") as f:
            f.write('Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
                    '"宋体"="AR PL UMing CN"\r\n"SimSun"="AR PL UMing CN"\r\n')
        self.run("reg", "import", windows_path(fonts))
        # Wine's own faces (Marlett for the caption buttons, Tahoma for the boxes), which Debian keeps apart.
        installed = os.path.join(self.env["ZIRO_WINEPREFIX"], "drive_c", "windows", "Fonts")
        for face in ("marlett.ttf", "tahoma.ttf"):
            if os.path.exists(os.path.join(WINE_FONTS, face)) and os.path.isdir(installed):
                shutil.copy(os.path.join(WINE_FONTS, face), installed)

    def run(self, *command):
        subprocess.run([self.run_script, *command], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=120)

    def popen(self, *command, **kwargs):
        return subprocess.Popen([self.run_script, *command], env=self.env, **kwargs)

    def stop(self):
        subprocess.run([self.server, "-k"], env=dict(self.env, WINEPREFIX=self.env["ZIRO_WINEPREFIX"]), timeout=60)


class Driver:
    def __init__(self, wine, program):
        self.process = wine.popen(program, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def __call__(self, *words, wait=90):
        self.process.stdin.write((" ".join(str(w) for w in words) + "\n").encode())
        self.process.stdin.flush()
        ready, _, _ = select.select([self.process.stdout], [], [], wait)
        if not ready:
            raise RuntimeError("the driver did not answer " + " ".join(map(str, words)))
        return json.loads(self.process.stdout.readline().decode())

    def close(self):
        try:
            self.process.stdin.write(b"quit\n")
            self.process.stdin.close()
            self.process.wait(timeout=30)
        except (OSError, subprocess.TimeoutExpired):
            self.process.kill()


class Client:
    """A client folder with UpDate.exe, UNZDLL.DLL, res\\, imset.ini and the dummy ZiroIM2.exe."""

    def __init__(self, top, args, name, with_library=True, with_res=True, key=None):
        self.path = os.path.join(top, name)
        os.makedirs(self.path)
        if args.archive:
            with zipfile.ZipFile(args.archive) as archive:
                archive.extractall(self.path)
        else:
            shutil.copy(os.path.join(args.bin, "UpDate.exe"), self.path)
            if with_library:
                shutil.copy(os.path.join(args.bin, "UNZDLL.DLL"), self.path)
            if with_res:
                shutil.copytree(args.res, os.path.join(self.path, "res"))
        shutil.copy(os.path.join(args.bin, "update-dummy-client.exe"), os.path.join(self.path, "ZiroIM2.exe"))
        if key:
            shutil.copy(key, os.path.join(self.path, "update-key.pem"))
        self.write("imset.ini", "[IMSET]\r\nIMSERVER=127.0.0.1\r\n")
        self.write("readme.txt", "readme 1\n")
        self.write("old.txt", "old\n")
        self.write("ro.txt", "read-only 1\n")
        self.exe = windows_path(os.path.join(self.path, "UpDate.exe"))

    def write(self, name, text):
        with open(os.path.join(self.path, name), "w") as f:
            f.write(text)

    def read(self, name):
        try:
            with open(os.path.join(self.path, name)) as f:
                return f.read()
        except OSError:
            return None

    def exists(self, name):
        return os.path.exists(os.path.join(self.path, name))

    def started(self, lines):
        for _ in range(200):
            text = self.read("client-started.txt") or ""
            if text.count("\n") >= lines:
                return text
            time.sleep(0.05)
        return self.read("client-started.txt")


class Run:
    def __init__(self, args):
        self.args = args
        self.top = tempfile.mkdtemp(prefix="ziro-dialog-")
        self.www = os.path.join(self.top, "www")
        os.makedirs(os.path.join(self.www, "im", "pkgs"))
        for name, where in (("one.zip", "pkgs/one.zip"), ("two.zip", "two.zip")):
            shutil.copy(os.path.join(args.packages, name), os.path.join(self.www, "im", where))
        self.vendor = self.signed = None
        if args.publisher and os.path.exists(args.publisher):
            self.sign(args.publisher)
        else:
            print("--- no native update-publish (%s): the signed runs are left out" % args.publisher)

    def sign(self, publisher):
        """The vendor's update: one.zip as zip packed it, two.zip packed by the tool, signed by it."""
        im = os.path.join(self.www, "im")
        self.vendor = Vendor(publisher, os.path.join(self.top, "vendor"))
        self.vendor.package_two(os.path.join(im, "pkgs", "two.zip"))
        self.vendor.publish(im, [("3.0.0.6", "pkgs/one.zip", "升级\n第二行"),
                                 ("3.0.0.7", "pkgs/two.zip", "second\r\nline")])
        self.signed = {}
        for name in ("update.xml", "update.xml.sig"):
            with open(os.path.join(im, name), "rb") as f:
                self.signed[name] = f.read()

    def serve(self, text, behaviours=None, signature=None):
        """The manifest (text, or the bytes as signed) and, when given, its signature file."""
        for name, content in (("update.xml", text), ("update.xml.sig", signature)):
            path = os.path.join(self.www, "im", name)
            if content is None:
                os.path.exists(path) and os.remove(path)
            else:
                with open(path, "wb") as f:
                    f.write(content if isinstance(content, bytes) else content.encode())
        for name in ("pkgs/one.zip", "two.zip", "pkgs/two.zip"):
            sidecar = os.path.join(self.www, "im", name + ".behaviour")
            if behaviours and name in behaviours:
                with open(sidecar, "w") as f:
                    json.dump(behaviours[name], f)
            elif os.path.exists(sidecar):
                os.remove(sidecar)
        open(os.path.join(self.www, "requests.log"), "w").close()

    def requests(self):
        with open(os.path.join(self.www, "requests.log")) as f:
            return f.read()


def expect_box(driver, screen, picture, text, caption, icon, under=None):
    """Waits for a message box, checks it, saves its picture (beside the dialog when one is open) and answers it."""
    box = driver("message", 30000)
    if not check(box.get("found"), "a message box: " + text.splitlines()[0]):
        return None
    check(box["text"] == text and box["caption"] == caption,
          "message %r captioned %r (got %r, %r)" % (text, caption, box["text"], box["caption"]))
    rects = [box["rect"]]
    if under and under.get("found"):
        # Out of the dialog's way, so that the picture shows both.
        box = driver("move-message", under["rect"][2] + 16, under["rect"][1])
        rects = [under["rect"], box["rect"]]
    colour = screen.shot(picture, rects, box["icon"])
    # A box is found as soon as it is shown; its icon may be painted a moment later.
    deadline = time.monotonic() + 5
    while colour and max(colour) - min(colour) < 20 and time.monotonic() < deadline:
        time.sleep(0.2)
        colour = screen.shot(picture, rects, box["icon"])
    if icon is None:
        check(box["icon"] is None, "no icon on %r" % text)
    elif check(colour is not None, "an icon on %r" % text):
        red, green, blue = colour
        kind = "exclamation" if red > blue + 40 and green > blue + 20 else "information" if blue > red + 40 else "?"
        check(kind == icon, "the %s icon on %r (colour %s)" % (icon, text, colour))
    check(driver("answer").get("answered"), "the box went when answered")
    return box


def wait_state(driver, predicate, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        state = driver("state")
        if predicate(state):
            return state
        time.sleep(0.1)
    return driver("state")


def scenario_update(run, driver, screen):
    signed = run.signed is not None
    print("--- update: two newer entries" + (", signed by update-publish, with the key" if signed else " of three"))
    client = Client(run.top, run.args, "update", key=run.vendor.public_key if signed else None)
    os.chmod(os.path.join(client.path, "ro.txt"), 0o444)
    slowly = {"pkgs/one.zip": {"pace": [400, 0.6]}}
    if signed:
        run.serve(run.signed["update.xml"], slowly, run.signed["update.xml.sig"])
    else:
        run.serve(manifest([("3.0.0.4", "old.zip", "旧"), ("3.0.0.6", "pkgs/one.zip", "升级\n第二行"),
                            ("3.0.0.7", "two.zip", "second\r\nline")]), slowly)
    dummy = driver("start", '"%s" 3.0.0.5' % windows_path(os.path.join(client.path, "ZiroIM2.exe")))["pid"]
    client.started(1)
    updater = driver("start", '"%s" 3.0.0.5' % client.exe)["pid"]
    state = driver("dialog", 30000)
    if not check(state.get("found"), "the dialog opens"):
        return
    screen.shot("1-choose.png", [state["rect"]])
    controls = state["controls"]
    check(state["title"] == TITLE, "caption " + TITLE)
    check([(r["text"], r["checked"], r["status"]) for r in state["rows"]] == [("3.0.0.6", True, ""), ("3.0.0.7", True, "")],
          "rows 3.0.0.6 and 3.0.0.7, checked (%s)" % state["rows"])
    check(controls["1004"]["text"] == "3.0.0.6升级内容:\r\n升级\r\n第二行\r\n\r\n3.0.0.7升级内容:\r\nsecond\r\nline",
          "details text (%r)" % controls["1004"]["text"])
    check(controls["1004"]["visible"] and controls["1008"]["text"] == "详细信息：" and not controls["1006"]["visible"]
          and not controls["1009"]["visible"], "details shown, progress hidden")
    check(controls["1"]["text"] == "下载" and controls["1"]["enabled"] and controls["2"]["text"] == "取消", "buttons 下载 and 取消")
    banner = controls["1014"]["rect"]
    check((banner[2] - banner[0], banner[3] - banner[1]) == (365, 85), "the banner has the picture's size (%s)" % banner)
    state = driver("uncheck", 1)
    check(state["rows"][1]["checked"], "an unchecked row is checked again at once")
    driver("click-row", 0)
    expect_box(driver, screen, "box-row-click.png", "3.0.0.6升级内容:\r\n升级\n第二行", "UpDate", None, state)

    check(driver("press", 1)["pressed"], "下载 pressed")
    state = wait_state(driver, lambda s: s.get("found") and s["controls"]["1006"]["visible"], 10)
    screen.shot("2-download.png", [state["rect"]])
    controls = state["controls"]
    check(not controls["1004"]["visible"] and not controls["1008"]["visible"] and controls["1009"]["visible"]
          and controls["1009"]["text"] == "下载进度：" and not controls["1"]["visible"] and controls["2"]["enabled"],
          "download stage: progress and its label in place of the details, 下载 gone")
    check(state["rows"][0]["status"] == "正在下载...", "row 0 正在下载... (%r)" % state["rows"][0]["status"])

    box = driver("message", 60000)
    state = driver("state")
    check(box.get("found") and box["text"] == CLOSING, "the closing message after both downloads")
    check(state["rows"][0]["status"] == "下载完成。" and state["rows"][1]["status"] == "下载完成。" and state["progress"] == 1000,
          "both rows 下载完成。 and the bar full (%s, %s)" % ([r["status"] for r in state["rows"]], state["progress"]))
    check(client.exists("one.zip") and client.exists("two.zip") and not client.exists("ziro_update")
          and client.read("readme.txt") == "readme 1\n" and not driver("exited", dummy, 0)["exited"],
          "nothing installed and the client running while the closing message shows")
    expect_box(driver, screen, "3-install-closing-box.png", CLOSING, CAPTION, "information", state)

    finished = driver("exited", updater, 60000)
    check(finished.get("exited") and finished.get("code") == 0, "UpDate.exe exits (%s)" % finished)
    check(driver("exited", dummy, 10000).get("exited"), "the running client was stopped")
    check(client.started(2) == "3.0.0.5\n3.0.0.7\n", "the client restarted with the highest version")
    check(client.read("readme.txt") == "readme 3\n", "readme.txt, held open by the running client, replaced: "
          "the client was stopped first")
    check(client.read("ro.txt") == "read-only 2\n" and client.read("sub/new.txt") == "new in sub\n"
          and client.read("old.txt") is None and client.read("shared.txt") == "shared 2\n"
          and client.exists("数据/说明.txt"), "the packages' actions applied in order")
    for gone in ("one.zip", "two.zip", "one.zip.download", "ziro_update", "backup"):
        check(not client.exists(gone), gone + " is gone")
    check(not os.path.exists(os.path.join(run.top, "escape.txt")), "a name leaving the folder was refused")
    if signed:
        check(client.read("update-serial.txt") == "2", "the manifest's serial kept")
    client.write("client-quit", "")


def scenario_refused(run, driver, screen):
    print("--- signed: a forged manifest and a changed package are refused")
    client = Client(run.top, run.args, "refused", key=run.vendor.public_key)
    dummy = driver("start", '"%s" 3.0.0.5' % windows_path(os.path.join(client.path, "ZiroIM2.exe")))["pid"]
    client.started(1)
    forged = run.signed["update.xml"].replace(b"pkgs/two.zip", b"pkgs/one.zip")
    run.serve(forged, None, run.signed["update.xml.sig"])
    updater = driver("start", '"%s" 3.0.0.5' % client.exe)["pid"]
    expect_box(driver, screen, "box-forged-manifest.png", "更新请求失败！", CAPTION, "exclamation")
    check(driver("exited", updater, 30000).get("exited"), "a forged manifest: UpDate.exe exits")

    package = os.path.join(run.www, "im", "pkgs", "two.zip")
    with open(package, "rb") as f:
        good = f.read()
    with open(package, "wb") as f:
        f.write(good[:40] + bytes([good[40] ^ 1]) + good[41:])
    run.serve(run.signed["update.xml"], None, run.signed["update.xml.sig"])
    updater = driver("start", '"%s" 3.0.0.5' % client.exe)["pid"]
    if check(driver("dialog", 30000).get("found"), "the signed manifest is taken"):
        driver("press", 1)
        expect_box(driver, screen, "box-package-refused.png", "下载的更新包 SHA-256 摘要与清单不符", CAPTION,
                   "exclamation", driver("state"))
        check(driver("exited", updater, 30000).get("exited"), "a changed package: UpDate.exe exits")
    with open(package, "wb") as f:
        f.write(good)
    check(not driver("exited", dummy, 0)["exited"] and client.read("readme.txt") == "readme 1\n"
          and not client.exists("two.zip") and not client.exists("two.zip.download") and not client.exists("ziro_update"),
          "nothing installed, the client still running")
    client.write("client-quit", "")


def scenario_no_library(run, driver, screen):
    print("--- UNZDLL.DLL missing")
    client = Client(run.top, run.args, "no-library", with_library=False)
    run.serve(manifest([("3.0.0.6", "pkgs/one.zip", "升级")]))
    dummy = driver("start", '"%s" 3.0.0.5' % windows_path(os.path.join(client.path, "ZiroIM2.exe")))["pid"]
    client.started(1)
    updater = driver("start", '"%s" 3.0.0.5' % client.exe)["pid"]
    if not check(driver("dialog", 30000).get("found"), "the dialog opens"):
        return
    driver("press", 1)
    expect_box(driver, screen, "box-closing-client.png", CLOSING, CAPTION, "information", driver("state"))
    box = driver("message", 30000)
    state = driver("state")
    controls = state["controls"]
    check(controls["1009"]["text"] == "升级进度" and not controls["2"]["enabled"] and state["rows"][0]["status"] == "正在安装更新...",
          "install stage: 升级进度, 取消 disabled, row 0 正在安装更新...")
    check(box.get("found"), "a message box during the installation")
    expect_box(driver, screen, "4-install-unzip-failed.png", "解压缩失败", CAPTION, "exclamation", state)
    finished = driver("exited", updater, 30000)
    check(finished.get("exited"), "UpDate.exe exits")
    check(driver("exited", dummy, 0).get("exited"), "the client was stopped")
    time.sleep(1)
    check(client.read("client-started.txt") == "3.0.0.5\n", "the client is not restarted")
    check(client.exists("one.zip"), "the archive stays")


def scenario_cancel(run, driver, screen):
    print("--- cancel while downloading")
    client = Client(run.top, run.args, "cancel")
    run.serve(manifest([("3.0.0.6", "pkgs/one.zip", "升级"), ("3.0.0.7", "two.zip", "")]),
              {"pkgs/one.zip": {"pace": [100, 0.5]}})
    dummy = driver("start", '"%s" 3.0.0.5' % windows_path(os.path.join(client.path, "ZiroIM2.exe")))["pid"]
    client.started(1)
    updater = driver("start", '"%s" 3.0.0.5' % client.exe)["pid"]
    if not check(driver("dialog", 30000).get("found"), "the dialog opens"):
        return
    driver("press", 1)
    wait_state(driver, lambda s: s.get("found") and s["controls"]["1006"]["visible"], 10)
    time.sleep(1.5)
    check(client.exists("one.zip.download"), "the download is under way")
    check(driver("press", 2)["pressed"], "取消 pressed")
    finished = driver("exited", updater, 30000)
    check(finished.get("exited"), "UpDate.exe exits")
    check(not client.exists("one.zip.download") and not client.exists("one.zip"), "the partial download is removed")
    check(not driver("exited", dummy, 0)["exited"] and client.read("readme.txt") == "readme 1\n",
          "the client keeps running, nothing installed")
    check("/im/two.zip" not in run.requests(), "the next package is not requested")
    client.write("client-quit", "")


def scenario_messages(run, driver, screen):
    print("--- nothing newer, manifest failure, bad command lines")
    client = Client(run.top, run.args, "messages")
    run.serve(manifest([("3.0.0.5", "pkgs/one.zip", ""), ("3.0.0.4", "two.zip", "")]))
    updater = driver("start", '"%s" 3.0.0.5' % client.exe)["pid"]
    expect_box(driver, screen, "box-latest.png", "您的IM已经是最新版本，不需要升级", CAPTION, "information")
    check(driver("exited", updater, 30000).get("exited"), "nothing newer: UpDate.exe exits")

    run.serve(None)
    updater = driver("start", '"%s" 3.0.0.5' % client.exe)["pid"]
    expect_box(driver, screen, "box-request-failed.png", "更新请求失败！", CAPTION, "exclamation")
    check(driver("exited", updater, 30000).get("exited"), "manifest failure: UpDate.exe exits")

    updater = driver("start", '"%s"' % client.exe)["pid"]
    expect_box(driver, screen, "box-bad-version.png", "版本不正确！", CAPTION, "exclamation")
    check(driver("exited", updater, 30000).get("exited"), "no version: UpDate.exe exits")

    bare = Client(run.top, run.args, "bare", with_res=False)
    run.serve(manifest([("3.0.0.6", "pkgs/one.zip", "")]))
    updater = driver("start", "%s 3.0.0.5" % bare.exe)["pid"]
    expect_box(driver, screen, "box-picture-failed.png", "图片加载失败！", CAPTION, "exclamation")
    state = driver("dialog", 30000)
    if check(state.get("found"), "unquoted path: the dialog stays open"):
        screen.shot("empty-dialog.png", [state["rect"]])
        check(state["rows"] == [] and not state["controls"]["1"]["enabled"], "no rows and 下载 not offered")
        check(not driver("press", 1)["pressed"], "下载 cannot be pressed")
        check(run.requests() == "", "nothing requested (%r)" % run.requests())
        driver("press", 2)
        check(driver("exited", updater, 30000).get("exited"), "取消 ends it")


def main():
    parser = argparse.ArgumentParser()
    for name in ("wine-run", "bin", "packages", "out"):
        parser.add_argument("--" + name, required=True)
    client_files = parser.add_mutually_exclusive_group(required=True)
    client_files.add_argument("--res")
    client_files.add_argument("--archive")
    parser.add_argument("--publisher")
    args = parser.parse_args()
    scenarios = (scenario_update,) if args.archive else (scenario_update, scenario_refused, scenario_no_library,
                                                         scenario_cancel, scenario_messages)
    os.makedirs(args.out, exist_ok=True)
    screen = Screen(os.path.join(args.out, "screenshots"))
    run = Run(args)
    server = subprocess.Popen([sys.executable, "-B", SERVER, "--root", run.www, "--port", "8000",
                               "--port-file", os.path.join(run.top, "port")])
    wine = driver = None
    try:
        for _ in range(200):
            if os.path.exists(os.path.join(run.top, "port")):
                break
            time.sleep(0.05)
        wine = Wine(args, screen.display)
        driver = Driver(wine, os.path.join(args.bin, "update-dialog-driver.exe"))
        for scenario in scenarios:
            if scenario is not scenario_refused or run.signed:
                scenario(run, driver, screen)
    finally:
        if driver:
            driver.close()
        if wine:
            wine.stop()
        server.terminate()
        server.wait()
        screen.close()
        shutil.rmtree(run.top, ignore_errors=True)
    print("%d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
