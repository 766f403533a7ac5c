#include "sim/pty_server.h"

#include <array>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kNoClientPauseMs = 10;

struct SSpeed {
    speed_t Code;
    unsigned Baud;
};
constexpr std::array<SSpeed, 9> kSpeeds { { { B1200, 1200 }, { B2400, 2400 }, { B4800, 4800 }, { B9600, 9600 },
    { B19200, 19200 }, { B38400, 38400 }, { B57600, 57600 }, { B115200, 115200 }, { B230400, 230400 } } };

} // namespace

unsigned BaudOfSpeed(unsigned speedCode)
{
    for (const SSpeed& speed : kSpeeds) {
        if (speed.Code == speedCode)
            return speed.Baud;
    }
    return 0;
}

CPtyServer::CPtyServer(SimSessionFactory newSession, const SimOptions& options, SimIoContext io)
    : m_newSession(std::move(newSession))
    , m_options(options)
    , m_io(io)
{
}

CPtyServer::~CPtyServer()
{
    if (m_master >= 0)
        ::close(m_master);
}

bool CPtyServer::Open()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return false;
    char name[128] = {};
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 || ::ptsname_r(m_master, name, sizeof name) != 0
        || ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK) != 0)
        return false;
    m_path = name;
    // Open the slave once to put the line in raw mode at 9600 baud; closing it again leaves the
    // master reporting a hang-up until the first client opens the device.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0)
        return false;
    termios settings {};
    bool ok = ::tcgetattr(slave, &settings) == 0;
    if (ok) {
        ::cfmakeraw(&settings);
        ok = ::cfsetspeed(&settings, B9600) == 0 && ::tcsetattr(slave, TCSANOW, &settings) == 0;
    }
    ::close(slave);
    return ok;
}

bool CPtyServer::ClientSpeedMatches() const
{
    if (m_options.BaudRate == 0)
        return true;
    termios settings {};
    // Linux answers a termios request on the master with the slave's settings: the client's speed.
    if (::tcgetattr(m_master, &settings) != 0)
        return false;
    return BaudOfSpeed(::cfgetospeed(&settings)) == m_options.BaudRate;
}

void CPtyServer::IgnoreUntilClientLeaves()
{
    char buffer[1024];
    while (true) {
        const int events = WaitFor(m_master, kSimIn, 50, m_io);
        if (events < 0)
            return;
        if ((events & POLLIN) != 0) {
            if (::read(m_master, buffer, sizeof buffer) <= 0)
                return;
        } else if ((events & POLLHUP) != 0) {
            return;
        }
    }
}

void CPtyServer::Run()
{
    while (m_io.IsRunning()) {
        const int events = WaitFor(m_master, kSimIn, 50, m_io);
        if (events < 0)
            return;
        if ((events & POLLHUP) != 0 && (events & POLLIN) == 0) {
            PauseMs(kNoClientPauseMs, m_io); // nobody has the device open
            continue;
        }
        const std::unique_ptr<ISimSession> session = m_newSession();
        ESimClientEnd end = ESimClientEnd::CloseRequested; // no session: the client hears nothing
        if (session)
            end = ServeClient(m_master, false, *session, m_io, [this] { return ClientSpeedMatches(); });
        if (end == ESimClientEnd::Stopped)
            return;
        // A pseudo-terminal cannot be closed from this side: the client simply hears nothing more.
        if (end == ESimClientEnd::CloseRequested)
            IgnoreUntilClientLeaves();
    }
}
