// Resynchronising the line after a reply went missing, against the simulator: a reply that comes
// late is thrown away and never taken for the answer to the next request.
#include <gtest/gtest.h>

#include "link/resync.h"
#include "sim/simulator.h"

namespace {

bool OpenTo(CInstrumentLink& link, const CSimulator& sim)
{
    link.Interface = InterfaceKind::Lan;
    link.IpAddress = 0x7F000001;
    link.TcpPort = sim.TcpPort();
    return link.Open();
}

} // namespace

TEST(Resync, ALateReplyIsDiscardedAndTheNextRequestGetsItsOwnAnswer)
{
    struct Case {
        const char* Name;
        SimOptions Options;
        ResyncResult Expected;
    };
    SimOptions late;
    late.DelayReplyTo = ":FETCh?";
    late.DelayReplyMs = 300;
    SimOptions slow = late; // every reply slow as well: the identity takes its time to come back
    slow.LatencyMs = 120;
    SimOptions mute = late; // the identity is never answered
    mute.DropReplyTo = "*idn?";
    SimOptions closing = late; // the connection goes away after the late request
    closing.CloseAfterLines = 2;
    const Case cases[] = {
        { "late", late, ResyncResult::InStep },
        { "slow", slow, ResyncResult::InStep },
        { "mute", mute, ResyncResult::NoConfirmation },
        { "closing", closing, ResyncResult::Broken },
    };
    for (const Case& c : cases) {
        CSimulator sim(c.Options);
        ASSERT_TRUE(sim.StartTcp(0)) << c.Name;
        CInstrumentLink link;
        ASSERT_TRUE(OpenTo(link, sim)) << c.Name;
        ASSERT_TRUE(link.SendCommand(":FETCh?")) << c.Name;
        bool timedOut = false;
        (void)link.ReceiveReply(timedOut, 100);
        ASSERT_TRUE(timedOut) << c.Name;
        EXPECT_TRUE(link.OutOfStep) << c.Name;
        int roundTripMs = -1;
        ResyncBounds bounds;
        bounds.TotalMs = 3000;
        EXPECT_EQ(Resynchronise(link, bounds, roundTripMs), c.Expected) << c.Name;
        if (c.Expected != ResyncResult::InStep)
            continue;
        EXPECT_FALSE(link.OutOfStep) << c.Name;
        EXPECT_GE(roundTripMs, c.Options.LatencyMs) << c.Name;
        // In step: the next reply answers the next request, not the late one.
        ASSERT_TRUE(link.SendCommand("*idn?")) << c.Name;
        EXPECT_EQ(link.ReceiveReply(timedOut, 1000).rfind("ZORVI,", 0), 0U) << c.Name;
    }
}
