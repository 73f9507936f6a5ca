// What the SAPI double makes of a Speak call: SAPI's XML read into runs of
// text with their pitch, and a deterministic signal standing for the speech.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sapidouble {

struct TextRun {
    std::wstring text;
    int pitch = 0; // SAPI's absolute middle pitch, -10..10
};

// False when the text is not well-formed XML: an unknown entity, a stray '<'
// or '&', an unquoted attribute, or elements that do not nest.
bool parseMarkup(const std::wstring &xml, std::vector<TextRun> &runs);

// Every character that is not white space sounds for 70 ms at rate 0 (each
// rate step a factor 3^(1/10), as SAPI's) as a tone at the voice's frequency
// shifted by the pitch (a step is a factor 2^(1/10)), its level following the
// character; white space is as long and exactly silent.
class Signal {
  public:
    Signal(const std::vector<TextRun> &runs, double voiceHz, int rate, unsigned volume,
           uint32_t sampleRate);
    // Fills up to `max` samples; 0 once everything has been produced.
    size_t next(int16_t *out, size_t max);

  private:
    const std::vector<TextRun> &runs_;
    double voiceHz_;
    double level_;
    size_t samplesPerChar_;
    uint32_t sampleRate_;
    size_t run_ = 0, char_ = 0, sample_ = 0;
    double phase_ = 0;
};

} // namespace sapidouble
