// Values read back from the instrument: whole ranges travel send -> simulator -> read back
// unchanged, and replies the record cannot hold (out of range, garbled, missing) fail the read
// with nothing stored.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "command_rig.h"
#include "commands/communicate_vp.h"
#include "record_compare.h"
#include "scripted_peer.h"
#include "sim/instrument.h"
#include "test_records.h"

namespace {

// The simulated instrument in-process, with chosen lines answered by the test instead: a reply
// text, or nothing at all.
class COverridingPeer {
public:
    COverridingPeer(const std::string& model, std::map<std::string, std::optional<std::string>> overrides)
        : m_instrument(SimFor(model))
        , m_overrides(std::move(overrides))
        , m_peer([this](const std::string& line) { return Answer(line); })
    {
    }
    void Listen(CInstrumentLink& link)
    {
        m_peer.Listen(link);
        link.PausePercent = 0;
        link.Channel().DrainSettleMs = 1;
    }

private:
    std::optional<std::string> Answer(const std::string& line)
    {
        if (const auto found = m_overrides.find(line); found != m_overrides.end())
            return found->second;
        SimResponse response = m_instrument.Execute(line);
        if (!response.HasReply)
            return std::nullopt;
        return response.Produce ? response.Produce() : response.Text;
    }

    CInstrument m_instrument;
    std::map<std::string, std::optional<std::string>> m_overrides;
    CScriptedPeer m_peer;
};

struct SBadReply {
    const char* Name;
    const char* Line; // the query as sent
    std::optional<std::string> Reply; // nothing: the reply is dropped
};

void PrintTo(const SBadReply& reply, std::ostream* out) { *out << reply.Name; }

class UnholdableReply : public testing::TestWithParam<SBadReply> { };

TEST_P(UnholdableReply, FailsTheReadAndStoresNothing)
{
    COverridingPeer peer("VX6207", { { GetParam().Line, GetParam().Reply } });
    CInstrumentLink link;
    peer.Listen(link);
    CRecordingPrompt prompt;
    CCommunicateMeasData transfer(prompt, link);
    const MeasSetData before = MakeFrontRecord(kModelVx6207);
    MeasSetData record = before;
    EXPECT_FALSE(transfer.ReadAll(record));
    ExpectSameRecord(before, record, GetParam().Name);
    EXPECT_FALSE(link.IsOpen);
}

INSTANTIATE_TEST_SUITE_P(Replies, UnholdableReply,
    testing::Values(SBadReply { "HugeUpperLimit", ":CALCulate:LIMit:UPPer?", "9.9E+37" },
        SBadReply { "NotANumberLimit", ":CALCulate:LIMit:LOWer?", "NAN" },
        SBadReply { "AverageCountBeyond32Bits", ":CALCulate:AVERage:COUNt?", "4294967298" },
        SBadReply { "AverageCountOutsideItsRange", ":CALCulate:AVERage:COUNt?", "1000" },
        SBadReply { "DelayBeyond16Bits", ":TRIGger:DELay?", "99.999" },
        SBadReply { "TcAlphaGarbled", ":CALCulate:TCORrect:PARameter?", "23.00,#@~" },
        SBadReply { "BeeperToneBeyond32Bits", ":CALCulate:LIMit:BEEPer? HI", "HI,8589934592,1" },
        SBadReply { "ZeroAdjustDropped", ":ADJust:GET? 0", std::nullopt },
        SBadReply { "ZeroAdjustGarbled", ":ADJust:GET? 1", "\x7F#@~" },
        SBadReply { "ZeroAdjustBeyond32Bits", ":ADJust:GET? 2", "99999999999" },
        SBadReply { "RangeGarbled", "RESistance:RANGe?", "#@~" },
        SBadReply { "RangeOfNoModel", "RESistance:RANGe?", "5.0" }),
    [](const testing::TestParamInfo<SBadReply>& info) { return info.param.Name; });

TEST(TransferValues, PanelItemBeyondItsWidthFailsThePanelRead)
{
    std::string panel = "300"; // the first item is 8 bits wide
    for (int i = 1; i < kPanelVariableCount; ++i)
        panel += ",0";
    COverridingPeer peer("VX6207-02", { { ":MUX:PANel:VAR:GET? 0", panel } });
    CInstrumentLink link;
    peer.Listen(link);
    CRecordingPrompt prompt;
    const MeasSetData before = MakeMuxRecord(kModelVx6207_02, 0);
    MeasSetData record = before;
    ASSERT_TRUE(CreateCommand(CommandNo::kInit, link, prompt, &record)->SendSetting());
    EXPECT_FALSE(CreateCommand(CommandNo::kVp, link, prompt, &record)->ReadSetting());
    ExpectSameRecord(before, record, "after a panel read out of range");
}

// Sends every value of a field and reads it back through the simulator.
template <typename Set, typename Get>
void SweepThroughSimulator(int number, int64_t first, int64_t last, int64_t step, Set set, Get get)
{
    SSimRig rig("VX6207");
    ASSERT_TRUE(rig.Started);
    rig.Link.Channel().DrainSettleMs = 0; // every reply is read before the next command
    MeasSetData record = MakeFrontRecord(kModelVx6207);
    ASSERT_TRUE(rig.Connect(record));
    int lost = 0;
    for (int64_t value = first; value <= last; value += step) {
        set(record, value);
        MeasSetData read = record;
        set(read, first == value ? last : first);
        ASSERT_TRUE(rig.Send(number, record));
        ASSERT_TRUE(rig.Read(number, read));
        if (get(read) != value && ++lost <= 3)
            ADD_FAILURE() << "sent " << value << ", read back " << get(read);
    }
    EXPECT_EQ(lost, 0);
}

TEST(TransferValues, EveryDelayReadsBackAsSent)
{
    SweepThroughSimulator(
        21, 0, 9999, 1, [](MeasSetData& d, int64_t v) { d.Front.Cond.DelayTime = static_cast<int16_t>(v); },
        [](const MeasSetData& d) -> int64_t { return d.Front.Cond.DelayTime; });
}

TEST(TransferValues, EveryReferencePercentageReadsBackAsSent)
{
    SweepThroughSimulator(
        19, 0, 99999, 7, // every seventh value: about 14,000 round trips
        [](MeasSetData& d, int64_t v) {
            d.Front.Cond.CompMode = 1;
            d.Front.Cond.CompUpper = 1000;
            d.Front.Cond.CompLower = v;
        },
        [](const MeasSetData& d) { return d.Front.Cond.CompLower; });
}

TEST(TransferValues, BinLimitsReadBackAsSent)
{
    SSimRig rig("VX6207");
    ASSERT_TRUE(rig.Started);
    rig.Link.Channel().DrainSettleMs = 0;
    MeasSetData record = MakeFrontRecord(kModelVx6207);
    ASSERT_TRUE(rig.Connect(record));
    // Ten entries a round, two hundred rounds: every upper limit from 64000 to 65999 (1e-9 units).
    int lost = 0;
    for (int64_t base = 64000; base < 66000; base += kBinBits) {
        for (int i = 0; i < kBinBits; ++i)
            record.Front.BinBit[static_cast<size_t>(i)] = { 1, 0, base + i, 0 };
        MeasSetData read = DefaultRecord(kModelVx6207);
        ASSERT_TRUE(rig.Send(26, record));
        ASSERT_TRUE(rig.Read(26, read));
        for (int i = 0; i < kBinBits; ++i) {
            const int64_t got = read.Front.BinBit[static_cast<size_t>(i)].Upper;
            if (got != base + i && ++lost <= 3)
                ADD_FAILURE() << "sent " << base + i << ", read back " << got;
        }
    }
    EXPECT_EQ(lost, 0);
}

TEST(TransferValues, UserUnitWithAQuoteTravelsQuoted)
{
    SSimRig rig("VX6207-02");
    ASSERT_TRUE(rig.Started);
    MeasSetData record = MakeMuxRecord(kModelVx6207_02, 0);
    ASSERT_TRUE(rig.Connect(record));
    record.Front.Cond.ScalingUnitKind = 2;
    record.Front.Cond.ScalingUnitText = "a\"b";
    ASSERT_TRUE(rig.Send(24, record));
    const auto lines = LinesStartingWith(rig.Lines(), ":CALCulate:SCALing:UNIT");
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0], ":CALCulate:SCALing:UNIT \"a\"\"b\"");
    MeasSetData read = record;
    read.Front.Cond.ScalingUnitText.clear();
    ASSERT_TRUE(rig.Read(24, read));
    EXPECT_EQ(read.Front.Cond.ScalingUnitText, "a\"b");
}

TEST(TransferValues, AMeterLeftWithHeadersOnIsReadAfterConnecting)
{
    SSimRig rig("VX6207");
    ASSERT_TRUE(rig.Started);
    // Another program leaves the reply header on.
    ASSERT_TRUE(rig.Link.Open());
    ASSERT_TRUE(rig.Link.SendCommand(":SYSTem:HEADer ON"));
    ASSERT_TRUE(rig.Link.SendCommand(":SAMPle:RATE?"));
    bool timedOut = true;
    const std::string headed = rig.Link.ReceiveReply(timedOut, 1000);
    ASSERT_EQ(headed.rfind(":SAMP:RATE ", 0), 0U) << headed;
    rig.Link.Close();
    const MeasSetData written = MakeFrontRecord(kModelVx6207);
    CCommunicateMeasData transfer(rig.Prompt, rig.Link);
    ASSERT_TRUE(transfer.WriteAll(written));
    MeasSetData read = DefaultRecord(kModelVx6207);
    ASSERT_TRUE(transfer.ReadAll(read));
    ExpectSameRecord(written, read, "headers on at start");
}

TEST(TransferValues, APanelRecordWithoutAWordSendsNothing)
{
    SSimRig rig("VX6207-02");
    ASSERT_TRUE(rig.Started);
    MeasSetData record = MakeMuxRecord(kModelVx6207_02, 0);
    ASSERT_TRUE(rig.Connect(record));
    record.MuxCurrentErrorMode = 5;
    EXPECT_FALSE(rig.Send(CommandNo::kVp, record));
    EXPECT_TRUE(rig.Lines().empty());
}

// Replies later than the query time-outs (1,000 ms for a query, 500 ms for a contains-query) are
// not waited for; replies inside them are.
TEST(TransferValues, QueriesWaitForTheirTimeOutAndNoLonger)
{
    struct Case {
        int LatencyMs;
        bool Contains;
        bool Answered;
    };
    for (const Case c : { Case { 1400, false, false }, Case { 600, false, true }, Case { 750, true, false } }) {
        SimOptions options = SimFor("VX6207");
        options.LatencyMs = c.LatencyMs;
        SSimRig rig(options);
        ASSERT_TRUE(rig.Started);
        ASSERT_TRUE(rig.Link.Open());
        MeasSetData record = MakeFrontRecord(kModelVx6207);
        auto command = CreateCommand(21, rig.Link, rig.Prompt, &record);
        std::string reply;
        bool found = false;
        const bool answered = c.Contains ? rig.Link.QueryContains(":TRIGger:DELay:AUTO", found, "ON", true)
                                         : command->Query(":TRIGger:DELay", reply);
        EXPECT_EQ(answered, c.Answered) << c.LatencyMs;
    }
}

} // namespace
