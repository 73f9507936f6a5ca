#include "voices.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace engine;

TEST(Voices, NineDistinctSpeakersAndNoMore) {
    const char *names[] = {"Paul", "Betty",  "Harry", "Frank", "Dennis",
                           "Kit",  "Ursula", "Rita",  "Wendy"};
    std::set<std::string> espeakVoices;
    for (uint32_t i = 0; i < kEngineSpeakerCount; ++i) {
        const SpeakerVoice *v = speakerVoice(i);
        ASSERT_NE(v, nullptr);
        EXPECT_STREQ(v->name, names[i]);
        EXPECT_GE(v->espeakPitch, 0);
        EXPECT_LE(v->espeakPitch, 99);
        EXPECT_GE(v->sapiPitch, -10);
        EXPECT_LE(v->sapiPitch, 10);
        espeakVoices.insert(std::string(v->espeakVoice) + "/" + std::to_string(v->espeakPitch));
    }
    EXPECT_EQ(espeakVoices.size(), static_cast<size_t>(kEngineSpeakerCount));
    EXPECT_EQ(speakerVoice(9), nullptr);
    EXPECT_EQ(speakerVoice(0xFFFFFFFFu), nullptr);
}

TEST(Voices, RateIsClampedAsSigned) {
    EXPECT_EQ(clampRate(180, kEspeakRates), 180);
    EXPECT_EQ(clampRate(0, kEspeakRates), kEspeakRates.lowest);
    EXPECT_EQ(clampRate(static_cast<uint32_t>(-50), kEspeakRates), kEspeakRates.lowest);
    EXPECT_EQ(clampRate(5000, kEspeakRates), kEspeakRates.highest);
    EXPECT_EQ(clampRate(0x80000000u, kEspeakRates), kEspeakRates.lowest);
    EXPECT_EQ(clampRate(0x7FFFFFFFu, kEspeakRates), kEspeakRates.highest);
}

TEST(Voices, SapiRateCoversTheReportedRangeMonotonically) {
    EXPECT_EQ(sapiRateFor(kDefaultRate), 0);
    EXPECT_EQ(sapiRateFor(kSapiRates.lowest), -10);
    EXPECT_EQ(sapiRateFor(kSapiRates.highest), 10);
    EXPECT_EQ(sapiRateFor(0), -10);
    EXPECT_EQ(sapiRateFor(100000), 10);
    int previous = -10;
    for (int wpm = kSapiRates.lowest; wpm <= kSapiRates.highest; ++wpm) {
        int r = sapiRateFor(wpm);
        EXPECT_GE(r, previous) << wpm;
        previous = r;
    }
}

TEST(Voices, CapabilityRecordPutsTheRateRangeAtOffsets12And16) {
    unsigned char record[32];
    std::fill(std::begin(record), std::end(record), 0xEE);
    writeCapabilities({9, 22050, kEngineVersion, 80, 900, 180, 100, 0}, record);
    auto at = [&](int offset) {
        return static_cast<uint32_t>(record[offset] | (record[offset + 1] << 8) |
                                     (record[offset + 2] << 16) |
                                     (static_cast<uint32_t>(record[offset + 3]) << 24));
    };
    EXPECT_EQ(at(12), 80u);
    EXPECT_EQ(at(16), 900u);
    EXPECT_EQ(at(0), 9u);
    EXPECT_EQ(at(4), 22050u);
    EXPECT_EQ(at(28), 0u); // every byte written, none left from before
}

TEST(Voices, FliteSettingsAreNineDistinctAndRateTurnsIntoStretch) {
    std::set<std::string> settings;
    for (uint32_t i = 0; i < kEngineSpeakerCount; ++i) {
        const SpeakerVoice &v = *speakerVoice(i);
        ASSERT_NE(v.fliteVoice, nullptr) << v.name;
        EXPECT_TRUE(v.flitePitchHz == 0 || (v.flitePitchHz >= 50 && v.flitePitchHz <= 400));
        EXPECT_GE(v.fliteTempoPercent, 50);
        EXPECT_LE(v.fliteTempoPercent, 150);
        EXPECT_GT(v.fliteLevelPercent, 0);
        EXPECT_LE(v.fliteLevelPercent, 100);
        EXPECT_TRUE(v.fliteWarp == 0 || (v.fliteWarp > 0.3f && v.fliteWarp < 0.6f)) << v.name;
        EXPECT_GE(v.fliteMarkerPercent, 100) << v.name;
        EXPECT_LE(v.fliteMarkerPercent, 200) << v.name;
        settings.insert(std::string(v.fliteVoice->name) + "/" + std::to_string(v.flitePitchHz));
        // 180 words a minute whatever the voice's own speed; twice the rate, half the stretch.
        const double at180 = fliteDurationStretch(180, v);
        EXPECT_NEAR(at180 * 180 * v.fliteTempoPercent / 100.0, v.fliteVoice->naturalWpm, 1e-9);
        EXPECT_NEAR(fliteDurationStretch(360, v), at180 / 2, 1e-9);
        // Below 180 an utterance has as many frames as at 180; from 180 up, its own.
        for (int32_t rate : {80, 120})
            EXPECT_NEAR(fliteDurationStretch(rate, v) / fliteFrameStretch(rate), at180, 1e-9);
    }
    EXPECT_EQ(settings.size(), static_cast<size_t>(kEngineSpeakerCount));
    EXPECT_GT(fliteDurationStretch(0, *speakerVoice(0)), 0.0); // never divides by zero
    for (int32_t rate : {180, 350, 0})                         // never shorter than the voice's own
        EXPECT_EQ(fliteFrameStretch(rate), 1.0) << rate;
    // The first word: below 180 words a minute, as at 180; never slowed down.
    const struct {
        uint32_t speaker;
        int32_t rate;
        double factor;
    } firstWords[] = {{1, 80, 80 / 180.0}, {7, 120, 120 / 180.0}, {1, 180, 1.0},
                      {8, 350, 1.0},       {0, 80, 80 / 180.0},   {3, 80, 80 / 180.0}};
    for (const auto &f : firstWords)
        EXPECT_NEAR(fliteFirstWordFactor(f.rate, *speakerVoice(f.speaker)), f.factor, 1e-9)
            << f.speaker << " at " << f.rate;
    // Harry's numbers keep 260 words a minute at 350; Betty's speed up with the rest.
    EXPECT_NEAR(fliteNumberFactor(350, *speakerVoice(2)), 350 / 260.0, 1e-9);
    EXPECT_EQ(fliteNumberFactor(180, *speakerVoice(2)), 1.0);
    EXPECT_EQ(fliteNumberFactor(350, *speakerVoice(1)), 1.0);
}

TEST(Voices, BackendChoiceOverridesTheTableOnlyWhenNamed) {
    EXPECT_EQ(parseBackendChoice("espeak"), BackendChoice::Espeak);
    EXPECT_EQ(parseBackendChoice("FLITE"), BackendChoice::Flite);
    for (const char *other : {"", "espeak-ng", "flit", "sapi"})
        EXPECT_EQ(parseBackendChoice(other), BackendChoice::Table) << other;
    EXPECT_EQ(parseBackendChoice(nullptr), BackendChoice::Table);
    const SpeakerVoice &paul = *speakerVoice(0);
    EXPECT_EQ(backendFor(paul, BackendChoice::Table), paul.backend);
    EXPECT_EQ(backendFor(paul, BackendChoice::Espeak), Backend::Espeak);
    EXPECT_EQ(backendFor(paul, BackendChoice::Flite), Backend::Flite);
}
