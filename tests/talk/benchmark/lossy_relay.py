#!/usr/bin/env python3
"""A UDP relay that injures RTP the way a poor network does: of the datagrams
going one way, a share is lost, a share delivered twice and a share held back
behind the next one (reordered by one packet). RTCP passes untouched.

Two ways to stand in a call:
  - between two tarnel-call parties, which both name the relay's port pair as
    their peer (PartyRelay: forwards by the sender's port);
  - in front of a SIP phone's media (MediaRelay): the phone's SDP is rewritten
    by SipRelay, which forwards the signalling between two phones, so that the
    answerer's RTP comes to the relay, which passes it on to the caller.
Run as a program it relays between two tarnel-call parties until interrupted:
    lossy_relay.py RELAY_PORT PORT_A PORT_B [--loss 0.05 --duplicate 0.02 --hold 0.05 --seed 1]
"""
import argparse
import os
import random
import re
import socket
import sys
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "call"))
import callkit  # noqa: E402

LOSS, DUPLICATE, HOLD = 0.05, 0.02, 0.05


class Injury:
    """The faults of one direction's RTP, drawn from a seeded generator."""

    def __init__(self, loss=LOSS, duplicate=DUPLICATE, hold=HOLD, seed=1):
        self.loss, self.duplicate, self.hold = loss, duplicate, hold
        self.random = random.Random(seed)
        self.held = None
        self.counts = dict(seen=0, lost=0, duplicated=0, held=0)

    def pass_on(self, datagram, send):
        """Sends what is left of `datagram` (and any datagram held behind it)."""
        self.counts["seen"] += 1
        draw = self.random.random()
        if draw < self.loss:
            self.counts["lost"] += 1
            return
        if draw < self.loss + self.hold and self.held is None:
            self.counts["held"] += 1
            self.held = datagram
            return
        send(datagram)
        if self.random.random() < self.duplicate:
            self.counts["duplicated"] += 1
            send(datagram)
        if self.held is not None:
            send(self.held)
            self.held = None


class _Relay(callkit.PortPairRelay):
    """A port pair whose datagrams go to self._on(index, data, sender), one at a time."""

    def _run(self, index):
        while self.running:
            try:
                data, sender = self.sockets[index].recvfrom(65536)
            except socket.timeout:
                continue
            with self.lock:
                self._on(index, data, sender)

    def _serve(self, port):
        self.lock = threading.Lock()
        self._start(port, receive_buffer=1 << 20)


class PartyRelay(_Relay):
    """Stands between two tarnel-call parties on the port pair `port`, `port` + 1;
    both directions' RTP are injured, each with its own generator."""

    def __init__(self, port, party_a, party_b, seed=1, **rates):
        self.a, self.b = party_a, party_b
        self.injury = {party_a: Injury(seed=seed, **rates), party_b: Injury(seed=seed + 1, **rates)}
        self._serve(port)

    def _on(self, index, data, sender):
        from_a = sender[1] in (self.a, self.a + 1)
        target = ("127.0.0.1", (self.b if from_a else self.a) + index)
        send = lambda d: self.sockets[index].sendto(d, target)
        if index == 1:
            send(data)
        else:
            self.injury[self.a if from_a else self.b].pass_on(data, send)


class MediaRelay(_Relay):
    """RTP and RTCP arriving on `port`, `port` + 1 go on to `target`'s pair, the RTP injured."""

    def __init__(self, port, seed=1, **rates):
        self.target = None
        self.injury = Injury(seed=seed, **rates)
        self._serve(port)

    def _on(self, index, data, sender):
        if self.target is None:
            return
        send = lambda d: self.sockets[index].sendto(d, ("127.0.0.1", self.target + index))
        if index == 1:
            send(data)
        else:
            self.injury.pass_on(data, send)


class SipRelay(_Relay):
    """Forwards SIP over UDP between a caller and an answerer: the caller dials
    the relay's port, the relay passes the dialogue on. The media port of the
    caller's offer is replaced by the media relay's, so the answerer sends its
    RTP there; the relay then forwards it to the caller's own port."""

    def __init__(self, port, caller, answerer, media):
        self.caller, self.answerer, self.media = caller, answerer, media
        self._serve(port)  # the port above it stays unused

    def _rewrite_offer(self, text):
        head, sep, body = text.partition("\r\n\r\n")
        found = re.search(r"^m=audio (\d+) ", body, re.M)
        if not sep or not found:
            return text
        self.media.target = int(found.group(1))
        body = re.sub(r"^m=audio \d+ ", f"m=audio {self.media.sockets[0].getsockname()[1]} ", body, flags=re.M)
        body = re.sub(r"^a=rtcp:\d+", f"a=rtcp:{self.media.sockets[1].getsockname()[1]}", body, flags=re.M)
        head = re.sub(r"(?im)^(content-length|l):\s*\d+", lambda m: f"{m.group(1)}: {len(body.encode())}", head)
        return head + sep + body

    def _on(self, index, data, sender):
        if index == 1:
            return
        from_caller = sender[1] != self.answerer
        if from_caller and data.startswith(b"INVITE"):
            data = self._rewrite_offer(data.decode("latin-1")).encode("latin-1")
        self.sockets[0].sendto(data, ("127.0.0.1", self.answerer if from_caller else self.caller))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("relay_port", type=int)
    parser.add_argument("port_a", type=int)
    parser.add_argument("port_b", type=int)
    parser.add_argument("--loss", type=float, default=LOSS)
    parser.add_argument("--duplicate", type=float, default=DUPLICATE)
    parser.add_argument("--hold", type=float, default=HOLD)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    relay = PartyRelay(args.relay_port, args.port_a, args.port_b, seed=args.seed, loss=args.loss,
                       duplicate=args.duplicate, hold=args.hold)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        relay.close()
        print({port: injury.counts for port, injury in relay.injury.items()})


if __name__ == "__main__":
    main()
