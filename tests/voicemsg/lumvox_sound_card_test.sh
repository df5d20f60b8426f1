#!/usr/bin/env bash
# lumvox on the sound card, here a PulseAudio server with a null source and a
# null sink (run under scripts/with-sound-server): the recording comes from the
# device, and the sound card is prepared as the dialog prepares it, as pactl
# sees it: speakers at half volume and unmuted, microphone at full volume.
set -euo pipefail
lumvox=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
volume() { pactl "get-$1-volume" "$2" | grep -o '[0-9]*%' | head -1; }

pactl set-sink-volume spk 90% && pactl set-sink-mute spk 1 && pactl set-source-volume mic 20%
"$lumvox" record --seconds 2 --mic-device "$work/message.txt"
size=$(wc -c < "$work/message.txt")
blocks=$((size / 640))
# The server hands over what it buffered at the start, so a little more than 2 s arrives.
[ $((size % 640)) -eq 0 ] && [ "$blocks" -ge 50 ] && [ "$blocks" -le 120 ] || fail "$size characters recorded"
[ "$(volume sink spk)" = 50% ] || fail "speakers at $(volume sink spk)"
[ "$(pactl get-sink-mute spk)" = "Mute: no" ] || fail "speakers still muted"
[ "$(volume source mic)" = 100% ] || fail "microphone at $(volume source mic)"
"$lumvox" play --speaker-device "$work/message.txt" >/dev/null
echo "lumvox on the sound card: $blocks blocks recorded, mixer prepared, played back"
