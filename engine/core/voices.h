// Speakers and speaking rates: the tables both synthesis backends share.
#pragma once

#include <cstdint>

#include "engine_api.h"

namespace engine {

// The synthesisers of the Linux engine; each speaker is spoken by one of them.
enum class Backend { Espeak, Flite };

struct FliteVoice {
    const char *name; // cmu_us_<name>
    // Words a minute at duration stretch 1, measured on a read passage.
    int naturalWpm;
    // At rates below this, an utterance's first word, when it is a plain word,
    // is spoken as at this rate (0: always at the rate of the rest).  Stretched
    // with the rest, the first sound of "The" rises so slowly that at 80 words
    // a minute speech is heard to begin 30-90 ms after its first sample.  At
    // 180 and above it is left alone: quickened, the recogniser of
    // bench/speech missed minutes.
    int quickFirstWordWpm;
};

struct SpeakerVoice {
    const char *name;
    // The Linux engine's choice, made by how well each speaker is understood.
    Backend backend;
    // eSpeak NG: voice with variant, and base pitch (0-99).
    const char *espeakVoice;
    int espeakPitch;
    // Flite: voice, mean pitch and pitch spread in Hz (0: the voice's own),
    // speed in percent of the rate asked for, and level in percent.
    const FliteVoice *fliteVoice;
    int flitePitchHz;
    int flitePitchRangeHz;
    int fliteTempoPercent;
    int fliteLevelPercent;
    // The statistical voices' vocoder warps frequency by this all-pass
    // constant (0: the voice's own, 0.42); above its own the formants sit
    // lower, as from a longer vocal tract.
    float fliteWarp;
    // The AM or PM after a time lasts this percent of the rest: run on as
    // quickly, the diphone voice's "fifteen A M" is heard as "fifty-nine A M".
    int fliteMarkerPercent;
    // The hour and minutes are spoken no faster than this many words a minute
    // (0: as fast as the rest): quickened with the rest, a "fifteen" is heard
    // as a "fifty".
    int fliteNumberWpm;
    // SAPI: the voice attributes asked for first, and a pitch shift (-10..10).
    const char *sapiAttributes;
    int sapiPitch;
};

// Speakers 0-8 in the order the program offers them; null for other numbers.
const SpeakerVoice *speakerVoice(uint32_t speaker);

// The Linux engine speaks each speaker with the backend of the table, unless
// the user asks for one backend for all ("espeak" or "flite", any case).
enum class BackendChoice { Table, Espeak, Flite };
BackendChoice parseBackendChoice(const char *name);
Backend backendFor(const SpeakerVoice &voice, BackendChoice choice);

struct RateRange {
    int32_t lowest;
    int32_t highest;
};

// eSpeak NG clamps below 80 words a minute; above 450 it keeps speeding up, and
// 900 is about as fast as its speech stays intelligible.
constexpr RateRange kEspeakRates{80, 900};
// SAPI's rate runs from -10 (a third of normal) to +10 (three times normal).
constexpr RateRange kSapiRates{60, 540};
// Flite stretches its phone durations.  Above 350 words a minute the recogniser
// of bench/speech understands some of its voices in fewer than 80% of the
// announcements (the diphone voice first), so 350 is the top.
constexpr RateRange kFliteRates{80, 350};
constexpr int32_t kDefaultRate = 180;

// The rate arrives as an unsigned 32-bit value but is read as signed, so a
// negative setting lands on the lowest rate rather than the highest.
int32_t clampRate(uint32_t rate, RateRange range);

// Flite's duration stretch for a rate: 1 speaks at the voice's natural rate.
double fliteDurationStretch(int32_t wordsPerMinute, const SpeakerVoice &voice);

// How many times its own length each frame of a statistical voice is made at
// this rate.  Flite predicts every frame of an utterance before it renders the
// first, so the wait for the first sample follows their count: at 80 words a
// minute, with frames of the voice's own length, it was 2.25 times that at
// 180.  Below 180 the frames lengthen with the speech instead, so an utterance
// never has more of them than at 180, the rate every voice is tuned at; from
// 180 up nothing changes.
double fliteFrameStretch(int32_t wordsPerMinute);

// The factor (at most 1) by which an utterance's first word is spoken quicker
// than the rest when the rate asked for is this.
double fliteFirstWordFactor(int32_t wordsPerMinute, const SpeakerVoice &voice);

// The duration stretch of a number's words relative to the rest: 1 at or
// below the voice's fliteNumberWpm.
double fliteNumberFactor(int32_t wordsPerMinute, const SpeakerVoice &voice);

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
