// The library's C interface as a host sees it, with the shipped timings.
#include <gtest/gtest.h>

#include "talk/tarnel.h"

namespace {

int g_calls = 0;
int CountingCallback(uint32_t, uint32_t, uint32_t, const uint8_t*, int32_t, int32_t) {
    ++g_calls;
    return 0;
}

TEST(TarnelExports, NullEngineIsRefusedEverywhere) {
    const uint8_t data[12] = {0x80};
    EXPECT_EQ(Tarnel_Release(nullptr), 0);
    Tarnel_BeginTalk(nullptr, 40000);
    Tarnel_EndTalk(nullptr);
    Tarnel_AddTalkDestion(nullptr, "127.0.0.1", 40000);
    Tarnel_RemoveTalkDestion(nullptr, "127.0.0.1", 40000);
    Tarnel_SetSpeakerVol(nullptr, 50);
    EXPECT_EQ(Tarnel_GetSpeakerVol(nullptr), 0);
    Tarnel_SetMicVol(nullptr, 50);
    EXPECT_EQ(Tarnel_GetMicVol(nullptr), 0);
    Tarnel_MutSpeaker(nullptr);
    Tarnel_NoMutSpeaker(nullptr);
    EXPECT_EQ(Tarnel_SetSendCallBack(nullptr, 1, CountingCallback), nullptr);
    Tarnel_SetRevData(nullptr, 0x0100007F, 40000, data, 12);
}

TEST(TarnelExports, LifecycleOfSeveralEngines) {
    for (int i = 0; i < 3; ++i) {
        TalkEngine* engine = Tarnel_Ini();
        ASSERT_NE(engine, nullptr);
        EXPECT_EQ(Tarnel_SetSendCallBack(engine, 0, CountingCallback), engine);
        EXPECT_EQ(Tarnel_SetSendCallBack(engine, 5, CountingCallback), engine);
        EXPECT_EQ(Tarnel_GetSpeakerVol(engine), -1);  // no system mixer here
        EXPECT_EQ(Tarnel_GetMicVol(engine), 0);
        EXPECT_EQ(Tarnel_Release(engine), 1);
    }
}

TEST(TarnelExports, TalkWithBadInputsThenEndTwiceAndRelease) {
    TalkEngine* engine = Tarnel_Ini();
    ASSERT_NE(engine, nullptr);
    Tarnel_SetSendCallBack(engine, 5, CountingCallback);
    Tarnel_EndTalk(engine);  // no talk yet
    Tarnel_BeginTalk(engine, 40000);
    Tarnel_BeginTalk(engine, 40002);
    Tarnel_AddTalkDestion(engine, "127.0.0.1", 40002);
    Tarnel_AddTalkDestion(engine, "not an address", 40002);
    Tarnel_AddTalkDestion(engine, nullptr, 40002);
    const uint8_t data[64] = {0x80, 0xE2};
    Tarnel_SetRevData(engine, 0x0100007F, 40002, data, 64);
    Tarnel_SetRevData(engine, 0x0100007F, 40003, data, 64);
    Tarnel_SetRevData(engine, 0x0100007F, 40002, nullptr, 64);
    Tarnel_SetRevData(engine, 0x0100007F, 40002, data, -1);
    Tarnel_EndTalk(engine);
    Tarnel_EndTalk(engine);
    Tarnel_AddTalkDestion(engine, "127.0.0.1", 40002);
    EXPECT_EQ(Tarnel_Release(engine), 1);
}

}  // namespace
