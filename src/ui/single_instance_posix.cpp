#include <QDir>
#include <QLockFile>

#include "ui/single_instance.h"

// A lock file holds the process's id; a holder that died leaves a stale file, which the next
// start takes over.
struct CSingleInstance::Mark {
    QLockFile Lock { QDir::tempPath() + QLatin1Char('/') + QLatin1String(kInstanceName) + QStringLiteral(".lock") };
};

CSingleInstance::CSingleInstance()
    : m_mark(std::make_unique<Mark>())
{
    m_mark->Lock.setStaleLockTime(0);
}

CSingleInstance::~CSingleInstance() = default;

bool CSingleInstance::Acquire()
{
    return m_mark->Lock.tryLock(0);
}
