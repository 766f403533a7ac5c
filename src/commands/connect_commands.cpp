#include "commands/connect_commands.h"


#include "link/identification.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

constexpr int kSettleBeforeOpenMs = 20;
constexpr int kQueryTimeoutMs = 1000;
constexpr const char* kExtendedCommandSet = ":FACT:CMD:EXTEND";
constexpr const char* kHeaderOff = ":SYSTem:HEADer OFF";

} // namespace

bool CCommunicateInit::SendSetting()
{
    m_link.Pause(kSettleBeforeOpenMs);
    if (!m_link.Open()) {
        const std::string cause = ConnectFaultText(m_link.LastFault, m_link.BaudRate, m_link.Interface == InterfaceKind::Lan);
        m_prompt.ShowMessage(cause.empty() ? std::string(kFailedToOpenInterface) : kFailedToOpenInterface + ("\n" + cause));
        return false;
    }
    std::string maker;
    std::string model;
    std::string serial;
    bool supported = false;
    if (!Identify(m_link, maker, model, serial, supported)) {
        m_prompt.ShowMessage(NotConnectedText(m_link));
        return false;
    }
    const int32_t code = ModelCodeOfName(model);
    if (m_settings != nullptr)
        m_settings->ModelCode = code;
    if (code == 0) {
        m_prompt.ShowMessage(kNotConnected);
        return false;
    }
    MuxSupported = IsMuxModel(code);
    // Another program may have left the reply header on; every read here expects bare values.
    if (!m_link.SendCommand(kHeaderOff)) {
        m_prompt.ShowMessage(kCommunicationError);
        return false;
    }
    if (!ExtendedRangeModel(code))
        return true;
    bool timedOut = true;
    if (m_link.SendCommand(FormatC("%s %d", kExtendedCommandSet, 1))
        && m_link.SendCommand(FormatC("%s?", kExtendedCommandSet)))
        (void)m_link.ReceiveReply(timedOut, kQueryTimeoutMs); // only the arrival of an answer counts
    if (timedOut) {
        m_prompt.ShowMessage(kCommunicationError);
        return false;
    }
    return true;
}

bool CCommunicateExit::SendSetting()
{
    m_link.Close();
    return true;
}
