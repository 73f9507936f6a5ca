// Drives an engine for the paced-device checks: the script that
// runs it records the device's output and compares it with the times printed
// here.  Times are QueryPerformanceCounter in ms, which under Wine is the
// host's CLOCK_MONOTONIC_RAW, the clock the script stamps the recording with.
#include "engine_library.h"
#include "sapi_double_registration.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace enginetest;

namespace {

double nowMs() {
    LARGE_INTEGER c, f;
    QueryPerformanceCounter(&c);
    QueryPerformanceFrequency(&f);
    return double(c.QuadPart) * 1000.0 / double(f.QuadPart);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: timing_probe ENGINE.dll reset|sync [SAPI-DOUBLE.dll]\n");
        return 2;
    }
    // The SAPI engine speaks through the SAPI double, registered for the run.
    SapiDoubleRegistration sapiDouble(argc == 4 ? argv[3] : "", argc == 4);
    if (argc == 4 && !sapiDouble.ok()) {
        std::fprintf(stderr, "the SAPI double could not be registered\n");
        return 1;
    }
    EngineLibrary lib;
    std::string error;
    if (!lib.load(argv[1], error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    EngineInstance *e = nullptr;
    if (lib.startup(&e, -1, kEngineReportErrors, nullptr, 0) != 0) {
        std::fprintf(stderr, "start-up failed\n");
        return 1;
    }
    // A bench may ask for another speaker or rate than the engine's first.
    if (const char *speaker = std::getenv("ORVANEL_PROBE_SPEAKER"))
        lib.setSpeaker(e, static_cast<uint32_t>(std::atoi(speaker)));
    if (const char *rate = std::getenv("ORVANEL_PROBE_RATE"))
        lib.setRate(e, static_cast<uint32_t>(std::atoi(rate)));
    if (std::strcmp(argv[2], "reset") == 0) {
        // Several seconds of speech, cut after one and a half.
        const double start = nowMs();
        lib.speak(e,
                  "The current time is 3:07 PM, on Tuesday the fifth of March. "
                  "This sentence keeps going for several seconds so that it is "
                  "certainly still sounding when the reset arrives.",
                  kEngineForce);
        Sleep(1500);
        const double cut = nowMs();
        lib.reset(e, 0);
        std::printf("speak_ms=%.3f\nreset_ms=%.3f\n", start, cut);
        Sleep(1000);
    } else {
        const double start = nowMs();
        lib.speak(e, "The current time is 3:07 PM,", kEngineNoForce);
        lib.speak(e, "on Tuesday the fifth of March.", kEngineForce);
        lib.sync(e);
        std::printf("speak_ms=%.3f\nsync_ms=%.3f\n", start, nowMs());
        Sleep(1000);
    }
    lib.shutdown(e);
    return 0;
}
