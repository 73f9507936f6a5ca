// The engine's exported operations.  Every call finds its instance in the list
// of live ones first, so a null, stale or foreign pointer does nothing.
#include "engine_api.h"
#include "engine_instance.h"
#include "inline_command.h"
#include "live_instances.h"

#include <cstring>

using engine::Engine;

namespace {

using Live = engine::LiveInstances<Engine>;
using Use = engine::Use<Engine>;

} // namespace

extern "C" {

uint32_t ENGINE_CALL EngineStartup(EngineInstance **instance, int32_t device, uint32_t options,
                                   EngineErrorCallback callback, uint32_t user) {
    if (!instance)
        return kEngineBadArguments;
    *instance = nullptr;
    Engine *e = nullptr;
    uint32_t result = Engine::start(device, options, callback, user, &e);
    if (result != kEngineOk)
        return result;
    if (!Live::all().add(e)) {
        e->shutdown();
        return kEngineOutOfResources;
    }
    *instance = reinterpret_cast<EngineInstance *>(e);
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineShutdown(EngineInstance *instance) {
    Engine *e = Live::all().remove(instance);
    if (!e)
        return kEngineBadInstance;
    e->shutdown();
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineSpeak(EngineInstance *instance, const char *text, uint32_t flags) {
    Use e(instance);
    if (!e)
        return kEngineBadInstance;
    if (!text)
        return kEngineBadArguments;
    e->speak(text, flags);
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineReset(EngineInstance *instance, uint32_t complete) {
    Use e(instance);
    if (!e)
        return kEngineBadInstance;
    e->reset(complete != 0);
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineSync(EngineInstance *instance) {
    Use e(instance);
    if (!e)
        return kEngineBadInstance;
    e->sync();
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineSetRate(EngineInstance *instance, uint32_t rate) {
    Use e(instance);
    if (!e)
        return kEngineBadInstance;
    e->setRate(rate);
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineSetSpeaker(EngineInstance *instance, uint32_t speaker) {
    Use e(instance);
    if (!e)
        return kEngineBadInstance;
    e->setSpeaker(speaker);
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineGetCaps(void *record32) {
    if (!record32)
        return kEngineBadArguments;
    engine::RateRange rates = engine::backendRates();
    engine::writeCapabilities(
        {kEngineSpeakerCount, engine::backendSampleRate(), engine::kEngineVersion, rates.lowest,
         rates.highest, engine::clampRate(engine::kDefaultRate, rates), engine::kMaxVolume, 0},
        static_cast<unsigned char *>(record32));
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineLoadUserDictionary(EngineInstance *instance, const char *path) {
    Use e(instance);
    if (!e)
        return kEngineBadInstance;
    if (!path) {
        e->unloadDictionary();
        return kEngineBadArguments;
    }
    return e->loadDictionary(path);
}

uint32_t ENGINE_CALL EngineUnloadUserDictionary(EngineInstance *instance) {
    Use e(instance);
    if (!e)
        return kEngineBadInstance;
    e->unloadDictionary();
    return kEngineOk;
}

uint32_t ENGINE_CALL EngineGetStats(EngineInstance *instance, EngineStats *stats) {
    Use e(instance);
    if (!e)
        return kEngineBadInstance;
    if (!stats || stats->size < sizeof(EngineStats))
        return kEngineBadArguments;
    e->stats(*stats);
    return kEngineOk;
}

} // extern "C"
