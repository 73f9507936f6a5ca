#include "resampler.h"

#include <cmath>

namespace engine {

Resampler::Resampler(uint32_t fromRate, uint32_t toRate)
    : step_(toRate ? double(fromRate) / toRate : 1.0) {}

void Resampler::push(const int16_t *samples, size_t count, std::vector<int16_t> &out) {
    pending_.insert(pending_.end(), samples, samples + count);
    for (;;) {
        const auto i = static_cast<size_t>(position_);
        if (i + 2 >= pending_.size())
            break;
        const double t = position_ - i;
        const double p0 = pending_[i - 1], p1 = pending_[i], p2 = pending_[i + 1],
                     p3 = pending_[i + 2];
        const double v =
            p1 +
            0.5 * t *
                (p2 - p0 + t * (2 * p0 - 5 * p1 + 4 * p2 - p3 + t * (3 * (p1 - p2) + p3 - p0)));
        out.push_back(
            static_cast<int16_t>(std::lround(v < -32768 ? -32768 : (v > 32767 ? 32767 : v))));
        position_ += step_;
    }
    // Keep one sample before the next position and everything after it.
    const auto keepFrom = static_cast<size_t>(position_) - 1;
    if (keepFrom > 0) {
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(keepFrom));
        position_ -= double(keepFrom);
    }
}

void Resampler::finish(std::vector<int16_t> &out) {
    // Two samples of silence let the interpolation reach the last sample.
    const int16_t silence[2] = {0, 0};
    push(silence, 2, out);
    pending_.assign(1, 0);
    position_ = 1.0;
}

} // namespace engine
