#include <string>
#include <windows.h>

#include "ui/single_instance.h"

// The named mutex of the session: the system closes it with the last process that has it open.
struct CSingleInstance::Mark {
    HANDLE Mutex = nullptr;
};

CSingleInstance::CSingleInstance()
    : m_mark(std::make_unique<Mark>())
{
}

CSingleInstance::~CSingleInstance()
{
    if (m_mark->Mutex != nullptr)
        CloseHandle(m_mark->Mutex);
}

bool CSingleInstance::Acquire()
{
    const std::string ascii(kInstanceName);
    const std::wstring name(ascii.begin(), ascii.end());
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex == nullptr)
        return true; // no mark can be made: better a second window than none
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_mark->Mutex = mutex;
    return true;
}
