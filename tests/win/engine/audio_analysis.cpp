#include "audio_analysis.h"

#include "pcm.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

namespace enginetest {

std::string readSharedFile(const std::string &path) {
    std::string bytes;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(f);
    return bytes;
}

Capture readCapture(const std::string &path) {
    Capture c;
    std::string bytes = readSharedFile(path);
    if (bytes.size() < 44)
        return c;
    // The sink writes the rate it was opened with; read it before decoding.
    uint32_t rate = static_cast<unsigned char>(bytes[24]) |
                    (static_cast<unsigned char>(bytes[25]) << 8) |
                    (static_cast<unsigned char>(bytes[26]) << 16);
    engine::DecodedWav w = engine::decodeWav(bytes, rate ? rate : 22050);
    c.ok = w.status == engine::WavStatus::Ok || w.status == engine::WavStatus::Truncated;
    c.rate = w.sourceRate;
    c.samples = std::move(w.samples);
    return c;
}

double rms(const int16_t *s, size_t n) {
    if (n == 0)
        return 0;
    double sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += double(s[i]) * s[i];
    return std::sqrt(sum / n);
}

double rmsDb(const std::vector<int16_t> &s) {
    double r = rms(s.data(), s.size());
    return r > 0 ? 20 * std::log10(r / 32768.0) : -200;
}

std::vector<int16_t> sounding(const std::vector<int16_t> &s) {
    std::vector<int16_t> out;
    out.reserve(s.size());
    for (int16_t v : s)
        if (v != 0)
            out.push_back(v);
    return out;
}

double energy(const std::vector<int16_t> &s) {
    double sum = 0;
    for (int16_t v : s)
        sum += double(v) * v;
    return sum;
}

SpeechComparison compareSpeech(const std::vector<int16_t> &a, const std::vector<int16_t> &b) {
    SpeechComparison c;
    if (a.empty() || b.empty())
        return c;
    c.lengthRatio = double(a.size()) / b.size();
    const size_t frame = 220;
    const size_t frames = std::min(a.size(), b.size()) / frame;
    double sum = 0;
    for (size_t f = 0; f < frames; ++f) {
        double da = 20 * std::log10(rms(&a[f * frame], frame) + 1);
        double db = 20 * std::log10(rms(&b[f * frame], frame) + 1);
        sum += std::fabs(da - db);
    }
    c.meanDbDifference = frames ? sum / frames : 0;
    return c;
}

std::string describe(const SpeechComparison &c) {
    return "length ratio " + std::to_string(c.lengthRatio) + ", mean level difference " +
           std::to_string(c.meanDbDifference) + " dB";
}

Voicing analyseVoicing(const std::vector<int16_t> &s, uint32_t rate) {
    // 40 ms frames; a frame is voiced when its normalised autocorrelation peak
    // between 60 and 500 Hz is strong.
    const size_t frame = rate / 25;
    const size_t minLag = rate / 500, maxLag = rate / 60;
    std::vector<double> pitches;
    size_t loudFrames = 0;
    for (size_t at = 0; at + frame + maxLag < s.size(); at += frame) {
        double e0 = 0;
        for (size_t i = 0; i < frame; ++i)
            e0 += double(s[at + i]) * s[at + i];
        if (e0 / frame < 300.0 * 300.0)
            continue;
        ++loudFrames;
        double best = 0;
        size_t bestLag = 0;
        for (size_t lag = minLag; lag <= maxLag; ++lag) {
            double c = 0, e1 = 0;
            for (size_t i = 0; i < frame; ++i) {
                c += double(s[at + i]) * s[at + i + lag];
                e1 += double(s[at + i + lag]) * s[at + i + lag];
            }
            double r = c / std::sqrt(e0 * e1 + 1);
            if (r > best) {
                best = r;
                bestLag = lag;
            }
        }
        if (best > 0.6)
            pitches.push_back(double(rate) / bestLag);
    }
    Voicing v;
    if (loudFrames)
        v.voicedFraction = double(pitches.size()) / loudFrames;
    if (!pitches.empty()) {
        std::nth_element(pitches.begin(), pitches.begin() + pitches.size() / 2, pitches.end());
        v.medianPitchHz = pitches[pitches.size() / 2];
    }
    return v;
}

size_t findSequence(const std::vector<int16_t> &h, const std::vector<int16_t> &n) {
    if (n.empty() || n.size() > h.size())
        return std::string::npos;
    auto it = std::search(h.begin(), h.end(), n.begin(), n.end());
    return it == h.end() ? std::string::npos : static_cast<size_t>(it - h.begin());
}

} // namespace enginetest
