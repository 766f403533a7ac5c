// Query round trips against a loopback peer that answers at once. Each query costs at least the
// 10 ms settle of the drain before its send; the ratio shows how close the link comes to that floor.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "link/instrument_link.h"
#include "link/test_peer.h"

namespace {

// Answers every received line with a fixed reply, at once.
void AnswerLines(int fd, const std::atomic<bool>& stop)
{
    std::string pending;
    while (!stop) {
        pollfd waiter { fd, POLLIN, 0 };
        if (::poll(&waiter, 1, 20) <= 0)
            continue;
        char buffer[1024];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return;
        pending.append(buffer, static_cast<size_t>(n));
        size_t end = 0;
        while ((end = pending.find("\r\n")) != std::string::npos) {
            pending.erase(0, end + 2);
            if (!WriteAll(fd, "1.23456E-03,IN\r\n"))
                return;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int queries = argc > 1 ? std::atoi(argv[1]) : 200;
    CLoopbackListener listener;
    CInstrumentLink link;
    link.Interface = InterfaceKind::Lan;
    link.IpAddress = CLoopbackListener::Address();
    link.TcpPort = listener.Port();
    if (!link.OpenPort("", 0)) {
        std::fprintf(stderr, "cannot connect to the loopback peer\n");
        return 1;
    }
    const int peer = listener.Accept();
    std::atomic<bool> stop { false };
    std::thread answerer(AnswerLines, peer, std::cref(stop));

    std::vector<double> times;
    times.reserve(static_cast<size_t>(queries));
    int failures = 0;
    for (int i = 0; i < queries; ++i) {
        const auto start = std::chrono::steady_clock::now();
        bool timedOut = false;
        if (!link.SendCommand(":FETCh? LIMit") || link.ReceiveReply(timedOut, 1000).empty())
            ++failures;
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    stop = true;
    link.Close();
    answerer.join();
    ::close(peer);

    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("queries %d failures %d\n", queries, failures);
    std::printf("median_ms_per_query %.3f p99_ms %.3f\n", median, times[times.size() * 99 / 100]);
    std::printf("ratio %.3f\n", median / 10.0);
    return failures == 0 ? 0 : 1;
}
