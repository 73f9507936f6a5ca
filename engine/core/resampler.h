// Streaming sample-rate conversion of 16-bit mono audio, for synthesisers
// whose voices speak at another rate than the engine's device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace engine {

// Cubic (Catmull-Rom) interpolation: audio may arrive in pieces of any
// length, and the output is the same as for the whole at once.
class Resampler {
  public:
    Resampler(uint32_t fromRate, uint32_t toRate);
    // Appends what the new samples complete to `out`.
    void push(const int16_t *samples, size_t count, std::vector<int16_t> &out);
    // Appends the rest, as if silence followed.
    void finish(std::vector<int16_t> &out);

  private:
    double step_;                     // input samples per output sample
    double position_ = 1.0;           // of the next output sample in pending_
    std::vector<int16_t> pending_{0}; // input from one sample before position_ on
};

} // namespace engine
