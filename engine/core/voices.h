// Speakers and speaking rates: the tables both synthesis backends share.
#pragma once

#include <cstdint>

namespace engine {

constexpr int kSpeakerCount = 9;

struct SpeakerVoice {
    const char *name;
    // eSpeak NG: voice with variant, and base pitch (0-99).
    const char *espeakVoice;
    int espeakPitch;
    // SAPI: the voice attributes asked for first, and a pitch shift (-10..10).
    const char *sapiAttributes;
    int sapiPitch;
};

// Speakers 0-8 in the order the program offers them; null for other numbers.
const SpeakerVoice *speakerVoice(uint32_t speaker);

struct RateRange {
    int32_t lowest;
    int32_t highest;
};

// eSpeak NG clamps below 80 words a minute; above 450 it keeps speeding up, and
// 900 is about as fast as its speech stays intelligible.
constexpr RateRange kEspeakRates{80, 900};
// SAPI's rate runs from -10 (a third of normal) to +10 (three times normal).
constexpr RateRange kSapiRates{60, 540};
constexpr int32_t kDefaultRate = 180;

// The rate arrives as an unsigned 32-bit value but is read as signed, so a
// negative setting lands on the lowest rate rather than the highest.
int32_t clampRate(uint32_t rate, RateRange range);

// SAPI's -10..10 rate for words a minute: 180 is 0, each step a factor 3^(1/10).
int sapiRateFor(int32_t wordsPerMinute);

// The 32-byte capability record, filled field by field as 32-bit little-endian values.
struct Capabilities {
    uint32_t speakerCount;
    uint32_t sampleRate;
    uint32_t version;
    int32_t lowestRate;  // offset 12
    int32_t highestRate; // offset 16
    int32_t defaultRate;
    uint32_t maxVolume;
    uint32_t defaultSpeaker;
};
void writeCapabilities(const Capabilities &caps, unsigned char record[32]);

constexpr uint32_t kEngineVersion = 0x0100;

} // namespace engine
