#pragma once

#include <cstdint>
#include <string>

#include "sim/recording.h"
#include "sim/sim_io.h"

// Where a proxy forwards to: "PORT" (on this machine) or "HOST:PORT" ("[::1]:PORT" for an IPv6
// address); false when the text is neither.
[[nodiscard]] bool ParseProxyTarget(const std::string& text, std::string& host, uint16_t& port);

// A client forwarded to a real instrument: its bytes go to the instrument unchanged and the
// instrument's bytes come back unchanged, while the lines both ways are recorded as they pass.
// The session ends when the instrument closes its side.
class CProxySession final : public ISimSession {
public:
    // upstream: the connected socket of the instrument, closed with the session; recording may be null.
    CProxySession(int upstream, CRecordingWriter* recording, CLineRecorder& recorder, SimIoContext io);
    ~CProxySession() override;
    CProxySession(const CProxySession&) = delete;
    CProxySession& operator=(const CProxySession&) = delete;

    void Feed(std::string_view bytes, bool execute) override;
    [[nodiscard]] std::vector<std::string> TakeDue() override;
    [[nodiscard]] int WaitHintMs() const override { return m_upstream < 0 ? 0 : -1; }
    [[nodiscard]] bool CloseRequested() const override { return m_upstream < 0 && m_toClient.empty(); }
    [[nodiscard]] int UpstreamFd() const override { return m_upstream; }
    void PullUpstream() override;

private:
    void Record(ERecordKind kind, std::string_view bytes);
    void RecordReplies(std::string_view bytes);
    void EndUpstream();

    int m_upstream;
    CRecordingWriter* m_recording;
    CLineRecorder& m_recorder;
    SimIoContext m_io;
    CLineCutter m_cutter;
    std::string m_toClient;
    std::string m_replyLine; // instrument bytes after the last line end
};
