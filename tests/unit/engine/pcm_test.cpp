#include "pcm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

using namespace engine;

namespace {

constexpr double kPi = 3.14159265358979323846;

// A WAV file of any layout: fmt fields as given, the data bytes as given.
std::string makeWav(uint16_t format, uint16_t channels, uint32_t rate, uint16_t bits,
                    const std::string &data, uint32_t declaredDataSize = 0,
                    const std::string &extraChunk = {}) {
    auto u32 = [](uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    std::string fmt =
        u16(format) + u16(channels) + u32(rate) + u32(rate * align) + u16(align) + u16(bits);
    std::string body = "WAVE";
    body += "fmt " + u32(static_cast<uint32_t>(fmt.size())) + fmt;
    body += extraChunk;
    body += "data" + u32(declaredDataSize ? declaredDataSize : static_cast<uint32_t>(data.size())) +
            data;
    return "RIFF" + u32(static_cast<uint32_t>(body.size())) + body;
}

std::string pcm16(const std::vector<int16_t> &samples) {
    std::string s;
    for (int16_t v : samples) {
        s += char(v & 0xFF);
        s += char((v >> 8) & 0xFF);
    }
    return s;
}

double rms(const std::vector<int16_t> &s) {
    double sum = 0;
    for (int16_t v : s)
        sum += double(v) * v;
    return std::sqrt(sum / s.size());
}

} // namespace

TEST(Wav, SixteenBitMonoAtTheEngineRateIsBitExact) {
    std::vector<int16_t> samples = {0, 1, -1, 32767, -32768, 1234, -4321};
    DecodedWav w = decodeWav(makeWav(1, 1, 22050, 16, pcm16(samples)), 22050);
    EXPECT_EQ(w.status, WavStatus::Ok);
    EXPECT_EQ(w.samples, samples);

    // encodeWav writes what decodeWav reads.
    std::vector<char> file = encodeWav(samples, 22050);
    DecodedWav again = decodeWav(std::string(file.begin(), file.end()), 22050);
    EXPECT_EQ(again.samples, samples);
}

TEST(Wav, OtherLayoutsAreConvertedToMono) {
    // 8-bit stereo: channels averaged, unsigned offset removed.
    std::string stereo8 = {char(128 + 64), char(128 + 64), char(128 - 32), char(128 + 32)};
    DecodedWav w = decodeWav(makeWav(1, 2, 22050, 8, stereo8), 22050);
    ASSERT_EQ(w.status, WavStatus::Ok);
    ASSERT_EQ(w.samples.size(), 2u);
    EXPECT_EQ(w.samples[0], 16384);
    EXPECT_EQ(w.samples[1], 0);

    // 32-bit float, including a NaN that must not turn into noise.
    float floats[3] = {0.5f, -0.25f, std::nanf("")};
    std::string f32(reinterpret_cast<const char *>(floats), sizeof floats);
    w = decodeWav(makeWav(3, 1, 22050, 32, f32), 22050);
    ASSERT_EQ(w.samples.size(), 3u);
    EXPECT_EQ(w.samples[0], 16384);
    EXPECT_EQ(w.samples[1], -8192);
    EXPECT_EQ(w.samples[2], 0);

    // 24-bit.
    std::string s24 = {0, 0, char(0x40), 0, 0, char(0xC0)};
    w = decodeWav(makeWav(1, 1, 22050, 24, s24), 22050);
    ASSERT_EQ(w.samples.size(), 2u);
    EXPECT_EQ(w.samples[0], 16384);
    EXPECT_EQ(w.samples[1], -16384);
}

TEST(Wav, ResamplingKeepsDurationAndPitch) {
    // One second of 441 Hz at 44.1 kHz becomes one second at 22.05 kHz with
    // the same number of zero crossings.
    std::vector<int16_t> tone(44100);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<int16_t>(10000 * std::sin(2 * kPi * 441 * i / 44100.0));
    DecodedWav w = decodeWav(makeWav(1, 1, 44100, 16, pcm16(tone)), 22050);
    ASSERT_EQ(w.status, WavStatus::Ok);
    EXPECT_NEAR(double(w.samples.size()), 22050, 2);
    int crossings = 0;
    for (size_t i = 1; i < w.samples.size(); ++i)
        crossings += (w.samples[i - 1] < 0) != (w.samples[i] < 0);
    EXPECT_NEAR(crossings, 882, 4);
    EXPECT_NEAR(rms(w.samples), 10000 / std::sqrt(2.0), 200);
}

TEST(Wav, ChunksAfterOddSizedOnesAreFound) {
    std::string list = "LIST";
    list += std::string{3, 0, 0, 0} + "abc" + std::string(1, '\0'); // odd size, one pad byte
    DecodedWav w = decodeWav(makeWav(1, 1, 22050, 16, pcm16({7, 8}), 0, list), 22050);
    EXPECT_EQ(w.status, WavStatus::Ok);
    EXPECT_EQ(w.samples, (std::vector<int16_t>{7, 8}));
}

TEST(Wav, BadFilesHaveDefinedResults) {
    EXPECT_EQ(decodeWav("", 22050).status, WavStatus::NotWav);
    EXPECT_EQ(decodeWav(std::string("RIFF\x04\0\0\0WAVX", 12), 22050).status, WavStatus::NotWav);
    EXPECT_EQ(decodeWav(std::string(1000, 'x'), 22050).status, WavStatus::NotWav);
    // IMA ADPCM: another format, refused rather than played as noise.
    EXPECT_EQ(decodeWav(makeWav(0x11, 1, 22050, 4, std::string(100, '\x11')), 22050).status,
              WavStatus::UnsupportedFormat);
    // 12-bit integer PCM does not exist as a layout we know.
    EXPECT_EQ(decodeWav(makeWav(1, 1, 22050, 12, std::string(100, '\x11')), 22050).status,
              WavStatus::UnsupportedFormat);
    // No data chunk at all.
    std::string noData = makeWav(1, 1, 22050, 16, "");
    noData.resize(noData.size() - 8);
    EXPECT_EQ(decodeWav(noData, 22050).status, WavStatus::NoAudio);
    // The header alone: cut before the fmt chunk ends.
    EXPECT_EQ(decodeWav(makeWav(1, 1, 22050, 16, pcm16({1})).substr(0, 24), 22050).status,
              WavStatus::NoAudio);
}

TEST(Wav, TruncatedDataGivesTheWholeFramesPresent) {
    // Declares 1000 bytes of stereo 16-bit but holds 10: two whole frames and half of a third.
    std::string data = pcm16({100, 300, -100, -300, 5});
    DecodedWav w = decodeWav(makeWav(1, 2, 22050, 16, data, 1000), 22050);
    EXPECT_EQ(w.status, WavStatus::Truncated);
    EXPECT_EQ(w.samples, (std::vector<int16_t>{200, -200}));
}

TEST(Volume, ScalesLinearly) {
    std::vector<int16_t> s = {1000, -1000, 32767, -32768};
    std::vector<int16_t> copy = s;
    applyVolume(copy.data(), copy.size(), 100);
    EXPECT_EQ(copy, s);
    applyVolume(copy.data(), copy.size(), 10);
    EXPECT_EQ(copy, (std::vector<int16_t>{100, -100, 3276, -3276}));
    // 10 against 100 is 20 dB quieter.
    EXPECT_NEAR(20 * std::log10(rms(s) / rms(copy)), 20.0, 0.1);
    applyVolume(copy.data(), copy.size(), 0);
    EXPECT_EQ(copy, (std::vector<int16_t>(4, 0)));
}

TEST(EdgesOfSound, AreTheEndsOfTheFirstAndLastLoudWindows) {
    // Windows of 4: loud, quiet, loud (one sample spike enough), quiet, and 2 left over.
    std::vector<int16_t> s = {500, -500, 500, -500, 10, -10, 10, -10, 0,
                              0,   900,  0,   20,   20, 20,  20, 999, 999};
    EXPECT_EQ(endOfSound(s.data(), s.size(), 4, 150), 12u);
    EXPECT_EQ(endOfSound(s.data(), s.size(), 4, 460), 4u); // the spike's window is below
    EXPECT_EQ(endOfSound(s.data(), s.size(), 4, 600), 0u);
    EXPECT_EQ(endOfSound(s.data(), 3, 4, 1), 0u); // shorter than a window
    EXPECT_EQ(endOfSound(s.data(), s.size(), 0, 1), 0u);
    EXPECT_EQ(startOfSound(s.data(), s.size(), 4, 400), 0u);
    EXPECT_EQ(startOfSound(s.data() + 4, s.size() - 4, 4, 150), 4u);
    EXPECT_EQ(startOfSound(s.data(), s.size(), 4, 510), s.size()); // the 999s are no whole window
    EXPECT_EQ(startOfSound(s.data(), s.size(), 0, 1), s.size());
}
