#include <locale.h>

#include "settings/c_locale_guard.h"

namespace {

// One "C" locale object for the process, created on first use and kept to the end.
locale_t NumericLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

} // namespace

CLocaleGuard::CLocaleGuard()
    : m_previous(reinterpret_cast<intptr_t>(uselocale(NumericLocale())))
{
}

CLocaleGuard::~CLocaleGuard() { uselocale(reinterpret_cast<locale_t>(m_previous)); }
