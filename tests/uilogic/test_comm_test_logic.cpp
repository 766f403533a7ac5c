#include <gtest/gtest.h>

#include <chrono>

#include "link/identification.h"
#include "sim/simulator.h"
#include "uilogic/comm_test_logic.h"
#include "uilogic/panel_choice.h"

namespace {

bool WaitForReply(CInstrumentLink& link, CComTestLogic& logic, std::string& line)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        if (logic.PollReply(line))
            return true;
        (void)link.WaitForInput(100); // the next poll comes when input is there
    }
    return false;
}

} // namespace

TEST(ComTest, TcpPortTextsAreDigitsFromOneTo65535)
{
    const struct {
        const char* Text;
        bool Accepted;
        int32_t Port;
    } cases[] = {
        { "23", true, 23 },
        { "1", true, 1 },
        { "65535", true, 65535 },
        { "00080", true, 80 },
        { "", false, 0 },
        { "0", false, 0 },
        { "65536", false, 0 },
        { "70000", false, 0 },
        { "99999999999", false, 0 },
        { "8a", false, 0 },
        { " 23", false, 0 },
        { "-1", false, 0 },
        { "+5", false, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        CInstrumentLink link;
        link.TcpPort = 4242;
        CRecordingPrompt prompt;
        CComTestLogic logic(link, prompt);
        CommControls controls;
        controls.Lan = true;
        controls.TcpPortText = c.Text;
        controls.IpAddress = 0x0A000102;
        EXPECT_EQ(logic.ApplyControls(controls), c.Accepted);
        EXPECT_EQ(link.TcpPort, c.Accepted ? c.Port : 4242); // a refused text is never saved
        EXPECT_EQ(
            prompt.Texts, c.Accepted ? std::vector<std::string> {} : std::vector<std::string> { kFailedToPortNo });
        if (c.Accepted) {
            EXPECT_EQ(link.Interface, InterfaceKind::Lan);
            EXPECT_EQ(link.IpAddress, 0x0A000102U);
            EXPECT_EQ(link.IpOctets, (std::array<int32_t, 4> { 10, 0, 1, 2 }));
        }
    }
}

TEST(ComTest, PortRowsAndBaudRatesFollowTheSearch)
{
    const struct {
        uint32_t Baud;
        int Index;
    } bauds[] = { { 9600, 0 }, { 19200, 1 }, { 38400, 2 }, { 115200, 3 }, { 4800, 0 }, { 0, 0 } };
    for (const auto& b : bauds)
        EXPECT_EQ(BaudIndexOf(b.Baud), b.Index) << b.Baud;

    CInstrumentLink link;
    link.BaudRate = 19200;
    PortTableData& table = link.PortTable;
    EXPECT_EQ(PortRowOf(table, "/dev/ttyUSB0"), -1);
    table.FriendlyNames = { "USB Serial", "Bench", "USB Serial" };
    table.PortNames = { "/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyUSB0" };
    table.Labels = { " ", "?", "ZORVI-VX6207-02-123" };
    table.BaudRates = { 9600, 9600, 38400 };
    EXPECT_EQ(
        PortRowTexts(table), (std::vector<std::string> { "USB Serial", "Bench-?", "USB Serial-ZORVI-VX6207-02-123" }));
    EXPECT_EQ(PortRowOf(table, "/dev/ttyUSB0"), 2); // the last row of the port
    EXPECT_EQ(PortRowOf(table, "/dev/ttyACM9"), 0);
    EXPECT_EQ(BaudOfRow(link, 2), 19200U); // before a search: the link's rate
    link.SearchDone = 1;
    EXPECT_EQ(BaudOfRow(link, 2), 38400U);
    EXPECT_EQ(BaudOfRow(link, 0), 9600U);
}

TEST(ComTest, SendOpensAtTheChosenRateAndPollingShowsTheReply)
{
    SimOptions options;
    options.Model = "VX6207-02";
    options.Serial = "PTY7";
    options.BaudRate = 38400; // the instrument answers at this rate only
    CSimulator sim(options);
    ASSERT_TRUE(sim.StartPty());
    CInstrumentLink link;
    CFixedPortSource ports({ { "Simulated", sim.PtyPath(), "" } });
    EnumeratePorts(link, ports, "");
    CRecordingPrompt prompt;
    CComTestLogic logic(link, prompt);
    CommControls controls;
    EXPECT_FALSE(logic.Send(controls, "*idn?")); // no port chosen: nothing, and no message
    EXPECT_TRUE(prompt.Texts.empty());
    controls.PortRow = 0;
    controls.BaudIndex = BaudIndexOf(38400);
    ASSERT_TRUE(logic.Send(controls, "*idn?"));
    EXPECT_EQ(link.BaudRate, 38400U);
    std::string line;
    ASSERT_TRUE(WaitForReply(link, logic, line));
    EXPECT_EQ(line.rfind("ZORVI,VX6207-02,PTY7,", 0), 0U) << line;
    EXPECT_TRUE(logic.CloseIfOpen());
    EXPECT_FALSE(logic.CloseIfOpen());
    EXPECT_FALSE(link.IsOpen);
    // In LAN mode a refused open tells so.
    controls.Lan = true;
    controls.TcpPortText = "1";
    controls.IpAddress = 0x7F000001;
    EXPECT_FALSE(logic.Send(controls, "*idn?"));
    EXPECT_EQ(prompt.Texts, std::vector<std::string> { kFailedToOpenInterface });
}

TEST(PanelChoice, NumbersStatesAndTheFirstUnusedPanel)
{
    EXPECT_EQ(PanelNumberTexts(true), (std::vector<std::string> { "31", "32", "33", "34", "35", "36", "37", "38" }));
    EXPECT_EQ(PanelNumberTexts(false).size(), 30U);
    EXPECT_EQ(PanelNumberTexts(false).back(), "30");
    const struct {
        std::vector<int> Used; // panel numbers in use
        bool Mux;
        int Index;
        const char* State;
    } cases[] = {
        { {}, false, 0, "-" },
        { { 1, 2 }, false, 2, "-" },
        { { 1, 3 }, false, 1, "-" },
        { { 31 }, true, 1, "-" },
        { { 1, 2, 3 }, true, 0, "-" },
        { { 31, 32, 33, 34, 35, 36, 37, 38 }, true, 0, "Saved" },
    };
    for (const auto& c : cases) {
        PanelNames panels;
        for (const int number : c.Used)
            panels.Used[static_cast<size_t>(number - 1)] = 1;
        EXPECT_EQ(InitialPanelIndex(panels, c.Mux), c.Index);
        EXPECT_STREQ(PanelStateText(panels, c.Index, c.Mux), c.State);
    }
}
