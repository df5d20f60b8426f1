#!/usr/bin/env python3
"""The lumvox tool end to end on the virtual devices: a recording from a PCM
file as the microphone, its pack text, playback into a PCM file, and the
failures a user meets."""
import base64
import math
import os
import struct
import subprocess
import sys
import tempfile

tool = sys.argv[1]
work = tempfile.mkdtemp()


def run(*args, expect=0):
    result = subprocess.run([tool, *args], capture_output=True, text=True, timeout=60)
    assert result.returncode == expect, f"{args}: exit {result.returncode}\n{result.stdout}{result.stderr}"
    assert expect == 0 or result.stderr.startswith("lumvox: "), result.stderr
    return result.stdout


def path(name):
    return os.path.join(work, name)


said = b"".join(struct.pack("<h", int(7000 * math.sin(2 * math.pi * 300 * i / 8000) * math.sin(math.pi * i / 8000)))
                for i in range(8000 * 3))
with open(path("mic.pcm"), "wb") as f:
    f.write(said)

out = run("record", "--seconds", "2", "--mic", path("mic.pcm"), path("message.txt"))
text = open(path("message.txt"), "rb").read()
blocks = len(text) // 640
assert len(text) % 640 == 0 and 64 <= blocks <= 68, (len(text), out)
assert f"{blocks} blocks, {len(text)} characters" in out, out
pcm = base64.b64decode(text, validate=True)
assert pcm == said[:len(pcm)], "the text is not what the microphone heard"

info = run("info", path("message.txt"))
assert info.splitlines() == [f"blocks: {blocks}", f"seconds: {blocks // 33} ({blocks * 0.03:.2f} s of audio)",
                             f"bytes: {len(pcm)}"], info

run("play", "--speaker", path("played.pcm"), path("message.txt"))
played = open(path("played.pcm"), "rb").read()
assert played[:3840] == bytes(3840), "playback does not start with 240 ms of silence"
assert played[3840:3840 + len(pcm)] == pcm, "playback is not the message"
assert played[3840 + len(pcm):] == bytes(len(played) - 3840 - len(pcm))

# A final newline from an editor is fine; a broken chunk is not.
with open(path("newline.txt"), "wb") as f:
    f.write(text + b"\n")
assert run("info", path("newline.txt")) == info
with open(path("broken.txt"), "wb") as f:
    f.write(text[:700] + b"*" + text[701:])
run("play", "--speaker", path("never.pcm"), path("broken.txt"), expect=1)
assert not os.path.exists(path("never.pcm")) or os.path.getsize(path("never.pcm")) == 0
run("info", path("missing.txt"), expect=1)
open(path("empty.txt"), "wb").close()
run("info", path("empty.txt"), expect=1)
run("record", "--mic", path("nothing-here.pcm"), "--seconds", "1", path("x.txt"), expect=1)
for bad in (["record", path("x.txt")], ["record", "--seconds", "0", path("x.txt")], ["play"],
            ["info", "a.txt", "b.txt"], ["erase", "a.txt"], ["info", "--speaker", "x", "a.txt"]):
    run(*bad, expect=2)
print("lumvox tool: record, info, play and the failures behave")
