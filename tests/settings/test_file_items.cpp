#include <clocale>
#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "settings/file_items.h"
#include "settings/model_info.h"
#include "settings/settings_test_support.h"

namespace {

std::string WriteKey(MeasSetData& data, const std::string& key, int table = 0, int channel = 0)
{
    auto item = CreateFileItem(key, data.ModelCode);
    if (item == nullptr)
        return "<no item>";
    item->SetTarget(data);
    return item->Write(table, channel);
}

// Reads one value text for a key; "<no item>" when the factory refuses the key.
std::string ReadKey(MeasSetData& data, const std::string& key, const std::string& value, int32_t model)
{
    auto item = CreateFileItem(key, model);
    if (item == nullptr)
        return "<no item>";
    item->SetTarget(data);
    return item->Read(value) ? "ok" : "format error";
}

// Exposes the shared split of the item base.
class CSplitProbe final : public CFileWR {
public:
    std::string Write(int, int) override { return {}; }
    bool Read(const std::string&) override { return false; }
    bool SplitInto(const std::string& value, size_t expected) { return Split(value, expected); }
    const std::vector<std::string>& Tokens() const { return m_tokens; }
};

} // namespace

TEST(FileItems, EveryKeyHasItsOwnItemClassAndAtcKeysOnlyForTheVx6208)
{
    const auto& general = GeneralFileKeys();
    const auto& channel = ChannelFileKeys(true);
    EXPECT_EQ(general.size(), 39U);
    EXPECT_EQ(channel.size(), 36U);
    EXPECT_EQ(ChannelFileKeys(false).size(), 22U);
    std::set<std::string> classes;
    for (const auto* keys : { &general, &channel }) {
        for (const std::string& key : *keys) {
            EXPECT_NE(CreateFileItem(key, 2048), nullptr) << key;
            const bool atc = key.rfind("MUX_ATC_", 0) == 0;
            for (const int32_t model : { 0, 8, 160 })
                EXPECT_EQ(CreateFileItem(key, model) != nullptr, !atc) << key << " " << model;
            classes.insert(FileItemClassName(key));
        }
    }
    EXPECT_EQ(classes.size(), 75U);
    EXPECT_EQ(FileItemClassName("RANGE"), "CFileRange");
    EXPECT_EQ(FileItemClassName("MUX_ATC_RANGE"), "CFileMuxAtcRange");
    EXPECT_EQ(FileItemClassName("MUX_DELAY"), "CFileMuxtDelay");
    for (const char* unknown : { "model", "MODEL ", "", "MUX_ATC_", "RANGE\r" })
        EXPECT_EQ(CreateFileItem(unknown, 2048), nullptr) << unknown;
}

TEST(FileItems, SplitCountsTokensAsTheFileGrammarDoes)
{
    const struct {
        const char* Value;
        std::vector<std::string> Tokens;
    } cases[] = {
        { "", { "" } },
        { "5", { "5" } },
        { "5,", { "5", "" } },
        { ",", { "", "" } },
        { "a,,b", { "a", "", "b" } },
        { " 1 , 2", { " 1 ", " 2" } },
    };
    for (const auto& c : cases) {
        CSplitProbe probe;
        EXPECT_TRUE(probe.SplitInto(c.Value, c.Tokens.size())) << c.Value;
        EXPECT_EQ(probe.Tokens(), c.Tokens) << c.Value;
        CSplitProbe other;
        EXPECT_FALSE(other.SplitInto(c.Value, c.Tokens.size() + 1)) << c.Value;
    }
}

TEST(FileItems, WrittenLinesHaveTheExactFormats)
{
    MeasSetData data = Defaults(2048);
    const struct {
        const char* Key;
        int Table;
        int Channel;
        const char* Text;
    } cases[] = {
        { "FILE_VER", 0, 0, "FILE_VER,3\n" },
        { "MODEL", 0, 0, "MODEL,2048\n" },
        { "RANGE", 0, 0, "RANGE,11\n" },
        { "AVG", 0, 0, "AVG,0,10\n" },
        { "COMP", 0, 0, "COMP,0,0,0,0\n" },
        { "TC", 0, 0, "TC,0,20.000000,3930\n" },
        { "LP_0ADJ", 0, 0, "LP_0ADJ,0,0,0\nLP_0ADJ,1,0,0\nLP_0ADJ,2,0,0\nLP_0ADJ,3,0,0\n" },
        { "MUX_PIN", 1, 3, "MUX_PIN,1,3,0,CH4,0,4,4,0,1\n" },
        { "MUX_PIN", 0, 12, "MUX_PIN,0,12,0,CH13,1,3,3,0,1\n" },
        { "MUX_LOW_POWER", 1, 3, "MUX_LOW_POWER,1,3,0\n" },
        { "MUX_AVG", 1, 3, "MUX_AVG,1,3,0,10\n" },
        { "MUX_COMP", 1, 3, "MUX_COMP,1,3,0,0,0,0,0,2\n" },
        { "MUX_DT", 1, 3, "MUX_DT,1,3,0,23.000000,1.000000e+00,235.000000\n" },
        { "MUX_SCA", 1, 3, "MUX_SCA,1,3,0,1.000000e+00,0.000000e+00,0,\n" },
        { "MUX_ATC_TC", 1, 3, "MUX_ATC_TC,1,3,0,20.000000,3930\n" },
        { "MUX_ATC_DT", 1, 3, "MUX_ATC_DT,1,3,23.000000,1.000000e-02,3930,235.000000\n" },
        { "MUX_ATC_PIN", 1, 3, "MUX_ATC_PIN,1,3,0,1,1\n" },
        { "MUX_ATC_DELAY", 1, 3, "MUX_ATC_DELAY,1,3,0,0\n" },
        { "MUX_ATC_AVG", 1, 3, "MUX_ATC_AVG,1,3,1,2\n" },
        { "MUX_ATC_RANGE", 1, 3, "MUX_ATC_RANGE,1,3,11\n" },
        { "MUX_ATC_100M_HI", 1, 3, "MUX_ATC_100M_HI,1,3,0\n" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(WriteKey(data, c.Key, c.Table, c.Channel), c.Text) << c.Key;

    // The zero-adjust arrays follow the model's range count.
    const std::string zero = WriteKey(data, "MUX_0ADJ", 0, 41);
    EXPECT_EQ(zero.substr(zero.size() - 21), "MUX_0ADJ,0,41,10,0,0\n");
    MeasSetData normal = Defaults(10);
    EXPECT_EQ(WriteKey(normal, "0ADJ").find("0ADJ,10,"), std::string::npos);

    // Flags are written as 0 or 1 whatever they hold; plain integers as they are.
    data.MuxOn = 7;
    data.Channels4Wire[0].MeasCurrLow = 5;
    data.Front.Cond.MeasCurrLow = 5;
    data.Front.Cond.CompMode = -3;
    EXPECT_EQ(WriteKey(data, "MUX_ON"), "MUX_ON,1\n");
    EXPECT_EQ(WriteKey(data, "MUX_MEAS_CURR"), "MUX_MEAS_CURR,0,0,5\n");
    EXPECT_EQ(WriteKey(data, "MEAS_CURR"), "MEAS_CURR,1\n");
    EXPECT_EQ(WriteKey(data, "COMP"), "COMP,0,1,0,0\n");
}

TEST(FileItems, NumbersAreWrittenWithAPointUnderACommaLocale)
{
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "the comma-decimal test locale is not installed";
    MeasSetData data = Defaults(8);
    data.Front.Cond.DtT1 = 23.5;
    MeasSetData back = Defaults(8);
    const std::string line = WriteKey(data, "DT");
    const std::string read = ReadKey(back, "DT", line.substr(3, line.size() - 4), 8);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(line, "DT,0,23.500000,1.000000e+00,235.000000\n");
    EXPECT_EQ(read, "ok");
    EXPECT_EQ(back.Front.Cond.DtT1, 23.5);
}

TEST(FileItems, ReadingRulesOfSingleLines)
{
    const struct {
        const char* What;
        int32_t Model;
        const char* Key;
        const char* Value;
        const char* Result;
        std::function<bool(const MeasSetData&)> Check;
    } cases[] = {
        { "DT in exponent form", 8, "DT", "0,23,1.000000e+00,235", "ok",
            [](auto& d) { return d.Front.Cond.DtR1 == 1.0; } },
        { "DT as integer", 8, "DT", "0,23,1,235", "ok", [](auto& d) { return d.Front.Cond.DtR1 == 1.0; } },
        { "DT with a point", 8, "DT", "0,23,1.0,235", "ok", [](auto& d) { return d.Front.Cond.DtR1 == 1.0; } },
        { "no number reads as 0", 8, "SPEED", "fast", "ok", [](auto& d) { return d.Front.Cond.Speed == 0; } },
        { "a flag is stored as read", 8, "MUX_ON", "5", "ok", [](auto& d) { return d.MuxOn == 5; } },
        { "empty value is one empty token", 8, "SPEED", "", "ok", [](auto& d) { return d.Front.Cond.Speed == 0; } },
        { "delay kept in 16 bits", 8, "DELAY", "1,70000", "ok",
            [](auto& d) { return d.Front.Cond.DelayTime == 4464; } },
        { "64-bit comparator", 8, "COMP", "1,0,9000000000000000000,1", "ok",
            [](auto& d) { return d.Front.Cond.CompUpper == 9000000000000000000LL; } },
        { "0ADJ index 10 ignored on a normal model", 8, "0ADJ", "10,1,5", "ok",
            [](auto& d) { return d.Front.Cond.ZeroAdjValue[10] == 0; } },
        { "0ADJ index 10 stored on an extended model", 144, "0ADJ", "10,1,5", "ok",
            [](auto& d) { return d.Front.Cond.ZeroAdjValue[10] == 5; } },
        { "0ADJ negative index ignored", 8, "0ADJ", "-1,1,5", "ok", nullptr },
        { "LP_0ADJ index 10 on a normal model", 8, "LP_0ADJ", "10,1,5", "format error", nullptr },
        { "LP_0ADJ index 10 on an extended model", 144, "LP_0ADJ", "10,1,5", "ok",
            [](auto& d) { return d.Front.Cond.LpZeroAdjValue[10] == 5; } },
        { "MUX_0ADJ index 10 ignored", 10, "MUX_0ADJ", "0,3,10,1,5", "ok", nullptr },
        { "MUX_LP_0ADJ index 10 refused", 10, "MUX_LP_0ADJ", "0,3,10,1,5", "format error", nullptr },
        { "BEEP_TYPE index 5", 8, "BEEP_TYPE", "5,1,1", "format error", nullptr },
        { "BEEP_TYPE index beyond 32 bits", 8, "BEEP_TYPE", "4294967296,1,1", "format error", nullptr },
        { "MUX_BEEP_TYPE index 5", 8, "MUX_BEEP_TYPE", "5,1,1", "format error", nullptr },
        { "BIN_BIT index 10", 8, "BIN_BIT", "10,1,0,5,1", "format error", nullptr },
        { "BIN_BIT index 9", 8, "BIN_BIT", "9,1,1,500,7", "ok",
            [](auto& d) { return d.Front.BinBit[9].Upper == 500; } },
        { "SCALING unit of 3", 8, "SCALING", "1,2,0,2,abc", "ok",
            [](auto& d) { return d.Front.Cond.ScalingUnitText == "abc"; } },
        { "SCALING unit of 4", 8, "SCALING", "1,2,0,2,abcd", "format error", nullptr },
        { "MUX_SCA unit of 4", 10, "MUX_SCA", "0,0,1,2,0,2,abcd", "format error", nullptr },
        { "MUX_PIN name of 10", 10, "MUX_PIN", "1,7,1,ABCDEFGHIJ,1,2,3,1,0", "ok",
            [](auto& d) {
                const MuxPinSet& p = d.Pins2Wire[7];
                return p.Name == "ABCDEFGHIJ" && p.Unit == 1 && p.TermA == 2 && p.TermB == 3 && p.Inst == 1
                    && p.ZeroAll == 0;
            } },
        { "MUX_PIN name of 11", 10, "MUX_PIN", "1,7,1,ABCDEFGHIJK,1,2,3,1,0", "format error", nullptr },
        { "MUX_PIN name with a comma", 10, "MUX_PIN", "1,7,1,AB,CD,1,2,3,1,0", "format error", nullptr },
        { "table 5 is the 2-wire table", 10, "MUX_RANGE", "5,41,7", "ok",
            [](auto& d) { return d.Channels2Wire[41].Range == 7; } },
        { "table 0 is the 4-wire table", 10, "MUX_RANGE", "0,41,7", "ok",
            [](auto& d) { return d.Channels4Wire[41].Range == 7; } },
        { "channel 42", 10, "MUX_RANGE", "0,42,7", "format error", nullptr },
        { "channel -1", 10, "MUX_RANGE", "0,-1,7", "format error", nullptr },
        { "channel beyond 32 bits", 10, "MUX_RANGE", "0,4294967296,7", "format error", nullptr },
        { "channel line without channel", 10, "MUX_RANGE", "0,7", "format error", nullptr },
        { "MUX_COMP", 10, "MUX_COMP", "0,2,1,1,1,150,99999,5", "ok",
            [](auto& d) {
                const MeasCondition& c = d.Channels4Wire[2];
                return c.CompOn == 1 && c.CompRefCh1 == 1 && c.CompUpper == 150 && c.CompLower == 99999
                    && c.PassCondition == 5;
            } },
        { "A-TC key for the VX6207-02", 10, "MUX_ATC_RANGE", "0,0,3", "<no item>", nullptr },
        { "MUX_ATC_DT", 2048, "MUX_ATC_DT", "1,0,24.5,2e-2,4000,234", "ok",
            [](auto& d) {
                const MeasCondition& c = d.Channels2Wire[0];
                return c.AtcT1 == 24.5 && c.AtcR1 == 2e-2 && c.AtcTcr == 4000 && c.AtcK == 234.0;
            } },
    };
    for (const auto& c : cases) {
        MeasSetData data = Defaults(c.Model);
        EXPECT_EQ(ReadKey(data, c.Key, c.Value, c.Model), c.Result) << c.What;
        if (c.Check) {
            EXPECT_TRUE(c.Check(data)) << c.What;
        }
    }
}

TEST(FileItems, AutoHoldOfTheMuxIsSharedByEveryChannelLine)
{
    MeasSetData data = Defaults(10);
    EXPECT_EQ(ReadKey(data, "MUX_AUTO_HOLD", "0,3,1", 10), "ok");
    EXPECT_EQ(ReadKey(data, "MUX_AUTO_HOLD", "1,40,0", 10), "ok");
    EXPECT_EQ(data.MuxAutoHold, 0);
    data.MuxAutoHold = 1;
    EXPECT_EQ(WriteKey(data, "MUX_AUTO_HOLD", 1, 17), "MUX_AUTO_HOLD,1,17,1\n");
}

TEST(FileItems, FileVersionLinesSetTheVersionAndClearTheAdjustment)
{
    MeasSetData data = Defaults(10);
    CRecordingPrompt prompt;
    TermAdjusted = true;
    auto item = CreateFileItem("FILE_VER", 10, &prompt);
    item->SetTarget(data);
    ASSERT_TRUE(item->Read("0"));
    EXPECT_EQ(FileVersion, 0);
    EXPECT_FALSE(TermAdjusted);
    EXPECT_EQ(prompt.Texts, std::vector<std::string> { kOldVersionNotice });

    // In an old file, terminals outside the unit are pulled in: 1..10 on table 0, 1..21 on table 1.
    EXPECT_EQ(ReadKey(data, "MUX_PIN", "1,4,1,X,0,22,-3,0,1", 10), "ok");
    EXPECT_EQ(data.Pins2Wire[4].TermA, 21);
    EXPECT_EQ(data.Pins2Wire[4].TermB, 1);
    EXPECT_TRUE(TermAdjusted);

    EXPECT_EQ(WriteKey(data, "FILE_VER"), "FILE_VER,3\n"); // writing brings back the current version
    EXPECT_EQ(FileVersion, 3);
    TermAdjusted = false;
    EXPECT_EQ(ReadKey(data, "MUX_PIN", "0,4,1,X,0,22,-3,0,1", 10), "ok"); // current files keep them as they are
    EXPECT_EQ(data.Pins4Wire[4].TermA, 22);
    EXPECT_FALSE(TermAdjusted);
}
