// The eSpeak NG backend (Winelib build).  The library keeps global state, so
// every use is serialised by one process-wide lock, and it is initialised once
// for the life of the process: initialising it again after terminating it hangs.
// It synthesises synchronously on the calling thread.
#include "backends.h"
#include "engine_api.h"
#include "win_sync.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <cstring>

namespace engine {
namespace {

// Audio comes back in pieces of this length: small enough that the first
// sound reaches the device quickly and a cut stops synthesis soon.
constexpr int kBufferMs = 50;

SRWLOCK g_lock = SRWLOCK_INIT;
bool g_initialised = false;
uint32_t g_initResult = kEngineOk; // a failed initialisation is not tried again
uint32_t g_sampleRate = kLinuxEngineRate;
PcmSink *g_sink = nullptr; // the sink of the synthesis in progress
bool g_stopped = false;

int synthCallback(short *wav, int count, espeak_EVENT *) {
    if (g_stopped)
        return 1;
    if (wav && count > 0 && g_sink && !g_sink->write(reinterpret_cast<int16_t *>(wav), count)) {
        g_stopped = true;
        return 1;
    }
    return 0;
}

class EspeakSynthesiser final : public Synthesiser {
  public:
    uint32_t sampleRate() const override { return g_sampleRate; }

    void speak(const QueueItem &item, PcmSink &sink) override {
        const SpeakerVoice *voice = speakerVoice(item.speaker);
        if (!voice)
            voice = speakerVoice(0);
        ExclusiveLock l(g_lock);
        // Rate, pitch and volume do not survive a voice change: set them after it.
        if (espeak_SetVoiceByName(voice->espeakVoice) != EE_OK)
            espeak_SetVoiceByName("en-us");
        espeak_SetParameter(espeakRATE, item.rate, 0);
        espeak_SetParameter(espeakPITCH, voice->espeakPitch, 0);
        espeak_SetParameter(espeakVOLUME, 100, 0);
        g_sink = &sink;
        g_stopped = false;
        espeak_Synth(item.text.c_str(), item.text.size() + 1, 0, POS_CHARACTER, 0,
                     espeakCHARS_UTF8 | espeakENDPAUSE, nullptr, nullptr);
        g_sink = nullptr;
    }
};

uint32_t initialise() {
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    espeak_ng_ClearErrorContext(&context);
    // eSpeak NG fails here when its data folder is missing or unreadable.
    if (status != ENS_OK)
        return kEngineNoVoiceData;
    status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, kBufferMs, nullptr);
    const int rate = espeak_ng_GetSampleRate();
    if (status != ENS_OK || rate <= 0)
        return kEngineNoSynthesiser;
    if (espeak_ng_SetVoiceByName("en-us") != ENS_OK)
        return kEngineNoVoiceData;
    espeak_SetSynthCallback(synthCallback);
    g_sampleRate = static_cast<uint32_t>(rate);
    return kEngineOk;
}

} // namespace

uint32_t createEspeakSynthesiser(std::unique_ptr<Synthesiser> &out) {
    ExclusiveLock l(g_lock);
    if (!g_initialised) {
        g_initialised = true;
        g_initResult = initialise();
    }
    if (g_initResult != kEngineOk)
        return g_initResult;
    out.reset(new (std::nothrow) EspeakSynthesiser());
    return out ? kEngineOk : kEngineOutOfResources;
}

} // namespace engine
