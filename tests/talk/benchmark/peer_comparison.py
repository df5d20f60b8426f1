#!/usr/bin/env python3
"""CPU of one party of a two-party call over 127.0.0.1: tarnel-call against an
established open-source SIP phone, both measured in the same run.

Every variant is run as a whole call (both parties) once with a short and once
with a long talk; one party is measured from its own accounting (wait4 rusage),
so that (CPU of the long call - CPU of the short one) / (long - short) is the
CPU per second of talk without start-up and shut-down. The variants take turns
within each repetition, and the figures are medians over the repetitions.
During the long calls every thread's context switches are sampled from /proc
over a window of steady talk: the wake-ups per thread.

Run through run-peer-comparison, which installs what this needs, prepares the
peer and starts a private sound server for the ALSA variants.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field

PEER_MODULES = ["g711.so", "aufile.so", "account.so", "menu.so", "alsa.so"]
PEER_MODULE_DIR = "/usr/lib/baresip/modules"


@dataclass
class Sample:
    cpu: float            # seconds, user + system
    switches: int         # voluntary + involuntary context switches
    load: float           # one-minute load average when the call started
    threads: list = field(default_factory=list)  # (name, wake-ups per second), busiest first
    ok: bool = True


# ---------------------------------------------------------------- measuring

def thread_switches(pid):
    """tid -> (name, voluntary + involuntary context switches) for every thread of pid."""
    found = {}
    try:
        tids = os.listdir(f"/proc/{pid}/task")
    except FileNotFoundError:
        return found
    for tid in tids:
        try:
            with open(f"/proc/{pid}/task/{tid}/status") as status:
                fields = dict(line.split(":\t", 1) for line in status.read().splitlines() if ":\t" in line)
            found[tid] = (fields["Name"].strip(),
                          int(fields["voluntary_ctxt_switches"]) + int(fields["nonvoluntary_ctxt_switches"]))
        except (FileNotFoundError, KeyError, ValueError, ProcessLookupError):
            pass
    return found


def wakeups_per_thread(pid, start, settle, window):
    """Wake-ups per second of each thread between start+settle and start+settle+window."""
    time.sleep(max(0.0, start + settle - time.monotonic()))
    before, t0 = thread_switches(pid), time.monotonic()
    time.sleep(window)
    after, t1 = thread_switches(pid), time.monotonic()
    rates = [(name, (count - before[tid][1]) / (t1 - t0)) for tid, (name, count) in after.items() if tid in before]
    return sorted(rates, key=lambda r: -r[1])


def wait_measured(process):
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    return usage.ru_utime + usage.ru_stime, usage.ru_nvcsw + usage.ru_nivcsw, process.returncode


def measure(start_measured, start_other, measured_first, seconds, sample_threads, settle=3.0):
    """Starts both parties half a second apart and measures one of them."""
    load = os.getloadavg()[0]
    processes = []
    try:
        for start in ((start_measured, start_other) if measured_first else (start_other, start_measured)):
            if processes:
                time.sleep(0.5)
            processes.append(start())
        measured = processes[0] if measured_first else processes[1]
        threads = []
        if sample_threads:
            threads = wakeups_per_thread(measured.pid, time.monotonic(), settle, max(1.0, seconds - settle - 2.0))
        cpu, switches, code = wait_measured(measured)
        for p in processes:
            if p is not measured:
                p.wait(timeout=seconds + 30)
        return Sample(cpu, switches, load, threads, code == 0)
    finally:
        for p in processes:
            if p.returncode is None and p.poll() is None:
                p.kill()
                p.wait()


# ---------------------------------------------------------------- the parties

class TarnelCall:
    """Two tarnel-call processes; the one on port 45100 is measured."""

    def __init__(self, name, command, mic, out_dir, devices):
        self.name, self.command, self.mic, self.out, self.devices = name, command, mic, out_dir, devices

    def party(self, port, peer, seconds, tag, stats):
        args = self.command + ["--port", str(port), "--peer", f"127.0.0.1:{peer}", "--seconds", str(seconds)]
        if self.devices:
            args += ["--mic-device", "--speaker-device"]
        else:
            args += ["--mic", self.mic, "--speaker", os.path.join(self.out, f"{tag}.pcm")]
        if stats:
            args.append("--stats")
        out = open(os.path.join(self.out, f"{tag}.log"), "w")
        return subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)

    def run(self, seconds, sample_threads):
        tag = f"{self.name}-{seconds}".replace(" ", "_").replace(",", "")
        sample = measure(lambda: self.party(45100, 45000, seconds, tag + "-B", True),
                         lambda: self.party(45000, 45100, seconds + 2, tag + "-A", False), False, seconds,
                         sample_threads)
        sample.ok = sample.ok and self.heard(os.path.join(self.out, f"{tag}-B.log"), seconds)
        return sample

    @staticmethod
    def heard(log, seconds):
        """The measured party received most of the other's packets (100 per second)."""
        try:
            text = open(log).read()
        except OSError:
            return False
        marker = '"packets_received":'
        at = text.find(marker)
        return at >= 0 and int(text[at + len(marker):].split(",", 1)[0]) >= 80 * seconds


class PeerCall:
    """Two baresip processes from the peer set-up's configuration; party B (port 5072) is measured."""

    def __init__(self, name, setup, pair, work, speech, modules, devices):
        self.name, self.devices = name, devices
        self.dirs = {}
        for side in "AB":
            source = os.path.join(setup, pair + side)
            target = os.path.join(work, f"{name.replace(' ', '_').replace(',', '')}-{side}")
            os.makedirs(target, exist_ok=True)
            for file_name in ("config", "accounts"):
                text = open(os.path.join(source, file_name)).read()
                text = text.replace("@MODS@", modules).replace("@SPEECH_WAV@", speech).replace("@OUT@", work)
                if file_name == "config" and devices:
                    text = self.on_devices(text)
                open(os.path.join(target, file_name), "w").write(text)
            self.dirs[side] = target
        self.out = os.path.join(work, f"{pair}B_out.raw")

    @staticmethod
    def on_devices(config):
        """The same call on ALSA's default PCM (the private sound server) instead of files."""
        lines = []
        for line in config.splitlines():
            key = line.split(None, 1)[0] if line.strip() else ""
            if key == "audio_source":
                line = "audio_source\t\talsa,default"
            elif key == "audio_player":
                line = "audio_player\t\talsa,default"
            elif key == "module" and line.split()[-1] == "aufile.so":
                line += "\nmodule\t\t\talsa.so"
            lines.append(line)
        return "\n".join(lines) + "\n"

    def party(self, side, seconds, dial):
        args = ["baresip", "-4", "-f", self.dirs[side], "-t", str(seconds)]
        if dial:
            args += ["-e", "/dial sip:b@127.0.0.1:5072"]
        log = open(os.path.join(self.dirs[side], "log"), "w")
        return subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)

    def run(self, seconds, sample_threads):
        if os.path.exists(self.out):
            os.remove(self.out)
        sample = measure(lambda: self.party("B", seconds + 2, False), lambda: self.party("A", seconds, True), True,
                         seconds, sample_threads)
        if not self.devices:
            # nullplay writes what it plays: most of the talk must have come through.
            played = os.path.getsize(self.out) if os.path.exists(self.out) else 0
            sample.ok = sample.ok and played >= 16000 * (seconds - 2)
        return sample


class BareAlsaClients:
    """What the sound server's ALSA path costs any client: arecord and aplay alone at 8 kHz mono with the
    periods tarnel-call's backend asks for (10 ms capture, 30 ms playback), measured together."""

    name = "arecord + aplay alone, ALSA"

    def run(self, seconds, sample_threads):
        pcm = f"-q -D default -t raw -f S16_LE -r 8000 -c 1 -d {seconds}"
        script = (f"arecord {pcm} --period-time=10000 --buffer-time=80000 /dev/null & "
                  f"aplay {pcm} --period-time=30000 --buffer-time=90000 /dev/zero & wait")
        load = os.getloadavg()[0]
        # The shell waits for both, so its own accounting includes theirs.
        process = subprocess.Popen(["sh", "-c", script], stdin=subprocess.DEVNULL)
        cpu, switches, code = wait_measured(process)
        return Sample(cpu, switches, load, [], code == 0)


# ---------------------------------------------------------------- report

def median(values):
    return statistics.median(values) if values else float("nan")


def per_second(samples, span):
    """Per repetition, (long call - short call) / span seconds, for CPU and context switches."""
    pairs = list(zip(samples["short"], samples["long"]))
    cpu = [(l.cpu - s.cpu) / span for s, l in pairs]
    switches = [(l.switches - s.switches) / span for s, l in pairs]
    return cpu, switches


def thread_summary(samples):
    """Median wake-ups per second of each thread over the long calls, busiest first. Threads are
    told apart by name, and threads of one name by their rank among them."""
    rates = {}
    for sample in samples:
        seen = {}
        for name, rate in sample.threads:
            seen[name] = seen.get(name, 0) + 1
            rates.setdefault((name, seen[name]), []).append(rate)
    medians = sorted(((median(r), name) for (name, _), r in rates.items()), reverse=True)
    shown = [f"{name} {rate:.0f}" for rate, name in medians if rate >= 0.5]
    idle = len(medians) - len(shown)
    return ", ".join(shown) + (f" (+{idle} idle)" if idle else "")


def report(results, parties, short, long):
    print()
    print(f"one party, per second of talk = (long call - short call) / {long - short} s; medians over "
          f"{len(next(iter(results.values()))['short'])} repetitions")
    header = (f"{'party':34} {'CPU % of a core (min-max)':27} {'ctx sw/s':>9} {'load':>10}  "
              f"ratio to peer (median of the repetitions' ratios, min-max)")
    print(header)
    print("-" * len(header))
    for party in parties:
        samples = results[party.name]
        cpu, switches = per_second(samples, long - short)
        loads = [s.load for runs in samples.values() for s in runs]
        ratio = ""
        # Ours against the peer at the same packet rate, on the same kind of devices.
        peer = "peer ptime 10, " + party.name.rsplit(", ", 1)[1]
        if not party.name.startswith("peer") and peer in results:
            # Each repetition's own ratio first: parties of one repetition shared the machine's load.
            peer_cpu, _ = per_second(results[peer], long - short)
            ratios = [ours / theirs for ours, theirs in zip(cpu, peer_cpu) if theirs > 0]
            ratio = (f"{median(ratios):.2f} ({min(ratios):.2f}-{max(ratios):.2f}) x {peer}" if ratios
                     else f"? x {peer}")
        failed = sum(1 for runs in samples.values() for s in runs if not s.ok)
        note = f"  [{failed} call(s) failed]" if failed else ""
        print(f"{party.name:34} {100 * median(cpu):5.2f} ({100 * min(cpu):.2f}-{100 * max(cpu):.2f}){'':8}"
              f" {median(switches):9.0f} {median(loads):5.2f}/{max(loads):4.2f}  {ratio}{note}")
    print()
    print("wake-ups per second of each thread during the long calls (medians, busiest first):")
    for party in parties:
        print(f"  {party.name:32} {thread_summary(results[party.name]['long'])}")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tarnel-call", required=True, help="the tarnel-call program")
    parser.add_argument("--also", action="append", default=[], metavar="LABEL=COMMAND",
                        help="a further tarnel-call to compare (e.g. an earlier build), run as LABEL; repeatable")
    parser.add_argument("--wine-tarnel-call", metavar="COMMAND",
                        help="tarnel-call.exe with its runner, run on files as a further variant")
    parser.add_argument("--peer-setup", required=True, help="the peer's configuration folders bA bB cA cB")
    parser.add_argument("--peer-modules", required=True, help="folder with nullplay.so")
    parser.add_argument("--speech-wav", required=True)
    parser.add_argument("--speech-pcm", required=True)
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--short", type=int, default=5)
    parser.add_argument("--long", type=int, default=35)
    parser.add_argument("--only", default="", help="comma-separated words; run the variants whose name has one")
    parser.add_argument("--no-devices", action="store_true", help="leave out the ALSA variants")
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="peer-comparison.")
    modules = os.path.join(work, "modules")
    os.makedirs(modules)
    for module in PEER_MODULES:
        os.symlink(os.path.join(PEER_MODULE_DIR, module), os.path.join(modules, module))
    os.symlink(os.path.abspath(os.path.join(args.peer_modules, "nullplay.so")), os.path.join(modules, "nullplay.so"))

    tarnel = [os.path.abspath(args.tarnel_call)]
    parties = [
        TarnelCall("tarnel-call, files", tarnel, args.speech_pcm, work, False),
        PeerCall("peer ptime 10, files", args.peer_setup, "c", work, args.speech_wav, modules, False),
        PeerCall("peer ptime 20, files", args.peer_setup, "b", work, args.speech_wav, modules, False),
    ]
    if not args.no_devices:
        parties += [
            TarnelCall("tarnel-call, ALSA", tarnel, args.speech_pcm, work, True),
            PeerCall("peer ptime 10, ALSA", args.peer_setup, "c", work, args.speech_wav, modules, True),
            PeerCall("peer ptime 20, ALSA", args.peer_setup, "b", work, args.speech_wav, modules, True),
            BareAlsaClients(),
        ]
    for also in args.also:
        label, command = also.split("=", 1)
        parties.append(TarnelCall(f"{label}, files", command.split(), args.speech_pcm, work, False))
        if not args.no_devices:
            parties.append(TarnelCall(f"{label}, ALSA", command.split(), args.speech_pcm, work, True))
    if args.wine_tarnel_call:
        parties.append(TarnelCall("tarnel-call.exe, Wine, files", args.wine_tarnel_call.split(), args.speech_pcm,
                                  work, False))
    if args.only:
        words = args.only.split(",")
        parties = [p for p in parties if any(w in p.name for w in words)]

    results = {p.name: {"short": [], "long": []} for p in parties}
    print(f"load average at start: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    for repetition in range(args.repetitions):
        for length, seconds in (("long", args.long), ("short", args.short)):
            for party in parties:
                sample = party.run(seconds, length == "long")
                results[party.name][length].append(sample)
                flag = "" if sample.ok else "  CALL FAILED"
                print(f"  [{repetition + 1}/{args.repetitions}] {party.name:32} {seconds:3d} s: "
                      f"cpu {sample.cpu:6.3f} s, {sample.switches:6d} switches, load {sample.load:.2f}{flag}",
                      flush=True)
    print(f"load average at end: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    report(results, parties, args.short, args.long)
    return 0


if __name__ == "__main__":
    sys.exit(main())
