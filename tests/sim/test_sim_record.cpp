// Recording a session with an instrument through the proxy and answering from the recording:
// the file format, which reply belongs to which request, and record -> replay end to end.
#include <cstdio>
#include <fstream>
#include <mutex>

#include <gtest/gtest.h>

#include "sim/proxy_session.h"
#include "sim/recording.h"
#include "sim/replay_session.h"
#include "sim_fixture.h"

namespace {

std::string TempPath(const char* name)
{
    return ::testing::TempDir() + name + std::to_string(::getpid());
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Notices of a simulator, collected for the test.
struct SNotices {
    std::mutex Mutex;
    std::vector<std::string> Lines;
    CSimulator::Notice Handler()
    {
        return [this](const std::string& line) {
            std::lock_guard lock(Mutex);
            Lines.push_back(line);
        };
    }
    std::vector<std::string> Taken()
    {
        std::lock_guard lock(Mutex);
        return Lines;
    }
};

// The exchanges of a script: queries and settings, an unknown command, a chain, and a reply that
// comes late while the client goes on.
std::vector<std::string> RunScript(CSimClient& client)
{
    std::vector<std::string> replies;
    for (const char* query : { "*IDN?", ":READ? LIMit", "bogus?", ":SAMP:RATE?", ":READ? LIMit", "*IDN?;*OPC?" }) {
        replies.push_back(client.Query(query, std::string(query) == "bogus?" ? 200 : 3000));
        if (std::string(query) == ":SAMP:RATE?")
            replies.push_back(client.Send(":SAMP:RATE FAST") ? client.Query(":SAMP:RATE?") : "<send failed>");
    }
    replies.push_back(client.Send(":ADJust?") ? client.Query("*TST?") : "<send failed>");
    replies.push_back(client.ReadLine().value_or("<no reply>"));
    return replies;
}

} // namespace

TEST(SimRecording, EntriesSurviveTheirTextForm)
{
    const SimRecordEntry entries[] {
        { ERecordKind::Connect, 0, "" },
        { ERecordKind::Request, 12, "*idn?" },
        { ERecordKind::Request, 13, "" },
        { ERecordKind::Reply, 15, " a\\b \"c\"  " },
        { ERecordKind::Fragment, 99999999999, std::string("\x00\x7F\xFF\r\n", 5) },
    };
    for (const SimRecordEntry& entry : entries) {
        const std::string line = FormatRecordEntry(entry);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        SimRecordEntry back;
        ASSERT_TRUE(ParseRecordEntry(line, back)) << line;
        EXPECT_EQ(back.Kind, entry.Kind) << line;
        EXPECT_EQ(back.Ms, entry.Ms) << line;
        EXPECT_EQ(back.Bytes, entry.Bytes) << line;
    }
    EXPECT_EQ(FormatRecordEntry(entries[4]), ". 99999999999 \\x00\\x7F\\xFF\\x0D\\x0A");
    SimRecordEntry entry;
    for (const char* bad :
        { "", "> ", "? 1 x", ">1 x", "> -5 x", "> 1x", "< 1 \\q", "< 1 \\x4", "+ 1 text", "> ten x" })
        EXPECT_FALSE(ParseRecordEntry(bad, entry)) << bad;
}

TEST(SimRecording, MalformedFilesAreRefusedWithTheLine)
{
    const std::string path = TempPath("sim_bad_recording");
    WriteFile(path, "# comment\r\n> 0 *idn?\r\n\r\n< 1 ZORVI\r\nreply without kind\r\n");
    CSimulator sim(ModelOptions("VX6207"));
    std::string error;
    EXPECT_FALSE(sim.UseReplay(path, error));
    EXPECT_NE(error.find("line 5"), std::string::npos) << error;
    EXPECT_FALSE(sim.UseReplay(path + "-missing", error));
    EXPECT_NE(error.find("cannot be read"), std::string::npos) << error;
    EXPECT_FALSE(sim.UseProxy("70000", "", error));
#ifdef _WIN32
    const char* const unwritables[] = { "/nonexistent-folder/x.rec" }; // no full device to write to
#else
    const char* const unwritables[] = { "/nonexistent-folder/x.rec", "/dev/full" };
#endif
    for (const char* unwritable : unwritables) {
        EXPECT_FALSE(sim.UseProxy("1", unwritable, error)) << unwritable;
        EXPECT_NE(error.find("cannot be written"), std::string::npos) << error;
    }
    std::remove(path.c_str());
}

TEST(SimRecording, ProxyTargetsNameAPortAndAHost)
{
    struct SCase {
        const char* Text;
        bool Valid;
        const char* Host;
        uint16_t Port;
    };
    const SCase cases[] {
        { "5025", true, "127.0.0.1", 5025 },
        { "localhost:23", true, "localhost", 23 },
        { "192.168.0.1:23", true, "192.168.0.1", 23 },
        { "[::1]:8000", true, "::1", 8000 },
        { "::1:8000", false, "", 0 },
        { "host:", false, "", 0 },
        { ":23", false, "", 0 },
        { "0", false, "", 0 },
        { "65536", false, "", 0 },
        { "host:port", false, "", 0 },
    };
    for (const SCase& c : cases) {
        std::string host;
        uint16_t port = 0;
        ASSERT_EQ(ParseProxyTarget(c.Text, host, port), c.Valid) << c.Text;
        if (c.Valid) {
            EXPECT_TRUE(host == c.Host && port == c.Port) << c.Text << " -> " << host << " " << port;
        }
    }
}

TEST(SimReplay, RepliesFollowTheLastRequestOfTheirConnection)
{
    const auto entry = [](ERecordKind kind, int64_t ms, const char* bytes) {
        return SimRecordEntry { kind, ms, bytes };
    };
    using K = ERecordKind;
    // A greeting before any request, a query nobody answered, a late answer after a quick one, two
    // lines for one query, a setting, bytes without a line end, and a second connection that asks
    // the same again.
    CReplayBook book({ entry(K::Reply, 0, "hello"), entry(K::Request, 0, "bogus?"), entry(K::Request, 5, ":ADJust?"),
        entry(K::Request, 6, "*TST?"), entry(K::Reply, 8, "0"), entry(K::Reply, 300, "1"),
        entry(K::Request, 310, ":READ?"), entry(K::Reply, 320, "A"), entry(K::Reply, 321, "B"),
        entry(K::Request, 330, ":SAMP:RATE FAST"), entry(K::Request, 340, "*IDN?"), entry(K::Fragment, 345, "ZOR"),
        entry(K::Connect, 400, ""), entry(K::Request, 410, "*TST?"), entry(K::Reply, 411, "5") });
    EXPECT_EQ(book.Unused(), 7u);
    struct SCase {
        const char* Line;
        bool Found;
        std::vector<SimReplayStep> Steps;
    };
    const SCase cases[] {
        { "*TST?", true, { { 2, "0\r\n" }, { 294, "1\r\n" } } },
        { ":ADJust?", true, {} },
        { "bogus?", true, {} },
        { ":READ?", true, { { 10, "A\r\n" }, { 11, "B\r\n" } } },
        { ":SAMP:RATE FAST", true, {} },
        { "*IDN?", true, { { 5, "ZOR" } } },
        { "*TST?", true, { { 1, "5\r\n" } } },
        { "*TST?", false, {} },
        { "*idn?", false, {} },
    };
    for (const SCase& c : cases) {
        std::vector<SimReplayStep> steps;
        ASSERT_EQ(book.Take(c.Line, steps), c.Found) << c.Line;
        ASSERT_EQ(steps.size(), c.Steps.size()) << c.Line;
        for (size_t i = 0; i < steps.size(); ++i)
            EXPECT_TRUE(steps[i].DelayMs == c.Steps[i].DelayMs && steps[i].Bytes == c.Steps[i].Bytes) << c.Line;
    }
    EXPECT_EQ(book.Unused(), 0u);
}

TEST(SimReplay, ARecordedSessionReplaysWithTheSameAnswers)
{
    const std::string path = TempPath("sim_session_recording");
    SimOptions options = ModelOptions("VX6207");
    options.ZeroAdjustMs = 30;
    options.ChannelLimits[0] = { 1.0e-3, 2.0e-3 };
    std::vector<std::string> recorded;
    {
        CSimulator instrument(options);
        ASSERT_TRUE(instrument.StartTcp());
        CSimulator proxy(ModelOptions("VX6207"));
        std::string error;
        ASSERT_TRUE(proxy.UseProxy(std::to_string(instrument.TcpPort()), path, error)) << error;
        ASSERT_TRUE(proxy.StartTcp());
        CSimClient client;
        ASSERT_TRUE(client.ConnectTcp(proxy.TcpPort()));
        recorded = RunScript(client);
        EXPECT_EQ(proxy.ReceivedLines(), instrument.ReceivedLines()); // forwarded unchanged
    }
    ASSERT_EQ(recorded.size(), 9u);
    EXPECT_EQ(recorded[0], "ZORVI,VX6207,123456,1.00");
    EXPECT_EQ(recorded[1].substr(recorded[1].find(',')), ",IN");
    EXPECT_EQ(recorded[2], "<no reply>");
    EXPECT_EQ(recorded[4], "FAST");
    EXPECT_EQ(recorded[8], "0");

    CSimulator replay(ModelOptions("VX6207"));
    SNotices notices;
    replay.SetNotice(notices.Handler());
    std::string error;
    ASSERT_TRUE(replay.UseReplay(path, error)) << error;
    ASSERT_TRUE(replay.StartTcp());
    CSimClient client;
    ASSERT_TRUE(client.ConnectTcp(replay.TcpPort()));
    EXPECT_EQ(RunScript(client), recorded);
    EXPECT_TRUE(notices.Taken().empty());
    // The recording holds nothing more: the replay stays silent and says which request it was.
    ASSERT_TRUE(client.Send("*IDN?"));
    EXPECT_FALSE(client.ReadLine(200).has_value());
    EXPECT_EQ(notices.Taken(), std::vector<std::string> { "replay: no recorded answer for \"*IDN?\"" });
    std::remove(path.c_str());
}

TEST(SimProxy, AnUnreachableInstrumentClosesTheClientAndSaysSo)
{
    // A port nothing listens on: taken from a simulator that is gone again.
    uint16_t freePort = 0;
    {
        CSimulator gone(ModelOptions("VX6207"));
        ASSERT_TRUE(gone.StartTcp());
        freePort = gone.TcpPort();
    }
    CSimulator proxy(ModelOptions("VX6207"));
    SNotices notices;
    proxy.SetNotice(notices.Handler());
    std::string error;
    ASSERT_TRUE(proxy.UseProxy("127.0.0.1:" + std::to_string(freePort), "", error)) << error;
    ASSERT_TRUE(proxy.StartTcp());
    CSimClient client;
    ASSERT_TRUE(client.ConnectTcp(proxy.TcpPort()));
    EXPECT_TRUE(client.PeerClosed());
    const std::vector<std::string> said = notices.Taken();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("cannot reach the instrument at 127.0.0.1:"), std::string::npos) << said[0];
}
