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

// Milliseconds the machine has been awake: unlike the performance counter it
// stands still through sleep, so a device that was asleep is not taken for
// one that stalled.
// Looked up at run time: Wine's Winelib headers do not declare it.
inline int64_t awakeMilliseconds() {
    using Query = BOOL(WINAPI *)(PULONGLONG);
    static const Query query = reinterpret_cast<Query>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryUnbiasedInterruptTime")));
    ULONGLONG now = 0;
    if (query != nullptr && query(&now)) {
        return static_cast<int64_t>(now / 10000);
    }
    return static_cast<int64_t>(GetTickCount64());
}

} // namespace engine
