#include "resampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace engine;

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<int16_t> sine(double hz, uint32_t rate, size_t count, double amplitude = 10000) {
    std::vector<int16_t> s(count);
    for (size_t i = 0; i < count; ++i)
        s[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * kPi * hz * i / rate)));
    return s;
}

} // namespace

TEST(Resampler, KeepsDurationAndTonePiecesOrWhole) {
    const std::vector<int16_t> in = sine(440, 16000, 16000);
    std::vector<int16_t> whole, pieces;
    Resampler a(16000, 22050);
    a.push(in.data(), in.size(), whole);
    a.finish(whole);
    Resampler b(16000, 22050);
    for (size_t at = 0; at < in.size(); at += 37)
        b.push(in.data() + at, std::min<size_t>(37, in.size() - at), pieces);
    b.finish(pieces);
    EXPECT_EQ(whole, pieces);
    EXPECT_NEAR(double(whole.size()), 22050.0, 2.0);
    // Against the same tone made at the new rate: within 1% of full scale.
    const std::vector<int16_t> expected = sine(440, 22050, whole.size());
    double worst = 0;
    for (size_t i = 2; i + 2 < whole.size(); ++i)
        worst = std::max(worst, std::abs(double(whole[i]) - expected[i]));
    EXPECT_LT(worst, 330.0);
}

TEST(Resampler, ClipsInsteadOfWrappingAndStartsAfreshAfterFinish) {
    // Full-scale blocks: the interpolation overshoots next to every step.
    std::vector<int16_t> in(400);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = (i / 8) % 2 ? -32768 : 32767;
    Resampler r(16000, 22050);
    std::vector<int16_t> out;
    r.push(in.data(), in.size(), out);
    r.finish(out);
    const double step = 16000.0 / 22050;
    for (size_t j = 0; j < out.size(); ++j) {
        const auto i = static_cast<size_t>(j * step);
        if (i + 1 < in.size() && in[i] == in[i + 1]) {
            ASSERT_EQ(out[j] > 0, in[i] > 0) << "sample " << j;
        }
    }
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 32767);
    EXPECT_EQ(*std::min_element(out.begin(), out.end()), -32768);
    // A second utterance is resampled exactly as the first.
    std::vector<int16_t> again;
    r.push(in.data(), in.size(), again);
    r.finish(again);
    EXPECT_EQ(out, again);
}
