#include "link/resync.h"

#include <algorithm>
#include <chrono>

#include "link/identification.h"

namespace {

constexpr const char* kIdentityQuery = "*idn?";
constexpr int kAttempts = 3;
constexpr size_t kChunk = 1024;

using Clock = std::chrono::steady_clock;

int MsSince(Clock::time_point start)
{
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

bool Abandoned(const ResyncBounds& bounds)
{
    return bounds.Running != nullptr && *bounds.Running == 0;
}

bool IsIdentity(const std::string& line)
{
    const size_t comma = line.find(',');
    return comma != std::string::npos && line.compare(0, comma, kMakerName) == 0;
}

bool ChannelGone(CInstrumentLink& link)
{
    return link.WaitForInput(0) == WaitResult::Broken;
}

// Throws input away until none has come for QuietMs; false when the line never goes quiet in time,
// the wait is abandoned, or the connection is gone (`broken`).
bool WaitForQuiet(CInstrumentLink& link, const ResyncBounds& bounds, Clock::time_point deadline, bool& broken)
{
    for (;;) {
        if (Abandoned(bounds))
            return false;
        const WaitResult wait = link.WaitForInput(bounds.QuietMs);
        if (wait == WaitResult::Broken) {
            broken = true;
            return false;
        }
        if (wait != WaitResult::Ready)
            return true;
        link.Channel().DrainInput();
        if (ChannelGone(link)) {
            broken = true;
            return false;
        }
        if (Clock::now() > deadline)
            return false;
    }
}

enum class Confirm { Identity, Silence, Broken };

// Reads whole lines (a late reply and the identity may share one read) until one is the identity,
// the line has been silent for ConfirmMs, or the connection is gone.
Confirm ReadUntilIdentity(CInstrumentLink& link, const ResyncBounds& bounds, Clock::time_point deadline)
{
    std::string line;
    Clock::time_point lastByte = Clock::now();
    char chunk[kChunk];
    for (;;) {
        size_t count = 0;
        if (!link.Channel().GetReceivedCount(count)) {
            if (ChannelGone(link))
                return Confirm::Broken;
            count = 0; // nothing has come yet
        }
        if (count > 0) {
            size_t delivered = 0;
            (void)link.Channel().Read(chunk, std::min(count, kChunk), delivered); // a short read still delivers
            lastByte = Clock::now();
            for (size_t i = 0; i < delivered; ++i) {
                if (chunk[i] == '\r') {
                    if (IsIdentity(line))
                        return Confirm::Identity;
                    line.clear();
                } else if (chunk[i] != '\n' && line.size() < CInstrumentLink::kMaxReplyBytes) {
                    line.push_back(chunk[i]);
                }
            }
            continue;
        }
        const int silentMs = MsSince(lastByte);
        if (silentMs >= bounds.ConfirmMs || Clock::now() > deadline || Abandoned(bounds))
            return Confirm::Silence;
        if (link.WaitForInput(std::min(bounds.ConfirmMs - silentMs, 100)) == WaitResult::Broken)
            return Confirm::Broken;
    }
}

} // namespace

ResyncResult Resynchronise(CInstrumentLink& link, const ResyncBounds& bounds, int& roundTripMs)
{
    roundTripMs = 0;
    if (!link.IsOpen)
        return ResyncResult::Broken;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(bounds.TotalMs);
    for (int attempt = 0; attempt < kAttempts && Clock::now() < deadline && !Abandoned(bounds); ++attempt) {
        bool broken = false;
        if (!WaitForQuiet(link, bounds, deadline, broken))
            return broken ? ResyncResult::Broken : ResyncResult::NoConfirmation;
        const Clock::time_point sentAt = Clock::now();
        if (!link.SendCommand(kIdentityQuery))
            return ResyncResult::Broken;
        switch (ReadUntilIdentity(link, bounds, deadline)) {
        case Confirm::Identity:
            roundTripMs = MsSince(sentAt);
            link.ResetLine();
            link.OutOfStep = false;
            return ResyncResult::InStep;
        case Confirm::Broken:
            return ResyncResult::Broken;
        case Confirm::Silence:
            break; // ask again
        }
    }
    return ResyncResult::NoConfirmation;
}
