// A message box runs a nested message loop: worker messages handled inside it must not repeat
// the message or disturb the stop that follows.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "host/host_rig.h"

namespace {

constexpr int kMarker = WM_USER + 500;

// Records every text; while the first "Failed to save data." is shown, it serves the message
// loop as a message box would, while another thread keeps posting worker messages.
class CNestingPrompt final : public IUserPrompt {
public:
    explicit CNestingPrompt(CHeadlessHost& host)
        : m_host(host)
    {
    }
    void ShowMessage(const std::string& text) override
    {
        Texts.push_back(text);
        if (text.rfind(kFailedToSaveData, 0) != 0 || Nested)
            return;
        Nested = true;
        std::thread worker([this] {
            for (const int msg :
                std::initializer_list<int> { WM_MEAS_RESULT, WM_MEAS_INTERVAL, WM_MEAS_RESULT, WM_MEAS_END, kMarker }) {
                NotifyMessage message;
                message.Msg = msg;
                message.Text = "+1.00000E+00,IN";
                message.Info = { 7, 1, 0, 0 };
                m_host.Post(std::move(message));
            }
        });
        (void)m_host.Pump([this] { return MarkerSeen; }, 20000);
        worker.join();
    }
    bool AskYesNo(const std::string&) override { return true; }
    bool AskOkCancel(const std::string&) override { return true; }

    std::vector<std::string> Texts;
    bool Nested = false;
    bool MarkerSeen = false;

private:
    CHeadlessHost& m_host;
};

} // namespace

TEST(WindowReentry, AWriteFailureIsToldOnceWhileMessagesKeepComing)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full to fail writes with";
    for (const CaptureMethod method : { CaptureMethod::Interval, CaptureMethod::Trigger }) {
        SimOptions options;
        options.Model = "VX6207";
        options.TriggerEveryMs = method == CaptureMethod::Trigger ? 5 : 0;
        CHostRig rig(options);
        CNestingPrompt prompt(rig.Host);
        rig.Controller
            = std::make_unique<CMeasController>(rig.Config, rig.Data, rig.Link, prompt, rig.Sink, rig.Host, rig.Host);
        rig.Host.SetHandlers(
            [&](const NotifyMessage& message) {
                if (message.Msg == kMarker)
                    prompt.MarkerSeen = true;
                else
                    rig.Controller->HandleMessage(message);
            },
            [&](int id) { rig.Controller->OnTimer(id); });
        rig.Controller->FilePath = "/dev/full"; // opens, but every write fails
        rig.Controller->Method = method;
        rig.Controller->Count = 50;
        ASSERT_EQ(rig.Controller->Start(), StartResult::Started);
        ASSERT_TRUE(rig.RunUntilIdle());
        EXPECT_TRUE(prompt.Nested);
        EXPECT_EQ(std::count_if(prompt.Texts.begin(), prompt.Texts.end(),
                      [](const std::string& text) { return text.rfind(kFailedToSaveData, 0) == 0; }),
            1);
        EXPECT_EQ(std::count(prompt.Texts.begin(), prompt.Texts.end(), std::string(kFailedToCapture)), 0);
        EXPECT_TRUE(rig.Sink.Idle);
        EXPECT_FALSE(rig.Controller->Measuring());
        EXPECT_EQ(rig.Controller->RowsRecorded(), 0);
    }
}
