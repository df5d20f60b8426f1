#include "platform/identity.h"
#include "talk/rtp/rtcp_build.h"
#include "talk/rtp/rtp_session.h"
#include "talk/talk_engine.h"
#include "talk/wave_talk_audio.h"

std::unique_ptr<TalkSession> MakeRtpSession(PacketSender send, rtp::ReceiveStreams& received) {
    return std::make_unique<rtp::RtpSession>(std::move(send), received, platform::SystemClock(),
                                             rtp::MakeCname(platform::LoginNameUtf8(), platform::HostName()));
}

TalkEngineServices DefaultTalkEngineServices() {
    TalkEngineServices services;
    services.sleeper = &platform::SystemSleeper();
    services.makeTimer = [] { return platform::CreatePeriodicTimer(); };
    services.makeAudio = [] { return std::make_unique<WaveTalkAudio>(platform::SystemSleeper()); };
    services.makeMixer = [] { return MakePlatformMixer(MixerCalls::Wide); };
    services.makeSession = MakeRtpSession;
    return services;
}
