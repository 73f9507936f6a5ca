// 16-bit mono PCM: the one sample format inside the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace engine {

// Scales samples by volume/100; 100 leaves them bit for bit unchanged.
void applyVolume(int16_t *samples, size_t count, int volume);

// The end of the last window of `window` samples whose RMS is above `rms`
// (the windows counted from the start), or 0 when no window is.
size_t endOfSound(const int16_t *samples, size_t count, size_t window, double rms);

// The start of the first such window, or `count` when no whole window is.
size_t startOfSound(const int16_t *samples, size_t count, size_t window, double rms);

enum class WavStatus {
    Ok,
    Truncated,         // the data chunk ends early: the whole frames present were decoded
    NotWav,            // no RIFF/WAVE header
    UnsupportedFormat, // compressed or otherwise not PCM or float
    NoAudio,           // no fmt or data chunk, or no whole frame
};

struct DecodedWav {
    WavStatus status = WavStatus::NotWav;
    uint32_t sourceRate = 0;
    uint16_t sourceChannels = 0;
    uint16_t sourceBits = 0;
    std::vector<int16_t> samples; // mono at the requested rate
};

// Integer PCM of 8, 16, 24 or 32 bits and 32/64-bit float, any channel count
// (mixed to mono) and any rate (resampled linearly) are accepted.
DecodedWav decodeWav(std::string_view fileBytes, uint32_t targetRate);

// A canonical 16-bit mono WAV file; used to write test and sample files.
std::vector<char> encodeWav(const std::vector<int16_t> &samples, uint32_t rate);

} // namespace engine
