// One engine instance: the text handling of the portable core, a queue of
// pieces, and a Win32 worker thread that synthesises them into the device.
#pragma once

#include "engine_api.h"
#include "synthesiser.h"
#include "text_processor.h"
#include "wave_player.h"

#include <windows.h>

#include <deque>
#include <memory>

namespace engine {

class DeviceSink;

class Engine {
  public:
    // kEngineOk and the new instance, or a start-up error and nothing.
    static uint32_t start(int32_t device, uint32_t options, EngineErrorCallback callback,
                          uint32_t user, Engine **out);

    void speak(const char *text, uint32_t flags);
    void reset(bool complete);
    void sync();
    void setRate(uint32_t rate);
    void setSpeaker(uint32_t speaker);
    uint32_t loadDictionary(const char *path);
    void unloadDictionary();
    void stats(EngineStats &out);

    // Calls in progress on other threads keep the instance alive.
    void enter() { InterlockedIncrement(&callers_); }
    void leave();

    // Ends the instance: speech stops, waiters return, the worker closes the
    // device and ends, and the instance is freed once no call is in progress.
    // Called once, after the instance can no longer be found.
    void shutdown();

  private:
    Engine(int32_t device, uint32_t options, EngineErrorCallback callback, uint32_t user);
    ~Engine();
    static DWORD WINAPI workerEntry(void *self);
    void workerMain();
    void process(const QueueItem &item, uint32_t generation);
    void playFile(const QueueItem &item, DeviceSink &sink);
    void report(int kind);
    void enqueueLocked(std::vector<QueueItem> &items);
    void waitForCallers();
    friend class DeviceSink;

    const uint32_t options_;
    const EngineErrorCallback callback_;
    const uint32_t user_;
    const int32_t device_;
    uint32_t messageId_ = 0;

    SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE idle_ = CONDITION_VARIABLE_INIT;
    // Guarded by lock_.
    TextProcessor text_;
    std::deque<QueueItem> queue_;
    uint32_t generation_ = 0;
    bool busy_ = false; // the worker holds an item or audio still sounds
    bool stopping_ = false;
    bool workerEnded_ = false;
    bool abandoned_ = false; // shut-down stopped waiting: the worker frees the instance
    int64_t lastSpeakTick_ = 0;
    int64_t firstWriteTick_ = 0;
    bool awaitingFirstWrite_ = false;
    int64_t synthesisTicks_ = 0;
    int64_t samplesSynthesised_ = 0;

    volatile LONG callers_ = 0;
    HANDLE wake_ = nullptr;  // auto-reset: new work, a reset or shut-down
    HANDLE ready_ = nullptr; // the worker has its synthesiser, or failed to get one
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    uint32_t startResult_ = kEngineOk;
    uint32_t sampleRate_ = 0; // set by the worker before start-up returns

    // The worker's own.
    std::unique_ptr<Synthesiser> synth_;
    WavePlayer player_;
    bool runFailed_ = false; // a device error in this run: drop pieces until the queue is dry
    int64_t lastReportTick_ = 0;
};

} // namespace engine
