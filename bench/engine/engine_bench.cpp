// Benchmark of the Linux engine under Wine: time from a speak call to the
// first buffer handed to waveOut (also for the first utterance of a process),
// and synthesis speed as a real-time factor.
// The engine measures both itself (ordinal 100) around the same code paths
// the program uses; this program only drives it and summarises.
#include "engine_functions.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Api = MeasuredEngineFunctions;

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(p * (v.size() - 1) + 0.5);
    return v[i];
}

// Ten words, as an announcement would have them.
const char *const kSentence = "The current time is 3:07 PM on Tuesday, March fifth.";

double nowMs() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return double(count.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double firstSampleMs(const EngineStats &s) {
    return double(s.firstWriteTick - s.lastSpeakTick) * 1000.0 / double(s.tickFrequency);
}

std::vector<double> firstSampleLatencies(const Api &api, uint32_t options, int runs) {
    std::vector<double> ms;
    EngineInstance *e = nullptr;
    if (api.startup(&e, -1, options, nullptr, 0) != 0)
        return ms;
    api.speak(e, "Warming up.", kEngineForce);
    api.sync(e);
    for (int i = 0; i < runs; ++i) {
        api.speak(e, kSentence, kEngineForce);
        api.sync(e);
        EngineStats s{};
        s.size = sizeof s;
        if (api.stats(e, &s) == 0 && s.firstWriteTick > 0)
            ms.push_back(firstSampleMs(s));
    }
    api.shutdown(e);
    return ms;
}

// The first utterance of a fresh process, spoken gapMs after start-up (a first
// request comes some time after the program starts), and the one after it; the
// device is opened when speech starts, as the program does by default.  One
// line for bench/engine/first_utterance to collect over many processes.
int firstUtterance(const Api &api, int gapMs) {
    EngineInstance *e = nullptr;
    const double started = nowMs();
    if (api.startup(&e, -1, kEngineReportErrors, nullptr, 0) != 0) {
        std::fprintf(stderr, "start-up failed\n");
        return 1;
    }
    const double startupMs = nowMs() - started;
    Sleep(static_cast<DWORD>(gapMs));
    double ms[2] = {};
    for (double &m : ms) {
        api.speak(e, kSentence, kEngineForce);
        api.sync(e);
        EngineStats s{};
        s.size = sizeof s;
        if (api.stats(e, &s) != 0 || s.firstWriteTick <= 0) {
            std::fprintf(stderr, "no audio was written\n");
            return 1;
        }
        m = firstSampleMs(s);
    }
    api.shutdown(e);
    std::printf("startup_ms=%.2f first_ms=%.2f second_ms=%.2f\n", startupMs, ms[0], ms[1]);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    const char *dll = argc > 1 ? argv[1] : "DECTALK.dll";
    const bool first = argc > 2 && std::strcmp(argv[2], "first") == 0;
    const int runs = argc > 2 && !first ? std::max(1, std::atoi(argv[2])) : 30;
    HMODULE m = LoadLibraryA(dll);
    if (!m) {
        std::fprintf(stderr, "cannot load %s (%lu)\n", dll, GetLastError());
        return 1;
    }
    Api api;
    if (ResolveMeasuredEngineFunctions(m, api) != 0) {
        std::fprintf(stderr, "%s lacks the engine's ordinals (or the statistics, ordinal 100)\n",
                     dll);
        return 1;
    }
    if (first)
        return firstUtterance(api, argc > 3 ? std::max(0, std::atoi(argv[3])) : 1000);

    for (uint32_t options :
         {uint32_t(kEngineReportErrors), uint32_t(kEngineOwnDevice | kEngineReportErrors)}) {
        std::vector<double> ms = firstSampleLatencies(api, options, runs);
        if (ms.empty()) {
            std::fprintf(stderr, "no measurement (start-up failed or no audio was written)\n");
            return 1;
        }
        std::printf("speak -> first sample to waveOut, 10 words, %s: median %.2f ms, p90 %.2f ms, "
                    "max %.2f ms (%zu runs; target <= 150 ms)\n",
                    options & kEngineOwnDevice ? "device kept open" : "device opened per run",
                    percentile(ms, 0.5), percentile(ms, 0.9), percentile(ms, 1.0), ms.size());
    }

    // Synthesis speed over about a minute of speech.
    EngineInstance *e = nullptr;
    if (api.startup(&e, -1, kEngineOwnDevice, nullptr, 0) != 0)
        return 1;
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "The current time is 3:07 PM on Tuesday, March fifth. Have a pleasant afternoon. ";
    EngineStats before{};
    before.size = sizeof before;
    api.stats(e, &before);
    api.speak(e, text.c_str(), kEngineForce);
    api.sync(e);
    EngineStats after{};
    after.size = sizeof after;
    api.stats(e, &after);
    api.shutdown(e);
    const double audio =
        double(after.samplesSynthesised - before.samplesSynthesised) / after.sampleRate;
    const double work = double(after.synthesisTicks - before.synthesisTicks) / after.tickFrequency;
    std::printf("synthesis: %.1f s of audio in %.3f s: real-time factor %.4f (%.0fx faster than "
                "real time)\n",
                audio, work, work / audio, audio / work);
    return 0;
}
