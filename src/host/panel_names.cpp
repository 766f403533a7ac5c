#include "host/panel_names.h"

#include <algorithm>

#include "link/identification.h"
#include "link/instrument_link.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"

namespace {

constexpr const char* kPanelNameHeader = ":SYSTem:PANel:NAME";
constexpr const char* kPanelSaveHeader = ":SYSTem:PANel:SAVE";
constexpr const char* kFailedToCapture = "Failed to capture panel information.";
constexpr const char* kFailedToSave = "Failed to save panel information.";
constexpr int kNameQueryTimeoutMs = 100;
constexpr size_t kMaxSentNameBytes = 19;

bool ReadRange(CInstrumentLink& link, int first, int last, PanelNames& panels)
{
    for (int number = first; number <= last; ++number) {
        if (!link.IsOpen || !link.SendCommand(FormatC("%s? %d", kPanelNameHeader, number)))
            return false;
        bool timedOut = false;
        std::string reply = link.ReceiveReply(timedOut, kNameQueryTimeoutMs);
        if (timedOut)
            return false;
        const size_t comma = reply.find(',');
        if (comma != std::string::npos)
            reply.erase(0, comma + 1);
        reply.erase(std::remove(reply.begin(), reply.end(), '"'), reply.end());
        const auto index = static_cast<size_t>(number - 1);
        panels.Used[index] = reply.empty() ? 0 : 1;
        panels.Names[index] = std::move(reply);
    }
    return true;
}

} // namespace

bool ReadPanelNames(CInstrumentLink& link, int32_t model, bool muxPanels, PanelNames& panels, IUserPrompt& prompt)
{
    if (!link.Open()) {
        prompt.ShowMessage(kFailedToCapture);
        return false;
    }
    const auto fail = [&](const char* message) {
        link.Close();
        prompt.ShowMessage(message);
        return false;
    };
    std::string maker;
    std::string name;
    std::string serial;
    bool supported = false;
    if (!Identify(link, maker, name, serial, supported) || ModelCodeOfName(name) == 0)
        return fail("VX620x is not connected.");
    if (ModelCodeOfName(name) != model)
        return fail("The model setting and the model of the connection destination are different.");
    if (muxPanels && !IsMuxModel(model))
        return fail("MUX is unsupported.");
    if (!ReadRange(link, 1, kFrontPanels, panels) || (muxPanels && !ReadRange(link, kFrontPanels + 1, kAllPanels, panels)))
        return fail(kFailedToCapture);
    link.Close();
    return true;
}

bool SavePanel(CInstrumentLink& link, int panelNumber, const std::string& name, IUserPrompt& prompt)
{
    if (!link.Open()) {
        link.Close();
        prompt.ShowMessage(kFailedToSave);
        return false;
    }
    const bool saved = SendPanelSave(link, panelNumber, name, prompt);
    link.Close();
    return saved;
}

bool SendPanelSave(CInstrumentLink& link, int panelNumber, const std::string& name, IUserPrompt& prompt)
{
    const std::string sent = name.substr(0, kMaxSentNameBytes);
    if (!link.SendCommand(FormatC("%s %d", kPanelSaveHeader, panelNumber))
        || !link.SendCommand(FormatC("%s %d,\"%s\"", kPanelNameHeader, panelNumber, sent.c_str()))) {
        // A port left open after a failed send would refuse the next open.
        link.Close();
        prompt.ShowMessage(kFailedToSave);
        return false;
    }
    return true;
}

std::string CheckPanelName(const std::string& name)
{
    if (name.size() > 10)
        return "Enter no more than 10 characters.";
    for (const char c : name) {
        const bool allowed = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        if (!allowed)
            return "Please use 0-9 or A-z.";
    }
    return name.empty() ? "Panel name not entered." : "";
}
