// Peers that misbehave: a slow reader, a peer that never reads, floods, trickles, stale bytes,
// echoes and wrong line ends. Every wait of the link ends and says why.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#endif

#include "link/identification.h"
#include "link/instrument_link.h"
#include "link/test_peer.h"

namespace {

// A peer thread on a descriptor that runs until the test ends.
class CPeerThread {
public:
    CPeerThread(int fd, std::function<void(int fd, const std::atomic<bool>& stop)> body)
        : m_thread([this, fd, body = std::move(body)] { body(fd, m_stop); })
    {
    }
    ~CPeerThread()
    {
        m_stop = true;
        m_thread.join();
    }
    CPeerThread(const CPeerThread&) = delete;
    CPeerThread& operator=(const CPeerThread&) = delete;

private:
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
};

bool WriteWhenWritable(int fd, const std::string& bytes, const std::atomic<bool>& stop)
{
    size_t done = 0;
    while (done < bytes.size() && !stop) {
        if (TestWaitOutput(fd, 20) != 1)
            continue;
        const long n = TestWrite(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return done == bytes.size();
}

struct SLanLink {
    SLanLink()
    {
        Link.Interface = InterfaceKind::Lan;
        Link.IpAddress = CLoopbackListener::Address();
        Link.TcpPort = Listener.Port();
        Opened = Link.OpenPort("", 0);
        PeerFd = Listener.Accept();
    }
    ~SLanLink()
    {
        Link.Close();
        if (PeerFd >= 0)
            TestClose(PeerFd);
    }
    CLoopbackListener Listener;
    CInstrumentLink Link;
    bool Opened = false;
    int PeerFd = -1;
};

TEST(LinkFaults, SerialCommandsReachASlowReaderWhole)
{
    VX_REQUIRE_PTY();
    CPtyPair pty;
    CInstrumentLink link;
    link.Interface = InterfaceKind::Com;
    ASSERT_TRUE(link.OpenPort(pty.SlavePath(), 9600));
    // Nobody reads while the commands go out, and the first is longer than the reader's buffer: the
    // second must not discard what the first left queued.
    std::string first = ":MUX:PANel:VAR:SET 0";
    while (first.size() < 12000)
        first += ",2147483647";
    ASSERT_TRUE(link.SendCommand(first));
    ASSERT_TRUE(link.SendCommand("*OPC"));
    const std::string received = ReadFor(pty.Master(), 5000, "*OPC\r\n");
    EXPECT_EQ(received.size(), first.size() + 8);
    EXPECT_TRUE(received == first + "\r\n*OPC\r\n");
}

TEST(LinkFaults, StaleBytesBeforeACommandAreNotTakenForItsReply)
{
    SLanLink lan;
    ASSERT_TRUE(lan.Opened);
    ASSERT_TRUE(WriteAll(lan.PeerFd, "stale\r\n"));
    ASSERT_EQ(lan.Link.WaitForInput(5000), WaitResult::Ready);
    ASSERT_TRUE(lan.Link.SendCommand("q?"));
    EXPECT_EQ(ReadFor(lan.PeerFd, 5000, "\n"), "q?\r\n");
    ASSERT_TRUE(WriteAll(lan.PeerFd, "fresh\r\n"));
    bool timedOut = true;
    EXPECT_EQ(lan.Link.ReceiveReply(timedOut, 5000), "fresh");
}

TEST(LinkFaults, ACommandGoesOutWhileThePeerStreamsReadings)
{
    SLanLink lan;
    ASSERT_TRUE(lan.Opened);
    std::atomic<bool> commandSeen { false };
    CPeerThread peer(lan.PeerFd, [&](int fd, const std::atomic<bool>& stop) {
        // Readings without end, as from a meter left measuring continuously, until the command arrives.
        std::string received;
        while (!stop && !commandSeen && WriteWhenWritable(fd, "+1.23456E-03\r\n", stop)) {
            (void)ReadSome(fd, received, 0);
            commandSeen = received.find("*idn?") != std::string::npos;
        }
    });
    EXPECT_TRUE(lan.Link.SendCommand("*idn?"));
    while (!commandSeen)
        SleepMs(1);
}

// Replies that never complete: each wait must end with a time-out.
struct SEndless {
    const char* Name;
    std::string Chunk; // sent again and again
    int EveryMs;
};

void PrintTo(const SEndless& c, std::ostream* out) { *out << c.Name; }

class EndlessReply : public testing::TestWithParam<SEndless> { };

TEST_P(EndlessReply, EndsTheWaitWithATimeOut)
{
    SLanLink lan;
    ASSERT_TRUE(lan.Opened);
    ASSERT_TRUE(lan.Link.SendCommand("q?"));
    CPeerThread peer(lan.PeerFd, [chunk = GetParam().Chunk, every = GetParam().EveryMs](int fd, const std::atomic<bool>& stop) {
        while (!stop && WriteWhenWritable(fd, chunk, stop)) {
            for (int waited = 0; waited < every && !stop; waited += 10)
                SleepMs(10);
        }
    });
    bool timedOut = false;
    EXPECT_EQ(lan.Link.ReceiveReply(timedOut, 1000), "");
    EXPECT_TRUE(timedOut);
}

INSTANTIATE_TEST_SUITE_P(Peers, EndlessReply,
    testing::Values(SEndless { "NulFlood", std::string(4096, '\0'), 0 }, SEndless { "OneByteEvery400ms", "7", 400 }),
    [](const testing::TestParamInfo<SEndless>& info) { return info.param.Name; });

TEST(LinkFaults, ASendToAPeerThatNeverReadsGivesUp)
{
    SLanLink lan;
    ASSERT_TRUE(lan.Opened);
    lan.Link.Channel().SendTimeoutMs = 100;
    const std::string block(64 * 1024 * 1024, 'x');
    size_t written = 0;
    EXPECT_FALSE(lan.Link.Channel().Send(block.data(), block.size(), written));
    EXPECT_LT(written, block.size());
}

// Peers on a serial port that answer wrongly: the link says what is wrong.
struct SWrongPeer {
    const char* Name;
    std::function<std::string(const std::string& received)> Answer; // bytes back for bytes received
    ConnectFault Fault;
    const char* Cause;
};

void PrintTo(const SWrongPeer& c, std::ostream* out) { *out << c.Name; }

class WrongPeer : public testing::TestWithParam<SWrongPeer> { };

TEST_P(WrongPeer, IdentificationFailsWithTheCause)
{
    VX_REQUIRE_PTY();
    CPtyPair pty;
    CPeerThread peer(pty.Master(), [answer = GetParam().Answer](int fd, const std::atomic<bool>& stop) {
        std::string received;
        while (!stop) {
            const size_t before = received.size();
            if (!ReadSome(fd, received, 10))
                break;
            if (received.size() > before)
                (void)WriteAll(fd, answer(received.substr(before)));
        }
    });
    CInstrumentLink link;
    link.Interface = InterfaceKind::Com;
    link.BaudRate = 19200;
    ASSERT_TRUE(link.OpenPort(pty.SlavePath(), 19200));
    std::string maker, model, serial;
    bool supported = false;
    EXPECT_FALSE(Identify(link, maker, model, serial, supported));
    EXPECT_EQ(link.LastFault, GetParam().Fault);
    EXPECT_EQ(NotConnectedText(link), std::string("VX620x is not connected.\n") + GetParam().Cause);
}

INSTANTIATE_TEST_SUITE_P(Peers, WrongPeer,
    testing::Values(SWrongPeer { "Silent", [](const std::string&) { return std::string(); }, ConnectFault::NoReply,
                        "No reply at 19200 baud: check the cable and the baud rate." },
        SWrongPeer { "LineFeedOnly",
            [](const std::string& in) {
                return in.find("*idn?") != std::string::npos ? std::string("ZORVI,VX6207,1,1.00\n") : std::string();
            },
            ConnectFault::NoLineEnd, "A reply came without the expected line end (CR LF): check the instrument's terminator." },
        SWrongPeer { "Echo", [](const std::string& in) { return in; }, ConnectFault::Echo,
            "The port echoes what is sent: check the cable (a loop-back or an echoing adapter)." }),
    [](const testing::TestParamInfo<SWrongPeer>& info) { return info.param.Name; });

#ifndef _WIN32 // another program's lock on a terminal device
TEST(LinkFaults, APortHeldByAnotherProgramSaysSo)
{
    VX_REQUIRE_PTY();
    CPtyPair pty;
    const int other = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    CInstrumentLink link;
    link.Interface = InterfaceKind::Com;
    EXPECT_FALSE(link.OpenPort(pty.SlavePath(), 9600));
    EXPECT_EQ(link.LastFault, ConnectFault::PortInUse);
    EXPECT_EQ(ConnectFaultText(link.LastFault, 9600, false), "The port is in use by another program.");
    ::close(other);
}
#endif

} // namespace
