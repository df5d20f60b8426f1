#!/bin/sh
# Writes the interoperability test signals (raw 16-bit little-endian mono 8000 Hz) to $1.
# No dither and a fixed noise seed (-D -R): the same signals on every run.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
to_raw() { sox -D -R "$1" -t raw -r 8000 -c 1 -b 16 -e signed-integer -L "$2"; }
speak() {
    espeak-ng -v "$1" -s "$2" -w speak.wav "$3"
    sox -D -R speak.wav -r 8000 -c 1 -b 16 "$4" gain -n "$5"
}
# Loud speech: peaks at full scale after the rate change, or 6 dB above it and clipped.
speak_loud() {
    espeak-ng -v "$1" -s "$2" -w speak.wav "$3"
    sox -V1 -D -R speak.wav -c 1 -b 16 "$4" rate 8000 gain -n "$5"
}
speak en 150 "The quick brown fox jumps over the lazy dog. Please call Stella and ask her to bring these things with her from the store." male.wav -3
speak en-us+f3 175 "Six spoons of fresh snow peas, five thick slabs of blue cheese, and maybe a snack for her brother Bob." female.wav -12
speak_loud en 160 "Hello, can you hear me? I said, turn the music down, we are trying to talk over here!" loud.wav 0
speak_loud en-us+f3 170 "Watch out! The bus is coming, run to the corner and wave your arms!" clipped.wav 6
# Quiet speech, peaks 36 dB below full scale: where the two decoders agree least.
speak en 140 "I will be home late tonight, so please do not wait for me with dinner." quiet.wav -36
sox -D -R -n -r 8000 -c 1 -b 16 sweep.wav synth 3 sine 100:3500 gain -9
sox -D -R -n -r 8000 -c 1 -b 16 loudsweep.wav synth 3 sine 100:3500 gain -1
sox -D -R -n -r 8000 -c 1 -b 16 tone.wav synth 3 sine 700 gain -1
sox -D -R -n -r 8000 -c 1 -b 16 noise.wav synth 3 pinknoise gain -18
sox -D -R -m -v 1 male.wav -v 0.3 noise.wav noisy.wav trim 0 3
for name in male female quiet loud clipped sweep loudsweep tone noise noisy; do
    to_raw "$name.wav" "$name.raw"
done
rm -f ./*.wav
