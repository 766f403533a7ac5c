#include "commands/mux_commands.h"


#include "commands/vocabulary.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

constexpr const char* kAbort = ":ABORt";
constexpr const char* kHeaderOff = ":SYSTem:HEADer OFF";
constexpr const char* kMonitorOff = ":SYSTem:CMD:MONitor 0";
constexpr const char* kFrontCheck = "FRONtcheck";
constexpr const char* kScanReset = "SCAN:RESet";
constexpr const char* kChannel = "CH";
constexpr const char* kFront = "FRONT";
constexpr const char* kZeroAdjustEnable = ":ADJust:ENABle";
constexpr const char* kDataOut = ":SYSTem:DATAout";
constexpr const char* kZeroAdjustQuery = ":ADJust?";
constexpr int kBeforeZeroAdjustMs = 100;
constexpr int kZeroAdjustPollMs = 100;

} // namespace

int FirstEnabledChannel(const MeasSetData& data)
{
    const auto& pins = ActivePins(data);
    for (int k = 1; k <= kMuxChannels; ++k) {
        if (pins[static_cast<size_t>(k - 1)].Enable != 0)
            return k;
    }
    return 0;
}

bool CCommunicateMux::PrepareLink()
{
    return SendLine(kAbort) && SendLine(kHeaderOff) && SendLine(kMonitorOff);
}

bool CCommunicateMux::SendSetting()
{
    if (!MuxSupported) {
        if (m_settings->MuxOn == 0)
            return true;
        m_prompt.ShowMessage(kMuxUnsupported);
        return false;
    }
    const int channel = m_settings->MuxOn != 0 ? FirstEnabledChannel(*m_settings) : 0;
    if (!PrepareLink())
        return false;
    if (channel > 0) {
        bool cableOnFront = false;
        if (!m_link.QueryContains(kFrontCheck, cableOnFront, "1", true))
            return false;
        if (cableOnFront) {
            m_prompt.ShowMessage(kDisconnectFrontCable);
            return false;
        }
        if (!SendLine(kScanReset))
            return false;
    }
    return SendLine(FormatC("%s %d", kChannel, channel));
}

bool CCommunicateMux::ReadSetting()
{
    if (!MuxSupported) {
        m_settings->MuxOn = 0;
        return true;
    }
    bool front = false;
    if (!PrepareLink() || !m_link.QueryContains(kChannel, front, kFront, true))
        return false;
    m_settings->MuxOn = front ? 0 : 1;
    return true;
}

bool CCommunicateMiscOff::SendSetting()
{
    for (int position = Vocab::kMiscOffFirst; position < Vocab::kMiscOffFirst + Vocab::kMiscOffCount; ++position) {
        if (position == Vocab::kLowPowerState && ModelCode() == kModelVx6208)
            continue; // the VX6208 has no low-power measurement
        if (!SendLine(FormatC("%s 0", VocabularyText(position))))
            return false;
    }
    return true;
}

bool CCommunicateSetCh::SendSetting()
{
    if (m_settings == nullptr)
        return SendLine(FormatC("%s %d", kChannel, 0));
    if (!MuxSupported)
        return m_settings->MuxOn == 0;
    const int channel = m_settings->MuxOn != 0 ? FirstEnabledChannel(*m_settings) : 0;
    return SendLine(FormatC("%s %d", kChannel, channel));
}

bool CCommunicateEnable0Adj::SendSetting()
{
    if (m_settings->MuxOn == 0)
        return true;
    return SendLine(FormatC("%s %d", kZeroAdjustEnable, 1));
}

bool CCommunicateExec0Adj::SendSetting()
{
    if (!SendLine(FormatC("%s %d", kDataOut, 0)))
        return false;
    m_link.Pause(kBeforeZeroAdjustMs);
    return SendLine(kZeroAdjustQuery);
}

bool CCommunicateCheckFin0Adj::ReadSetting()
{
    bool timedOut = true;
    const std::string reply = m_link.ReceiveReply(timedOut, kZeroAdjustPollMs);
    if (timedOut)
        return false;
    m_status = reply.find('1') != std::string::npos ? 1 : 0;
    return true;
}

bool CCommunicateScanAbort::SendSetting()
{
    const bool sent = SendLine(kAbort);
    m_link.Close();
    return sent;
}
