// The stream the SAPI backend hands SAPI as its output: a write-only IStream
// whose writes go to the engine's current sink as 16-bit samples.
#pragma once

#include "synthesiser.h"

#include <windows.h>

#include <objidl.h>

#include <vector>

namespace engine {

// A write-only IStream that hands 16-bit samples to the current sink.
class SinkStream final : public IStream {
  public:
    void setSink(PcmSink *sink) {
        sink_ = sink;
        haveOddByte_ = false;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IStream) ||
            IsEqualIID(iid, IID_ISequentialStream)) {
            *out = static_cast<IStream *>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE Read(void *, ULONG, ULONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Write(const void *data, ULONG bytes, ULONG *written) override {
        if (written)
            *written = 0;
        const auto *p = static_cast<const unsigned char *>(data);
        ULONG left = bytes;
        // SAPI may split a sample across writes: keep the odd byte for the next one.
        if (haveOddByte_ && left > 0) {
            int16_t s = static_cast<int16_t>(oddByte_ | (p[0] << 8));
            if (sink_ && !sink_->write(&s, 1))
                return E_ABORT;
            haveOddByte_ = false;
            ++p;
            --left;
        }
        buffer_.resize(left / 2);
        for (size_t i = 0; i < buffer_.size(); ++i)
            buffer_[i] = static_cast<int16_t>(p[2 * i] | (p[2 * i + 1] << 8));
        if (!buffer_.empty() && sink_ && !sink_->write(buffer_.data(), buffer_.size()))
            return E_ABORT;
        if (left & 1) {
            oddByte_ = p[left - 1];
            haveOddByte_ = true;
        }
        position_ += bytes;
        if (written)
            *written = bytes;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                   ULARGE_INTEGER *result) override {
        // A sink cannot move: only a seek that lands where the stream stands
        // (which is also its end) succeeds, so asking the position works.
        const ULONGLONG target =
            origin == STREAM_SEEK_SET ? ULONGLONG(move.QuadPart) : position_ + move.QuadPart;
        if (origin > STREAM_SEEK_END || target != position_)
            return STG_E_INVALIDFUNCTION;
        if (result)
            result->QuadPart = position_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream *, ULARGE_INTEGER, ULARGE_INTEGER *,
                                     ULARGE_INTEGER *) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG *stat, DWORD) override {
        if (!stat)
            return E_POINTER;
        ZeroMemory(stat, sizeof *stat);
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = position_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream **) override { return E_NOTIMPL; }

  private:
    ~SinkStream() = default;
    volatile LONG refs_ = 1;
    PcmSink *sink_ = nullptr;
    ULONGLONG position_ = 0;
    bool haveOddByte_ = false;
    unsigned char oddByte_ = 0;
    std::vector<int16_t> buffer_;
};

} // namespace engine
