#include "host/self_check.h"

#include "host/meas_controller.h"
#include "link/instrument_link.h"
#include "settings/numeric_locale.h"

namespace {

constexpr int kSelfTestTimeoutMs = 15000;
constexpr const char* kNoSelfCheck = "Failed to execute Self-Check.";

} // namespace

std::string SelfCheckResultText(const std::string& reply, bool replied)
{
    // Only a whole integer is a result: an empty or garbled reply must not read as 0, "PASS".
    int64_t number = 0;
    if (!replied || !ParseInt64C(reply, number))
        return kNoSelfCheck;
    const auto value = static_cast<int8_t>(static_cast<uint8_t>(number & 0xFF));
    if (value == 0)
        return "Self check result : PASS\n";
    std::string text = "Self check result : ERROR\n Detail:\n";
    if (value < 0)
        return text + "  /Unknown Error\n";
    static constexpr const char* kBits[] = { "  /CPU ROM Error\n", "  /CPU RAM Error\n", "  /Memory Error\n",
        "  /Blown Fuse\n" };
    for (int bit = 0; bit < 4; ++bit) {
        if ((value & (1 << bit)) != 0)
            text += kBits[bit];
    }
    return text;
}

bool RunSelfCheck(CMeasController& controller, CInstrumentLink& link, const MeasSetData& data, IUserPrompt& prompt,
    const SelfCheckHooks& hooks)
{
    if (!prompt.AskYesNo("Execute self-check?"))
        return false;
    if (controller.CheckConnection() != 0) {
        link.Close();
        prompt.ShowMessage(controller.StatusText());
        return false;
    }
    if (hooks.Busy)
        hooks.Busy();
    std::string reply;
    bool timedOut = true;
    if (link.IsOpen && link.SendCommand("*TST?")) // SendCommand resets the line state and drains first
        reply = link.ReceiveReply(timedOut, kSelfTestTimeoutMs);
    std::string text = SelfCheckResultText(reply, !timedOut);
    if (!timedOut && data.MuxOn) {
        bool front = false;
        if (!link.QueryContains("CH", front, "FRONT", true))
            text += kNoSelfCheck;
    }
    if (hooks.Done)
        hooks.Done();
    link.Close();
    prompt.ShowMessage(text);
    return true;
}
