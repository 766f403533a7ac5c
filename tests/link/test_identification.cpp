#include <gtest/gtest.h>

#include <thread>

#include "link/identification.h"
#include "link/test_peer.h"
#include "sim/simulator.h"

namespace {

// Opens a link to a loopback peer that answers "*idn?" with the given text (and records what it got).
struct IdnPeer {
    CLoopbackListener Listener;
    CInstrumentLink Link;
    std::string Received;
    std::thread Peer;

    explicit IdnPeer(const std::string& reply)
    {
        Link.Interface = InterfaceKind::Lan;
        Link.IpAddress = CLoopbackListener::Address();
        Link.TcpPort = Listener.Port();
        EXPECT_TRUE(Link.Open());
        const int fd = Listener.Accept();
        Peer = std::thread([this, fd, reply] {
            Received = ReadFor(fd, 3000, "*idn?\r\n");
            (void)WriteAll(fd, reply + "\r\n");
            SleepMs(50);
            TestClose(fd);
        });
    }
    ~IdnPeer()
    {
        if (Peer.joinable())
            Peer.join();
    }
};

} // namespace

TEST(Identification, IdentityRepliesAreSplitIntoTheirFields)
{
    struct Case {
        const char* Reply;
        bool Result;
        bool Supported;
        const char* Model;
        const char* Serial;
    };
    const Case cases[] = {
        { "ZORVI,VX6207,123456,1.00", true, true, "VX6207", "123456" },
        { "ZORVI,VX6208,A1,2.01,extra", true, true, "VX6208", "A1" },
        { "ZORVI,VX6207,123456", true, true, "VX6207", "--------" }, // two commas: no serial field
        { "ZORVI,VX6207", true, false, "", "--------" },              // one comma: no model field
        { "ZORVI,VX6207A,123456,1.00", true, false, "VX6207A", "--------" },
        { "zorvi,VX6207,123456,1.00", false, false, "untouched", "untouched" },
        { "ZORVI", false, false, "untouched", "untouched" },
        { "", false, false, "untouched", "untouched" },
    };
    for (const Case& c : cases) {
        IdnPeer peer(c.Reply);
        std::string maker = "untouched";
        std::string model = "untouched";
        std::string serial = "untouched";
        bool supported = false;
        EXPECT_EQ(Identify(peer.Link, maker, model, serial, supported), c.Result) << c.Reply;
        EXPECT_EQ(supported, c.Supported) << c.Reply;
        EXPECT_EQ(model, c.Model) << c.Reply;
        EXPECT_EQ(serial, c.Serial) << c.Reply;
        if (c.Result) {
            EXPECT_EQ(peer.Link.SerialNumber, c.Serial);
        }
        peer.Link.Close();
        peer.Peer.join();
        // A bare line goes first, then the query.
        EXPECT_EQ(peer.Received, "\r\n*idn?\r\n") << c.Reply;
    }
}

TEST(Identification, ProbingFindsAnInstrumentThatAnswersOnlyAt115200)
{
    VX_REQUIRE_PTY();
    SimOptions options;
    options.Model = "VX6207-02";
    options.Serial = "PROBE1";
    options.BaudRate = 115200;
    CSimulator simulator(options);
    ASSERT_TRUE(simulator.StartPty());
    CInstrumentLink link;
    link.Interface = InterfaceKind::Com;
    std::string model;
    std::string serial;
    uint32_t baud = 0;
    ASSERT_TRUE(ProbePort(link, simulator.PtyPath(), model, serial, baud));
    EXPECT_EQ(baud, 115200U);
    EXPECT_EQ(model, "VX6207-02");
    EXPECT_EQ(serial, "PROBE1");
    EXPECT_FALSE(link.IsOpen);
    EXPECT_EQ(link.Channel().Mode(), ChannelMode::None);
}

TEST(Identification, SearchLabelsEveryListedPort)
{
    VX_REQUIRE_PTY();
    SimOptions options;
    options.Model = "VX6208";
    options.Serial = "777";
    CSimulator simulator(options);
    ASSERT_TRUE(simulator.StartPty());
    CPtyPair silent;
    CInstrumentLink link;
    link.Interface = InterfaceKind::Com;
    CFixedPortSource source({ { "USB Serial (sim)", simulator.PtyPath(), "" }, { "Silent", silent.SlavePath(), "" } });
    EnumeratePorts(link, source, "");
    SearchAllPorts(link);
    ASSERT_EQ(link.PortTable.Size(), 2U);
    EXPECT_EQ(link.PortTable.Labels[0], "ZORVI-VX6208-777");
    EXPECT_EQ(link.PortTable.SerialNumbers[0], "777");
    EXPECT_EQ(link.PortTable.BaudRates[0], 9600U);
    EXPECT_EQ(link.PortTable.Labels[1], "?");
    EXPECT_EQ(link.PortTable.SerialNumbers[1], " ");
}

TEST(Identification, PortListingPrefersTheConfiguredPort)
{
    CInstrumentLink link;
    link.ComPort = "/dev/ttyOLD";
    CFixedPortSource none({});
    EnumeratePorts(link, none, "/dev/ttyUSB1");
    EXPECT_EQ(link.ComPort, "/dev/ttyOLD"); // nothing listed: the old port stays
    EXPECT_EQ(link.PortTable.Size(), 0U);

    CFixedPortSource two({ { "A", "/dev/ttyUSB0", "" }, { "B", "/dev/ttyUSB1", "" }, { "no name", "", "" } });
    EnumeratePorts(link, two, "/dev/ttyACM9");
    EXPECT_EQ(link.ComPort, "/dev/ttyUSB0");
    ASSERT_EQ(link.PortTable.Size(), 2U);
    EXPECT_EQ(link.PortTable.Labels[1], " ");
    EXPECT_EQ(link.PortTable.BaudRates[1], 9600U);
    EnumeratePorts(link, two, "/dev/ttyUSB1");
    EXPECT_EQ(link.ComPort, "/dev/ttyUSB1");
}

TEST(Identification, PortsNamedByHandAreListedWhenTheyAreTerminals)
{
    VX_REQUIRE_PTY();
    CPtyPair pty;
    std::vector<std::string> names { pty.SlavePath(), "/dev/ttyUSB0", "", "/nonexistent/tty", "/etc/hostname" };
    CFixedPortSource system({ { "USB Serial", "/dev/ttyUSB0", "" } });
    CNamedPortSource source(system, [&] { return names; });
    CInstrumentLink link;
    EnumeratePorts(link, source, pty.SlavePath());
    ASSERT_EQ(link.PortTable.Size(), 2U); // the listed port once, the terminal named by hand, nothing else
    EXPECT_EQ(link.PortTable.PortNames[1], pty.SlavePath());
    EXPECT_EQ(link.PortTable.FriendlyNames[1], pty.SlavePath());
    EXPECT_EQ(link.ComPort, pty.SlavePath());
}
