#include <gtest/gtest.h>

#include "common/byte_order.h"
#include "talk/rtp/rtcp_build.h"
#include "talk/rtp/rtp_header.h"

namespace rtp {
namespace {

SourceStats Source(uint32_t ssrc) {
    SourceStats s;
    s.ssrc = ssrc;
    s.rtpSeen = true;
    return s;
}

TEST(RtcpBuild, SenderReportWithoutSourcesIsTwentyEightBytes) {
    const SourceTable none{};
    const SenderInfo sender{0x11223344, {0xE8FE6F80, 0x40000000}, 0x6F804000, 500, 20000};
    std::vector<uint8_t> out;
    AppendSenderReport(out, sender, ReportBlocks(none, 0));
    const std::vector<uint8_t> expected = {0x80, 200,  0x00, 0x06, 0x11, 0x22, 0x33, 0x44, 0xE8, 0xFE,
                                           0x6F, 0x80, 0x40, 0x00, 0x00, 0x00, 0x6F, 0x80, 0x40, 0x00,
                                           0x00, 0x00, 0x01, 0xF4, 0x00, 0x00, 0x4E, 0x20};
    EXPECT_EQ(out, expected);
}

TEST(RtcpBuild, ReceiverReportWithoutSourcesIsEightBytes) {
    const SourceTable none{};
    std::vector<uint8_t> out;
    AppendReceiverReport(out, 0xCAFE0000, ReportBlocks(none, 0));
    const std::vector<uint8_t> expected = {0x80, 201, 0, 1, 0xCA, 0xFE, 0, 0};
    EXPECT_EQ(out, expected);
}

TEST(RtcpBuild, ReportsCarryOneBlockPerLeadingUsedSource) {
    SourceTable table{};
    table[0] = Source(1);
    table[1] = Source(2);
    table[2] = Source(3);
    table[4] = Source(5);  // after a hole: not reported
    std::vector<uint8_t> sr, rr;
    AppendSenderReport(sr, {}, ReportBlocks(table, 0));
    AppendReceiverReport(rr, 9, ReportBlocks(table, 0));
    EXPECT_EQ(sr.size(), 28u + 3 * 24);
    EXPECT_EQ(sr[0], 0x83);
    EXPECT_EQ(common::GetBe16(&sr[2]), 6 * 3 + 6);
    EXPECT_EQ(rr.size(), 8u + 3 * 24);
    EXPECT_EQ(rr[0], 0x83);
    EXPECT_EQ(common::GetBe16(&rr[2]), 6 * 3 + 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(common::GetBe32(&rr[8 + 24 * i]), uint32_t(i + 1));
}

TEST(RtcpBuild, ReportBlockFields) {
    SourceTable table{};
    SourceStats& s = table[0];
    s = Source(0xAABBCCDD);
    s.lost = 1;
    s.expected = 4;
    s.cycles = 2;
    s.highestSequence = 0x1234;
    s.jitter = 0x321;
    s.lsr = 0x6F804000;
    s.srArrival = 0x6F800000;
    s.srSeen = true;
    std::vector<uint8_t> rr;
    AppendReceiverReport(rr, 9, ReportBlocks(table, 0x6F810000));
    const uint8_t* block = &rr[8];
    EXPECT_EQ(common::GetBe32(block), 0xAABBCCDDu);
    EXPECT_EQ(block[4], 64);  // a quarter lost
    EXPECT_EQ(common::GetBe32(block + 4) & 0xFFFFFF, 1u);
    EXPECT_EQ(common::GetBe32(block + 8), 0x00021234u);
    EXPECT_EQ(common::GetBe32(block + 12), 0x321u);
    EXPECT_EQ(common::GetBe32(block + 16), 0x6F804000u);
    EXPECT_EQ(common::GetBe32(block + 20), 0x10000u);  // one second since the SR arrived
}

TEST(RtcpBuild, FractionLostSaturatesInsteadOfWrappingToZero) {
    SourceTable table{};
    table[0] = Source(1);
    table[0].lost = 4;
    table[0].expected = 4;
    std::vector<uint8_t> rr;
    AppendReceiverReport(rr, 9, ReportBlocks(table, 0));
    EXPECT_EQ(rr[8 + 4], 255);
}

TEST(RtcpBuild, NoSenderReportYetMeansZeroLsrAndDlsrAndNoLossZeroFraction) {
    SourceTable table{};
    table[0] = Source(1);
    table[0].srArrival = 5;  // not valid without an SR
    std::vector<uint8_t> rr;
    AppendReceiverReport(rr, 9, ReportBlocks(table, 0x6F810000));
    EXPECT_EQ(common::GetBe32(&rr[8 + 4]), 0u);
    EXPECT_EQ(common::GetBe32(&rr[8 + 16]), 0u);
    EXPECT_EQ(common::GetBe32(&rr[8 + 20]), 0u);
}

size_t SdesSize(size_t u, size_t h) { return 4 * ((u + h + 3) / 4) + 12; }

TEST(RtcpBuild, SdesSizeAndLengthFollowTheNameLengths) {
    for (size_t u = 1; u <= 9; ++u) {
        for (size_t h = 0; h <= 6; ++h) {
            const std::string cname = std::string(u, 'u') + "@" + std::string(h, 'h');
            std::vector<uint8_t> out;
            AppendSdes(out, 7, cname);
            ASSERT_EQ(out.size(), SdesSize(u, h)) << u << "," << h;
            EXPECT_EQ(common::GetBe16(&out[2]), (u + h + 3) / 4 + 2);
            EXPECT_EQ(out[9], cname.size());
            EXPECT_EQ(out[10 + cname.size()], 0);  // at least one end byte
        }
    }
}

TEST(RtcpBuild, SdesBytes) {
    std::vector<uint8_t> out;
    AppendSdes(out, 0x01020304, "ab@c");
    const std::vector<uint8_t> expected = {0x81, 202, 0, 3, 1, 2, 3, 4, 1, 4, 'a', 'b', '@', 'c', 0, 0};
    EXPECT_EQ(out, expected);
}

TEST(RtcpBuild, ByeIsEightBytes) {
    std::vector<uint8_t> out;
    const uint32_t ssrc = 0xDEADBEEF;
    AppendBye(out, std::span(&ssrc, 1));
    const std::vector<uint8_t> expected = {0x81, 203, 0, 1, 0xDE, 0xAD, 0xBE, 0xEF};
    EXPECT_EQ(out, expected);
}

// Whatever a writer puts down, its reader takes up again.
TEST(RtcpBuild, ReadersTakeBackWhatWritersWrote) {
    const SenderInfo sender{0x01020304, {0xE8FE6F80, 0x40000000}, 0x6F804000, 500, 20000};
    const ReportBlock block{0xAABBCCDD, 0x40000001, 0x00021234, 0x321, 0x6F804000, 0x10000};
    std::vector<uint8_t> out;
    AppendSenderReport(out, sender, std::span(&block, 1));
    const RtcpHeader header = ReadRtcpHeader(out.data());
    EXPECT_EQ(header.type, kRtcpSr);
    EXPECT_EQ(header.count, 1);
    EXPECT_EQ(header.size, out.size());
    const SenderInfo readSender = ReadSenderInfo(out.data());
    EXPECT_EQ(readSender.ssrc, sender.ssrc);
    EXPECT_EQ(readSender.ntp.seconds, sender.ntp.seconds);
    EXPECT_EQ(readSender.ntp.fraction, sender.ntp.fraction);
    EXPECT_EQ(readSender.rtpTimeStamp, sender.rtpTimeStamp);
    EXPECT_EQ(readSender.packetCount, sender.packetCount);
    EXPECT_EQ(readSender.octetCount, sender.octetCount);
    const ReportBlock readBlock = ReadReportBlock(ReportBlockAt(out.data(), kSrHeaderSize, 0));
    EXPECT_EQ(readBlock.ssrc, block.ssrc);
    EXPECT_EQ(readBlock.lossWord, block.lossWord);
    EXPECT_EQ(readBlock.extendedHighestSequence, block.extendedHighestSequence);
    EXPECT_EQ(readBlock.jitter, block.jitter);
    EXPECT_EQ(readBlock.lsr, block.lsr);
    EXPECT_EQ(readBlock.dlsr, block.dlsr);

    const uint32_t leaving[] = {7, 9};
    out.clear();
    AppendBye(out, leaving);
    EXPECT_EQ(ReadRtcpHeader(out.data()).count, 2);
    EXPECT_EQ(ReadByeSsrc(out.data(), 1), 9u);

    uint8_t rtp[kRtpHeaderSize];
    WriteRtpHeader(rtp, {true, 98, 0xFFFE, 0x6F804000, 0xCAFEBABE});
    const RtpHeader readRtp = ReadRtpHeader(rtp);
    EXPECT_TRUE(readRtp.marker);
    EXPECT_EQ(readRtp.payloadType, 98);
    EXPECT_EQ(readRtp.sequence, 0xFFFE);
    EXPECT_EQ(readRtp.timeStamp, 0x6F804000u);
    EXPECT_EQ(readRtp.ssrc, 0xCAFEBABEu);
}

TEST(RtcpBuild, CnameCutsUserAtCharactersAndHostAtBytes) {
    EXPECT_EQ(MakeCname("alice", "box"), "alice@box");
    EXPECT_EQ(MakeCname(std::string(40, 'a'), "h"), std::string(31, 'a') + "@h");
    std::string wide;
    for (int i = 0; i < 35; ++i) wide += "\xE5\xBC\xA0";  // a three-byte character
    EXPECT_EQ(MakeCname(wide, "h"), wide.substr(0, 93) + "@h");
    EXPECT_EQ(MakeCname("u", std::string(70, 'x')), "u@" + std::string(63, 'x'));
}

}  // namespace
}  // namespace rtp
