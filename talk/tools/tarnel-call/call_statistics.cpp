#include "call_statistics.h"

#include <cstdio>

namespace {

std::string AddressText(uint32_t networkOrder) {
    const auto* b = reinterpret_cast<const uint8_t*>(&networkOrder);
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return text;
}

// Report times are kept in 1/65536 s; jitter at 16 times its estimate.
double Milliseconds(double units) { return units * 1000.0 / 65536.0; }

// What playback made of the source's frames; null when none of them was played.
std::string PlaybackJson(const std::optional<rtp::StreamCounts>& counts) {
    if (!counts) return "null";
    char text[128];
    std::snprintf(text, sizeof text, "{\"concealed\":%u,\"duplicates\":%u,\"late\":%u}", counts->concealed,
                  counts->duplicates, counts->late);
    return text;
}

std::string SourceJson(const rtp::SourceReport& source) {
    char text[512];
    char roundTrip[32] = "null";
    if (source.roundTripKnown) std::snprintf(roundTrip, sizeof roundTrip, "%.2f", Milliseconds(source.roundTrip));
    std::snprintf(text, sizeof text,
                  "{\"ssrc\":%u,\"address\":\"%s\",\"port\":%u,\"packets_received\":%u,\"lost\":%lld,"
                  "\"jitter_ms\":%.3f,\"round_trip_ms\":%s,\"departed\":%s,\"frames\":%s}",
                  source.ssrc, AddressText(source.address).c_str(), source.port, source.packetsReceived,
                  static_cast<long long>(source.packetsLost), Milliseconds(source.jitter / 16.0), roundTrip,
                  source.departed ? "true" : "false", PlaybackJson(source.playback).c_str());
    return text;
}

}  // namespace

std::string StatisticsJson(const rtp::SessionStatistics& statistics) {
    const auto& rtcp = statistics.rtcpReceived;
    char head[320];
    std::snprintf(head, sizeof head,
                  "{\"ssrc\":%u,\"packets_sent\":%u,\"octets_sent\":%u,"
                  "\"rtcp_received\":{\"SR\":%u,\"RR\":%u,\"SDES\":%u,\"BYE\":%u,\"APP\":%u},\"sources\":[",
                  statistics.ssrc, statistics.packetsSent, statistics.octetsSent, rtcp[0], rtcp[1], rtcp[2],
                  rtcp[3], rtcp[4]);
    std::string json = head;
    for (size_t i = 0; i < statistics.sources.size(); ++i) {
        if (i) json += ",";
        json += SourceJson(statistics.sources[i]);
    }
    return json + "]}";
}
