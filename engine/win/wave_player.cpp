#include "wave_player.h"

#include "win_sync.h"

#include <cstring>

namespace engine {
namespace {

// Enough audio queued ahead to ride out scheduling hiccups; a cut does not
// depend on it, since it drops everything queued.
constexpr uint32_t kLookAheadMs = 400;
// A device that finishes no buffer for this long has stopped working.
constexpr int64_t kStallMs = 3000;

} // namespace

WavePlayer::WavePlayer() {
    event_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

WavePlayer::~WavePlayer() {
    finishOpen();
    close();
    if (event_)
        CloseHandle(event_);
}

void WavePlayer::configure(int32_t device, uint32_t sampleRate) {
    deviceNumber_ = device;
    sampleRate_ = sampleRate;
}

void WavePlayer::prepare() {
    // Counting the devices makes the system find them; the answer is not needed.
    waveOutGetNumDevs();
}

int WavePlayer::open() {
    ExclusiveLock l(lock_);
    if (device_)
        return 0;
    const auto id = static_cast<UINT>(deviceNumber_);
    if (deviceNumber_ < -1)
        return 2;
    if (deviceNumber_ != -1) {
        // A number past the last device cannot be opened; any other failure
        // to describe an existing device is a capabilities error.
        WAVEOUTCAPSA caps;
        MMRESULT r = waveOutGetDevCapsA(id, &caps, sizeof caps);
        if (r == MMSYSERR_BADDEVICEID)
            return 2;
        if (r != MMSYSERR_NOERROR)
            return 3;
    } else if (waveOutGetNumDevs() == 0) {
        return 2;
    }
    WAVEFORMATEX format = MonoPcm16Format(sampleRate_);
    HWAVEOUT device = nullptr;
    MMRESULT r = waveOutOpen(&device, deviceNumber_ == -1 ? WAVE_MAPPER : id, &format,
                             reinterpret_cast<DWORD_PTR>(event_), 0, CALLBACK_EVENT);
    if (r != MMSYSERR_NOERROR)
        return 2;
    device_ = device;
    return 0;
}

void WavePlayer::beginOpen() {
    if (opener_)
        return;
    openResult_ = 0;
    if (isOpen())
        return;
    opener_ = CreateThread(nullptr, 0, openerEntry, this, 0, nullptr);
    // Without a thread of its own the device is opened here.
    if (!opener_)
        openResult_ = open();
}

int WavePlayer::finishOpen() {
    if (opener_) {
        const int64_t start = performanceTicks();
        WaitForSingleObject(opener_, INFINITE);
        waitTicks_ += performanceTicks() - start;
        CloseHandle(opener_);
        opener_ = nullptr;
    }
    return openResult_;
}

DWORD WINAPI WavePlayer::openerEntry(void *self) {
    auto *player = static_cast<WavePlayer *>(self);
    player->openResult_ = player->open();
    return 0;
}

bool WavePlayer::isOpen() {
    ExclusiveLock l(lock_);
    return device_ != nullptr;
}

WavePlayer::WriteResult WavePlayer::write(const int16_t *samples, size_t count,
                                          uint32_t generation) {
    const size_t lookAhead = static_cast<size_t>(sampleRate_) * kLookAheadMs / 1000;
    AcquireSRWLockExclusive(&lock_);
    for (;;) {
        reapLocked();
        if (generation != generation_) {
            ReleaseSRWLockExclusive(&lock_);
            return WriteResult::Cut;
        }
        if (!device_) {
            ReleaseSRWLockExclusive(&lock_);
            return WriteResult::Failed;
        }
        if (queuedSamples_ < lookAhead)
            break;
        if (awakeMilliseconds() - lastProgress_ > kStallMs) {
            ReleaseSRWLockExclusive(&lock_);
            return WriteResult::Failed;
        }
        ReleaseSRWLockExclusive(&lock_);
        int64_t start = performanceTicks();
        WaitForSingleObject(event_, 20);
        waitTicks_ += performanceTicks() - start;
        AcquireSRWLockExclusive(&lock_);
    }

    auto *block = new (std::nothrow) Block{};
    int16_t *copy = block ? new (std::nothrow) int16_t[count ? count : 1] : nullptr;
    if (!copy) {
        delete block;
        ReleaseSRWLockExclusive(&lock_);
        return WriteResult::Failed;
    }
    std::memcpy(copy, samples, count * sizeof(int16_t));
    block->samples = copy;
    block->header.lpData = reinterpret_cast<LPSTR>(copy);
    block->header.dwBufferLength = static_cast<DWORD>(count * sizeof(int16_t));
    MMRESULT r = waveOutPrepareHeader(device_, &block->header, sizeof(WAVEHDR));
    if (r == MMSYSERR_NOERROR) {
        r = waveOutWrite(device_, &block->header, sizeof(WAVEHDR));
        if (r != MMSYSERR_NOERROR)
            waveOutUnprepareHeader(device_, &block->header, sizeof(WAVEHDR));
    }
    if (r != MMSYSERR_NOERROR) {
        delete[] copy;
        delete block;
        ReleaseSRWLockExclusive(&lock_);
        return WriteResult::Failed;
    }
    if (blocks_.empty())
        lastProgress_ = awakeMilliseconds();
    blocks_.push_back(block);
    queuedSamples_ += count;
    ReleaseSRWLockExclusive(&lock_);
    return WriteResult::Ok;
}

bool WavePlayer::pending() {
    ExclusiveLock l(lock_);
    reapLocked();
    return !blocks_.empty();
}

bool WavePlayer::stalled() {
    ExclusiveLock l(lock_);
    reapLocked();
    return !blocks_.empty() && awakeMilliseconds() - lastProgress_ > kStallMs;
}

void WavePlayer::cut(uint32_t generation) {
    ExclusiveLock l(lock_);
    generation_ = generation;
    if (device_)
        waveOutReset(device_);
    SetEvent(event_);
}

void WavePlayer::close() {
    ExclusiveLock l(lock_);
    if (!device_)
        return;
    waveOutReset(device_);
    releaseAllLocked();
    waveOutClose(device_);
    device_ = nullptr;
}

// Buffers finish in order, but a reset marks them all at once: look at each.
void WavePlayer::reapLocked() {
    for (auto it = blocks_.begin(); it != blocks_.end();) {
        Block *b = *it;
        if (!(b->header.dwFlags & WHDR_DONE)) {
            ++it;
            continue;
        }
        waveOutUnprepareHeader(device_, &b->header, sizeof(WAVEHDR));
        queuedSamples_ -= b->header.dwBufferLength / sizeof(int16_t);
        delete[] b->samples;
        delete b;
        it = blocks_.erase(it);
        lastProgress_ = awakeMilliseconds();
    }
}

void WavePlayer::releaseAllLocked() {
    reapLocked();
    // After a reset every buffer is done; anything else would be a device
    // that still owns the memory, so it is left to the process rather than freed.
    blocks_.clear();
    queuedSamples_ = 0;
}

} // namespace engine
