#include "voices.h"

#include <cmath>
#include <cstddef>

namespace engine {
namespace {

// Flite's voices, with their speed at duration stretch 1.
const FliteVoice kSlt{"slt", 220, 180};   // female, US
const FliteVoice kRms{"rms", 192, 180};   // male, US; its pitch cannot be moved
const FliteVoice kAwb{"awb", 211, 180};   // male, Scottish
const FliteVoice kKal{"kal16", 202, 180}; // male, US, diphone

// Flite speaks every speaker: of the two, it alone is understood by a
// recogniser in every announcement (engine/README.md has the figures).  Its
// median pitches, 73 (Harry) 90 101 126 150 178 220 250 296 Hz (Kit),
// are at least 12% apart.  eSpeak NG's pitches keep every pair at least 10%
// apart, with Wendy whispered.
const SpeakerVoice kSpeakers[kEngineSpeakerCount] = {
    {"Paul", Backend::Flite, "en-us", 50, &kRms, 0, 0, 100, 100, 0, 100, 0, "Gender=Male;Age=Adult",
     0},
    {"Betty", Backend::Flite, "en-us+f2", 60, &kSlt, 178, 28, 100, 100, 0, 100, 0,
     "Gender=Female;Age=Adult", 0},
    {"Harry", Backend::Flite, "en-us+m3", 10, &kAwb, 76, 10, 95, 100, 0, 100, 260,
     "Gender=Male;Age=Adult", -6},
    {"Frank", Backend::Flite, "en-us+m8", 50, &kKal, 0, 0, 92, 100, 0, 150, 260,
     "Gender=Male;Age=Senior", -3},
    {"Dennis", Backend::Flite, "en-us+klatt4", 70, &kAwb, 0, 0, 100, 100, 0, 100, 260,
     "Gender=Male;Age=Adult", 4},
    {"Kit", Backend::Flite, "en-us+zac", 50, &kSlt, 300, 40, 100, 100, 0, 100, 0,
     "Gender=Female;Age=Child", 10},
    {"Ursula", Backend::Flite, "en-us+f4", 30, &kSlt, 150, 15, 92, 100, 0, 100, 0,
     "Gender=Female;Age=Adult", -4},
    {"Rita", Backend::Flite, "en-us+f1", 50, &kSlt, 220, 12, 90, 100, 0.44f, 100, 0,
     "Gender=Female;Age=Senior", -1},
    {"Wendy", Backend::Flite, "en-us+whisperf", 50, &kSlt, 250, 8, 90, 60, 0, 100, 0,
     "Gender=Female;Age=Adult", 2},
};

} // namespace

const SpeakerVoice *speakerVoice(uint32_t speaker) {
    return speaker < kEngineSpeakerCount ? &kSpeakers[speaker] : nullptr;
}

BackendChoice parseBackendChoice(const char *name) {
    auto is = [name](const char *want) {
        for (size_t i = 0;; ++i) {
            const char c = name[i] >= 'A' && name[i] <= 'Z' ? char(name[i] + 32) : name[i];
            if (c != want[i])
                return false;
            if (!c)
                return true;
        }
    };
    if (name && is("espeak"))
        return BackendChoice::Espeak;
    if (name && is("flite"))
        return BackendChoice::Flite;
    return BackendChoice::Table;
}

Backend backendFor(const SpeakerVoice &voice, BackendChoice choice) {
    if (choice == BackendChoice::Espeak)
        return Backend::Espeak;
    if (choice == BackendChoice::Flite)
        return Backend::Flite;
    return voice.backend;
}

int32_t clampRate(uint32_t rate, RateRange range) {
    auto value = static_cast<int32_t>(rate);
    if (value < range.lowest)
        return range.lowest;
    if (value > range.highest)
        return range.highest;
    return value;
}

double fliteDurationStretch(int32_t wpm, const SpeakerVoice &voice) {
    const double speed = double(wpm > 0 ? wpm : 1) * voice.fliteTempoPercent / 100.0;
    return voice.fliteVoice->naturalWpm / speed;
}

double fliteFrameStretch(int32_t wpm) {
    return wpm > 0 && wpm < kDefaultRate ? double(kDefaultRate) / wpm : 1.0;
}

double fliteFirstWordFactor(int32_t wpm, const SpeakerVoice &voice) {
    const int quick = voice.fliteVoice->quickFirstWordWpm;
    return quick > 0 && wpm < quick ? double(wpm > 0 ? wpm : 1) / quick : 1.0;
}

double fliteNumberFactor(int32_t wpm, const SpeakerVoice &voice) {
    const int cap = voice.fliteNumberWpm;
    return cap > 0 && wpm > cap ? double(wpm) / cap : 1.0;
}

int sapiRateFor(int32_t wpm) {
    if (wpm <= 0)
        return -10;
    double steps = 10.0 * std::log(static_cast<double>(wpm) / kDefaultRate) / std::log(3.0);
    long rounded = std::lround(steps);
    return rounded < -10 ? -10 : (rounded > 10 ? 10 : static_cast<int>(rounded));
}

void writeCapabilities(const Capabilities &caps, unsigned char record[32]) {
    const uint32_t fields[8] = {
        caps.speakerCount,
        caps.sampleRate,
        caps.version,
        static_cast<uint32_t>(caps.lowestRate),
        static_cast<uint32_t>(caps.highestRate),
        static_cast<uint32_t>(caps.defaultRate),
        caps.maxVolume,
        caps.defaultSpeaker,
    };
    for (int f = 0; f < 8; ++f) {
        for (int b = 0; b < 4; ++b)
            record[f * 4 + b] = static_cast<unsigned char>(fields[f] >> (8 * b));
    }
}

} // namespace engine
