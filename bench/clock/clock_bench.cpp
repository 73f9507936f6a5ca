// clock_bench: the in-Wine half of bench/clock/run.  Times are printed in the
// recording engine's clock (QueryPerformanceCounter, in milliseconds), so that
// they can be set against its log.
//
//   clock_bench calibrate            "<qpc ms> <system time ms since 1970>"
//   clock_bench speak-time N GAPMS   posts Speak Time N times, GAPMS apart,
//                                    printing the time just before each post
//   clock_bench commands             says "ready", then for each command id
//                                    read from standard input, posts it and prints the time just
//                                    before the post (bench/engine/heard)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double QpcMs() {
    LARGE_INTEGER counter;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double SystemMs() {
    FILETIME time;
    GetSystemTimePreciseAsFileTime(&time);
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    // 100 ns units since 1601 to milliseconds since 1970.
    return static_cast<double>(value.QuadPart - 116444736000000000ULL) / 10000.0;
}

int Calibrate() {
    // The pair read closest together out of a few tries.
    double best = 1e9;
    double qpc = 0;
    double system = 0;
    for (int i = 0; i < 20; ++i) {
        const double before = QpcMs();
        const double now = SystemMs();
        const double after = QpcMs();
        if (after - before < best) {
            best = after - before;
            qpc = (before + after) / 2;
            system = now;
        }
    }
    std::printf("%.3f %.3f\n", qpc, system);
    return 0;
}

int SpeakTime(int count, int gapMs) {
    HWND window = FindWindowA("Orvanel", "Orvanel");
    if (window == nullptr) {
        std::fprintf(stderr, "no Orvanel window\n");
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        const double at = QpcMs();
        PostMessageA(window, WM_COMMAND, 40004, 0);
        std::printf("%.3f\n", at);
        std::fflush(stdout);
        Sleep(static_cast<DWORD>(gapMs));
    }
    return 0;
}

int PostCommands() {
    HWND window = FindWindowA("Orvanel", "Orvanel");
    if (window == nullptr) {
        std::fprintf(stderr, "no Orvanel window\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    unsigned id = 0;
    while (std::scanf("%u", &id) == 1) {
        const double at = QpcMs();
        PostMessageA(window, WM_COMMAND, id, 0);
        std::printf("%.3f\n", at);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc >= 2 && std::strcmp(argv[1], "calibrate") == 0) {
        return Calibrate();
    }
    if (argc >= 4 && std::strcmp(argv[1], "speak-time") == 0) {
        return SpeakTime(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (argc >= 2 && std::strcmp(argv[1], "commands") == 0) {
        return PostCommands();
    }
    std::fprintf(stderr, "usage: clock_bench calibrate | speak-time N GAPMS | commands\n");
    return 2;
}
