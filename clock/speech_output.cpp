#include "speech_output.h"

namespace {

// A reader's own voice and rate are unknown here: an utterance is taken to
// last 60 ms a character (some 170 words a minute) and half a second more,
// and no more than two minutes.
int64_t EstimateMs(size_t characters) {
    const int64_t ms = 500 + 60 * static_cast<int64_t>(characters);
    return ms < 120000 ? ms : 120000;
}
// A service that reports the end is waited for up to twice the estimate and
// half a minute more (it may first finish what the reader said): a message
// whose end never comes does not hold the clock.
const int64_t kQueueAllowanceMs = 30000;
// How often the wait looks at the outside voice, and at the watcher.
const uint32_t kPollMs = 20;
const int64_t kWatchMs = 1000;

// Remembers whether the engine's wait was cut short.
class CutSeen : public WaitWatcher {
  public:
    explicit CutSeen(WaitWatcher &watcher) : watcher_(watcher) {}
    bool CutNow() override { return cut = cut || watcher_.CutNow(); }
    bool cut = false;

  private:
    WaitWatcher &watcher_;
};

} // namespace

bool SpeechOutputSession::Start() {
    if (!own_.Start()) {
        return false;
    }
    if (!found_) {
        voices_ = host_.FindVoices();
        found_ = true;
    }
    return true;
}

void SpeechOutputSession::Stop() {
    CancelOuter();
    own_.Stop();
}

void SpeechOutputSession::ApplySettings() {
    own_.ApplySettings();
    if (host_.ReadFlag(Setting::ResetSpeech)) {
        CancelOuter();
    }
    useOuter_ = host_.ReadInt(Setting::SpeechOutput) == 1;
    if (!useOuter_ && fellBack_) {
        fellBack_ = false;
        host_.ShowOwnVoices(false);
    }
    for (auto &voice : voices_) {
        voice->SetVoice(host_.ReadInt(Setting::Speaker), host_.ReadInt(Setting::Rate),
                        host_.ReadInt(Setting::Volume));
    }
}

void SpeechOutputSession::Speak(const char *text, bool force, SpeechKind kind) {
    if (!useOuter_ || kind == SpeechKind::Sound) {
        soundQueued_ = soundQueued_ || useOuter_;
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
        const int64_t now = host_.SteadyMs();
        const int64_t estimate = EstimateMs(text.size());
        const int64_t from = speaking_ == taker && estimatedEnd_ > now ? estimatedEnd_ : now;
        estimatedEnd_ = from + estimate;
        longestEnd_ = estimatedEnd_ + estimate + kQueueAllowanceMs;
        speaking_ = taker;
    }
    if ((taker == nullptr) != fellBack_) {
        fellBack_ = taker == nullptr;
        host_.ShowOwnVoices(fellBack_);
    }
}

// A reader that cannot tell our speech from its own is silenced only while
// ours may still be sounding.
void SpeechOutputSession::CancelOuter() {
    pending_.clear();
    afterSound_.clear();
    soundQueued_ = false;
    if (speaking_ != nullptr &&
        (speaking_->ReportsEnd() ? speaking_->Busy() : host_.SteadyMs() < estimatedEnd_)) {
        speaking_->Cancel();
    }
    estimatedEnd_ = 0;
}

void SpeechOutputSession::Interrupt() {
    own_.Interrupt();
    CancelOuter();
}

void SpeechOutputSession::WaitUntilSpoken(WaitWatcher &watcher) {
    CutSeen seen(watcher);
    own_.WaitUntilSpoken(seen);
    soundQueued_ = false;
    if (seen.cut) {
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
    int64_t asked = host_.SteadyMs();
    for (;;) {
        const int64_t now = host_.SteadyMs();
        const bool done = speaking_->ReportsEnd() ? !speaking_->Busy() : now >= estimatedEnd_;
        if (done || now >= longestEnd_) {
            return;
        }
        if (host_.WaitForWake(kPollMs) || now - asked >= kWatchMs) {
            asked = now;
            if (watcher.CutNow()) {
                Interrupt();
                return;
            }
        }
    }
}
