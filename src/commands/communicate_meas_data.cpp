#include "commands/communicate_meas_data.h"

#include <algorithm>
#include <array>

#include "commands/command_factory.h"
#include "settings/model_info.h"

namespace {

using namespace CommandNo;

constexpr std::array kConnectionCheck { kInit, kExit };
constexpr std::array kStart { kInit, kMux, kSetStart };
constexpr std::array kMuxWrite { kVp, kVsp, kCh0Adj, kMuxStastics };
constexpr std::array kMuxRead { kVp, kVsp, kCh0Adj };
constexpr std::array kFinishWrite { kSetEnd, kSetCh, kExit };
constexpr std::array kEnd { kSetEnd, kExit };
constexpr std::array kAbort { kScanAbort };

// Lines a command takes: the per-channel MUX tables send a line and "*OPC" per channel, or ask
// once per channel; a single group of settings takes about three (measured on the front lists).
size_t LinesOf(int number, bool write)
{
    if (number == kVsp || number == kCh0Adj)
        return write ? 2 * kMuxChannels : kMuxChannels;
    if (number == kInit)
        return 6;
    return 3;
}

template <typename List> size_t LinesOf(const List& numbers, bool write)
{
    size_t lines = 0;
    for (const int number : numbers)
        lines += LinesOf(number, write);
    return lines;
}

} // namespace

CCommunicateMeasData::CCommunicateMeasData(IUserPrompt& prompt, CInstrumentLink& link)
    : m_prompt(prompt)
    , m_link(link)
    , m_working(std::make_unique<MeasSetData>())
{
}

CCommunicateMeasData::~CCommunicateMeasData() { EndTransfer(); }

class CCommunicateMeasData::CProgressScope {
public:
    CProgressScope(CCommunicateMeasData& owner, bool write)
        : m_owner(owner)
        , m_write(write)
    {
        if (m_owner.m_progress)
            m_owner.m_link.LineSent = [this] { Report(false); };
    }
    ~CProgressScope()
    {
        if (!m_owner.m_progress)
            return;
        m_owner.m_link.LineSent = nullptr;
        Report(true);
    }
    CProgressScope(const CProgressScope&) = delete;
    CProgressScope& operator=(const CProgressScope&) = delete;

private:
    void Report(bool end)
    {
        // A read learns from the instrument which list follows, so the total is taken each time.
        const size_t total = ExpectedLines(*m_owner.m_working, m_write);
        m_done = end ? total : std::min(m_done + 1, total - 1);
        m_owner.m_progress(m_done, total);
    }

    CCommunicateMeasData& m_owner;
    bool m_write;
    size_t m_done = 0;
};

size_t CCommunicateMeasData::ExpectedLines(const MeasSetData& record, bool write)
{
    const size_t list = record.MuxOn != 0 ? (write ? LinesOf(kMuxWrite, true) : LinesOf(kMuxRead, false))
                                          : LinesOf(FrontList(record.ModelCode), write);
    return LinesOf(kStart, write) + list + (write ? LinesOf(kFinishWrite, true) : LinesOf(kEnd, true));
}

std::unique_ptr<CCommunicateVx> CCommunicateMeasData::CreateCommand(int number)
{
    return ::CreateCommand(number, m_link, m_prompt, m_working.get());
}

std::vector<int> CCommunicateMeasData::FrontList(int32_t modelCode)
{
    const int last = ExtendedRangeModel(modelCode) ? kPureResistance : kCurrentErrorMode;
    std::vector<int> numbers;
    for (int number = kMiscOff; number <= last; ++number) {
        const bool lowPowerCommand = number == kLowPower || number == kLpRange || number == kLpContactCheck;
        if (lowPowerCommand && modelCode == kModelVx6208)
            continue;
        numbers.push_back(number);
    }
    return numbers;
}

bool CCommunicateMeasData::RunNumber(int number, EOperation operation)
{
    m_current = CreateCommand(number);
    if (m_current == nullptr)
        return false;
    const bool ok = operation == EOperation::Send ? m_current->SendSetting() : m_current->ReadSetting();
    m_current.reset();
    return ok;
}

bool CCommunicateMeasData::Run(std::span<const int> numbers, EOperation operation, bool ignoreResults)
{
    for (const int number : numbers) {
        if (!RunNumber(number, operation) && !ignoreResults)
            return false;
    }
    return true;
}

bool CCommunicateMeasData::CheckConnection(MeasSetData& record)
{
    *m_working = record;
    m_working->ModelCode = 0;
    if (!Run(kConnectionCheck, EOperation::Send))
        return false;
    record = *m_working;
    return true;
}

bool CCommunicateMeasData::CheckModel(const MeasSetData& record, int32_t configuredModel)
{
    MeasSetData copy = record;
    if (!CheckConnection(copy)) {
        m_link.Close(); // a connect that failed half-way may have left the link open
        return false;
    }
    if (copy.ModelCode != configuredModel) {
        m_prompt.ShowMessage(kModelMismatch);
        return false;
    }
    return true;
}

bool CCommunicateMeasData::WriteAll(MeasSetData record)
{
    *m_working = std::move(record);
    if (!ValidateMeasSetData(*m_working)) {
        m_prompt.ShowMessage(kErrorsInSettings);
        return false;
    }
    const CProgressScope progress(*this, true);
    bool ok = Run(kStart, EOperation::Send);
    if (ok && m_working->MuxOn != 0)
        ok = Run(kMuxWrite, EOperation::Send);
    else if (ok)
        ok = Run(FrontList(m_working->ModelCode), EOperation::Send);
    if (!ok) {
        EndTransfer();
        return false;
    }
    (void)Run(kFinishWrite, EOperation::Send, true); // the settings are in; what follows only tidies up
    return true;
}

bool CCommunicateMeasData::ReadAll(MeasSetData& record)
{
    *m_working = record;
    const CProgressScope progress(*this, false);
    // The instrument's selection, read by the start list, decides which list follows.
    bool ok = Run(kStart, EOperation::Read);
    if (ok && m_working->MuxOn != 0)
        ok = Run(kMuxRead, EOperation::Read);
    else if (ok)
        ok = Run(FrontList(m_working->ModelCode), EOperation::Read);
    // What was read must be a record that can be sent back: the same check as before a write.
    ok = ok && ValidateMeasSetData(*m_working);
    if (!ok) {
        (void)Run(kAbort, EOperation::Send, true); // stops whatever the instrument was doing and closes the link
        EndTransfer();
        return false;
    }
    record = *m_working;
    EndTransfer();
    return true;
}

void CCommunicateMeasData::EndTransfer() { (void)Run(kEnd, EOperation::Send, true); }
