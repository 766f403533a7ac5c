#pragma once

#include <cstdint>
#include <string>

// Switches the calling thread to the "C" numeric convention for the life of the guard, whatever
// locale the process or a library set: numbers in files and on the wire always use ".". One
// source file per platform (uselocale on POSIX, per-thread locales of the C runtime on Windows).
class CLocaleGuard {
public:
    CLocaleGuard();
    ~CLocaleGuard();
    CLocaleGuard(const CLocaleGuard&) = delete;
    CLocaleGuard& operator=(const CLocaleGuard&) = delete;

private:
    intptr_t m_previous = 0; // POSIX: the thread's previous locale object
    int m_mode = 0; // Windows: the thread's previous per-thread setting
    std::string m_saved; // Windows: the thread's previous locale name
};
