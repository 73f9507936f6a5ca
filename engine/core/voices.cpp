#include "voices.h"

#include <cmath>

namespace engine {
namespace {

// Median pitch of each eSpeak voice, measured, keeps every pair at least 10%
// apart; Wendy has no voiced sound at all.
const SpeakerVoice kSpeakers[kSpeakerCount] = {
    {"Paul", "en-us", 50, "Gender=Male;Age=Adult", 0},             // ~101 Hz, standard male
    {"Betty", "en-us+f2", 60, "Gender=Female;Age=Adult", 0},       // ~210 Hz, standard female
    {"Harry", "en-us+m3", 10, "Gender=Male;Age=Adult", -6},        // ~74 Hz, deep male
    {"Frank", "en-us+m8", 50, "Gender=Male;Age=Senior", -3},       // ~84 Hz, older male
    {"Dennis", "en-us+klatt4", 70, "Gender=Male;Age=Adult", 4},    // ~123 Hz, lighter male
    {"Kit", "en-us+zac", 50, "Gender=Female;Age=Child", 10},       // ~350 Hz, child
    {"Ursula", "en-us+f4", 30, "Gender=Female;Age=Adult", -4},     // ~145 Hz, low female
    {"Rita", "en-us+f1", 50, "Gender=Female;Age=Senior", -1},      // ~178 Hz, older female
    {"Wendy", "en-us+whisperf", 50, "Gender=Female;Age=Adult", 2}, // whispered
};

} // namespace

const SpeakerVoice *speakerVoice(uint32_t speaker) {
    return speaker < kSpeakerCount ? &kSpeakers[speaker] : nullptr;
}

int32_t clampRate(uint32_t rate, RateRange range) {
    auto value = static_cast<int32_t>(rate);
    if (value < range.lowest)
        return range.lowest;
    if (value > range.highest)
        return range.highest;
    return value;
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
