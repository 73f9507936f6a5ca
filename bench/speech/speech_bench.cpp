// The listener's benchmark, first half: speaks the program's announcements
// through DECTALK.dll under Wine, one engine instance per announcement so
// that the ALSA file sink holds exactly that announcement when the instance
// has shut down, and writes each as a 16 kHz WAV file for the recogniser.
// bench/speech/run decodes them and prints the table.
//
//   speech_bench.exe ENGINE_DLL SINK_WAV OUT_DIR RATES BACKENDS [TIMES] [SPEAKERS]
//   RATES: e.g. 180,900 (0 stands for the engine's highest rate)
//   BACKENDS: e.g. table,espeak (the voice table, or one backend for all)
//   TIMES: a count of the sample, or 24-hour times: 6:05,18:15
//   SPEAKERS: e.g. 1,6 (speaker numbers; all nine when absent)
#include "audio_analysis.h"
#include "engine_functions.h"
#include "pcm.h"
#include "resampler.h"
#include "voices.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using Api = MeasuredEngineFunctions;

// Every hour of the day (12 AM to 11 PM) at the minutes a listener hears
// most often and the ones nearest a teen or a tens word, then every other
// minute of one hour: a "six" heard as a teen only shows at some pairings of
// hour and minute.
constexpr int kMinutesEveryHour[] = {0, 5, 15, 30, 45, 59};
constexpr size_t kPerHour = sizeof kMinutesEveryHour / sizeof *kMinutesEveryHour;
constexpr int kEveryMinuteHour = 10;
constexpr size_t kTimeCount = 24 * kPerHour + 60 - kPerHour;
void timeAt(size_t t, int &hour24, int &minute) {
    if (t < 24 * kPerHour) {
        hour24 = static_cast<int>(t / kPerHour);
        minute = kMinutesEveryHour[t % kPerHour];
        return;
    }
    hour24 = kEveryMinuteHour;
    minute = static_cast<int>(t - 24 * kPerHour);
    for (int m : kMinutesEveryHour) // skip the minutes the first part already said
        if (minute >= m)
            ++minute;
}

std::vector<std::string> split(const std::string &s) {
    std::vector<std::string> out;
    size_t b = 0;
    for (size_t e; (e = s.find(',', b)) != std::string::npos; b = e + 1)
        out.push_back(s.substr(b, e - b));
    out.push_back(s.substr(b));
    return out;
}

bool writeFile(const std::string &path, const std::vector<char> &bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return written == bytes.size();
}

// 22050 Hz to 16 kHz: a windowed-sinc low-pass below the new Nyquist
// frequency first, so nothing above 8 kHz folds into the recogniser's band.
std::vector<int16_t> to16k(const std::vector<int16_t> &in) {
    constexpr int kTaps = 63;
    constexpr double kPi = 3.14159265358979323846, kCutoff = 7600.0 / 22050;
    double h[kTaps], sum = 0;
    for (int i = 0; i < kTaps; ++i) {
        const double x = i - (kTaps - 1) / 2.0;
        const double sinc = x == 0 ? 2 * kCutoff : std::sin(2 * kPi * kCutoff * x) / (kPi * x);
        h[i] = sinc * (0.54 - 0.46 * std::cos(2 * kPi * i / (kTaps - 1)));
        sum += h[i];
    }
    std::vector<int16_t> filtered(in.size());
    for (size_t n = 0; n < in.size(); ++n) {
        double acc = 0;
        for (int i = 0; i < kTaps; ++i) {
            const long k = static_cast<long>(n) + i - (kTaps - 1) / 2;
            if (k >= 0 && k < static_cast<long>(in.size()))
                acc += h[i] / sum * in[static_cast<size_t>(k)];
        }
        filtered[n] = static_cast<int16_t>(std::lround(std::max(-32768.0, std::min(32767.0, acc))));
    }
    std::vector<int16_t> out;
    engine::Resampler r(22050, 16000);
    r.push(filtered.data(), filtered.size(), out);
    r.finish(out);
    return out;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 6) {
        std::fprintf(stderr,
                     "usage: speech_bench ENGINE SINK OUT_DIR RATES BACKENDS [TIMES] [SPEAKERS]\n");
        return 2;
    }
    const std::string sink = argv[2], outDir = argv[3];
    const std::vector<std::string> rates = split(argv[4]), backends = split(argv[5]);
    // TIMES: a count takes the first that many of the sample; a list of
    // 24-hour times (6:05,18:15) re-hears just those.
    std::vector<std::pair<int, int>> sample;
    const std::string timesArg = argc > 6 ? argv[6] : "0";
    if (timesArg.find(':') != std::string::npos) {
        for (const std::string &hm : split(timesArg))
            sample.emplace_back(std::atoi(hm.c_str()), std::atoi(hm.c_str() + hm.find(':') + 1));
    } else {
        const size_t count = std::strtoul(timesArg.c_str(), nullptr, 10);
        for (size_t t = 0; t < (count && count < kTimeCount ? count : kTimeCount); ++t) {
            int hour = 0, minute = 0;
            timeAt(t, hour, minute);
            sample.emplace_back(hour, minute);
        }
    }
    std::vector<uint32_t> speakers;
    for (const std::string &s : split(argc > 7 && *argv[7] ? argv[7] : "0,1,2,3,4,5,6,7,8"))
        speakers.push_back(static_cast<uint32_t>(std::strtoul(s.c_str(), nullptr, 10)));
    HMODULE m = LoadLibraryA(argv[1]);
    if (!m) {
        std::fprintf(stderr, "cannot load %s (%lu)\n", argv[1], GetLastError());
        return 1;
    }
    Api api;
    if (ResolveMeasuredEngineFunctions(m, api) != 0) {
        std::fprintf(stderr, "not the real engine\n");
        return 1;
    }
    // The manifest: one line per announcement, read by bench/speech/score.
    std::printf("file\tbackends\tbackend\tspeaker\trate\thour\tminute\tlatency_ms\tseconds\n");
    int counter = 0;
    for (const std::string &choice : backends) {
        SetEnvironmentVariableA("ORVANEL_SPEECH_BACKEND",
                                choice == "table" ? nullptr : choice.c_str());
        unsigned char caps[32] = {};
        api.getCaps(caps);
        int32_t highest;
        std::memcpy(&highest, caps + kEngineCapsMaxRateOffset, 4);
        for (const std::string &rateText : rates) {
            const int32_t rate = rateText == "0" ? highest : std::atoi(rateText.c_str());
            for (uint32_t speaker : speakers) {
                if (speaker >= kEngineSpeakerCount)
                    continue;
                const engine::Backend backend = engine::backendFor(
                    *engine::speakerVoice(speaker), engine::parseBackendChoice(choice.c_str()));
                for (const auto &[hour, minute] : sample) {
                    SYSTEMTIME clock{};
                    clock.wHour = static_cast<WORD>(hour);
                    clock.wMinute = static_cast<WORD>(minute);
                    char time[64];
                    // The program's own picture and wording.
                    GetTimeFormatA(LOCALE_SYSTEM_DEFAULT, TIME_NOSECONDS, &clock, "h':'mm tt", time,
                                   sizeof time);
                    const std::string sentence =
                        std::string("The current time is ") + time + " Eastern Standard Time";
                    DeleteFileA(sink.c_str());
                    EngineInstance *e = nullptr;
                    if (api.startup(&e, -1, 0, nullptr, 0) != 0) {
                        std::fprintf(stderr, "start-up failed (%s)\n", choice.c_str());
                        return 1;
                    }
                    api.setSpeaker(e, speaker);
                    api.setRate(e, static_cast<uint32_t>(rate));
                    api.speak(e, sentence.c_str(), kEngineNoForce);
                    api.speak(e, ",", kEngineForce);
                    api.sync(e);
                    EngineStats s{};
                    s.size = sizeof s;
                    api.stats(e, &s);
                    api.shutdown(e);
                    const double latency = double(s.firstWriteTick - s.lastSpeakTick) * 1000.0 /
                                           double(s.tickFrequency);
                    engine::DecodedWav wav =
                        engine::decodeWav(enginetest::readSharedFile(sink), 22050);
                    const std::vector<int16_t> audio = to16k(wav.samples);
                    char name[64];
                    std::snprintf(name, sizeof name, "a%04d", counter++);
                    if (!writeFile(outDir + "\\" + name + ".wav",
                                   engine::encodeWav(audio, 16000))) {
                        std::fprintf(stderr, "cannot write into %s\n", outDir.c_str());
                        return 1;
                    }
                    std::printf("%s\t%s\t%s\t%u\t%d\t%d\t%d\t%.2f\t%.2f\n", name, choice.c_str(),
                                backend == engine::Backend::Flite ? "flite" : "espeak", speaker,
                                rate, hour, minute, latency, double(audio.size()) / 16000);
                    std::fflush(stdout);
                }
            }
        }
    }
    return 0;
}
