#pragma once

#include <memory>

// The mark of the one running instance of the application, named "h_VX6207SAMPLE_Instance": on
// Windows that named mutex itself, elsewhere a lock file of that name in the temporary folder.
// It is given back when this object goes, or when the process ends however it ends.
class CSingleInstance {
public:
    CSingleInstance();
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when no other instance holds the mark; this one holds it from then on.
    [[nodiscard]] bool Acquire();

private:
    struct Mark;
    std::unique_ptr<Mark> m_mark;
};

inline constexpr const char* kInstanceName = "h_VX6207SAMPLE_Instance";
