#include <gtest/gtest.h>


#include "link/comm_channel.h"
#include "link/test_peer.h"

namespace {

// Waits until the channel reports pending bytes (or gives up after about two seconds).
size_t WaitForCount(CCommChannel& channel)
{
    for (int i = 0; i < 200; ++i) {
        size_t count = 0;
        if (channel.GetReceivedCount(count) && count > 0)
            return count;
        (void)channel.WaitForInput(10);
    }
    return 0;
}

std::string ReadPending(CCommChannel& channel)
{
    const size_t count = WaitForCount(channel);
    std::string text(count, '\0');
    size_t delivered = 0;
    EXPECT_TRUE(channel.Read(text.data(), count, delivered));
    text.resize(delivered);
    return text;
}

struct LanPeer {
    CLoopbackListener Listener;
    CCommChannel Channel;
    int Peer = -1;

    LanPeer()
    {
        EXPECT_TRUE(Channel.OpenLan(CLoopbackListener::Address(), Listener.Port()));
        Peer = Listener.Accept();
        EXPECT_GE(Peer, 0);
    }
    ~LanPeer()
    {
        if (Peer >= 0)
            TestClose(Peer);
    }
};

} // namespace

TEST(CommChannelLan, ReportsReceivedBytesOnTheCallThatReceivesThem)
{
    LanPeer lan;
    ASSERT_TRUE(WriteAll(lan.Peer, "abc"));
    ASSERT_EQ(lan.Channel.WaitForInput(2000), WaitResult::Ready);
    size_t count = 0;
    ASSERT_TRUE(lan.Channel.GetReceivedCount(count));
    EXPECT_EQ(count, 3U);
}

TEST(CommChannelLan, ZeroLengthSendSucceedsAndBytesReachThePeer)
{
    LanPeer lan;
    size_t written = 99;
    EXPECT_TRUE(lan.Channel.Send("", 0, written));
    EXPECT_EQ(written, 0U);
    ASSERT_TRUE(lan.Channel.Send("*idn?\r\n", 7, written));
    EXPECT_EQ(written, 7U);
    EXPECT_EQ(ReadFor(lan.Peer, 2000, "\n"), "*idn?\r\n");
}

TEST(CommChannelLan, DrainDiscardsAStaleReplySoTheNextReadSeesOnlyNewBytes)
{
    LanPeer lan;
    ASSERT_TRUE(WriteAll(lan.Peer, "stale reply\r\n"));
    SleepMs(20);
    lan.Channel.DrainInput();
    ASSERT_TRUE(WriteAll(lan.Peer, "fresh\r\n"));
    EXPECT_EQ(ReadPending(lan.Channel), "fresh\r\n");
}

TEST(CommChannelLan, ReadHandsOutBufferedBytesInOrder)
{
    LanPeer lan;
    ASSERT_TRUE(WriteAll(lan.Peer, "0123456789"));
    ASSERT_EQ(WaitForCount(lan.Channel), 10U);
    char part[4] {};
    size_t delivered = 0;
    ASSERT_TRUE(lan.Channel.Read(part, 4, delivered));
    EXPECT_EQ(std::string(part, delivered), "0123");
    size_t count = 0;
    ASSERT_TRUE(lan.Channel.GetReceivedCount(count));
    EXPECT_EQ(count, 6U);
    char rest[16] {};
    ASSERT_TRUE(lan.Channel.Read(rest, 16, delivered));
    EXPECT_EQ(std::string(rest, delivered), "456789");
}

TEST(CommChannelLan, ResetByPeerClosesTheChannelAndRecordsTheError)
{
    LanPeer lan;
    TestResetClose(lan.Peer);
    lan.Peer = -1;
    (void)lan.Channel.WaitForInput(2000);
    size_t count = 0;
    EXPECT_FALSE(lan.Channel.GetReceivedCount(count));
#ifdef _WIN32
    // Wine ends a socket closed with a zero linger in order, where Windows and Linux reset it.
    EXPECT_TRUE(lan.Channel.LastSocketError() == kSocketConnReset || lan.Channel.LastSocketError() == kSocketDisconnected);
#else
    EXPECT_EQ(lan.Channel.LastSocketError(), kSocketConnReset);
#endif
    EXPECT_EQ(lan.Channel.Mode(), ChannelMode::None);
    EXPECT_FALSE(lan.Channel.IsSocketOpen());
    size_t written = 0;
    EXPECT_FALSE(lan.Channel.Send("x", 1, written));
    EXPECT_EQ(lan.Channel.WaitForInput(1000), WaitResult::Broken);
}

TEST(CommChannelLan, OrderlyCloseByPeerEndsTheChannel)
{
    LanPeer lan;
    TestClose(lan.Peer);
    lan.Peer = -1;
    (void)lan.Channel.WaitForInput(2000);
    size_t count = 0;
    EXPECT_FALSE(lan.Channel.GetReceivedCount(count));
    EXPECT_EQ(lan.Channel.Mode(), ChannelMode::None);
    EXPECT_EQ(lan.Channel.LastSocketError(), kSocketDisconnected);
}

TEST(CommChannelLan, OpeningAgainClosesTheFirstConnection)
{
    CLoopbackListener listener;
    CCommChannel channel;
    ASSERT_TRUE(channel.OpenLan(CLoopbackListener::Address(), listener.Port()));
    const int first = listener.Accept();
    ASSERT_TRUE(channel.OpenLan(CLoopbackListener::Address(), listener.Port()));
    const int second = listener.Accept();
    // The first connection has ended: its peer reads end-of-stream instead of waiting forever.
    char byte = 0;
    ASSERT_EQ(TestWaitInput(first, 2000), 1);
    EXPECT_EQ(TestRead(first, &byte, 1), 0);
    TestClose(first);
    TestClose(second);
}

TEST(CommChannelLan, RefusedConnectionFailsWithModeNone)
{
    int port = 0;
    {
        CLoopbackListener listener;
        port = listener.Port();
    }
    CCommChannel channel;
    EXPECT_FALSE(channel.OpenLan(CLoopbackListener::Address(), port));
    EXPECT_EQ(channel.Mode(), ChannelMode::None);
}

TEST(CommChannelSerial, SecondOpenFailsAndTheFirstPortStaysUsable)
{
    VX_REQUIRE_PTY();
    CPtyPair pty;
    CCommChannel channel;
    ASSERT_TRUE(channel.OpenCom(pty.SlavePath(), 9600));
    EXPECT_EQ(channel.PortPath(), pty.SlavePath());
    EXPECT_FALSE(channel.OpenCom(pty.SlavePath(), 19200));
    EXPECT_EQ(channel.Mode(), ChannelMode::Com);
    size_t written = 0;
    ASSERT_TRUE(channel.Send("ping\r\n", 6, written));
    EXPECT_EQ(ReadFor(pty.Master(), 2000, "\n"), "ping\r\n");
}

TEST(CommChannelSerial, SendDiscardsInputThatWasNeverRead)
{
    VX_REQUIRE_PTY();
    CPtyPair pty;
    CCommChannel channel;
    ASSERT_TRUE(channel.OpenCom(pty.SlavePath(), 9600));
    ASSERT_TRUE(WriteAll(pty.Master(), "stale\r\n"));
    ASSERT_GT(WaitForCount(channel), 0U);
    size_t written = 0;
    ASSERT_TRUE(channel.Send("x\r\n", 3, written));
    ASSERT_TRUE(WriteAll(pty.Master(), "fresh\r\n"));
    EXPECT_EQ(ReadPending(channel), "fresh\r\n");
}

TEST(CommChannelSerial, ShortReadReportsFailureButDeliversTheBytes)
{
    VX_REQUIRE_PTY();
    CPtyPair pty;
    CCommChannel channel;
    ASSERT_TRUE(channel.OpenCom(pty.SlavePath(), 115200));
    ASSERT_TRUE(WriteAll(pty.Master(), "abc"));
    ASSERT_EQ(WaitForCount(channel), 3U);
    char buffer[8] {};
    size_t delivered = 0;
    EXPECT_FALSE(channel.Read(buffer, 8, delivered));
    EXPECT_EQ(std::string(buffer, delivered), "abc");
}

TEST(CommChannelSerial, MissingDeviceOrUnknownSpeedFailsWithModeNone)
{
    VX_REQUIRE_PTY();
    CCommChannel channel;
    EXPECT_FALSE(channel.OpenCom("/dev/this-port-does-not-exist", 9600));
    EXPECT_EQ(channel.Mode(), ChannelMode::None);
    CPtyPair pty;
    EXPECT_FALSE(channel.OpenCom(pty.SlavePath(), 12345));
    EXPECT_EQ(channel.Mode(), ChannelMode::None);
    EXPECT_FALSE(channel.IsSerialOpen());
    EXPECT_FALSE(channel.OpenCom("/dev/null", 9600)); // not a terminal
}

TEST(CommChannelSwitching, OpeningOneTransportClosesTheOther)
{
    VX_REQUIRE_PTY();
    CPtyPair pty;
    CLoopbackListener listener;
    CCommChannel channel;
    ASSERT_TRUE(channel.OpenCom(pty.SlavePath(), 9600));
    ASSERT_TRUE(channel.OpenLan(CLoopbackListener::Address(), listener.Port()));
    EXPECT_FALSE(channel.IsSerialOpen());
    EXPECT_TRUE(channel.PortPath().empty());
    EXPECT_EQ(channel.Mode(), ChannelMode::Lan);
    const int peer = listener.Accept();

    ASSERT_TRUE(channel.OpenCom(pty.SlavePath(), 9600));
    EXPECT_FALSE(channel.IsSocketOpen());
    EXPECT_EQ(channel.Mode(), ChannelMode::Com);
    TestClose(peer);

    channel.Close();
    channel.Close(); // closing a closed channel changes nothing
    EXPECT_EQ(channel.Mode(), ChannelMode::None);
    size_t count = 0;
    EXPECT_FALSE(channel.GetReceivedCount(count));
    EXPECT_EQ(channel.WaitForInput(0), WaitResult::Broken);
}
