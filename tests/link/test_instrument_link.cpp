#include <gtest/gtest.h>

#include <random>

#include "link/instrument_link.h"
#include "link/test_peer.h"

namespace {

enum class Transport { Tcp, Pty };

// A link opened to a peer the test plays: over loopback TCP or over a pseudo-terminal.
class LinkTest : public ::testing::TestWithParam<Transport> {
protected:
    void SetUp() override
    {
        if (GetParam() == Transport::Tcp) {
            m_link.Interface = InterfaceKind::Lan;
            m_link.IpAddress = CLoopbackListener::Address();
            m_link.TcpPort = m_listener.Port();
            ASSERT_TRUE(m_link.OpenPort("", 0));
            m_peerFd = m_listener.Accept();
            ASSERT_GE(m_peerFd, 0);
        } else {
            VX_REQUIRE_PTY();
            m_link.Interface = InterfaceKind::Com;
            ASSERT_TRUE(m_link.OpenPort(m_pty.SlavePath(), 9600));
            m_peerFd = m_pty.Master();
        }
        ASSERT_TRUE(m_link.IsOpen);
    }
    void TearDown() override
    {
        m_link.Close();
        if (GetParam() == Transport::Tcp && m_peerFd >= 0)
            TestClose(m_peerFd);
    }

    // Sends a command and checks that the peer received exactly that line.
    void SendAndExpect(const std::string& command)
    {
        ASSERT_TRUE(m_link.SendCommand(command));
        EXPECT_EQ(ReadFor(m_peerFd, 2000, "\n"), command + "\r\n");
    }

    bool PollUntilLine()
    {
        for (int i = 0; i < 2000; ++i) {
            if (m_link.PollLine())
                return true;
            SleepMs(1);
        }
        return false;
    }

    CLoopbackListener m_listener;
    CPtyPair m_pty;
    CInstrumentLink m_link;
    int m_peerFd = -1;
};

TEST_P(LinkTest, QueryGetsTheReplyWithoutItsTerminator)
{
    SendAndExpect(":RES:RANG?");
    ASSERT_TRUE(WriteAll(m_peerFd, "1.00000E+00\r\n"));
    bool timedOut = true;
    EXPECT_EQ(m_link.ReceiveReply(timedOut, 1000), "1.00000E+00");
    EXPECT_FALSE(timedOut);
}

TEST_P(LinkTest, ReplySplitAcrossChunksIsJoinedAndEachChunkRestartsTheTimeOut)
{
    SendAndExpect("*idn?");
    // Three chunks 250 ms apart: longer in total than the 600 ms time-out, never silent that long.
    std::thread peer([fd = m_peerFd] {
        (void)WriteAll(fd, "ZORVI,");
        SleepMs(250);
        (void)WriteAll(fd, "VX6207,");
        SleepMs(250);
        (void)WriteAll(fd, "123456,1.00");
        SleepMs(250);
        (void)WriteAll(fd, "\r\n");
    });
    bool timedOut = true;
    const std::string reply = m_link.ReceiveReply(timedOut, 600);
    peer.join();
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(reply, "ZORVI,VX6207,123456,1.00");
}

TEST_P(LinkTest, TextAfterTheTerminatorInTheSameChunkIsDropped)
{
    SendAndExpect("*idn?");
    ASSERT_TRUE(WriteAll(m_peerFd, "first\r\nsecond\r\n"));
    bool timedOut = true;
    EXPECT_EQ(m_link.ReceiveReply(timedOut, 1000), "first");
    EXPECT_FALSE(timedOut);
}

TEST_P(LinkTest, SilenceYieldsEmptyTextAndTheTimeOutFlag)
{
    SendAndExpect(":FETC?");
    bool timedOut = false;
    EXPECT_EQ(m_link.ReceiveReply(timedOut, 100), "");
    EXPECT_TRUE(timedOut);

    // A partial reply that stops is not taken for a complete one.
    ASSERT_TRUE(WriteAll(m_peerFd, "1.234"));
    EXPECT_EQ(m_link.ReceiveReply(timedOut, 100), "");
    EXPECT_TRUE(timedOut);
}

TEST_P(LinkTest, PollLineNeedsBothCrAndLfAndKeepsBytesAfterThem)
{
    m_link.ResetLine();
    ASSERT_TRUE(WriteAll(m_peerFd, "1.23456E-03,IN\r"));
    for (int i = 0; i < 50; ++i) {
        ASSERT_FALSE(m_link.PollLine());
        SleepMs(2);
    }
    EXPECT_TRUE(m_link.CrSeen);
    EXPECT_FALSE(m_link.LfSeen);
    ASSERT_TRUE(WriteAll(m_peerFd, "\nX"));
    ASSERT_TRUE(PollUntilLine());
    EXPECT_EQ(m_link.LineText, "1.23456E-03,INX");

    // SendCommand starts a new line.
    SendAndExpect(":FETC?");
    EXPECT_FALSE(m_link.CrSeen);
    EXPECT_FALSE(m_link.LfSeen);
    EXPECT_EQ(m_link.LineText, "");
}

TEST_P(LinkTest, QueryContainsReportsWhetherTheReplyHoldsTheText)
{
    struct Case {
        const char* Reply;
        const char* Expected;
        bool Found;
    };
    const Case cases[] = { { "ON", "ON", true }, { "OFF", "ON", false }, { "FRONT", "FRONT", true },
        { "front", "FRONT", false }, { "ON", nullptr, false } };
    for (const Case& c : cases) {
        std::thread peer([fd = m_peerFd, reply = std::string(c.Reply)] {
            (void)ReadFor(fd, 2000, "\n");
            (void)WriteAll(fd, reply + "\r\n");
        });
        bool found = !c.Found;
        EXPECT_TRUE(m_link.QueryContains(":SYST:HEAD", found, c.Expected, true)) << c.Reply;
        EXPECT_EQ(found, c.Found) << c.Reply;
        peer.join();
    }
    bool found = true;
    EXPECT_FALSE(m_link.QueryContains(":SYST:HEAD", found, "ON", true)); // no reply within 500 ms
    EXPECT_FALSE(found);
}

TEST_P(LinkTest, BadInputNeverOverflowsOrHangs)
{
    // NUL bytes end the reply text early but the reply still completes at its CR.
    SendAndExpect("q1");
    ASSERT_TRUE(WriteAll(m_peerFd, std::string("12\0" "34\r\n", 7)));
    bool timedOut = true;
    EXPECT_EQ(m_link.ReceiveReply(timedOut, 1000), "12");
    EXPECT_FALSE(timedOut);

    // A 10,000-byte line arrives whole.
    SendAndExpect("q2");
    const std::string longLine(10000, '7');
    std::thread writer([fd = m_peerFd, &longLine] { (void)WriteAll(fd, longLine + "\r\n"); });
    EXPECT_EQ(m_link.ReceiveReply(timedOut, 1000), longLine);
    writer.join();
    EXPECT_FALSE(timedOut);

    // Binary noise without a CR, then nothing: a time-out with empty text.
    SendAndExpect("q3");
    std::mt19937 random(7);
    std::string noise(3000, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random() % 256);
        if (c == '\r')
            c = 'x';
    }
    ASSERT_TRUE(WriteAll(m_peerFd, noise));
    EXPECT_EQ(m_link.ReceiveReply(timedOut, 200), "");
    EXPECT_TRUE(timedOut);
}

TEST_P(LinkTest, APeerThatNeverEndsItsLineCannotHoldTheReceiver)
{
    SendAndExpect("q");
    std::atomic<bool> stop { false };
    std::thread flood([fd = m_peerFd, &stop] {
        const std::string block(512, 'A');
        while (!stop) {
            // Only when it takes more: a blocking write could outlast the stop.
            if (TestWaitOutput(fd, 20) == 1 && TestWrite(fd, block.data(), block.size()) < 0)
                break;
        }
    });
    bool timedOut = false;
    const std::string reply = m_link.ReceiveReply(timedOut, 1000);
    stop = true;
    flood.join();
    EXPECT_TRUE(timedOut);
    EXPECT_EQ(reply, "");
}

INSTANTIATE_TEST_SUITE_P(Transports, LinkTest, ::testing::Values(Transport::Tcp, Transport::Pty),
    [](const ::testing::TestParamInfo<Transport>& info) { return info.param == Transport::Tcp ? "Tcp" : "Pty"; });

TEST(Link, NothingIsSentOrReceivedOnAClosedLink)
{
    CInstrumentLink link;
    EXPECT_FALSE(link.SendCommand("*idn?"));
    EXPECT_FALSE(link.PollLine());
    bool timedOut = false;
    EXPECT_EQ(link.ReceiveReply(timedOut, 1000), "");
    EXPECT_TRUE(timedOut);
}

TEST(Link, OpenOnSerialNeedsAListedPort)
{
    VX_REQUIRE_PTY();
    CPtyPair pty;
    CInstrumentLink link;
    link.Interface = InterfaceKind::Com;
    link.ComPort = pty.SlavePath();
    EXPECT_FALSE(link.Open());
    EXPECT_FALSE(link.Channel().IsSerialOpen());

    link.PortTable.PortNames.push_back(pty.SlavePath());
    EXPECT_TRUE(link.Open());
    EXPECT_TRUE(link.IsOpen);
    link.Close();
    EXPECT_FALSE(link.IsOpen);
    EXPECT_EQ(link.Channel().Mode(), ChannelMode::None);
}

TEST(Link, AddressIsBuiltFromItsOctetsAndPortNamesBecomeDevicePaths)
{
    CInstrumentLink link;
    link.SetIpOctets({ 192, 168, 1, 20 });
    EXPECT_EQ(link.IpAddress, 0xC0A80114U);
    EXPECT_EQ(CInstrumentLink::DevicePathOf("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(CInstrumentLink::DevicePathOf("/dev/pts/3"), "/dev/pts/3");
}

TEST(Link, ASerialPeerThatGoesAwayEndsTheWaitAtOnce)
{
    VX_REQUIRE_PTY();
    auto pty = std::make_unique<CPtyPair>();
    CInstrumentLink link;
    link.Interface = InterfaceKind::Com;
    ASSERT_TRUE(link.OpenPort(pty->SlavePath(), 9600));
    ASSERT_TRUE(link.SendCommand("*idn?"));
    pty.reset(); // the other end disappears, as when a USB adapter is pulled
    bool timedOut = false;
    EXPECT_EQ(link.ReceiveReply(timedOut, 60000), "");
    EXPECT_TRUE(timedOut);
}

} // namespace
