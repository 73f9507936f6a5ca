// The Linux engine's synthesiser: each speaker's speech goes to the backend
// the voice table names for it, or to the one backend the user asked for with
// ORVANEL_SPEECH_BACKEND ("espeak" or "flite").  Only the backends in use are
// started, so a missing one fails start-up only when it is needed.
#include "backends.h"
#include "engine_api.h"

#include <windows.h>

namespace engine {
namespace {

BackendChoice userChoice() {
    char name[32];
    DWORD n = GetEnvironmentVariableA("ORVANEL_SPEECH_BACKEND", name, sizeof name);
    return n > 0 && n < sizeof name ? parseBackendChoice(name) : BackendChoice::Table;
}

bool inUse(BackendChoice choice, Backend backend) {
    for (uint32_t s = 0; s < kEngineSpeakerCount; ++s) {
        if (backendFor(*speakerVoice(s), choice) == backend)
            return true;
    }
    return false;
}

class LinuxSynthesiser final : public Synthesiser {
  public:
    explicit LinuxSynthesiser(BackendChoice choice) : choice_(choice) {}

    uint32_t sampleRate() const override { return kLinuxEngineRate; }

    void speak(const QueueItem &item, PcmSink &sink) override {
        const SpeakerVoice *voice = speakerVoice(item.speaker);
        if (!voice)
            voice = speakerVoice(0);
        Synthesiser *s =
            backendFor(*voice, choice_) == Backend::Espeak ? espeak.get() : flite.get();
        if (s)
            s->speak(item, sink);
    }

    std::unique_ptr<Synthesiser> espeak, flite;

  private:
    BackendChoice choice_;
};

} // namespace

uint32_t backendSampleRate() {
    return kLinuxEngineRate;
}

// Every speaker must work at every rate reported: the range both backends share.
RateRange backendRates() {
    const BackendChoice choice = userChoice();
    const bool espeak = inUse(choice, Backend::Espeak), flite = inUse(choice, Backend::Flite);
    if (!flite)
        return kEspeakRates;
    if (!espeak)
        return kFliteRates;
    return {kEspeakRates.lowest > kFliteRates.lowest ? kEspeakRates.lowest : kFliteRates.lowest,
            kEspeakRates.highest < kFliteRates.highest ? kEspeakRates.highest
                                                       : kFliteRates.highest};
}

uint32_t createSynthesiser(std::unique_ptr<Synthesiser> &out) {
    const BackendChoice choice = userChoice();
    std::unique_ptr<LinuxSynthesiser> s(new (std::nothrow) LinuxSynthesiser(choice));
    if (!s)
        return kEngineOutOfResources;
    uint32_t r = kEngineOk;
    if (inUse(choice, Backend::Espeak) && (r = createEspeakSynthesiser(s->espeak)) != kEngineOk)
        return r;
    if (inUse(choice, Backend::Flite) && (r = createFliteSynthesiser(s->flite)) != kEngineOk)
        return r;
    for (const auto *b : {s->espeak.get(), s->flite.get()}) {
        if (b && b->sampleRate() != kLinuxEngineRate)
            return kEngineNoSynthesiser;
    }
    out = std::move(s);
    return kEngineOk;
}

} // namespace engine
