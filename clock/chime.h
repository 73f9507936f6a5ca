// The chime: what it strikes for a due minute and the sound itself, made
// here (a soft bell for the hours, a falling two-tone figure for the
// quarters) rather than taken from any recording.  Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <vector>

// The Chime setting.
enum class ChimeMode : int32_t { None = 0, BeforeSpeech = 1, InsteadOfSpeech = 2 };
ChimeMode ChimeModeOf(int32_t stored); // anything else is None

// The hour as 1 to 12 strokes; a quarter as 1 to 3 figures; any other minute
// (a shorter interval) as a single short tone.
struct ChimePattern {
    int strokes = 0;
    int figures = 0;
};
ChimePattern ChimeFor(uint16_t hour, uint16_t minute);

constexpr uint32_t kChimeSampleRate = 22050;
// Where each stroke and figure begins, in samples: one a little over a second
// apart, each fading out before the next.
constexpr uint32_t kStrokeSpacing = kChimeSampleRate * 6 / 5;
constexpr uint32_t kFigureSpacing = kChimeSampleRate * 7 / 10;

// The pattern as 16-bit mono PCM.
std::vector<int16_t> ChimeSamples(const ChimePattern &pattern);
// The same as a complete WAV file.
std::vector<uint8_t> ChimeWave(const ChimePattern &pattern);
// A file name of its own for each pattern, such as "chime-3-0.wav".
void ChimeFileName(const ChimePattern &pattern, char (&name)[32]);
