#!/usr/bin/env python3
"""How well what each party of a call heard matches the others' speech: the
normalised cross-correlation, at the best lag, of a party's speaker file with
each other party's speech over the stretch that party spoke, and the other
party's frame counts from the listener's statistics.
    match_figures.py --dir DIR NAME:SPEECH_START ...
reads DIR/conf-NAME.pcm (microphone), DIR/conf-NAME-heard.pcm (speaker) and
DIR/conf-NAME.txt (tarnel-call --stats output)."""
import argparse
import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import callkit  # noqa: E402


def speech_stretch(samples, start):
    """From `start` seconds to where the speech ends (the last loud 30 ms)."""
    begin = int(start * callkit.RATE)
    loud = [i for i in range(begin, len(samples) - 240, 240) if abs(samples[i:i + 240]).max() > 500]
    return samples[begin:(loud[-1] + 240) if loud else len(samples)]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("parties", nargs="+", help="NAME:SECONDS where the party's speech starts")
    args = parser.parse_args()
    parties = dict((p.split(":")[0], float(p.split(":")[1])) for p in args.parties)
    path = lambda name, suffix: os.path.join(args.dir, f"conf-{name}{suffix}")
    stats = {name: json.loads(open(path(name, ".txt")).read().splitlines()[-1]) for name in parties}
    for listener in parties:
        heard = callkit.read_pcm(path(listener, "-heard.pcm"))
        sources = {s["ssrc"]: s for s in stats[listener]["sources"]}
        print(f"--- {listener} heard")
        for talker, start in parties.items():
            if talker == listener:
                continue
            figure = callkit.correlation_at_best_lag(speech_stretch(callkit.read_pcm(path(talker, ".pcm")), start),
                                                     heard)
            frames = (sources.get(stats[talker]["ssrc"]) or {}).get("frames")
            print(f"  {talker:6} match {figure:4.2f}  frames: {json.dumps(frames)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
