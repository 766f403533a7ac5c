#include <clocale>
#include <locale.h>

#include "settings/c_locale_guard.h"

CLocaleGuard::CLocaleGuard()
    : m_mode(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE))
{
    // With a per-thread locale, setlocale changes this thread alone.
    const char* current = std::setlocale(LC_ALL, nullptr);
    m_saved = current != nullptr ? current : "C";
    (void)std::setlocale(LC_ALL, "C");
}

CLocaleGuard::~CLocaleGuard()
{
    (void)std::setlocale(LC_ALL, m_saved.c_str());
    (void)_configthreadlocale(m_mode);
}
