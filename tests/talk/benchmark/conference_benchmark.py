#!/usr/bin/env python3
"""How well the parties of a call hear each other, and what hearing many costs.

- Conference: N tarnel-call parties on 127.0.0.1, each listing all others. Each
  speaks alone for a few seconds in turn, then all speak at once. For every
  listener and talker: the normalised cross-correlation (at the best lag) of
  what the listener played with the talker's speech over the talker's solo
  stretch; and, over the stretch where all speak, with the sum of the other
  parties' speech, each at the lag its solo stretch showed. Beside each figure
  the same talker in a two-party call (same microphone file), and the ratio.
- Relay: a two-party call directly and through a relay that loses 5 %,
  duplicates 2 % and holds back 5 % of the RTP by one packet: the listener's
  correlation with the talker's speech, and the ratio relayed / direct; for
  tarnel-call, for an earlier build (--baseline), and for the established peer
  (two baresip processes, G.711 at ptime 10; its caller listens, the answerer's
  media is routed through the same relay by rewriting the caller's SDP offer).
- Cost: the CPU of one party hearing 15 sources against one hearing a single
  source (a two-party call), from the process's own accounting: (CPU of a long
  call - CPU of a short call) / (long - short), medians over repetitions.
A benchmark, not a test; run through run-conference-benchmark.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "call"))
import callkit  # noqa: E402
import lossy_relay  # noqa: E402

RATE = callkit.RATE
SLOT = 3.2        # seconds of each solo turn
SPOKEN = 2.8      # speech within a turn
TOGETHER = 3.0    # seconds all speak at once
LEAD = 0.8        # before the first turn: every party has begun
VOICES = ["en+m3", "en+f2", "en+m1", "en+f4", "en+m7"]
SENTENCES = ["The quick brown fox jumps over the lazy dog.", "Seven silver swans swam silently south.",
             "A large fawn jumped quickly over white zinc boxes.", "Numbers one two three four five six seven.",
             "She sells sea shells by the sea shore today."]
TOGETHER_SENTENCES = ["Pack my box with five dozen liquor jugs.", "How vexingly quick daft zebras jump.",
                      "The five boxing wizards jump quickly.", "Sphinx of black quartz, judge my vow.",
                      "Waltz, bad nymph, for quick jigs vex."]


def spoken(path, text, voice, seconds):
    wav = path + ".wav"
    subprocess.run(["espeak-ng", "-v", voice, "-s", "160", "-w", wav, text], check=True)
    raw = subprocess.run(["sox", wav, "-t", "raw", "-r", str(RATE), "-c", "1", "-e", "signed", "-b", "16", "-L", "-"],
                         check=True, capture_output=True).stdout
    os.remove(wav)
    speech = np.frombuffer(raw, dtype="<i2").astype(np.float64) * 0.8
    return speech[:int(seconds * RATE)]


class Layout:
    """Where each of n parties speaks: alone in turn, then all together."""

    def __init__(self, n):
        self.n = n
        self.together = (LEAD + n * SLOT, LEAD + n * SLOT + TOGETHER)
        self.seconds = self.together[1] + 0.7

    def solo(self, i):
        return (LEAD + i * SLOT, LEAD + i * SLOT + SPOKEN)

    def microphones(self, work):
        paths = []
        for i in range(self.n):
            samples = np.random.default_rng(i).normal(0, 30, int(self.seconds * RATE))
            for (start, end), text in ((self.solo(i), SENTENCES[i]), (self.together, TOGETHER_SENTENCES[i])):
                speech = spoken(os.path.join(work, "s"), text, VOICES[i], end - start)
                samples[int(start * RATE):int(start * RATE) + len(speech)] += speech
            path = os.path.join(work, f"mic{self.n}-{i}.pcm")
            np.clip(samples, -32768, 32767).astype("<i2").tofile(path)
            paths.append(path)
        return paths


def stretch(samples, span):
    return samples[int(span[0] * RATE):int(span[1] * RATE)]


def ncc(a, b):
    n = min(len(a), len(b))
    a, b = a[:n], b[:n]
    d = np.sqrt(np.dot(a, a) * np.dot(b, b))
    return float(np.dot(a, b) / d) if d > 0 else 0.0


def run_parties(tool, parties, seconds, work, tag):
    """parties: list of (port, mic, [peer ports]); returns the speakers' samples and the statistics."""
    processes = []
    for port, mic, peers in parties:
        processes.append(callkit.start_call(tool, port, [f"127.0.0.1:{p}" for p in peers], mic,
                                            os.path.join(work, f"{tag}-{port}.pcm"), seconds))
    stats = [callkit.finish_call(p, timeout=seconds + 60) for p in processes]
    return [callkit.read_pcm(os.path.join(work, f"{tag}-{port}.pcm")) for port, _, _ in parties], stats


def solo_figure(heard, mic, span):
    """The correlation over the talker's stretch and where in `heard` its microphone's time 0 lies."""
    figure, lag = callkit.best_correlation(stretch(mic, span), heard)
    return figure, lag - int(span[0] * RATE)


def together_figure(heard, mics, span):
    """The correlation over the stretch where all speak with the sum of the talkers'
    speech, each at the lag its own speech there lines up with best."""
    offsets = [callkit.best_correlation(stretch(mic, span), heard)[1] - int(span[0] * RATE) for mic in mics]
    start = max(int(span[0] * RATE) + o for o in offsets)
    end = min(int(span[1] * RATE) + o for o in offsets)
    expected = np.zeros(max(0, end - start))
    for mic, offset in zip(mics, offsets):
        expected += mic[start - offset:end - offset]
    return ncc(heard[start:end], expected)


def conference(tool, layout, mic_paths, work, base_port, tag):
    n = layout.n
    mics = [callkit.read_pcm(p) for p in mic_paths]
    ports = [base_port + 100 * i for i in range(n)]
    parties = [(ports[i], mic_paths[i], [p for p in ports if p != ports[i]]) for i in range(n)]
    heard, stats = run_parties(tool, parties, layout.seconds, work, tag)
    solo, together = {}, {}
    for listener in range(n):
        for talker in range(n):
            if talker != listener:
                solo[(listener, talker)] = solo_figure(heard[listener], mics[talker], layout.solo(talker))[0]
        others = [mics[t] for t in range(n) if t != listener]
        together[listener] = together_figure(heard[listener], others, layout.together)
    return solo, together


def two_party_references(tool, layout, mic_paths, work, base_port):
    """Each talker alone with a silent listener, the same microphone file: its solo and together figures."""
    silent = os.path.join(work, "silent.pcm")
    np.random.default_rng(99).normal(0, 30, int(layout.seconds * RATE)).astype("<i2").tofile(silent)
    refs = {}
    for talker, path in enumerate(mic_paths):
        mic = callkit.read_pcm(path)
        heard, _ = run_parties(tool, [(base_port, path, [base_port + 100]), (base_port + 100, silent, [base_port])],
                               layout.seconds, work, f"ref{layout.n}-{talker}")
        refs[talker] = (solo_figure(heard[1], mic, layout.solo(talker))[0],
                        together_figure(heard[1], [mic], layout.together))
    return refs


def medians(dicts):
    """Key by key, the median of the figures (or of each element of tuples of figures)."""
    def median_of(values):
        if isinstance(values[0], tuple):
            return tuple(statistics.median(v) for v in zip(*values))
        return statistics.median(values)
    return {key: median_of([d[key] for d in dicts]) for key in dicts[0]}


def report_conference(name, layout, solo, together, refs, runs):
    n = layout.n
    print(f"\n{name}: {n} parties, medians of {runs} run(s); correlation of each listener's output with each "
          f"talker alone and with all others together (two-party call with the same talker; ratio)")
    ratios = []
    for listener in range(n):
        cells = []
        for talker in range(n):
            if talker == listener:
                continue
            ours, ref = solo[(listener, talker)], refs[talker][0] if refs else None
            if ref:
                ratios.append(ours / ref)
                cells.append(f"{talker}: {ours:.2f} ({ref:.2f}; {ours / ref:.2f})")
            else:
                cells.append(f"{talker}: {ours:.2f}")
        others = [refs[t][1] for t in range(n) if t != listener] if refs else []
        ref_all = statistics.mean(others) if others else None
        all_cell = (f"all: {together[listener]:.2f} ({ref_all:.2f}; {together[listener] / ref_all:.2f})" if ref_all
                    else f"all: {together[listener]:.2f}")
        if ref_all:
            ratios.append(together[listener] / ref_all)
        print(f"  listener {listener}: " + ", ".join(cells) + ", " + all_cell)
    if ratios:
        print(f"  lowest ratio {min(ratios):.2f}, median {statistics.median(ratios):.2f}")


def relayed_tarnel(tool, mic, seconds, work, base_port, relay_port, relayed, seed):
    talker, listener = base_port, base_port + 100
    target = relay_port if relayed else None
    relay = lossy_relay.PartyRelay(relay_port, talker, listener, seed=seed) if relayed else None
    silent = os.path.join(work, "silent-relay.pcm")
    np.random.default_rng(98).normal(0, 30, int(seconds * RATE)).astype("<i2").tofile(silent)
    try:
        heard, stats = run_parties(tool, [(talker, mic, [target or listener]), (listener, silent, [target or talker])],
                                   seconds, work, f"relay-{relayed}-{base_port}")
    finally:
        if relay:
            relay.close()
    return heard[1], stats[1], relay.injury[talker].counts if relay else None


class PeerPhones:
    """Two baresip processes from the peer set-up's c pair (ptime 10); the caller (port 5070) listens."""

    def __init__(self, setup, modules, work, speech_wav):
        self.dirs = {}
        for side in "AB":
            target = os.path.join(work, f"peer-{side}")
            os.makedirs(target, exist_ok=True)
            for name in ("config", "accounts"):
                text = open(os.path.join(setup, "c" + side, name)).read()
                text = text.replace("@MODS@", modules).replace("@SPEECH_WAV@", speech_wav).replace("@OUT@", work)
                open(os.path.join(target, name), "w").write(text)
            self.dirs[side] = target
        self.heard = os.path.join(work, "cA_out.raw")

    def call(self, seconds, sip_port):
        if os.path.exists(self.heard):
            os.remove(self.heard)
        logs = [open(os.path.join(self.dirs[s], "log"), "w") for s in "AB"]
        b = subprocess.Popen(["baresip", "-4", "-f", self.dirs["B"], "-t", str(seconds + 2)], stdin=subprocess.DEVNULL,
                             stdout=logs[1], stderr=subprocess.STDOUT)
        time.sleep(0.5)
        a = subprocess.Popen(["baresip", "-4", "-f", self.dirs["A"], "-t", str(seconds), "-e",
                              f"/dial sip:b@127.0.0.1:{sip_port}"], stdin=subprocess.DEVNULL, stdout=logs[0],
                             stderr=subprocess.STDOUT)
        a.wait(timeout=seconds + 30)
        b.wait(timeout=seconds + 30)
        return np.fromfile(self.heard, dtype="<i2").astype(np.float64) if os.path.exists(self.heard) else np.zeros(1)


def relayed_peer(phones, seconds, relayed, seed=1):
    if not relayed:
        return phones.call(seconds, 5072), None
    media = lossy_relay.MediaRelay(46900, seed=seed)
    sip = lossy_relay.SipRelay(5080, 5070, 5072, media)
    try:
        return phones.call(seconds, 5080), media.injury.counts
    finally:
        sip.close()
        media.close()


RELAY_WINDOWS = [(1.0, 4.0), (4.0, 7.0), (7.0, 10.0)]


def windowed_figure(mic, heard):
    """The mean over 3 s windows of the talker's speech, each at its own best lag: a stream
    that keeps its timing scores as a whole, one that slides loses within each window."""
    return statistics.mean(callkit.correlation_at_best_lag(stretch(mic, w), heard) for w in RELAY_WINDOWS)


def relay_talker(work, seconds):
    """A talker speaking all through the call, as raw PCM and as WAV for the peer."""
    speech = os.path.join(work, "relay-talker.pcm")
    samples = np.random.default_rng(5).normal(0, 30, int(seconds * RATE))
    voice = spoken(os.path.join(work, "r"), " ".join(SENTENCES), VOICES[0], seconds - 0.5)
    samples[int(0.5 * RATE):int(0.5 * RATE) + len(voice)] += voice
    np.clip(samples, -32768, 32767).astype("<i2").tofile(speech)
    wav = os.path.join(work, "relay-talker.wav")
    subprocess.run(["sox", "-t", "raw", "-r", str(RATE), "-e", "signed", "-b", "16", "-c", "1", speech, wav], check=True)
    return speech, wav


def relay_section(args, work):
    """Per party, the medians over the repetitions (each with its own relay seed) of the
    direct and the relayed figure, and of their ratios."""
    seconds = 13
    speech, wav = relay_talker(work, seconds)
    mic = callkit.read_pcm(speech)
    calls = {}  # party name -> function(relayed, seed) -> what the listener heard
    for name, tool in [("tarnel-call", args.tarnel_call)] + ([("baseline tarnel-call", args.baseline)]
                                                              if args.baseline else []):
        calls[name] = lambda relayed, seed, tool=tool: relayed_tarnel(tool, speech, seconds, work, 44000, 44500,
                                                                      relayed, seed)[0]
    if args.peer_setup:
        phones = PeerPhones(args.peer_setup, args.peer_modules, work, wav)
        calls["peer (baresip, G.711, ptime 10)"] = lambda relayed, seed: relayed_peer(phones, seconds, relayed, seed)[0]
    figures = {name: {False: [], True: []} for name in calls}
    for repetition in range(args.repetitions):
        for name, call in calls.items():
            for relayed in (False, True):
                heard = call(relayed, args.seed + repetition)
                figures[name][relayed].append(windowed_figure(mic, heard) if len(heard) > RATE else 0.0)
            print(f"  [{repetition + 1}/{args.repetitions}] {name}: direct {figures[name][False][-1]:.2f}, "
                  f"relayed {figures[name][True][-1]:.2f}", flush=True)
    print(f"\nrelay (loss 5 %, duplicates 2 %, held back by one packet 5 %): listener's correlation with the talker,"
          f" mean of three 3 s windows; medians of {args.repetitions} repetitions")
    print(f"  {'party':34} {'direct':>7} {'relayed':>8} {'ratio (min-max)':>16}")
    for name, f in figures.items():
        ratios = [r / d for d, r in zip(f[False], f[True]) if d > 0]
        print(f"  {name:34} {statistics.median(f[False]):7.2f} {statistics.median(f[True]):8.2f} "
              f"{statistics.median(ratios):6.2f} ({min(ratios):.2f}-{max(ratios):.2f})")


def cpu_of_listener(tool, sources, seconds, work, base_port):
    """CPU seconds of one party hearing `sources` talkers (it sends to the first only)."""
    listener = base_port
    talkers = [base_port + 100 * (i + 1) for i in range(sources)]
    speech = os.path.join(work, "cost-speech.pcm")
    if not os.path.exists(speech):
        voice = spoken(os.path.join(work, "c"), " ".join(SENTENCES * 3), VOICES[1], 40)
        np.clip(voice, -32768, 32767).astype("<i2").tofile(speech)
    others = [callkit.start_call(tool, p, [f"127.0.0.1:{listener}"], speech, os.devnull, seconds + 2) for p in talkers]
    time.sleep(0.5)
    measured = callkit.start_call(tool, listener, [f"127.0.0.1:{talkers[0]}"], speech, os.devnull, seconds)
    _, status, usage = os.wait4(measured.pid, 0)
    out = measured.stdout.read()
    measured.returncode = os.waitstatus_to_exitcode(status)
    for p in others:
        p.communicate(timeout=seconds + 30)
    heard = out.count('"packets_received"')
    return usage.ru_utime + usage.ru_stime, heard


def cost_section(args, work):
    """Per build, the CPU of a party hearing 1 and 15 sources, the builds taking turns."""
    short, long = 5, 25
    tools = [("tarnel-call", args.tarnel_call)] + ([("baseline tarnel-call", args.baseline)] if args.baseline else [])
    per_second = {(name, n): [] for name, _ in tools for n in (1, 15)}
    for repetition in range(args.repetitions):
        for name, tool in tools:
            for sources in (1, 15):
                cpu = {seconds: cpu_of_listener(tool, sources, seconds, work, 42000)[0] for seconds in (short, long)}
                per_second[(name, sources)].append((cpu[long] - cpu[short]) / (long - short))
                print(f"  [{repetition + 1}/{args.repetitions}] {name}, {sources:2} source(s): "
                      f"{100 * per_second[(name, sources)][-1]:.2f} % of a core", flush=True)
    print(f"\ncost: one party, CPU per second of talk, medians over {args.repetitions} repetitions "
          f"(the talkers are {15} other tarnel-call processes on the same machine)")
    for name, _ in tools:
        one, many = per_second[(name, 1)], per_second[(name, 15)]
        deltas = [m - o for o, m in zip(one, many)]
        print(f"  {name:22} hearing 1 source {100 * statistics.median(one):.2f} %, 15 sources "
              f"{100 * statistics.median(many):.2f} %: +{100 * statistics.median(deltas):.2f} % of a core "
              f"({100 * min(deltas):.2f} to {100 * max(deltas):.2f})")
    if args.baseline:
        extra = [n - b for n, b in zip(per_second[("tarnel-call", 15)], per_second[("baseline tarnel-call", 15)])]
        print(f"  15 sources, this build against the baseline (the same datagrams received): "
              f"+{100 * statistics.median(extra):.2f} % of a core ({100 * min(extra):.2f} to {100 * max(extra):.2f})")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tarnel-call", required=True)
    parser.add_argument("--baseline", help="an earlier build's tarnel-call, measured beside")
    parser.add_argument("--peer-setup", help="the peer's configuration folders (cA cB)")
    parser.add_argument("--peer-modules", help="a module folder for the peer, with nullplay.so")
    parser.add_argument("--only", default="conference,relay,cost")
    parser.add_argument("--parties", default="3,5")
    parser.add_argument("--repetitions", type=int, default=3)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="conference-benchmark.")
    sections = args.only.split(",")
    print(f"load average at start: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    if "conference" in sections:
        for n in (int(x) for x in args.parties.split(",")):
            layout = Layout(n)
            mic_paths = layout.microphones(work)
            runs = [(conference(args.tarnel_call, layout, mic_paths, work, 41000, f"conf{n}"),
                     two_party_references(args.tarnel_call, layout, mic_paths, work, 41000))
                    for _ in range(args.repetitions)]
            solo, together = medians([r[0][0] for r in runs]), medians([r[0][1] for r in runs])
            refs = medians([r[1] for r in runs])
            report_conference("tarnel-call", layout, solo, together, refs, args.repetitions)
            if args.baseline and n == 3:
                solo, together = conference(args.baseline, layout, mic_paths, work, 41000, f"base{n}")
                report_conference("baseline tarnel-call", layout, solo, together, refs, 1)
    if "relay" in sections:
        relay_section(args, work)
    if "cost" in sections:
        cost_section(args, work)
    print(f"load average at end: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
