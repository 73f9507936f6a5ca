#include "chime.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kPeak = 0.45 * 32767;

// A struck bell: a few inharmonic partials, a 5 ms attack and an exponential
// fade of about a second.
void AddBell(std::vector<double> &out, size_t at, double pitch) {
    const double partials[][2] = {{1.0, 1.0}, {2.0, 0.45}, {2.76, 0.3}, {5.4, 0.12}};
    const size_t length = kStrokeSpacing - kChimeSampleRate / 10;
    for (size_t i = 0; i < length && at + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kChimeSampleRate;
        const double envelope = std::fmin(1.0, t / 0.005) * std::exp(-4.0 * t);
        double sum = 0;
        for (const auto &p : partials) {
            sum += p[1] * std::sin(2 * kPi * pitch * p[0] * t);
        }
        out[at + i] += envelope * sum / 1.87;
    }
}

// A soft tone: sine with a gentle rise and fall.
void AddTone(std::vector<double> &out, size_t at, double pitch, double seconds) {
    const size_t length = static_cast<size_t>(seconds * kChimeSampleRate);
    for (size_t i = 0; i < length && at + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kChimeSampleRate;
        const double envelope =
            std::fmin(1.0, t / 0.01) * std::exp(-5.0 * t) * std::fmin(1.0, (seconds - t) / 0.02);
        out[at + i] += envelope * std::sin(2 * kPi * pitch * t);
    }
}

} // namespace

ChimeMode ChimeModeOf(int32_t stored) {
    return stored == 1 || stored == 2 ? static_cast<ChimeMode>(stored) : ChimeMode::None;
}

ChimePattern ChimeFor(uint16_t hour, uint16_t minute) {
    ChimePattern pattern;
    if (minute == 0) {
        pattern.strokes = hour % 12 == 0 ? 12 : hour % 12;
    } else if (minute % 15 == 0) {
        pattern.figures = minute / 15;
    }
    return pattern;
}

std::vector<int16_t> ChimeSamples(const ChimePattern &pattern) {
    std::vector<double> sound;
    if (pattern.strokes > 0) {
        sound.assign(pattern.strokes * kStrokeSpacing, 0.0);
        for (int i = 0; i < pattern.strokes; ++i) {
            AddBell(sound, i * kStrokeSpacing, 392.0);
        }
    } else if (pattern.figures > 0) {
        sound.assign(pattern.figures * kFigureSpacing, 0.0);
        for (int i = 0; i < pattern.figures; ++i) {
            AddTone(sound, i * kFigureSpacing, 659.3, 0.25);
            AddTone(sound, i * kFigureSpacing + kChimeSampleRate / 4, 523.3, 0.3);
        }
    } else {
        sound.assign(kFigureSpacing, 0.0);
        AddTone(sound, 0, 659.3, 0.3);
    }
    std::vector<int16_t> samples(sound.size());
    for (size_t i = 0; i < sound.size(); ++i) {
        samples[i] = static_cast<int16_t>(std::lround(sound[i] * kPeak));
    }
    return samples;
}

std::vector<uint8_t> ChimeWave(const ChimePattern &pattern) {
    const std::vector<int16_t> samples = ChimeSamples(pattern);
    const uint32_t data = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> wave;
    const auto put = [&wave](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            wave.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
    };
    const auto tag = [&wave](const char *name) { wave.insert(wave.end(), name, name + 4); };
    tag("RIFF");
    put(36 + data, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(kChimeSampleRate, 4);
    put(kChimeSampleRate * 2, 4);
    put(2, 2);
    put(16, 2);
    tag("data");
    put(data, 4);
    for (int16_t sample : samples) {
        put(static_cast<uint16_t>(sample), 2);
    }
    return wave;
}

void ChimeFileName(const ChimePattern &pattern, char (&name)[32]) {
    std::snprintf(name, sizeof name, "chime-%d-%d.wav", pattern.strokes % 100,
                  pattern.figures % 100);
}
