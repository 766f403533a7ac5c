#include "commands/command_factory.h"

#include <array>

#include "commands/communicate_vp.h"
#include "commands/communicate_vsp.h"
#include "commands/connect_commands.h"
#include "commands/front_value_commands.h"
#include "commands/mux_commands.h"
#include "commands/setting_commands.h"

namespace {

using Maker = std::unique_ptr<CCommunicateVx> (*)(CInstrumentLink&, IUserPrompt&, MeasSetData*);

struct SCommandRow {
    Maker Make;
    bool TakesRecord;
};

template <typename T> SCommandRow Row(bool takesRecord)
{
    return { [](CInstrumentLink& link, IUserPrompt& prompt, MeasSetData* settings) -> std::unique_ptr<CCommunicateVx> {
                return std::make_unique<T>(link, prompt, settings);
            },
        takesRecord };
}

const std::array<SCommandRow, CommandNo::kCount>& CommandTable()
{
    static const std::array<SCommandRow, CommandNo::kCount> table {
        Row<CCommunicateInit>(true), // 0
        Row<CCommunicateMux>(true),
        Row<CCommunicateSetStart>(false),
        Row<CCommunicateMiscOff>(true),
        Row<CCommunicateAutoSelfCalib>(true),
        Row<CCommunicateBeepHiInLo>(true), // 5
        Row<CCommunicateLowPower>(true),
        Row<CCommunicateRange>(true),
        Row<CCommunicateContactCheck>(true),
        Row<CCommunicateLpRange>(true),
        Row<CCommunicateLpContactCheck>(true), // 10
        Row<CCommunicateAutoRange>(true),
        Row<CCommunicate0Adj>(true),
        Row<CCommunicateSpeed>(true),
        Row<CCommunicateOvc>(true),
        Row<CCommunicateMeasCurr>(true), // 15
        Row<CCommunicate100MPrec>(true),
        Row<CCommunicateAutoHold>(true),
        Row<CCommunicateContactImprv>(true),
        Row<CCommunicateComparator>(true),
        Row<CCommunicateAverage>(true), // 20
        Row<CCommunicateDelay>(true),
        Row<CCommunicateTc>(true),
        Row<CCommunicateDeltaT>(true),
        Row<CCommunicateScale>(true),
        Row<CCommunicateStatistics>(true), // 25
        Row<CCommunicateBin>(true),
        Row<CCommunicateCurrentErrorMode>(true),
        Row<CCommunicateOverRangeError>(true),
        Row<CCommunicatePureResistance>(true),
        Row<CCommunicateVp>(true), // 30
        Row<CCommunicateVsp>(true),
        Row<CCommunicateCh0Adj>(true),
        Row<CCommunicateMuxStastics>(true),
        Row<CCommunicateMuxBin>(true),
        Row<CCommunicateEnable0Adj>(true), // 35
        Row<CCommunicateExec0Adj>(true),
        Row<CCommunicateCheckFin0Adj>(false),
        Row<CCommunicateScanAbort>(false),
        Row<CCommunicateSetCh>(true),
        Row<CCommunicateSetEnd>(false), // 40
        Row<CCommunicateExit>(false),
    };
    return table;
}

} // namespace

bool CommandTakesRecord(int number)
{
    return number >= 0 && number < CommandNo::kCount && CommandTable()[static_cast<size_t>(number)].TakesRecord;
}

std::unique_ptr<CCommunicateVx> CreateCommand(int number, CInstrumentLink& link, IUserPrompt& prompt, MeasSetData* settings)
{
    if (number < 0 || number >= CommandNo::kCount)
        return nullptr;
    const SCommandRow& row = CommandTable()[static_cast<size_t>(number)];
    // A command that works on a record cannot run without one.
    if (row.TakesRecord && settings == nullptr)
        return nullptr;
    return row.Make(link, prompt, row.TakesRecord ? settings : nullptr);
}
