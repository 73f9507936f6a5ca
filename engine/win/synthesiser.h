// The synthesis backends (Flite and eSpeak NG on Linux, SAPI 5 on Windows)
// behind one small interface.
#pragma once

#include "text_processor.h"
#include "voices.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace engine {

// Receives synthesised 16-bit mono audio; false asks the synthesiser to stop at once.
class PcmSink {
  public:
    virtual bool write(const int16_t *samples, size_t count) = 0;

  protected:
    ~PcmSink() = default;
};

// Created, used and destroyed on the engine's worker thread only: eSpeak NG
// keeps global state, and SAPI's objects belong to the thread's apartment.
class Synthesiser {
  public:
    virtual ~Synthesiser() = default;
    virtual uint32_t sampleRate() const = 0;
    // Speaks one queued piece into the sink; returns when it is done or stopped.
    virtual void speak(const QueueItem &item, PcmSink &sink) = 0;
};

// Each backend supplies these three.
uint32_t backendSampleRate();
RateRange backendRates();
// kEngineOk, or the start-up error that says why there is no synthesiser.
uint32_t createSynthesiser(std::unique_ptr<Synthesiser> &out);

} // namespace engine
