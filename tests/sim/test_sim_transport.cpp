// Serving over TCP and the pseudo-terminal, the transcript, the fault options and hostile input.
#include <cstdio>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "sim/sim_session.h"
#include "sim_fixture.h"

namespace {

std::vector<std::string> ReadFileLines(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

std::string TempPath(const char* name)
{
    return ::testing::TempDir() + name + std::to_string(::getpid());
}

} // namespace

TEST(SimTranscript, RecordsEveryLineWithoutItsLineEnd)
{
    SimOptions options = ModelOptions("VX6208");
    options.TranscriptPath = TempPath("sim_transcript");
    {
        SSimOverTcp sim(options);
        ASSERT_TRUE(sim.Started);
        ASSERT_TRUE(sim.Client.SendRaw("\r\n"));
        ASSERT_EQ(sim.Client.Query("*idn?"), "ZORVI,VX6208,123456,1.00");
        ASSERT_TRUE(sim.Client.SendRaw(":SAMP:RATE FAST\n:SAMP:RATE?\r"));
        ASSERT_EQ(sim.Client.ReadLine(), "FAST");
        const std::vector<std::string> expected { "", "*idn?", ":SAMP:RATE FAST", ":SAMP:RATE?" };
        EXPECT_EQ(sim.Sim.ReceivedLines(), expected);
        EXPECT_EQ(ReadFileLines(options.TranscriptPath), expected); // flushed line by line
        sim.Sim.ClearReceivedLines();
        EXPECT_TRUE(sim.Sim.ReceivedLines().empty());
    }
    std::remove(options.TranscriptPath.c_str());
}

TEST(SimTcp, ServesClientsOneAfterAnotherAndKeepsTheInstrumentState)
{
    CSimulator sim(ModelOptions("VX6207-02"));
    ASSERT_TRUE(sim.StartTcp());
    {
        CSimClient first;
        ASSERT_TRUE(first.ConnectTcp(sim.TcpPort()));
        ASSERT_TRUE(first.Send(":SAMPle:RATE FAST"));
        ASSERT_EQ(first.Query("*idn?").rfind("ZORVI", 0), 0u);
    }
    CSimClient second;
    ASSERT_TRUE(second.ConnectTcp(sim.TcpPort()));
    EXPECT_EQ(second.Query(":SAMPle:RATE?"), "FAST");
}

TEST(SimTcp, RefusesASecondClientWhileOneIsConnected)
{
    CSimulator sim(ModelOptions("VX6207-02"));
    ASSERT_TRUE(sim.StartTcp());
    CSimClient first;
    ASSERT_TRUE(first.ConnectTcp(sim.TcpPort()));
    ASSERT_EQ(first.Query("*idn?").rfind("ZORVI", 0), 0u);
    ASSERT_TRUE(first.Send(":ADJust?")); // a reply still outstanding when the second comes
    CSimClient second;
    ASSERT_TRUE(second.ConnectTcp(sim.TcpPort()));
    EXPECT_TRUE(second.PeerClosed()); // at once, not after the first has left
    (void)second.Send(":SAMPle:RATE FAST"); // goes nowhere: the connection is closed
    EXPECT_EQ(first.ReadLine(), "0");
    EXPECT_EQ(first.Query(":SAMPle:RATE?"), "SLOW2");
    EXPECT_EQ(sim.ReceivedLines(), (std::vector<std::string> { "*idn?", ":ADJust?", ":SAMPle:RATE?" }));
    ASSERT_TRUE(first.Send("SCAN:MODE STEP"));
    // A client that has just left makes room at once, even with its last lines still unread.
    for (int round = 0; round < 20; ++round) {
        first.Close();
        ASSERT_TRUE(first.ConnectTcp(sim.TcpPort())) << round;
        ASSERT_EQ(first.Query("SCAN:MODE?"), "STEP") << round;
        ASSERT_TRUE(first.Send("*TST?")); // left unread: the close resets the connection
    }
}

TEST(SimTcp, StopsWhileAClientIsConnectedAndWaiting)
{
    SimOptions options = ModelOptions("VX6207");
    options.ZeroAdjustMs = 60000;
    CSimulator sim(options);
    ASSERT_TRUE(sim.StartTcp());
    CSimClient client;
    ASSERT_TRUE(client.ConnectTcp(sim.TcpPort()));
    ASSERT_TRUE(client.Send(":ADJust?"));
    ASSERT_TRUE(client.Send(":trig:sour ext"));
    ASSERT_TRUE(client.Send(":READ?"));
    ASSERT_EQ(client.Query("*TST?"), "0");
    sim.Stop(); // must return although replies are pending and the client stays
    EXPECT_TRUE(client.PeerClosed());
    sim.Stop(); // stopping twice is harmless
}

TEST(SimFaults, ReplyFaultsApplyToTheNamedCommandOnly)
{
    SimOptions options = ModelOptions("VX6207");
    options.DropReplyTo = "*IDN?";
    options.GarbleReplyTo = ":fetch? limit";
    options.LatencyMs = 5;
    options.MeasureMs = 5;
    SSimOverTcp sim(options);
    ASSERT_TRUE(sim.Started);
    ASSERT_TRUE(sim.Client.Send("*idn?"));
    EXPECT_EQ(sim.Client.Query("*TST?"), "0"); // the identity never came
    const std::string garbled = sim.Client.Query(":FETCh? LIMit");
    EXPECT_EQ(garbled, GarbleText(garbled.size()));
    EXPECT_EQ(garbled.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(sim.Client.Query(":FETCh?").find('E'), 7u); // other forms of the header are untouched
    EXPECT_EQ(sim.Client.Query(":READ?").find('E'), 7u);
}

TEST(SimFaults, FaultNamesMatchHeaderOrWholeLine)
{
    EXPECT_TRUE(FaultNamesLine("*IDN?", "*idn?"));
    EXPECT_TRUE(FaultNamesLine(":ADJust?", "ADJUST?"));
    EXPECT_TRUE(FaultNamesLine(":FETCh?", ":FETCH? LIMIT"));
    EXPECT_TRUE(FaultNamesLine(":FETCh? LIMit", ":fetch? limit"));
    EXPECT_FALSE(FaultNamesLine(":FETCh? LIMit", ":FETCh?"));
    EXPECT_FALSE(FaultNamesLine("", "*idn?"));
}

TEST(SimFaults, ClosesAfterTheGivenNumberOfLinesAndServesTheNextClient)
{
    SimOptions options = ModelOptions("VX6207");
    options.CloseAfterLines = 2;
    CSimulator sim(options);
    ASSERT_TRUE(sim.StartTcp());
    for (int client = 0; client < 2; ++client) {
        CSimClient connection;
        ASSERT_TRUE(connection.ConnectTcp(sim.TcpPort()));
        EXPECT_EQ(connection.Query("*idn?").rfind("ZORVI", 0), 0u);
        ASSERT_TRUE(connection.Send("*idn?"));
        EXPECT_TRUE(connection.PeerClosed());
    }
    EXPECT_EQ(sim.ReceivedLines().size(), 4u);
}

TEST(SimFaults, TrickledRepliesArriveWhole)
{
    SimOptions options = ModelOptions("VX6208");
    options.Trickle = true;
    SSimOverTcp sim(options);
    ASSERT_TRUE(sim.Started);
    EXPECT_EQ(sim.Client.Query("*idn?"), "ZORVI,VX6208,123456,1.00");
    EXPECT_EQ(sim.Client.Query("CH?"), "FRONT");
}

TEST(SimRobustness, OverlongLinesAndGarbageNeverStopTheInstrument)
{
    SSimOverTcp sim(ModelOptions("VX6207-02"));
    ASSERT_TRUE(sim.Started);
    ASSERT_TRUE(sim.Client.SendRaw(std::string(200000, 'A') + "?\r\n"));
    ASSERT_TRUE(sim.Client.SendRaw("*idn?" + std::string(kMaxLineBytes, ' ') + "x\r\n")); // too long: ignored
    EXPECT_EQ(sim.Client.Query("*idn?").rfind("ZORVI", 0), 0u);
    std::mt19937 random(42);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int line = 0; line < 200; ++line) {
        std::string garbage;
        for (int i = 0; i < 64; ++i)
            garbage += static_cast<char>(byte(random));
        ASSERT_TRUE(sim.Client.SendRaw(garbage));
    }
    for (const char* line : { ":MUX:CH:VAR:SET 0,1,\"", ":MUX:PANel:VAR:SET", ",,,,", "?", ":", "CH -5",
             ":ADJust:SET 99999999999999999999,1", ":SYSTem:PANel:NAME 1" })
        ASSERT_TRUE(sim.Client.Send(line));
    ASSERT_TRUE(sim.Client.SendRaw("\r\n"));
    // Whatever the garbage produced, a fresh client finds the instrument answering.
    CSimClient fresh;
    sim.Client.Close();
    ASSERT_TRUE(fresh.ConnectTcp(sim.Sim.TcpPort()));
    EXPECT_EQ(fresh.Query("*idn?").rfind("ZORVI", 0), 0u);
}

TEST(SimPty, ServesTheSerialPathAndClientsOneAfterAnother)
{
    VX_REQUIRE_PTY();
    CSimulator sim(ModelOptions("VX6207-02"));
    ASSERT_TRUE(sim.StartPty());
    ASSERT_FALSE(sim.PtyPath().empty());
    for (int round = 0; round < 2; ++round) {
        CSimClient client;
        ASSERT_TRUE(client.OpenPty(sim.PtyPath()));
        EXPECT_EQ(client.Query("*idn?"), "ZORVI,VX6207-02,123456,1.00");
        if (round == 0)
            ASSERT_TRUE(client.Send("SCAN:MODE STEP"));
        else
            EXPECT_EQ(client.Query("SCAN:MODE?"), "STEP");
        EXPECT_EQ(client.Query(":MUX:CH:VAR:GET?  0,42").empty(), false);
    }
}

TEST(SimPty, AnswersOnlyAtTheConfiguredLineSpeed)
{
    VX_REQUIRE_PTY();
    SimOptions options = ModelOptions("VX6207");
    options.BaudRate = 115200;
    CSimulator sim(options);
    ASSERT_TRUE(sim.StartPty());
    {
        CSimClient slow;
        ASSERT_TRUE(slow.OpenPty(sim.PtyPath(), B9600));
        ASSERT_TRUE(slow.Send("*idn?"));
        EXPECT_FALSE(slow.ReadLine(300).has_value());
    }
    CSimClient fast;
    ASSERT_TRUE(fast.OpenPty(sim.PtyPath(), B115200));
    EXPECT_EQ(fast.Query("*idn?").rfind("ZORVI", 0), 0u);
    EXPECT_EQ(sim.ReceivedLines().front(), "*idn?"); // heard, though not understood
}

TEST(SimPty, TcpAndPtyServeTheSameInstrumentAtOnce)
{
    VX_REQUIRE_PTY();
    CSimulator sim(ModelOptions("VX6208"));
    ASSERT_TRUE(sim.StartTcp());
    ASSERT_TRUE(sim.StartPty());
    CSimClient tcp;
    CSimClient pty;
    ASSERT_TRUE(tcp.ConnectTcp(sim.TcpPort()));
    ASSERT_TRUE(pty.OpenPty(sim.PtyPath()));
    ASSERT_TRUE(tcp.Send(":SAMPle:RATE SLOW1"));
    ASSERT_EQ(tcp.Query("*TST?"), "0");
    EXPECT_EQ(pty.Query(":SAMPle:RATE?"), "SLOW1");
}
