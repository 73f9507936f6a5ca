#include "speech_output.h"

#include "settings_store.h"

namespace {

// A reader's own voice and rate are unknown here: an utterance is taken to
// last 60 ms a character (some 170 words a minute) and half a second more,
// and no more than two minutes.
ULONGLONG EstimateMs(size_t characters) {
    const ULONGLONG ms = 500 + 60 * static_cast<ULONGLONG>(characters);
    return ms < 120000 ? ms : 120000;
}
// A service that reports the end is waited for up to twice the estimate and
// half a minute more (it may first finish what the reader said): a message
// whose end never comes does not hold the clock.
const ULONGLONG kQueueAllowanceMs = 30000;
// How often the wait looks at the outside voice.
const DWORD kPollMs = 20;
const ULONGLONG kWatchMs = 1000;

} // namespace

bool SpeechOutputSession::Start() {
    if (!own_.Start()) {
        return false;
    }
    if (voices_.empty()) {
        voices_ = FindOuterVoices(own_.Module(), window_);
    }
    return true;
}

void SpeechOutputSession::Stop() {
    CancelOuter();
    own_.Stop();
}

void SpeechOutputSession::ApplySettings() {
    own_.ApplySettings();
    if (ReadFlag(Setting::ResetSpeech)) {
        CancelOuter();
    }
    useOuter_ = ReadSetting(Setting::SpeechOutput) == 1;
    if (!useOuter_ && fellBack_) {
        fellBack_ = false;
        fallback_(false);
    }
    for (auto &voice : voices_) {
        voice->SetVoice(ReadSetting(Setting::Speaker), ReadSetting(Setting::Rate),
                        ReadSetting(Setting::Volume));
    }
}

void SpeechOutputSession::Speak(const char *text, bool force, SpeechKind kind) {
    if (!useOuter_ || kind == SpeechKind::Sound) {
        soundQueued_ = soundQueued_ || (useOuter_ && kind == SpeechKind::Sound);
        own_.Speak(text, force, kind);
        return;
    }
    pending_ += text;
    if (!force) {
        return;
    }
    if (soundQueued_) {
        afterSound_.emplace_back(pending_, kind);
    } else {
        HandOver(pending_, kind);
    }
    pending_.clear();
}

// Each utterance goes to exactly one voice: the first outside one that takes
// it, else the engine.  Asked afresh every time, so a reader started or
// ended since the last one is noticed now.
void SpeechOutputSession::HandOver(const std::string &text, SpeechKind kind) {
    OuterVoice *taker = nullptr;
    for (auto &voice : voices_) {
        if (voice->Say(text, kind)) {
            taker = voice.get();
            break;
        }
    }
    if (taker == nullptr) {
        own_.Speak(text.c_str(), true, kind);
    } else {
        const ULONGLONG now = GetTickCount64();
        const ULONGLONG estimate = EstimateMs(text.size());
        const ULONGLONG from = speaking_ == taker && estimatedEnd_ > now ? estimatedEnd_ : now;
        estimatedEnd_ = from + estimate;
        longestEnd_ = estimatedEnd_ + estimate + kQueueAllowanceMs;
        speaking_ = taker;
    }
    if ((taker == nullptr) != fellBack_) {
        fellBack_ = taker == nullptr;
        fallback_(fellBack_);
    }
}

// A reader that cannot tell our speech from its own is silenced only while
// ours may still be sounding.
void SpeechOutputSession::CancelOuter() {
    pending_.clear();
    afterSound_.clear();
    soundQueued_ = false;
    if (speaking_ != nullptr &&
        (speaking_->ReportsEnd() ? speaking_->Busy() : GetTickCount64() < estimatedEnd_)) {
        speaking_->Cancel();
    }
    estimatedEnd_ = 0;
}

void SpeechOutputSession::Interrupt() {
    own_.Interrupt();
    CancelOuter();
}

void SpeechOutputSession::WaitUntilSpoken(WaitWatcher &watcher) {
    own_.WaitUntilSpoken(watcher);
    soundQueued_ = false;
    if (own_.LastWaitCut()) {
        CancelOuter();
        return;
    }
    for (const auto &held : afterSound_) {
        HandOver(held.first, held.second);
    }
    afterSound_.clear();
    if (speaking_ != nullptr) {
        WaitForOuter(watcher);
    }
}

void SpeechOutputSession::WaitForOuter(WaitWatcher &watcher) {
    ULONGLONG asked = GetTickCount64();
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const bool done = speaking_->ReportsEnd() ? !speaking_->Busy() : now >= estimatedEnd_;
        if (done || now >= longestEnd_) {
            return;
        }
        const bool woken = wake_ != nullptr && WaitForSingleObject(wake_, kPollMs) == WAIT_OBJECT_0;
        if (wake_ == nullptr) {
            Sleep(kPollMs);
        }
        if (woken || now - asked >= kWatchMs) {
            asked = now;
            if (watcher.CutNow()) {
                Interrupt();
                return;
            }
        }
    }
}
