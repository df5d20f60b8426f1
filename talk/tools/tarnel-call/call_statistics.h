#pragma once
#include <string>

#include "talk/rtp/session_statistics.h"

// The statistics of one talk as a single JSON line.
std::string StatisticsJson(const rtp::SessionStatistics& statistics);
