// Small Win32 locking helpers.  The engine uses Win32 primitives throughout
// because its threads are Win32 threads, also in the Winelib build.
#pragma once

#include <windows.h>

namespace engine {

class ExclusiveLock {
  public:
    explicit ExclusiveLock(SRWLOCK &lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock &) = delete;
    ExclusiveLock &operator=(const ExclusiveLock &) = delete;

  private:
    SRWLOCK &lock_;
};

inline int64_t performanceTicks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

inline int64_t performanceFrequency() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
}

} // namespace engine
