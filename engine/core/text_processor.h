// What the engine does with the text of speak calls before any synthesis: the
// clause held back by unforced text, in-line commands, the user dictionary and
// the speech parameters each piece is to be spoken with.  Not thread-safe; the
// engine calls it under its own lock.
#pragma once

#include "user_dictionary.h"
#include "voices.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// One unit of work for the synthesis thread, complete in itself so that later
// calls (rate, speaker, volume, dictionary) never change what is already queued.
struct QueueItem {
    enum class Kind { Speech, Play };
    Kind kind = Kind::Speech;
    std::string text; // Speech: UTF-8, dictionary applied; Play: the file path
    uint32_t speaker = 0;
    int32_t rate = kDefaultRate;
    int volume = 100;
};

class TextProcessor {
  public:
    // Unforced text waiting for its clause to end is spoken anyway past this size.
    static constexpr size_t kMaxHeldBytes = 64 * 1024;
    // Longer speech is cut into pieces at sentence or word ends, so that work
    // and memory per piece stay bounded and a cut takes effect at once.
    static constexpr size_t kMaxPieceBytes = 4096;

    explicit TextProcessor(RateRange rates);

    // Appends the items that this call completes to `out`.  Literal text is
    // never taken as an in-line command.
    void speak(std::string_view ansiText, bool force, bool literal, std::vector<QueueItem> &out);
    // Everything held back, as if the last call had been forced.
    void flush(std::vector<QueueItem> &out);
    // Drops held text; a complete reset also returns the volume to 100.
    void reset(bool complete);

    void setRate(uint32_t rate) { rate_ = clampRate(rate, rates_); }
    // Numbers outside 0-8 leave the speaker unchanged.
    bool setSpeaker(uint32_t speaker);
    void setDictionary(UserDictionary dictionary) { dictionary_ = std::move(dictionary); }

    int32_t rate() const { return rate_; }
    uint32_t speaker() const { return speaker_; }
    int volume() const { return volume_; }
    bool holding() const { return !held_.empty(); }

  private:
    void emitSpeech(std::string_view ansi, std::vector<QueueItem> &out) const;

    RateRange rates_;
    int32_t rate_;
    uint32_t speaker_ = 0;
    int volume_ = 100;
    std::string held_;
    UserDictionary dictionary_;
};

// Where unforced text may be cut: just past the last clause-ending mark
// (. , ; : ! ?) that is followed by white space, or past the last line break.
// 0 when there is none.
size_t lastClauseEnd(std::string_view text);

} // namespace engine
