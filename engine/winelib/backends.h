// The Linux engine's two synthesisers; engine/winelib/linux_synthesiser.cpp
// puts each speaker's speech through one of them.
#pragma once

#include "synthesiser.h"

#include <cstdint>
#include <memory>

namespace engine {

// Each returns kEngineOk, or the start-up error that says why it cannot speak.
uint32_t createEspeakSynthesiser(std::unique_ptr<Synthesiser> &out);
uint32_t createFliteSynthesiser(std::unique_ptr<Synthesiser> &out);

// The rate every piece of audio they produce is delivered at.
constexpr uint32_t kLinuxEngineRate = 22050;

} // namespace engine
