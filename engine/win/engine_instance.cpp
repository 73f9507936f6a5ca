#include "engine_instance.h"

#include "pcm.h"
#include "win_file.h"
#include "win_sync.h"

#include <new>
#include <string>
#include <vector>

namespace engine {
namespace {

// How long shut-down waits for the worker (which may be inside the program's
// error callback, showing a message box) before leaving it to finish alone.
constexpr DWORD kShutdownWaitMs = 5000;
constexpr size_t kMaxWavBytes = 64u << 20;
// Played files go to the device in pieces of this many samples, so a cut or
// the look-ahead takes effect within a piece.
constexpr size_t kPlayChunk = 1024;
// An announcement is several speak calls; a device that fails for one of them
// fails for all.  One report covers the failures that follow it this closely.
constexpr int64_t kReportQuietMs = 2000;

} // namespace

// Hands synthesised audio to the device at the piece's volume.
class DeviceSink : public PcmSink {
  public:
    DeviceSink(Engine &engine, uint32_t generation, int volume)
        : engine_(engine), generation_(generation), volume_(volume) {}

    bool write(const int16_t *samples, size_t count) override {
        if (count == 0)
            return true;
        // An opening that failed is reported by the worker once this returns.
        if (engine_.player_.finishOpen() != 0)
            return false;
        scratch_.assign(samples, samples + count);
        applyVolume(scratch_.data(), count, volume_);
        WavePlayer::WriteResult r = engine_.player_.write(scratch_.data(), count, generation_);
        if (r == WavePlayer::WriteResult::Failed) {
            failed_ = true;
            return false;
        }
        if (r == WavePlayer::WriteResult::Cut)
            return false;
        ExclusiveLock l(engine_.lock_);
        engine_.samplesSynthesised_ += static_cast<int64_t>(count);
        if (engine_.awaitingFirstWrite_) {
            engine_.firstWriteTick_ = performanceTicks();
            engine_.awaitingFirstWrite_ = false;
        }
        return true;
    }

    bool failed() const { return failed_; }

  private:
    Engine &engine_;
    const uint32_t generation_;
    const int volume_;
    bool failed_ = false;
    std::vector<int16_t> scratch_;
};

Engine::Engine(int32_t device, uint32_t options, EngineErrorCallback callback, uint32_t user)
    : options_(options), callback_(callback), user_(user), device_(device), text_(backendRates()) {}

Engine::~Engine() {
    if (thread_)
        CloseHandle(thread_);
    if (wake_)
        CloseHandle(wake_);
    if (ready_)
        CloseHandle(ready_);
}

uint32_t Engine::start(int32_t device, uint32_t options, EngineErrorCallback callback,
                       uint32_t user, Engine **out) {
    *out = nullptr;
    auto *e = new (std::nothrow) Engine(device, options, callback, user);
    if (!e)
        return kEngineOutOfResources;
    e->messageId_ = RegisterWindowMessageA("DECtalkErrorMessage");
    e->wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    e->ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (e->wake_ && e->ready_ && e->player_.valid())
        e->thread_ = CreateThread(nullptr, 0, workerEntry, e, 0, &e->threadId_);
    if (!e->thread_) {
        delete e;
        return kEngineOutOfResources;
    }
    WaitForSingleObject(e->ready_, INFINITE);
    if (e->startResult_ != kEngineOk) {
        uint32_t result = e->startResult_;
        WaitForSingleObject(e->thread_, INFINITE);
        delete e;
        return result;
    }
    *out = e;
    return kEngineOk;
}

DWORD WINAPI Engine::workerEntry(void *self) {
    static_cast<Engine *>(self)->workerMain();
    return 0;
}

void Engine::workerMain() {
    startResult_ = createSynthesiser(synth_);
    if (startResult_ != kEngineOk) {
        SetEvent(ready_);
        return;
    }
    sampleRate_ = synth_->sampleRate();
    player_.configure(device_, sampleRate_);
    // With its own device the engine holds it from start-up on.  A failure here
    // is reported when there is speech to play, when the program can show it.
    if (options_ & kEngineOwnDevice)
        player_.open();
    SetEvent(ready_);
    // Otherwise the device is opened when speech starts, and the first opening
    // in a process is slow: pay for that part now, while nothing waits for it.
    if (!(options_ & kEngineOwnDevice))
        player_.prepare();

    for (;;) {
        QueueItem item;
        uint32_t generation = 0;
        bool haveItem = false;
        {
            ExclusiveLock l(lock_);
            if (stopping_)
                break;
            if (!queue_.empty()) {
                item = std::move(queue_.front());
                queue_.pop_front();
                generation = generation_;
                busy_ = true;
                haveItem = true;
            }
        }
        if (haveItem) {
            process(item, generation);
            continue;
        }
        // Nothing left to synthesise: let the device play out what it holds.
        if (player_.pending()) {
            HANDLE waits[2] = {wake_, player_.event()};
            WaitForMultipleObjects(2, waits, FALSE, 50);
            if (player_.stalled()) {
                player_.close();
                report(kEngineErrorWrite);
            }
            continue;
        }
        // Everything has sounded: waiters go now, not after the device is closed.
        {
            ExclusiveLock l(lock_);
            if (stopping_)
                break;
            if (!queue_.empty())
                continue;
            busy_ = false;
            runFailed_ = false;
            WakeAllConditionVariable(&idle_);
        }
        if (!(options_ & kEngineOwnDevice))
            player_.close();
        WaitForSingleObject(wake_, INFINITE);
    }

    player_.close();
    synth_.reset();
    bool freeSelf;
    {
        ExclusiveLock l(lock_);
        workerEnded_ = true;
        freeSelf = abandoned_;
    }
    if (freeSelf) {
        waitForCallers();
        delete this;
    }
}

void Engine::process(const QueueItem &item, uint32_t generation) {
    {
        ExclusiveLock l(lock_);
        if (generation != generation_)
            return;
    }
    if (runFailed_)
        return;
    // The device opens while the voice works out its first samples, which for
    // Flite's statistical voices takes as long.
    player_.beginOpen();
    DeviceSink sink(*this, generation, item.volume);
    if (item.kind == QueueItem::Kind::Play) {
        playFile(item, sink);
    } else {
        const int64_t waitedBefore = player_.waitTicks();
        const int64_t started = performanceTicks();
        synth_->speak(item, sink);
        const int64_t spent = performanceTicks() - started - (player_.waitTicks() - waitedBefore);
        ExclusiveLock l(lock_);
        synthesisTicks_ += spent;
    }
    if (int kind = player_.finishOpen()) {
        runFailed_ = true;
        report(kind);
        return;
    }
    if (sink.failed()) {
        runFailed_ = true;
        player_.close();
        report(kEngineErrorWrite);
    }
}

void Engine::playFile(const QueueItem &item, DeviceSink &sink) {
    std::string bytes;
    // A missing, unreadable, oversized or undecodable file is skipped; the
    // speech around it goes on.
    if (readWholeFile(item.text.c_str(), kMaxWavBytes, bytes) != FileRead::Ok)
        return;
    DecodedWav wav = decodeWav(bytes, synth_->sampleRate());
    bytes.clear();
    bytes.shrink_to_fit();
    if (wav.status != WavStatus::Ok && wav.status != WavStatus::Truncated)
        return;
    for (size_t at = 0; at < wav.samples.size(); at += kPlayChunk) {
        size_t n = wav.samples.size() - at < kPlayChunk ? wav.samples.size() - at : kPlayChunk;
        if (!sink.write(wav.samples.data() + at, n))
            break;
    }
}

void Engine::report(int kind) {
    if (!(options_ & kEngineReportErrors) || !callback_)
        return;
    if (lastReportTick_ != 0 &&
        performanceTicks() - lastReportTick_ < kReportQuietMs * performanceFrequency() / 1000)
        return;
    callback_(kind, 0, user_, messageId_);
    // Counted from when the program's message box was closed.
    lastReportTick_ = performanceTicks();
}

void Engine::enqueueLocked(std::vector<QueueItem> &items) {
    if (items.empty())
        return;
    if (!busy_ && queue_.empty()) {
        lastSpeakTick_ = performanceTicks();
        firstWriteTick_ = 0;
        awaitingFirstWrite_ = true;
    }
    for (QueueItem &i : items)
        queue_.push_back(std::move(i));
    SetEvent(wake_);
}

void Engine::speak(const char *text, uint32_t flags) {
    std::vector<QueueItem> items;
    ExclusiveLock l(lock_);
    if (stopping_)
        return;
    text_.speak(text, (flags & kEngineForce) != 0, (flags & kEngineLiteral) != 0, items);
    enqueueLocked(items);
}

void Engine::reset(bool complete) {
    ExclusiveLock l(lock_);
    ++generation_;
    queue_.clear();
    text_.reset(complete);
    player_.cut(generation_);
    SetEvent(wake_);
}

void Engine::sync() {
    std::vector<QueueItem> items;
    ExclusiveLock l(lock_);
    // Text held back for its clause counts as queued: it is spoken now.
    text_.flush(items);
    enqueueLocked(items);
    while (!stopping_ && (!queue_.empty() || busy_))
        SleepConditionVariableSRW(&idle_, &lock_, INFINITE, 0);
}

void Engine::setRate(uint32_t rate) {
    ExclusiveLock l(lock_);
    text_.setRate(rate);
}

void Engine::setSpeaker(uint32_t speaker) {
    ExclusiveLock l(lock_);
    text_.setSpeaker(speaker);
}

uint32_t Engine::loadDictionary(const char *path) {
    std::string bytes;
    FileRead r = readWholeFile(path, UserDictionary::kMaxFileBytes, bytes);
    UserDictionary dictionary;
    if (r == FileRead::Ok)
        dictionary = UserDictionary::parse(bytes);
    // Loading replaces: a file that cannot be read leaves no dictionary at all.
    ExclusiveLock l(lock_);
    text_.setDictionary(std::move(dictionary));
    return r == FileRead::Ok ? kEngineOk : kEngineFileError;
}

void Engine::unloadDictionary() {
    ExclusiveLock l(lock_);
    text_.setDictionary(UserDictionary());
}

void Engine::stats(EngineStats &out) {
    ExclusiveLock l(lock_);
    out.sampleRate = sampleRate_;
    out.lastSpeakTick = lastSpeakTick_;
    out.firstWriteTick = firstWriteTick_;
    out.synthesisTicks = synthesisTicks_;
    out.samplesSynthesised = samplesSynthesised_;
    out.tickFrequency = performanceFrequency();
}

void Engine::leave() {
    InterlockedDecrement(&callers_);
}

void Engine::waitForCallers() {
    // Callers still inside return promptly once stopping_ is set.
    while (InterlockedCompareExchange(&callers_, 0, 0) != 0)
        Sleep(1);
}

void Engine::shutdown() {
    {
        ExclusiveLock l(lock_);
        stopping_ = true;
        ++generation_;
        queue_.clear();
        text_.reset(true);
        player_.cut(generation_);
        WakeAllConditionVariable(&idle_);
    }
    SetEvent(wake_);
    // From the worker itself (inside the error callback) there is nothing to wait for.
    DWORD waited = GetCurrentThreadId() == threadId_
                       ? WAIT_TIMEOUT
                       : WaitForSingleObject(thread_, kShutdownWaitMs);
    {
        ExclusiveLock l(lock_);
        if (waited != WAIT_OBJECT_0 && !workerEnded_) {
            abandoned_ = true;
            return;
        }
    }
    // The worker has ended or is past its last use of the instance.
    WaitForSingleObject(thread_, INFINITE);
    waitForCallers();
    delete this;
}

} // namespace engine
