#pragma once
// The sound server's own word on its volumes, through pactl: the independent
// check of what the mixer code did. The server is the one that
// scripts/with-sound-server starts, with the sink "spk" and the source "mic".
#include <string>

// Runs `pactl ARGS`; false when it fails.
bool Pactl(const std::string& args);
// The first channel's volume in percent from `pactl get-sink-volume spk` and
// the like; -1 when pactl fails.
int PactlPercent(const std::string& args);
// True when `pactl get-sink-mute spk` and the like say "yes".
bool PactlMuted(const std::string& args);
