// The Flite backend (Winelib build): Debian's libflite with its compiled-in
// US English voices.  A voice's settings live in its shared feature list, so
// every use is serialised by one process-wide lock.  Audio is streamed from
// Flite's synthesis (per utterance) and resampled from the voice's 16 kHz to
// the engine's rate.  The pauses Flite puts at both ends of every utterance
// (200-270 ms, as in the recordings its voices were trained on) are cut to a
// short gap: kept whole, nothing is heard for a fifth of a second after the
// request, and the pieces of one announcement fall apart.  So are the
// inaudible start of the first sound and the near-silent end of the last.
// libflite is a Linux library: its headers must not see the Windows macros
// that wineg++ defines, or they declare a Windows build's functions.
#pragma push_macro("_WIN32")
#pragma push_macro("WIN32")
#undef _WIN32
#undef WIN32
#include <flite/flite.h>
extern "C" {
#include <flite/cst_cg.h>
}
#pragma pop_macro("WIN32")
#pragma pop_macro("_WIN32")

#include "backends.h"
#include "engine_api.h"
#include "pcm.h"
#include "resampler.h"
#include "text_encoding.h"
#include "win_sync.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" {
cst_voice *register_cmu_us_slt(const char *voxdir);
cst_voice *register_cmu_us_rms(const char *voxdir);
cst_voice *register_cmu_us_awb(const char *voxdir);
cst_voice *register_cmu_us_kal16(const char *voxdir);
}

namespace engine {
namespace {

// A pitch feature as the voice came: its own value, or absent (then the
// voice speaks at the pitch it was trained on).
struct OwnPitch {
    bool present = false;
    float value = 0;
};

OwnPitch ownPitch(const cst_features *f, const char *feature) {
    OwnPitch p;
    p.present = feat_present(f, feature) != 0;
    p.value = p.present ? flite_get_param_float(f, feature, 0) : 0;
    return p;
}

struct LoadedVoice {
    const char *name;
    cst_voice *(*registerVoice)(const char *);
    cst_voice *voice;
    cst_audio_streaming_info *streaming; // owned by the voice's features
    OwnPitch mean, range;
    // A statistical voice's database (null: a diphone voice), and the copy of
    // it with the frame length and warping the current utterance is made with.
    const cst_cg_db *cg;
    cst_cg_db ownCg;
    double frameStretch;
    float warp;
};

LoadedVoice g_voices[] = {
    {"slt", register_cmu_us_slt, nullptr, nullptr, {}, {}, nullptr, {}, 1, 0},
    {"rms", register_cmu_us_rms, nullptr, nullptr, {}, {}, nullptr, {}, 1, 0},
    {"awb", register_cmu_us_awb, nullptr, nullptr, {}, {}, nullptr, {}, 1, 0},
    {"kal16", register_cmu_us_kal16, nullptr, nullptr, {}, {}, nullptr, {}, 1, 0},
};

// What is kept of the utterance's first and last pause segments.
constexpr double kLeadingPauseSeconds = 0.005;
constexpr double kTrailingPauseSeconds = 0.025;
// The statistical voices lengthen an utterance's last sound with everything
// else, but its sound fades first: at slow rates slt's final "m" ends in a
// quarter of a second of near silence.  At most this much is kept after its
// last 5 ms louder than about -47 dBFS: at 180 words a minute and faster the
// voices' own fade is shorter and stays whole, since cutting it there made
// the recogniser of bench/speech miss minutes.
constexpr double kAudibleRms = 150;
constexpr double kFadeSeconds = 0.100;
// slt's first sound, the "th" of "The", stays 30 dB below the vowel after it
// for 35 ms, too faint to be heard in a room, so the speech seemed to start
// that much after its first sample.  What comes before the utterance's first
// 5 ms above about -56 dBFS is dropped, but the 5 ms before them; if nothing
// is that loud within its first 60 ms, it is played whole.
constexpr double kOnsetRms = 50;
constexpr double kMostOnsetSeconds = 0.060;
// The first block handed to the device holds at least this much from there:
// begun with a block of 20 ms, the device now and then played 10 ms of
// silence after it, as the next block came too late (a stutter one word in).
// Flite makes 50 ms of wave in about a millisecond.
constexpr double kFirstBlockSeconds = 0.050;

SRWLOCK g_lock = SRWLOCK_INIT;
bool g_initialised = false;
uint32_t g_initResult = kEngineOk;

// The synthesis in progress (under g_lock).
struct Stream {
    PcmSink *sink = nullptr;
    bool stopped = false;
    std::unique_ptr<Resampler> resampler;
    int sourceRate = 0; // the voice's, which the resampler converts from
    std::vector<int16_t> converted;
    // The part of the utterance's wave that is played, in its samples; from
    // holdFrom on (its last sound) it is held until its audible end is known,
    // and its start (`lead`, from leadFrom) until its audible start is.
    bool edgesFound = false, onsetFound = false;
    long keepFrom = 0, keepUntil = 0, holdFrom = LONG_MAX, leadFrom = 0;
    std::vector<int16_t> lead, held;

    int level = 100;

    void deliver() {
        applyVolume(converted.data(), converted.size(), level);
        if (!stopped && !converted.empty() && !sink->write(converted.data(), converted.size()))
            stopped = true;
        converted.clear();
    }

    // Samples from..until of the utterance, the first of them at `samples`.
    void play(const int16_t *samples, long from, long until) {
        if (from >= until)
            return;
        if (onsetFound) {
            pass(samples, from, until);
            return;
        }
        if (lead.empty())
            leadFrom = from;
        lead.insert(lead.end(), samples, samples + (until - from));
        const size_t heard = onset();
        const size_t most = size_t(kMostOnsetSeconds * sourceRate);
        if (std::min(heard, most) + size_t(kFirstBlockSeconds * sourceRate) <= lead.size())
            releaseLead(heard);
    }

    // The held start's first loud window within kMostOnsetSeconds, or its
    // size when there is none yet.
    size_t onset() const {
        const size_t most = std::min(lead.size(), size_t(kMostOnsetSeconds * sourceRate));
        const size_t heard = startOfSound(lead.data(), most, window(), kOnsetRms);
        return heard < most ? heard : lead.size();
    }

    // Plays the held start from the window before `heard`, or whole when nothing was heard.
    void releaseLead(size_t heard) {
        onsetFound = true;
        const size_t skip = heard < lead.size() ? heard - std::min(heard, window()) : 0;
        pass(lead.data() + skip, leadFrom + long(skip), leadFrom + long(lead.size()));
        lead.clear();
    }

    void pass(const int16_t *samples, long from, long until) {
        const long kept = std::max(from, std::min(until, holdFrom));
        if (from < kept)
            resampler->push(samples, size_t(kept - from), converted);
        if (kept < until)
            held.insert(held.end(), samples + (kept - from), samples + (until - from));
    }

    size_t window() const { return size_t(sourceRate / 200); }

    void releaseHeld() {
        if (!onsetFound)
            releaseLead(onset());
        const int rate = sourceRate;
        const size_t heard = endOfSound(held.data(), held.size(), window(), kAudibleRms);
        // A last sound that is faint throughout is kept whole.
        const size_t keep =
            heard ? std::min(held.size(), heard + size_t(kFadeSeconds * rate)) : held.size();
        resampler->push(held.data(), keep, converted);
        held.clear();
    }
};

// The samples of `rate` per second between the end of the utterance's first
// pause (less what is kept of it) and the start of its last pause (plus what is
// kept), as the Segment relation times them: its durations are final before
// the first sample is made, for the diphone and the statistical voices alike.
void findEdges(const cst_utterance *u, int rate, Stream &s) {
    s.edgesFound = true;
    s.keepFrom = 0;
    s.keepUntil = LONG_MAX;
    cst_relation *segments = u ? utt_relation(u, "Segment") : nullptr;
    const cst_item *first = segments ? relation_head(segments) : nullptr;
    const cst_item *last = segments ? relation_tail(segments) : nullptr;
    if (!first || first == last)
        return;
    const char *pause = get_param_string(u->features, "silence", "pau");
    if (std::strcmp(item_name(first), pause) == 0) {
        double from = item_feat_float(first, "end") - kLeadingPauseSeconds;
        s.keepFrom = from > 0 ? long(from * rate) : 0;
    }
    if (std::strcmp(item_name(last), pause) == 0) {
        const cst_item *lastSound = item_prev(last);
        s.keepUntil = long((item_feat_float(lastSound, "end") + kTrailingPauseSeconds) * rate);
        const cst_item *before = item_prev(lastSound);
        s.holdFrom = std::max(s.keepFrom, before ? long(item_feat_float(before, "end") * rate) : 0);
    }
}

// Flite calls this, on the synthesising thread, with each new stretch of the
// current utterance's wave.
int streamChunk(const cst_wave *w, int start, int size, int, cst_audio_streaming_info *asi) {
    auto *stream = static_cast<Stream *>(asi->userdata);
    if (!stream || stream->stopped)
        return CST_AUDIO_STREAM_STOP;
    if (!stream->resampler) {
        stream->sourceRate = w->sample_rate;
        stream->resampler.reset(
            new Resampler(static_cast<uint32_t>(w->sample_rate), kLinuxEngineRate));
    }
    if (!stream->edgesFound)
        findEdges(asi->utt, w->sample_rate, *stream);
    const long from = std::max<long>(start, stream->keepFrom);
    const long until = std::min<long>(long(start) + size, stream->keepUntil);
    stream->play(w->samples + from, from, until);
    stream->deliver();
    return stream->stopped ? CST_AUDIO_STREAM_STOP : CST_AUDIO_STREAM_CONT;
}

LoadedVoice *findVoice(const char *name) {
    for (LoadedVoice &v : g_voices) {
        if (std::strcmp(v.name, name) == 0)
            return &v;
    }
    return nullptr;
}

void setPitch(cst_features *f, const char *feature, int wanted, OwnPitch own) {
    if (wanted > 0)
        flite_feat_set_float(f, feature, float(wanted));
    else if (own.present)
        flite_feat_set_float(f, feature, own.value);
    else
        flite_feat_remove(f, feature);
}

// Flite takes a statistical voice's frame length and warping from the
// database its features name, which is read-only: an utterance that needs
// others is given a copy.  Both are marked not freeable, so replacing the
// feature frees only its value.
void setDatabase(LoadedVoice &v, double frameStretch, float warp) {
    if (!v.cg || (frameStretch == v.frameStretch && warp == v.warp))
        return;
    v.ownCg = *v.cg;
    v.ownCg.frame_advance = float(v.cg->frame_advance * frameStretch);
    if (warp > 0)
        v.ownCg.mlsa_alpha = warp;
    const bool own = frameStretch == 1 && warp == 0;
    flite_feat_set(v.voice->features, "cg_db", cg_db_val(own ? v.cg : &v.ownCg));
    v.frameStretch = frameStretch;
    v.warp = warp;
}

// A token of letters alone is one word; numbers and abbreviations may become several.
bool isPlainWord(const char *token) {
    if (!*token)
        return false;
    for (const char *c = token; *c; ++c) {
        if (!((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || *c == '\''))
            return false;
    }
    return true;
}

const cst_synth_module kTokenise[] = {{"tokenizer_func", default_tokenization}, {nullptr, nullptr}};

bool hasDigit(const char *token) {
    for (const char *c = token; *c; ++c) {
        if (*c >= '0' && *c <= '9')
            return true;
    }
    return false;
}

// AM or PM, with or without dots, in any case.
bool isTimeMarker(const char *token) {
    char letters[3] = {};
    size_t n = 0;
    for (const char *c = token; *c; ++c) {
        if (*c == '.')
            continue;
        if (n == 2)
            return false;
        letters[n++] = char(*c | 0x20);
    }
    return n == 2 && (letters[0] == 'a' || letters[0] == 'p') && letters[1] == 'm';
}

// What flite_text_to_speech() does, with a pause after tokenising to give
// words their own pace (the duration models read it from their token): the
// first word, the numbers, and the AM or PM after a time.
void synthesise(const char *text, cst_voice *voice, double firstWordFactor, double numberFactor,
                double markerFactor) {
    cst_utterance *u = new_utterance();
    utt_set_input_text(u, text);
    utt_init(u, voice);
    apply_synth_method(u, kTokenise);
    cst_relation *tokens = utt_relation(u, "Token");
    cst_item *first = tokens ? relation_head(tokens) : nullptr;
    if (first && firstWordFactor < 1 && isPlainWord(item_name(first)))
        item_set_float(first, "local_duration_stretch", float(firstWordFactor));
    for (cst_item *t = first; t; t = item_next(t)) {
        if (!hasDigit(item_name(t)))
            continue;
        if (numberFactor != 1)
            item_set_float(t, "local_duration_stretch", float(numberFactor));
        cst_item *next = item_next(t);
        if (next && markerFactor != 1 && isTimeMarker(item_name(next)))
            item_set_float(next, "local_duration_stretch", float(markerFactor));
    }
    utt_synth_tokens(u);
    delete_utterance(u);
}

class FliteSynthesiser final : public Synthesiser {
  public:
    uint32_t sampleRate() const override { return kLinuxEngineRate; }

    void speak(const QueueItem &item, PcmSink &sink) override {
        const SpeakerVoice *speaker = speakerVoice(item.speaker);
        if (!speaker)
            speaker = speakerVoice(0);
        LoadedVoice *v = findVoice(speaker->fliteVoice->name);
        if (!v || !v->voice)
            v = &g_voices[0];
        const std::string text = foldToAscii(item.text);
        ExclusiveLock l(g_lock);
        cst_features *f = v->voice->features;
        flite_feat_set_float(f, "duration_stretch",
                             float(fliteDurationStretch(item.rate, *speaker)));
        setDatabase(*v, fliteFrameStretch(item.rate), speaker->fliteWarp);
        setPitch(f, "int_f0_target_mean", speaker->flitePitchHz, v->mean);
        setPitch(f, "int_f0_target_stddev", speaker->flitePitchRangeHz, v->range);
        Stream stream;
        stream.sink = &sink;
        stream.level = speaker->fliteLevelPercent;
        v->streaming->userdata = &stream;
        // The statistical voices draw their noise from the C library's
        // generator; seeded afresh, the same text always sounds the same.
        std::srand(1);
        synthesise(text.c_str(), v->voice, fliteFirstWordFactor(item.rate, *speaker),
                   fliteNumberFactor(item.rate, *speaker), speaker->fliteMarkerPercent / 100.0);
        if (stream.resampler && !stream.stopped) {
            stream.releaseHeld();
            stream.resampler->finish(stream.converted);
            stream.deliver();
        }
        v->streaming->userdata = nullptr;
    }
};

uint32_t initialise() {
    flite_init();
    for (LoadedVoice &v : g_voices) {
        v.voice = v.registerVoice(nullptr);
        if (!v.voice)
            return kEngineNoVoiceData;
        v.mean = ownPitch(v.voice->features, "int_f0_target_mean");
        v.range = ownPitch(v.voice->features, "int_f0_target_stddev");
        if (feat_present(v.voice->features, "cg_db"))
            v.cg = val_cg_db(feat_val(v.voice->features, "cg_db"));
        v.streaming = new_audio_streaming_info();
        if (!v.streaming)
            return kEngineOutOfResources;
        v.streaming->asc = streamChunk;
        v.streaming->userdata = nullptr;
        flite_feat_set(v.voice->features, "streaming_info", audio_streaming_info_val(v.streaming));
    }
    return kEngineOk;
}

} // namespace

uint32_t createFliteSynthesiser(std::unique_ptr<Synthesiser> &out) {
    ExclusiveLock l(g_lock);
    if (!g_initialised) {
        g_initialised = true;
        g_initResult = initialise();
    }
    if (g_initResult != kEngineOk)
        return g_initResult;
    out.reset(new (std::nothrow) FliteSynthesiser());
    return out ? kEngineOk : kEngineOutOfResources;
}

} // namespace engine
