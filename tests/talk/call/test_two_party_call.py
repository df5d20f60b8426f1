"""Two and three tarnel-call processes talk over UDP on 127.0.0.1 with virtual devices."""
import argparse
import os
import subprocess
import sys
import tempfile
import time
import unittest

import numpy as np

import callkit

ARGS = None


def codec_round_trip(g729a, pcm, workdir):
    """What a receiver should play: the sent speech through the codec."""
    bits, back = os.path.join(workdir, "ref.bit"), os.path.join(workdir, "ref.pcm")
    subprocess.run([g729a, "encode", pcm, bits], check=True)
    subprocess.run([g729a, "decode", bits, back], check=True)
    return callkit.read_pcm(back)


def tshark_count(pcap, ports, display_filter):
    decode = []
    for port in ports:
        decode += ["-d", f"udp.port=={port},rtp", "-d", f"udp.port=={port + 1},rtcp"]
    out = subprocess.run(["tshark", "-n", "-r", pcap, *decode, "-Y", display_filter],
                         check=True, capture_output=True, text=True).stdout
    return len([line for line in out.splitlines() if line.strip()])


class TwoPartyCall(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="tarnel-call-")
        d = cls.dir
        cls.port_a, cls.port_b = ARGS.port_base, ARGS.port_base + 100
        cls.mic_a = callkit.make_speech(os.path.join(d, "a.pcm"), "The quick brown fox jumps over the lazy dog. "
                                        "Seven silver swans swam silently south. A large fawn jumped "
                                        "quickly over white zinc boxes near the old mill.", 14)
        cls.mic_b = callkit.make_speech(os.path.join(d, "b.pcm"), "Hello from the other side of the call. "
                                        "Numbers one two three four five six.", 8)
        # B starts once A talks (however long A's start took) and ends first, so
        # A hears B's goodbye and both see a report cycle in which the other
        # has already heard their report.
        a = callkit.start_call(ARGS.tool, cls.port_a, [f"127.0.0.1:{cls.port_b}"], cls.mic_a,
                               os.path.join(d, "a_out.pcm"), 10 + ARGS.stagger + 1.5,
                               pcap=os.path.join(d, "a.pcap"), emulator=ARGS.emulator_a)
        callkit.wait_until_sending(a, os.path.join(d, "a.pcap"))
        time.sleep(ARGS.stagger)
        b = callkit.start_call(ARGS.tool_b or ARGS.tool, cls.port_b, [f"127.0.0.1:{cls.port_a}"], cls.mic_b,
                               os.path.join(d, "b_out.pcm"), 10, pcap=os.path.join(d, "b.pcap"), emulator=None)
        cls.stats_b = callkit.finish_call(b)
        cls.stats_a = callkit.finish_call(a)

    def test_each_side_hears_the_other_without_loss_and_measures_round_trip(self):
        for stats, peer_port in ((self.stats_a, self.port_b), (self.stats_b, self.port_a)):
            source = callkit.source_from(stats, peer_port)
            self.assertGreater(source["packets_received"], 800)
            self.assertEqual(source["lost"], 0)
            self.assertIsNotNone(source["round_trip_ms"])
            self.assertLess(source["round_trip_ms"], 200)
            self.assertGreaterEqual(stats["rtcp_received"]["SR"], 1)
            self.assertGreaterEqual(stats["rtcp_received"]["RR"], 1)
            self.assertGreaterEqual(stats["rtcp_received"]["SDES"], 2)
            self.assertNotEqual(stats["ssrc"], 0)
        self.assertEqual(self.stats_a["rtcp_received"]["BYE"], 1)
        self.assertTrue(callkit.source_from(self.stats_a, self.port_b)["departed"])
        self.assertNotEqual(self.stats_a["ssrc"], self.stats_b["ssrc"])

    def test_sent_packets_and_octets_count_voice_at_forty_bytes(self):
        for stats in (self.stats_a, self.stats_b):
            self.assertGreater(stats["packets_sent"], 900)
            self.assertEqual(stats["octets_sent"], 40 * stats["packets_sent"])

    def test_received_audio_is_the_sent_speech_through_the_codec(self):
        if not ARGS.g729a:
            self.skipTest("no codec tool given")
        # B hears A only from the moment it started, and its decoder needs a moment to settle.
        for heard, sent, skip in (("a_out.pcm", self.mic_b, 1.0), ("b_out.pcm", self.mic_a, ARGS.stagger + 1.0)):
            start = int(skip * callkit.RATE)
            reference = codec_round_trip(ARGS.g729a, sent, self.dir)[start:start + 4 * callkit.RATE]
            received = callkit.read_pcm(os.path.join(self.dir, heard))
            lag = callkit.best_lag(reference, received, len(received) - len(reference))
            snr = callkit.segmental_snr(reference, received, lag)
            print(f"{heard}: lag {lag} samples, segmental SNR {snr:.1f} dB", file=sys.stderr)
            self.assertGreater(snr, 20.0)
            self.assertLess(np.abs(received[:240]).max(), 1.0)  # starts with silence

    def test_captures_dissect_cleanly_with_reports_from_our_ssrc(self):
        ports = (self.port_a, self.port_b)
        # B hangs up first: its goodbye also removes A's destination, so only B's capture holds a BYE.
        for name, stats, peer, types in (("a.pcap", self.stats_a, self.stats_b, (200, 201, 202)),
                                         ("b.pcap", self.stats_b, self.stats_a, (200, 201, 202, 203))):
            pcap = os.path.join(self.dir, name)
            ssrc = stats["ssrc"]
            self.assertEqual(tshark_count(pcap, ports, "_ws.malformed || _ws.expert.severity == error"), 0)
            self.assertGreater(tshark_count(pcap, ports, f"rtp.ssrc == {ssrc} && rtp.p_type == 98"), 900)
            self.assertGreater(tshark_count(pcap, ports, f"rtp.ssrc == {peer['ssrc']}"), 800)
            for packet_type in types:
                self.assertGreaterEqual(
                    tshark_count(pcap, ports, f"rtcp.pt == {packet_type} && "
                                              f"(rtcp.senderssrc == {ssrc} || rtcp.ssrc.identifier == {ssrc})"),
                    1, f"{name}: RTCP type {packet_type} from our SSRC")


class ThreePartyCall(unittest.TestCase):
    """A speaks, then B; C only listens; everyone lists the other two as peers. Each
    listener hears each talker apart, however their packets interleave."""

    A_SPEECH = (0.3, 2.7)  # seconds into each talker's microphone; B starts after A
    B_SPEECH = (3.0, 5.6)

    def test_each_listener_hears_each_talker(self):
        d = tempfile.mkdtemp(prefix="tarnel-three-")
        ports = {who: ARGS.port_base + 800 + 100 * i for i, who in enumerate("abc")}
        mics = {"a": callkit.speech_at(os.path.join(d, "a.pcm"), "The quick brown fox jumps over the lazy dog.",
                                       self.A_SPEECH[0], 7),
                "b": callkit.speech_at(os.path.join(d, "b.pcm"), "Numbers one two three four five six.",
                                       self.B_SPEECH[0], 7),
                "c": callkit.speech_at(os.path.join(d, "c.pcm"), "", 7, 7)}

        def start(who, seconds, tool=None, emulator=None):
            peers = [f"127.0.0.1:{ports[other]}" for other in "abc" if other != who]
            return callkit.start_call(tool or ARGS.tool, ports[who], peers, mics[who], os.path.join(d, f"{who}_out.pcm"),
                                      seconds, pcap=os.path.join(d, f"{who}.pcap"), emulator=emulator)

        # C listens before A (under the emulator, when there is one) begins, and B once A talks.
        c = start("c", 7.5 + 2 * ARGS.stagger, tool=ARGS.tool_b)
        callkit.wait_until_sending(c, os.path.join(d, "c.pcap"))
        a = start("a", 6.5 + ARGS.stagger, emulator=ARGS.emulator_a)
        callkit.wait_until_sending(a, os.path.join(d, "a.pcap"))
        b = start("b", 6.5, tool=ARGS.tool_b)
        stats = {"a": callkit.finish_call(a), "b": callkit.finish_call(b), "c": callkit.finish_call(c)}

        def heard(listener, talker, stretch):
            reference = callkit.read_pcm(mics[talker])[int(stretch[0] * callkit.RATE):int(stretch[1] * callkit.RATE)]
            received = callkit.read_pcm(os.path.join(d, f"{listener}_out.pcm"))
            return callkit.correlation_despite_slips(reference, received)

        for listener, talker, stretch in (("c", "a", self.A_SPEECH), ("c", "b", self.B_SPEECH),
                                          ("a", "b", self.B_SPEECH)):
            figure = heard(listener, talker, stretch)
            print(f"{listener} hears {talker}: correlation {figure:.2f}", file=sys.stderr)
            self.assertGreater(figure, 0.5, f"{listener} hearing {talker}")
        sources = stats["c"]["sources"]
        self.assertEqual(sorted(s["port"] for s in sources), [ports["a"], ports["b"]])
        for source in sources:
            self.assertEqual(source["frames"], {"concealed": 0, "duplicates": 0, "late": 0})


class FaultsInjected(unittest.TestCase):
    def test_statistics_match_the_injected_loss_duplication_and_reordering(self):
        d = tempfile.mkdtemp(prefix="tarnel-faults-")
        port_a, port_b, port_relay = ARGS.port_base + 200, ARGS.port_base + 300, ARGS.port_base + 400
        relay = callkit.FaultyRelay(port_relay, port_a, port_b, drop=(50, 51, 120, 300),
                                    duplicate=(200, 310), swap_after=(250, 350))
        try:
            mic = callkit.make_speech(os.path.join(d, "a.pcm"), "Testing one two three.", 5)
            b = callkit.start_call(ARGS.tool, port_b, [f"127.0.0.1:{port_relay}"], mic, os.path.join(d, "b.pcm"), 6)
            time.sleep(0.5)
            a = callkit.start_call(ARGS.tool, port_a, [f"127.0.0.1:{port_relay}"], mic, os.path.join(d, "a.pcm.out"),
                                   4)
            callkit.finish_call(a)
            stats_b = callkit.finish_call(b)
        finally:
            relay.close()
        source = callkit.source_from(stats_b, port_relay)
        self.assertEqual(relay.dropped, 4)
        self.assertEqual(source["lost"], 4)
        self.assertEqual(source["packets_received"], relay.forwarded_from_a)


class HostileRelayCall(unittest.TestCase):
    """A call through a relay that drops half of all datagrams, duplicates and
    reorders a tenth and flips a bit in one in a hundred, for --hostile-seconds
    of talk (60 by default)."""

    def test_call_survives_and_statistics_match_what_the_relay_did(self):
        seconds = ARGS.hostile_seconds
        d = tempfile.mkdtemp(prefix="tarnel-hostile-")
        port_a, port_b, port_relay = ARGS.port_base + 500, ARGS.port_base + 600, ARGS.port_base + 700
        sentence = "The quick brown fox jumps over the lazy dog while seven swans swim south. "
        mic_a = callkit.make_speech(os.path.join(d, "a.pcm"), sentence * (seconds // 4 + 1), seconds + 3)
        mic_b = callkit.make_speech(os.path.join(d, "b.pcm"), "Numbers one two three. " * (seconds // 2 + 1),
                                    seconds + 3)
        relay = callkit.HostileRelay(port_relay, port_a, port_b, seed=ARGS.seed)
        try:
            b = callkit.start_call(ARGS.tool, port_b, [f"127.0.0.1:{port_relay}"], mic_b,
                                   os.path.join(d, "b_out.pcm"), seconds + 2)
            a = callkit.start_call(ARGS.tool, port_a, [f"127.0.0.1:{port_relay}"], mic_a,
                                   os.path.join(d, "a_out.pcm"), seconds)
            stats_a = callkit.finish_call(a, timeout=seconds + 60)
            stats_b = callkit.finish_call(b, timeout=seconds + 60)
        finally:
            relay.close()
        print(f"relay: {relay.counts}, flipped RTP delivered {relay.flipped_rtp}", file=sys.stderr)
        for sender in ("a", "b"):
            counts = relay.counts[sender]
            self.assertAlmostEqual(counts["dropped"] / counts["seen"], 0.5, delta=0.06)

        # B, which hangs up last, heard everything the relay let through from A.
        entries = [s for s in stats_b["sources"] if s["ssrc"] == stats_a["ssrc"]]
        self.assertTrue(entries, "B has no statistics of A")
        received = sum(s["packets_received"] for s in entries)
        lost = sum(s["lost"] for s in entries)
        intact, flipped = set(relay.intact["a"]), relay.flipped_rtp["a"]
        print(f"B of A: received {received}, lost {lost}; relay: {len(intact)} intact, {flipped} flipped",
              file=sys.stderr)
        self.assertGreaterEqual(received, len(intact) - flipped)
        self.assertLessEqual(received, len(intact) + flipped)
        missing = max(intact) - min(intact) + 1 - len(intact)
        self.assertLessEqual(abs(lost - missing), 2 * flipped + 2)
        # A hung up first: what the relay sent B's way afterwards went nowhere.
        entries = [s for s in stats_a["sources"] if s["ssrc"] == stats_b["ssrc"]]
        self.assertTrue(entries, "A has no statistics of B")
        self.assertLessEqual(sum(s["packets_received"] for s in entries),
                             len(set(relay.intact["b"])) + relay.flipped_rtp["b"])

        # Speech still comes through: most 30 ms blocks while A talked carry sound.
        heard = callkit.read_pcm(os.path.join(d, "b_out.pcm"))[callkit.RATE:(seconds - 1) * callkit.RATE]
        blocks = heard[:len(heard) // 240 * 240].reshape(-1, 240)
        loud = np.sqrt((blocks ** 2).mean(axis=1)) > 100
        print(f"B's speaker: {loud.mean():.2f} of the blocks carry sound", file=sys.stderr)
        self.assertGreater(loud.mean(), 0.3)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--tool-b", help="the second party's program, when it differs")
    parser.add_argument("--emulator-a", help="runs the first party's program, e.g. under Wine")
    parser.add_argument("--g729a")
    parser.add_argument("--port-base", type=int, default=47000)
    parser.add_argument("--stagger", type=float, default=1.0,
                        help="seconds between the two starts; more when the first program starts slowly")
    parser.add_argument("--hostile-seconds", type=int, default=60, help="length of the call through the hostile relay")
    parser.add_argument("--seed", type=int, default=1, help="the hostile relay's random seed")
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
