// Measurements on captured 16-bit mono audio.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace enginetest {

struct Capture {
    bool ok = false;
    uint32_t rate = 0;
    std::vector<int16_t> samples;
};

// Reads the WAV file written by the ALSA file sink.
// The whole file, also while another process still writes it (empty if absent).
std::string readSharedFile(const std::string &windowsPath);
Capture readCapture(const std::string &windowsPath);

double rms(const int16_t *samples, size_t count);
double rmsDb(const std::vector<int16_t> &samples); // relative to full scale

// The samples without any that are exactly zero.  The device pads gaps in the
// stream with exact silence, more or less of it from run to run; comparing
// what remains compares what the engine played.
std::vector<int16_t> sounding(const std::vector<int16_t> &samples);
// Sum of squares: unchanged by any amount of inserted silence.
double energy(const std::vector<int16_t> &samples);

// eSpeak NG does not repeat itself to the sample (its voice has a little
// random flutter), so "the same speech" is judged on length and loudness
// contour: 10 ms frames, compared in dB.
struct SpeechComparison {
    double lengthRatio = 0; // a's length over b's
    double meanDbDifference = 0;
    bool same() const { return lengthRatio > 0.98 && lengthRatio < 1.02 && meanDbDifference < 3.0; }
};
SpeechComparison compareSpeech(const std::vector<int16_t> &a, const std::vector<int16_t> &b);
std::string describe(const SpeechComparison &c);

struct Voicing {
    double medianPitchHz = 0;  // over voiced frames; 0 when there are none
    double voicedFraction = 0; // of the frames that are not silent
};
Voicing analyseVoicing(const std::vector<int16_t> &samples, uint32_t rate);

// Index of the first exact occurrence of `needle`, or npos.
size_t findSequence(const std::vector<int16_t> &haystack, const std::vector<int16_t> &needle);

} // namespace enginetest
