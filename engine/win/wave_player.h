// The wave-output device as the engine uses it: 16-bit mono buffers queued in
// order, a bounded look-ahead, and a cut that silences the device at once.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <cstddef>
#include <cstdint>
#include <deque>

namespace engine {

// The engine's one audio format: 16-bit mono PCM at the given rate.
inline WAVEFORMATEX MonoPcm16Format(uint32_t sampleRate) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = sampleRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = sampleRate * 2;
    return format;
}

class WavePlayer {
  public:
    enum class WriteResult { Ok, Cut, Failed };

    WavePlayer();
    ~WavePlayer();
    WavePlayer(const WavePlayer &) = delete;
    WavePlayer &operator=(const WavePlayer &) = delete;

    bool valid() const { return event_ != nullptr; }
    void configure(int32_t device, uint32_t sampleRate);

    // The worker thread's side.
    // Readies the process's audio system without opening the device and
    // without failing: its first use finds the devices, which under
    // PulseAudio takes a large part of a second.
    void prepare();
    int open(); // 0, or the error kind: 2 (open) or 3 (capabilities)
    // Opening a device takes a while, and so does a statistical voice before
    // its first sample: beginOpen() starts the opening on a thread of its own,
    // finishOpen() waits for it and gives open()'s result (at once, and 0, if
    // the device was already open).  Every beginOpen() needs a finishOpen().
    void beginOpen();
    int finishOpen();
    bool isOpen();
    // Queues a copy of the samples, first waiting while more than the
    // look-ahead is queued.  Cut: a cut for a later generation came first.
    WriteResult write(const int16_t *samples, size_t count, uint32_t generation);
    // Frees played buffers; true while any buffer is still queued.
    bool pending();
    // No buffer finished for too long while some are queued: the device hangs.
    bool stalled();
    HANDLE event() const { return event_; }
    void close();
    // Time spent waiting for the device: for the look-ahead, or for it to open.
    int64_t waitTicks() const { return waitTicks_; }

    // Any thread: everything queued stops sounding now, and writes for older
    // generations are refused from now on.
    void cut(uint32_t generation);

  private:
    struct Block {
        WAVEHDR header;
        int16_t *samples;
    };
    void reapLocked();
    void releaseAllLocked();
    static DWORD WINAPI openerEntry(void *self);

    SRWLOCK lock_ = SRWLOCK_INIT;
    HANDLE event_ = nullptr; // signalled by the device on every finished buffer, and by cut()
    HWAVEOUT device_ = nullptr;
    HANDLE opener_ = nullptr; // the thread running open(), until finishOpen()
    int openResult_ = 0;
    int32_t deviceNumber_ = -1;
    uint32_t sampleRate_ = 22050;
    uint32_t generation_ = 0;
    std::deque<Block *> blocks_;
    size_t queuedSamples_ = 0;
    int64_t lastProgress_ = 0; // awakeMilliseconds() of the last finished buffer
    int64_t waitTicks_ = 0;
};

} // namespace engine
