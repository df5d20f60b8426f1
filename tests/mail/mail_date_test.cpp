// The Date field: local time and its offset from UTC.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/broken_down_time.h"
#include "mail/mime/mail_date.h"
#include "platform/local_zone.h"

namespace {

// Monday 7 December 2026 00:49:10 UTC.
constexpr std::time_t kDecember7 = 1796604550;
// Wednesday 1 July 2026 00:30:00 UTC.
constexpr std::time_t kJuly1 = 1782865800;

class LocalZone {
public:
    explicit LocalZone(const char* zone) {
        const char* old = std::getenv("TZ");
        hadZone_ = old != nullptr;
        saved_ = old ? old : "";
        platform::SetLocalZone(zone);
    }
    ~LocalZone() { platform::SetLocalZone(hadZone_ ? saved_.c_str() : nullptr); }

private:
    bool hadZone_;
    std::string saved_;
};

}  // namespace

TEST(MailDate, EastOfUtcWithoutDaylightSaving) {
    LocalZone zone("CST-8");
    EXPECT_EQ(ziromail::FormatMailDate(kDecember7), "Mon, 7 Dec 2026 08:49:10 +0800");
}

TEST(MailDate, WestOfUtcAcrossTheMonthWrap) {
    LocalZone zone("EST5");
    EXPECT_EQ(ziromail::FormatMailDate(kJuly1), "Tue, 30 Jun 2026 19:30:00 -0500");
}

TEST(MailDate, DaylightSavingShowsTheOffsetInEffect) {
    LocalZone zone("CET-1CEST");  // daylight saving by the runtime's default rules
    std::tm summer{};
    if (!platform::ToLocalTime(kJuly1, summer) || summer.tm_isdst <= 0)
        GTEST_SKIP() << "this runtime takes no daylight saving from TZ";
    EXPECT_EQ(ziromail::FormatMailDate(kJuly1), "Wed, 1 Jul 2026 02:30:00 +0200");
    EXPECT_EQ(ziromail::FormatMailDate(kDecember7), "Mon, 7 Dec 2026 01:49:10 +0100");
}
