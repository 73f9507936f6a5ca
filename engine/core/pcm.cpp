#include "pcm.h"

#include <cmath>
#include <cstring>

namespace engine {
namespace {

uint32_t le32(const unsigned char *p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const unsigned char *p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

const unsigned char kSubtypeTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint32_t kMaxRate = 768000;

// One sample of any accepted encoding as a value in [-1, 1).
double readSample(const unsigned char *p, uint16_t format, uint16_t bits) {
    if (format == kFormatFloat) {
        if (bits == 32) {
            float f;
            uint32_t u = le32(p);
            std::memcpy(&f, &u, 4);
            return std::isfinite(f) ? f : 0.0;
        }
        uint64_t u = le32(p) | (static_cast<uint64_t>(le32(p + 4)) << 32);
        double d;
        std::memcpy(&d, &u, 8);
        return std::isfinite(d) ? d : 0.0;
    }
    switch (bits) {
    case 8:
        return (p[0] - 128) / 128.0;
    case 16:
        return static_cast<int16_t>(le16(p)) / 32768.0;
    case 24: {
        int32_t v =
            static_cast<int32_t>((p[0] << 8) | (p[1] << 16) | (static_cast<uint32_t>(p[2]) << 24));
        return (v >> 8) / 8388608.0;
    }
    default:
        return static_cast<int32_t>(le32(p)) / 2147483648.0;
    }
}

int16_t toSample(double v) {
    double s = std::lround(v * 32768.0);
    if (s > 32767)
        s = 32767;
    if (s < -32768)
        s = -32768;
    return static_cast<int16_t>(s);
}

} // namespace

void applyVolume(int16_t *samples, size_t count, int volume) {
    if (volume >= 100)
        return;
    if (volume <= 0) {
        std::memset(samples, 0, count * sizeof(int16_t));
        return;
    }
    for (size_t i = 0; i < count; ++i)
        samples[i] = static_cast<int16_t>(samples[i] * volume / 100);
}

namespace {

bool loudWindow(const int16_t *samples, size_t window, double rms) {
    double energy = 0;
    for (size_t i = 0; i < window; ++i)
        energy += double(samples[i]) * samples[i];
    return energy > rms * rms * double(window);
}

} // namespace

size_t endOfSound(const int16_t *samples, size_t count, size_t window, double rms) {
    if (window == 0)
        return 0;
    for (size_t end = count - count % window; end >= window; end -= window) {
        if (loudWindow(samples + end - window, window, rms))
            return end;
    }
    return 0;
}

size_t startOfSound(const int16_t *samples, size_t count, size_t window, double rms) {
    if (window == 0)
        return count;
    for (size_t start = 0; start + window <= count; start += window) {
        if (loudWindow(samples + start, window, rms))
            return start;
    }
    return count;
}

DecodedWav decodeWav(std::string_view bytes, uint32_t targetRate) {
    DecodedWav out;
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const size_t size = bytes.size();
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return out;

    const unsigned char *fmt = nullptr;
    size_t fmtSize = 0;
    const unsigned char *audio = nullptr;
    size_t audioSize = 0;
    bool truncated = false;
    size_t pos = 12;
    while (pos + 8 <= size) {
        uint32_t chunkSize = le32(data + pos + 4);
        const unsigned char *body = data + pos + 8;
        size_t available = size - pos - 8;
        size_t usable = chunkSize <= available ? chunkSize : available;
        if (std::memcmp(data + pos, "fmt ", 4) == 0 && !fmt) {
            fmt = body;
            fmtSize = usable;
        } else if (std::memcmp(data + pos, "data", 4) == 0 && !audio) {
            audio = body;
            audioSize = usable;
            truncated = chunkSize > available;
        }
        if (chunkSize > available)
            break;
        pos += 8 + static_cast<size_t>(chunkSize) + (chunkSize & 1);
    }
    out.status = WavStatus::NoAudio;
    if (!fmt || fmtSize < 16 || !audio)
        return out;

    uint16_t format = le16(fmt);
    const uint16_t channels = le16(fmt + 2);
    const uint32_t rate = le32(fmt + 4);
    const uint16_t blockAlign = le16(fmt + 12);
    const uint16_t bits = le16(fmt + 14);
    out.sourceRate = rate;
    out.sourceChannels = channels;
    out.sourceBits = bits;
    if (format == kFormatExtensible) {
        if (fmtSize < 40 || std::memcmp(fmt + 26, kSubtypeTail, 14) != 0) {
            out.status = WavStatus::UnsupportedFormat;
            return out;
        }
        format = le16(fmt + 24);
    }
    const bool intOk =
        format == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool floatOk = format == kFormatFloat && (bits == 32 || bits == 64);
    if (!(intOk || floatOk) || channels == 0 || rate == 0 || rate > kMaxRate ||
        blockAlign != channels * (bits / 8)) {
        out.status = WavStatus::UnsupportedFormat;
        return out;
    }

    const size_t frames = audioSize / blockAlign;
    if (frames == 0)
        return out;
    const size_t bytesPerSample = bits / 8;
    auto monoAt = [&](size_t frame) {
        const unsigned char *p = audio + frame * blockAlign;
        double sum = 0;
        for (uint16_t ch = 0; ch < channels; ++ch)
            sum += readSample(p + ch * bytesPerSample, format, bits);
        return sum / channels;
    };

    if (rate == targetRate) {
        out.samples.resize(frames);
        for (size_t f = 0; f < frames; ++f)
            out.samples[f] = toSample(monoAt(f));
    } else {
        const double step = static_cast<double>(rate) / targetRate;
        const auto outFrames = static_cast<size_t>(std::floor((frames - 1) / step)) + 1;
        out.samples.resize(outFrames);
        for (size_t o = 0; o < outFrames; ++o) {
            double at = o * step;
            auto f = static_cast<size_t>(at);
            double frac = at - f;
            double a = monoAt(f);
            double b = f + 1 < frames ? monoAt(f + 1) : a;
            out.samples[o] = toSample(a + (b - a) * frac);
        }
    }
    out.status = truncated ? WavStatus::Truncated : WavStatus::Ok;
    return out;
}

std::vector<char> encodeWav(const std::vector<int16_t> &samples, uint32_t rate) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<char> file(44 + dataBytes);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int b = 0; b < 4; ++b)
            file[at + b] = static_cast<char>(v >> (8 * b));
    };
    auto put16 = [&](size_t at, uint16_t v) {
        file[at] = static_cast<char>(v);
        file[at + 1] = static_cast<char>(v >> 8);
    };
    std::memcpy(&file[0], "RIFF", 4);
    put32(4, 36 + dataBytes);
    std::memcpy(&file[8], "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, kFormatPcm);
    put16(22, 1);
    put32(24, rate);
    put32(28, rate * 2);
    put16(32, 2);
    put16(34, 16);
    std::memcpy(&file[36], "data", 4);
    put32(40, dataBytes);
    for (size_t i = 0; i < samples.size(); ++i)
        put16(44 + 2 * i, static_cast<uint16_t>(samples[i]));
    return file;
}

} // namespace engine
