#include "host/zero_adjust_run.h"

#include <thread>

#include "commands/command_factory.h"
#include "settings/model_info.h"

using namespace CommandNo;

std::string MirrorQuestionOf(int32_t model)
{
    return "Mirror measurement conditions to " + ModelFamilyName(model) + "?";
}

CZeroAdjustRun::CZeroAdjustRun(IUserPrompt& prompt, CInstrumentLink& link)
    : m_prompt(prompt)
    , m_transfer(prompt, link)
    , m_record(std::make_unique<MeasSetData>())
    , m_wait([](int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); })
{
}

bool CZeroAdjustRun::RunCommands(std::initializer_list<int> numbers, bool read)
{
    for (const int number : numbers) {
        auto command = m_transfer.CreateCommand(number);
        if (command == nullptr || !(read ? command->ReadSetting() : command->SendSetting()))
            return false;
    }
    return true;
}

bool CZeroAdjustRun::Start(const MeasSetData& record, bool mirror)
{
    *m_record = record;
    if (mirror && !m_transfer.WriteAll(record)) {
        m_prompt.ShowMessage(kFailedToSendSettings);
        return false;
    }
    m_transfer.Working() = record;
    if (!RunCommands({ kInit, kEnable0Adj, kExec0Adj }, false)) {
        m_transfer.EndTransfer();
        m_prompt.ShowMessage(kFailedToStartZeroAdjust);
        return false;
    }
    m_started = std::chrono::steady_clock::now();
    return true;
}

ZeroAdjustStatus CZeroAdjustRun::Poll()
{
    auto check = m_transfer.CreateCommand(kCheckFin0Adj);
    if (check == nullptr || !check->ReadSetting()) {
        if (m_progress)
            m_progress(std::chrono::duration<double>(std::chrono::steady_clock::now() - m_started).count());
        return ZeroAdjustStatus::Running;
    }
    m_transfer.EndTransfer();
    if (check->Status() != 0) {
        m_prompt.ShowMessage(kFailedToCompleteZeroAdjust);
        return ZeroAdjustStatus::Failed;
    }
    return ZeroAdjustStatus::Done;
}

void CZeroAdjustRun::Abort()
{
    if (m_record->MuxOn)
        (void)RunCommands({ kScanAbort }, false); // sends ":ABORt" and closes the link
    m_transfer.EndTransfer();
}

bool CZeroAdjustRun::Finish()
{
    m_transfer.Working() = *m_record;
    if (!RunCommands({ kInit, m_record->MuxOn ? kCh0Adj : k0Adj, kExit }, true)) {
        m_transfer.EndTransfer();
        m_prompt.ShowMessage(kFailedToLoadSettings);
        return false;
    }
    *m_record = m_transfer.Working();
    return true;
}

ZeroAdjustStatus CZeroAdjustRun::Run(const MeasSetData& record, bool mirror, const std::atomic<bool>& stop)
{
    return Start(record, mirror) ? Wait(stop) : ZeroAdjustStatus::Failed;
}

ZeroAdjustStatus CZeroAdjustRun::Wait(const std::atomic<bool>& stop)
{
    for (;;) {
        if (stop) {
            Abort();
            return ZeroAdjustStatus::Aborted;
        }
        const ZeroAdjustStatus status = Poll();
        if (status == ZeroAdjustStatus::Failed)
            return status;
        if (status == ZeroAdjustStatus::Done)
            return Finish() ? status : ZeroAdjustStatus::Failed;
        m_wait(kZeroAdjustPollMs);
    }
}
