"""Helpers for the call tests: test speech, running tarnel-call, a UDP relay
that injects faults, and aligning received audio with what was sent."""
import json
import os
import random
import socket
import subprocess
import threading
import time

import numpy as np

RATE = 8000
PCAP_HEADER_BYTES = 24


def make_speech(path, text, seconds):
    """Raw 16-bit mono 8 kHz speech from espeak-ng, padded or cut to `seconds`,
    with a little noise so no frame is digital silence."""
    wav = path + ".wav"
    subprocess.run(["espeak-ng", "-s", "150", "-w", wav, text], check=True)
    raw = subprocess.run(["sox", wav, "-t", "raw", "-r", str(RATE), "-c", "1", "-e", "signed",
                          "-b", "16", "-L", "-"], check=True, capture_output=True).stdout
    os.remove(wav)
    speech = np.frombuffer(raw, dtype="<i2").astype(np.float64)
    samples = np.zeros(int(seconds * RATE))
    n = min(len(speech), len(samples))
    samples[:n] = speech[:n] * 0.8
    samples += np.random.default_rng(7).normal(0, 30, len(samples))
    np.clip(samples, -32768, 32767).astype("<i2").tofile(path)
    return path


def read_pcm(path):
    return np.fromfile(path, dtype="<i2").astype(np.float64)


def start_call(tool, port, peers, mic, speaker, seconds, pcap=None, emulator=None):
    command = ([emulator] if emulator else []) + [tool, "--port", str(port), "--mic", mic,
                                                  "--speaker", speaker, "--seconds", str(seconds), "--stats"]
    for peer in peers:
        command += ["--peer", peer]
    if pcap:
        command += ["--pcap", pcap]
    return subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def wait_until_sending(process, pcap, timeout=60):
    """Waits for the party's first packet in its capture file: its talk has begun, however long its start took."""
    deadline = time.monotonic() + timeout
    while (os.path.getsize(pcap) if os.path.exists(pcap) else 0) <= PCAP_HEADER_BYTES:
        if process.poll() is not None or time.monotonic() > deadline:
            raise AssertionError(f"{pcap}: the party sent nothing")
        time.sleep(0.05)


def finish_call(process, timeout=60):
    out, err = process.communicate(timeout=timeout)
    if process.returncode != 0:
        raise AssertionError(f"tarnel-call exited {process.returncode}: {err}")
    lines = [line for line in out.splitlines() if line.strip()]
    return json.loads(lines[-1])


def source_from(stats, port):
    """The source entry of the peer whose RTP port is `port`."""
    found = [s for s in stats["sources"] if s["port"] == port]
    if not found:
        raise AssertionError(f"no source with port {port} in {stats}")
    return found[0]


def best_lag(reference, received, max_lag):
    """Lag of `reference` inside `received` maximising the correlation of envelopes, then refined."""
    step = 8
    env_ref = np.abs(reference[: len(reference) // step * step]).reshape(-1, step).mean(axis=1)
    env_rec = np.abs(received[: len(received) // step * step]).reshape(-1, step).mean(axis=1)
    env_ref -= env_ref.mean()
    env_rec -= env_rec.mean()
    corr = np.correlate(env_rec, env_ref, mode="full")[len(env_ref) - 1:]
    coarse = int(np.argmax(corr[: max(1, max_lag // step)])) * step
    lo, hi = max(0, coarse - 2 * step), coarse + 2 * step
    window = reference[: min(len(reference), 16000)]
    scores = [np.dot(received[lag:lag + len(window)], window) if lag + len(window) <= len(received) else -1e300
              for lag in range(lo, hi + 1)]
    return lo + int(np.argmax(scores))


def best_correlation(reference, received):
    """(normalised cross-correlation, lag): `reference` against the stretch of
    `received` that it lines up with best, over every lag."""
    n = len(reference)
    if len(received) < n or n == 0:
        return 0.0, 0
    size = 1 << int(np.ceil(np.log2(len(received) + n)))
    dots = np.fft.irfft(np.fft.rfft(received, size) * np.conj(np.fft.rfft(reference, size)), size)
    energy = np.concatenate(([0.0], np.cumsum(received ** 2)))
    lags = np.arange(len(received) - n + 1)
    window = np.maximum(energy[lags + n] - energy[lags], 1e-9)
    scores = dots[lags] / np.sqrt(window * max(np.dot(reference, reference), 1e-9))
    lag = int(np.argmax(scores))
    return float(scores[lag]), lag


def correlation_at_best_lag(reference, received):
    return best_correlation(reference, received)[0]


def correlation_despite_slips(reference, received, window=3200, slack=800):
    """Median correlation of `reference`'s windows, each at its own best lag within
    `slack` samples of the whole's: a device that ran dry under load shifts the rest
    of the stream by a few frames, which one lag for the whole would count as noise."""
    lag = best_correlation(reference, received)[1]
    figures = []
    for start in range(0, len(reference) - window + 1, window):
        near = received[max(0, lag + start - slack):lag + start + window + slack]
        figures.append(best_correlation(reference[start:start + window], near)[0])
    return float(np.median(figures)) if figures else 0.0


def speech_at(path, text, start, seconds):
    """Like make_speech, with the speech beginning `start` seconds in; without
    text, only the faint noise."""
    samples = np.random.default_rng(11).normal(0, 30, int(seconds * RATE))
    if text:
        make_speech(path, text, seconds - start)
        speech = read_pcm(path)
        samples[int(start * RATE):int(start * RATE) + len(speech)] = speech
    np.clip(samples, -32768, 32767).astype("<i2").tofile(path)
    return path


def segmental_snr(reference, received, lag, segment=240, search=240):
    """Mean SNR (dB) over speech segments, each matched within +-search samples of
    `lag` so that a dropped or repeated block does not spoil the rest."""
    values = []
    energy_floor = 1e6 * segment
    for start in range(0, len(reference) - segment, segment):
        ref = reference[start:start + segment]
        if np.dot(ref, ref) < energy_floor:
            continue
        best = None
        for offset in range(lag + start - search, lag + start + search + 1, 8):
            if offset < 0 or offset + segment > len(received):
                continue
            err = received[offset:offset + segment] - ref
            noise = np.dot(err, err)
            best = noise if best is None else min(best, noise)
        if best is not None:
            values.append(10 * np.log10(np.dot(ref, ref) / max(best, 1.0)))
    return float(np.mean(values)) if values else float("-inf")


class PortPairRelay:
    """Two UDP sockets on a pair of ports (talk and control), each served by a
    thread that runs self._run(index) until close()."""

    def _start(self, port, receive_buffer=0):
        self.sockets = []
        for p in (port, port + 1):
            s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            if receive_buffer:
                s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, receive_buffer)
            s.bind(("127.0.0.1", p))
            s.settimeout(0.2)
            self.sockets.append(s)
        self.running = True
        self.threads = [threading.Thread(target=self._run, args=(i,), daemon=True) for i in range(2)]
        for t in self.threads:
            t.start()

    def close(self):
        self.running = False
        for t in self.threads:
            t.join()
        for s in self.sockets:
            s.close()


class FaultyRelay(PortPairRelay):
    """Forwards UDP between two parties on a pair of ports; voice from A to B
    can be dropped, duplicated or held back by sequence number."""

    def __init__(self, port, party_a, party_b, drop=(), duplicate=(), swap_after=()):
        self.port, self.a, self.b = port, party_a, party_b
        self.drop, self.duplicate, self.swap_after = set(drop), set(duplicate), set(swap_after)
        self.forwarded_from_a = 0
        self.dropped = 0
        self._start(port)

    def _run(self, index):
        s = self.sockets[index]
        held = None
        while self.running:
            try:
                data, sender = s.recvfrom(65536)
            except socket.timeout:
                continue
            from_a = sender[1] in (self.a, self.a + 1)
            target = ("127.0.0.1", (self.b if from_a else self.a) + index)
            if index == 1 or not from_a or len(data) < 12:
                s.sendto(data, target)
                continue
            sequence = int.from_bytes(data[2:4], "big")
            if sequence in self.drop:
                self.dropped += 1
                continue
            self.forwarded_from_a += 1
            if sequence in self.swap_after:
                held = data  # goes out after the next packet
                continue
            s.sendto(data, target)
            if sequence in self.duplicate:
                s.sendto(data, target)
            if held is not None:
                s.sendto(held, target)
                held = None


class HostileRelay(PortPairRelay):
    """Forwards UDP between two parties on a pair of ports (RTP and RTCP), in
    both directions, dropping, duplicating, reordering (holding a datagram back
    behind the next one) and flipping one random bit of datagrams at random.
    Nothing passes until both parties have been heard, so that every datagram
    forwarded reaches a party that is listening. For each direction's RTP it
    records what it delivered: the sequence numbers of intact datagrams and the
    number of flipped ones."""

    def __init__(self, port, party_a, party_b, drop=0.5, duplicate=0.1, reorder=0.1, flip=0.01, seed=1):
        self.port, self.a, self.b = port, party_a, party_b
        self.drop, self.duplicate, self.reorder, self.flip = drop, duplicate, reorder, flip
        self.random = random.Random(seed)
        self.lock = threading.Lock()
        self.heard = set()
        self.counts = {key: dict(seen=0, dropped=0, duplicated=0, reordered=0, flipped=0)
                       for key in ("a", "b")}
        self.intact = {"a": [], "b": []}   # sequence numbers of intact RTP delivered, per sender
        self.flipped_rtp = {"a": 0, "b": 0}
        self._start(port, receive_buffer=1 << 20)

    def _deliver(self, index, sender, data, flipped, target):
        self.sockets[index].sendto(data, target)
        if index == 0 and len(data) >= 12:
            if flipped:
                self.flipped_rtp[sender] += 1
            else:
                self.intact[sender].append(int.from_bytes(data[2:4], "big"))

    def _run(self, index):
        s = self.sockets[index]
        held = None
        while self.running:
            try:
                data, source = s.recvfrom(65536)
            except socket.timeout:
                if held is not None:
                    with self.lock:
                        self._deliver(index, *held)
                    held = None
                continue
            sender = "a" if source[1] in (self.a, self.a + 1) else "b"
            target = ("127.0.0.1", (self.b if sender == "a" else self.a) + index)
            with self.lock:
                self.heard.add(sender)
                if len(self.heard) < 2:
                    continue
                counts, rnd = self.counts[sender], self.random
                counts["seen"] += 1
                if rnd.random() < self.drop:
                    counts["dropped"] += 1
                    continue
                flipped = rnd.random() < self.flip
                if flipped:
                    counts["flipped"] += 1
                    bit = rnd.randrange(len(data) * 8)
                    data = bytearray(data)
                    data[bit // 8] ^= 0x80 >> (bit % 8)
                    data = bytes(data)
                if held is None and rnd.random() < self.reorder:
                    counts["reordered"] += 1
                    held = (sender, data, flipped, target)
                    continue
                copies = 2 if rnd.random() < self.duplicate else 1
                counts["duplicated"] += copies - 1
                for _ in range(copies):
                    self._deliver(index, sender, data, flipped, target)
                if held is not None:
                    self._deliver(index, *held)
                    held = None
