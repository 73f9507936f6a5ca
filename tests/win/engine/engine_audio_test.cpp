// An engine build under Wine, heard through the ALSA file sink: every check is
// made on the audio that reached the device.  Built once for the Linux engine
// (eSpeak NG and Flite; the tests speak with the voice table's backends unless
// they choose one) and once for the SAPI engine speaking through the SAPI double.
#include "audio_analysis.h"
#include "engine_library.h"
#include "pcm.h"
#include "refusal_checks.h"
#ifdef ORVANEL_ENGINE_IS_SAPI
#include "sapi_double_registration.h"
#include "speech_markup.h"

#include <objbase.h>
#endif

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace enginetest;

namespace {

constexpr double kPi = 3.14159265358979323846;
const char *const kTimeText = "The current time is 3:07 PM";

std::string envOr(const char *name, const char *fallback) {
    char buffer[1024];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string(fallback);
}

// Where the tests may put files of their own (a folder of the build tree).
std::string workFolder() {
    return windowsPath(envOr("ORVANEL_TEST_WORK", "/tmp"));
}

void writeFile(const std::string &path, const std::string &bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

std::vector<int16_t> tone(double hz, double seconds, int amplitude, uint32_t rate = 22050) {
    std::vector<int16_t> s(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * kPi * hz * i / rate)));
    return s;
}

std::string wavBytes(const std::vector<int16_t> &samples, uint32_t rate = 22050) {
    std::vector<char> w = engine::encodeWav(samples, rate);
    return std::string(w.begin(), w.end());
}

struct CallbackLog {
    std::atomic<int> calls{0};
    std::atomic<int> kind{0};
    std::atomic<uint32_t> user{0};
    std::atomic<uint32_t> messageId{0};
    std::atomic<DWORD> thread{0};
} g_callbacks;

void ENGINE_CALL recordCallback(int32_t kind, int32_t, uint32_t user, uint32_t messageId) {
    g_callbacks.kind = kind;
    g_callbacks.user = user;
    g_callbacks.messageId = messageId;
    g_callbacks.thread = GetCurrentThreadId();
    ++g_callbacks.calls;
}

double seconds(size_t samples, uint32_t rate) {
    return double(samples) / rate;
}

// Seconds of sound, gaps of exact silence left out.
double soundSeconds(const Capture &c) {
    return seconds(sounding(c.samples).size(), 22050);
}

#define EXPECT_SAME_SPEECH(a, b)                                                                   \
    do {                                                                                           \
        SpeechComparison cmp_ = compareSpeech(a, b);                                               \
        EXPECT_TRUE(cmp_.same()) << #a " and " #b ": " << describe(cmp_);                          \
    } while (0)
#define EXPECT_DIFFERENT_SPEECH(a, b)                                                              \
    do {                                                                                           \
        SpeechComparison cmp_ = compareSpeech(a, b);                                               \
        EXPECT_FALSE(cmp_.same()) << #a " and " #b ": " << describe(cmp_);                         \
    } while (0)

// The end of what was played, as long as `reference`.
std::vector<int16_t> tailLike(const std::vector<int16_t> &played,
                              const std::vector<int16_t> &reference) {
    return played.size() < reference.size()
               ? played
               : std::vector<int16_t>(played.end() - reference.size(), played.end());
}

// Start-ups within its life speak every speaker with one backend ("espeak",
// "flite"), or with the voice table's choice (null).
class BackendChoice {
  public:
    explicit BackendChoice(const char *name) {
        SetEnvironmentVariableA("ORVANEL_SPEECH_BACKEND", name);
    }
    ~BackendChoice() { SetEnvironmentVariableA("ORVANEL_SPEECH_BACKEND", nullptr); }
    BackendChoice(const BackendChoice &) = delete;
    BackendChoice &operator=(const BackendChoice &) = delete;
};

// What differs between the builds: the backends a run can ask for, the rate
// range each reports, and how many speakers have a voiced sound.
struct RateRun {
    const char *backend;
    int32_t lowest, highest;
};
struct VoiceRun {
    const char *backend;
    uint32_t voiced;
};
#ifdef ORVANEL_ENGINE_IS_SAPI
const RateRun kRateRuns[] = {{nullptr, 60, 540}};
const VoiceRun kVoiceRuns[] = {{nullptr, 9}};
#else
const RateRun kRateRuns[] = {{"espeak", 80, 900}, {"flite", 80, 350}};
// With eSpeak NG Wendy whispers; with the voice table she has a voice, a pitch of her own.
const VoiceRun kVoiceRuns[] = {{"espeak", 8}, {nullptr, 9}};
#endif

} // namespace

class EngineAudio : public ::testing::Test {
  protected:
    static EngineLibrary lib;

    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(lib.load(windowsPath(ORVANEL_ENGINE_DLL), error)) << error;
    }

    void SetUp() override {
        ASSERT_NE(lib.startup, nullptr);
        g_callbacks.calls = 0;
    }

    static std::string sinkFile() { return windowsPath(envOr("ORVANEL_TEST_SINK", "")); }

    // Runs `body` on a fresh instance, waits until it is spoken, shuts the
    // instance down (which closes the device) and returns what was played.
    static Capture session(const std::function<void(EngineInstance *)> &body,
                           uint32_t options = kEngineReportErrors, int32_t device = -1) {
        DeleteFileA(sinkFile().c_str());
        EngineInstance *e = nullptr;
        uint32_t r = lib.startup(&e, device, options, recordCallback, 0x1234);
        EXPECT_EQ(r, 0u);
        if (r != 0)
            return Capture();
        body(e);
        lib.sync(e);
        lib.shutdown(e);
        return readCapture(sinkFile());
    }

    static Capture say(const std::string &text, uint32_t speaker = 0, uint32_t rate = 180) {
        return session([&](EngineInstance *e) {
            lib.setSpeaker(e, speaker);
            lib.setRate(e, rate);
            lib.speak(e, text.c_str(), kEngineForce);
        });
    }
};

EngineLibrary EngineAudio::lib;

TEST_F(EngineAudio, SpeaksTheTimeAndCommaAsOnePhrase) {
    Capture c = session([](EngineInstance *e) {
        lib.speak(e, kTimeText, kEngineNoForce);
        lib.speak(e, ",", kEngineForce);
    });
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.rate, 22050u);
    // Five words and a time at 180 words a minute: a second and a half or so.
    EXPECT_GT(soundSeconds(c), 0.8);
    EXPECT_LT(soundSeconds(c), 3.5);
    EXPECT_GT(rmsDb(sounding(c.samples)), -30.0);
    EXPECT_SAME_SPEECH(sounding(c.samples), sounding(say(std::string(kTimeText) + ",").samples));
}

TEST_F(EngineAudio, UnforcedTextIsHeldUntilForcedAndResetDropsIt) {
    Capture held = session([](EngineInstance *e) {
        lib.speak(e, kTimeText, kEngineNoForce);
        Sleep(300);
        lib.reset(e, 0);
    });
    EXPECT_EQ(energy(held.samples), 0.0)
        << "unforced text reached the device before its clause was complete";

    // Wait-until-spoken counts held text as queued and speaks it.
    Capture synced = session([](EngineInstance *e) { lib.speak(e, kTimeText, kEngineNoForce); });
    EXPECT_GT(soundSeconds(synced), 0.8);
}

TEST_F(EngineAudio, HigherRateIsShorterAndRatesAreClampedToTheReportedRange) {
    for (const RateRun &b : kRateRuns) {
        SCOPED_TRACE(b.backend ? b.backend : "the build's own");
        BackendChoice choice(b.backend);
        unsigned char caps[32] = {};
        ASSERT_EQ(lib.getCaps(caps), 0u);
        int32_t lowest, highest;
        memcpy(&lowest, caps + kEngineCapsMinRateOffset, 4);
        memcpy(&highest, caps + kEngineCapsMaxRateOffset, 4);
        EXPECT_EQ(lowest, b.lowest);
        EXPECT_EQ(highest, b.highest);

        const std::string text = "The current time is 3:07 PM, on Tuesday the fifth of March.";
        auto length = [&](uint32_t rate) {
            Capture c = say(text, 0, rate);
            return sounding(c.samples);
        };
        std::vector<int16_t> slow = length(120), fast = length(400);
        ASSERT_FALSE(slow.empty());
        EXPECT_LT(fast.size(), slow.size() * 0.6);

        // Outside the range the engine speaks as at its ends, and just inside it does not.
        const std::vector<int16_t> atLowest = length(static_cast<uint32_t>(lowest));
        const std::vector<int16_t> atHighest = length(static_cast<uint32_t>(highest));
        EXPECT_SAME_SPEECH(length(10), atLowest);
        EXPECT_SAME_SPEECH(length(static_cast<uint32_t>(-200)), atLowest);
        EXPECT_SAME_SPEECH(length(5000), atHighest);
        EXPECT_DIFFERENT_SPEECH(length(static_cast<uint32_t>(lowest + 10)), atLowest);
        EXPECT_DIFFERENT_SPEECH(length(static_cast<uint32_t>(highest - 100)), atHighest);
    }
}

TEST_F(EngineAudio, VolumeCommandScalesTheOutput) {
    auto at = [](const char *volumeCommand) {
        return session([&](EngineInstance *e) {
            lib.speak(e, volumeCommand, kEngineForce);
            lib.speak(e, kTimeText, kEngineForce);
        });
    };
    Capture loud = at("[:volume set 100]");
    Capture quiet = at("[:volume set 10]");
    Capture clamped = at("[:volume set 900]");
    Capture silent = at("[:volume set -5]");
    ASSERT_GT(energy(loud.samples), 0.0);
    ASSERT_GT(energy(quiet.samples), 0.0);
    // The same speech in both, so the energy ratio is the level difference.
    EXPECT_GE(10 * std::log10(energy(loud.samples) / energy(quiet.samples)), 15.0);
    EXPECT_SAME_SPEECH(sounding(clamped.samples), sounding(loud.samples));
    EXPECT_EQ(energy(silent.samples), 0.0) << "-5 is taken as 0";
}

TEST_F(EngineAudio, PlayPutsTheFileBetweenTheWordsAroundIt) {
    const std::vector<int16_t> beep = tone(880, 0.25, 8000);
    const std::string path = workFolder() + "\\tone.wav";
    writeFile(path, wavBytes(beep));
    const std::string command = "[:play \"" + path + "\"]";
    Capture c = session([&](EngineInstance *e) {
        lib.speak(e, "Before the tone", kEngineForce);
        lib.speak(e, command.c_str(), kEngineForce);
        lib.speak(e, "after the tone", kEngineForce);
    });
    const std::vector<int16_t> played = sounding(c.samples);
    const std::vector<int16_t> file = sounding(beep);
    size_t at = findSequence(played, file);
    ASSERT_NE(at, std::string::npos) << "the file's samples are not in the output";
    // Speech before and after it: the words around the command, in order.
    EXPECT_GT(seconds(at, 22050), 0.4);
    EXPECT_GT(seconds(played.size() - at - file.size(), 22050), 0.4);
}

TEST_F(EngineAudio, PlayConvertsOtherLayoutsAndPlaysWhatATruncatedFileHolds) {
    // 44.1 kHz stereo: converted, so about as long as the original.
    std::vector<int16_t> stereo;
    for (int16_t s : tone(440, 0.5, 8000, 44100)) {
        stereo.push_back(s);
        stereo.push_back(s);
    }
    std::string stereoWav = wavBytes(stereo, 44100);
    stereoWav[22] = 2; // channels
    stereoWav[32] = 4; // block align
    const uint32_t avg = 44100 * 4;
    memcpy(&stereoWav[28], &avg, 4);
    writeFile(workFolder() + "\\stereo.wav", stereoWav);
    Capture c = session([](EngineInstance *e) {
        std::string cmd = "[:play \"" + workFolder() + "\\stereo.wav\"]";
        lib.speak(e, cmd.c_str(), kEngineForce);
    });
    EXPECT_NEAR(soundSeconds(c), 0.5, 0.03);

    // A file cut short: its header promises four times what it holds.
    const std::vector<int16_t> beep = tone(660, 0.2, 6000);
    std::string truncated = wavBytes(beep);
    const uint32_t promised = static_cast<uint32_t>(beep.size() * 2 * 4);
    memcpy(&truncated[40], &promised, 4);
    writeFile(workFolder() + "\\truncated.wav", truncated);
    c = session([](EngineInstance *e) {
        std::string cmd = "[:play \"" + workFolder() + "\\truncated.wav\"]";
        lib.speak(e, cmd.c_str(), kEngineForce);
    });
    EXPECT_NE(findSequence(sounding(c.samples), sounding(beep)), std::string::npos);
}

TEST_F(EngineAudio, FilesThatCannotBePlayedAreSkippedAndSpeechGoesOn) {
    std::string adpcm = wavBytes(tone(440, 0.3, 8000));
    adpcm[20] = 0x11; // IMA ADPCM format tag
    writeFile(workFolder() + "\\adpcm.wav", adpcm);
    writeFile(workFolder() + "\\text.wav", "this is not a wave file");
    const std::string folder = workFolder();
    Capture reference = session([](EngineInstance *e) {
        lib.speak(e, "one", kEngineForce);
        lib.speak(e, "two", kEngineForce);
    });
    Capture c = session([&](EngineInstance *e) {
        lib.speak(e, "one", kEngineForce);
        for (const char *name : {"missing.wav", "adpcm.wav", "text.wav"}) {
            std::string cmd = "[:play \"" + folder + "\\" + name + "\"]";
            lib.speak(e, cmd.c_str(), kEngineForce);
        }
        lib.speak(e, "[:play \"\\\\nohost\\noshare\\x.wav\"]", kEngineForce);
        lib.speak(e, "two", kEngineForce);
    });
    ASSERT_FALSE(reference.samples.empty());
    EXPECT_SAME_SPEECH(sounding(c.samples), sounding(reference.samples));
}

TEST_F(EngineAudio, MalformedCommandsAndLiteralTextAreSpoken) {
    for (const char *text : {"[:volume set abc]", "[:play \"", "[:volume set 0] now"}) {
        Capture c = say(text);
        EXPECT_GT(soundSeconds(c), 0.3) << text;
    }
    // With the literal flag even a well-formed command is text, and it does not act.
    Capture c = session([](EngineInstance *e) {
        lib.speak(e, "[:volume set 0]", kEngineForce | kEngineLiteral);
        lib.speak(e, kTimeText, kEngineForce);
    });
    EXPECT_GT(soundSeconds(c), 2.0);
}

TEST_F(EngineAudio, NineSpeakersSoundDifferent) {
    const std::string text = "The current time is 3:07 PM, on Tuesday the fifth of March.";
    for (const VoiceRun &run : kVoiceRuns) {
        SCOPED_TRACE(run.backend ? run.backend : "voice table");
        BackendChoice choice(run.backend);
        const uint32_t voiced = run.voiced;
        Voicing v[9];
        for (uint32_t s = 0; s < 9; ++s) {
            Capture c = say(text, s);
            ASSERT_GT(soundSeconds(c), 0.5) << "speaker " << s;
            v[s] = analyseVoicing(c.samples, 22050);
        }
        if (voiced == 8) {
            EXPECT_LT(v[8].voicedFraction, 0.15);
        }
        for (uint32_t i = 0; i < voiced; ++i) {
            EXPECT_GT(v[i].voicedFraction, 0.4) << "speaker " << i;
            for (uint32_t j = i + 1; j < voiced; ++j) {
                double lo = std::min(v[i].medianPitchHz, v[j].medianPitchHz);
                double hi = std::max(v[i].medianPitchHz, v[j].medianPitchHz);
                EXPECT_GT(hi / lo, 1.06)
                    << "speakers " << i << " and " << j << ": " << v[i].medianPitchHz << " Hz, "
                    << v[j].medianPitchHz << " Hz";
            }
        }
        // Paul is a man's voice, Betty a woman's, Harry deeper than Paul, Kit a child's.
        EXPECT_LT(v[0].medianPitchHz, 140);
        EXPECT_GT(v[1].medianPitchHz, 165);
        EXPECT_LT(v[2].medianPitchHz, v[0].medianPitchHz);
        EXPECT_GT(v[5].medianPitchHz, 280);
    }
}

#ifndef ORVANEL_ENGINE_IS_SAPI
// Flite begins and ends every utterance with a long pause, and its voices'
// first and last sounds can be faint and long; what reaches the device must
// be heard within a short gap of its first and last sample, at any rate.
TEST_F(EngineAudio, SoundStartsAndEndsCloseToTheFirstAndLastSampleWritten) {
    constexpr size_t kFrame = 110, kMaxLead = 882, kMaxTail = 2646; // 5, 40 and 120 ms
    for (uint32_t rate : {80u, 180u, 350u}) {
        for (uint32_t speaker = 0; speaker < 9; ++speaker) {
            SCOPED_TRACE("speaker " + std::to_string(speaker) + ", rate " + std::to_string(rate));
            const std::vector<int16_t> &s =
                say(std::string(kTimeText) + ",", speaker, rate).samples;
            // Exact zeros are the device's padding; the engine's first and last
            // samples are the first and last that are not.
            size_t written = 0, end = s.size(), loud = s.size(), loudEnd = 0;
            while (written < s.size() && s[written] == 0)
                ++written;
            while (end > written && s[end - 1] == 0)
                --end;
            for (size_t i = written; i + kFrame <= end; i += kFrame) {
                if (rms(&s[i], kFrame) > 150) { // about -47 dBFS
                    loud = std::min(loud, i);
                    loudEnd = i + kFrame;
                }
            }
            ASSERT_LT(loud, end) << "nothing audible";
            EXPECT_LE(loud - written, kMaxLead);
            EXPECT_LE(end - loudEnd, kMaxTail);
            // Nor does the device run dry in between: it pads with 10 ms of exact
            // zeros, and the diphone voice's own silences last about 5 ms at most.
            size_t longestZeros = 0;
            for (size_t i = written, run = 0; i < end; ++i)
                longestZeros = std::max(longestZeros, run = s[i] == 0 ? run + 1 : 0);
            EXPECT_LT(longestZeros, kFrame * 3 / 2);
        }
    }
}
#endif

#ifndef ORVANEL_ENGINE_IS_SAPI
// A listener, and the recogniser that stands in for one, hears every
// announcement of a minute alike, whatever was spoken before it.
TEST_F(EngineAudio, SameTextSoundsTheSameEveryTime) {
    const std::vector<int16_t> first = sounding(say(kTimeText, 1).samples);
    say("Something else first.", 1);
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(sounding(say(kTimeText, 1).samples) == first);
}
#endif

TEST_F(EngineAudio, ResetDropsEverythingQueued) {
    std::string longText;
    for (int i = 0; i < 20; ++i)
        longText += "This sentence is long and will never be heard to its end. ";
    Capture c = session([&](EngineInstance *e) {
        lib.speak(e, longText.c_str(), kEngineForce);
        lib.speak(e, "Nor will this.", kEngineForce);
        Sleep(100);
        lib.reset(e, 0);
        lib.speak(e, "Only this.", kEngineForce);
    });
    // The long text alone would last about a minute; what got out before the
    // reset is bounded by the device's look-ahead and the sink's speed.
    EXPECT_LT(soundSeconds(c), 5.0);
    Capture onlyThis = say("Only this.");
    std::vector<int16_t> tail = sounding(onlyThis.samples);
    ASSERT_FALSE(tail.empty());
    // What follows the reset is heard, and last.
    EXPECT_SAME_SPEECH(tailLike(sounding(c.samples), tail), tail);
}

TEST_F(EngineAudio, UserDictionaryReplacesWholeWordsUntilUnloaded) {
    const std::string dict = workFolder() + "\\words.txt";
    writeFile(dict, "# test words\nOrvanel\tbanana\njunk line without a tab\n");
    Capture replaced = session([&](EngineInstance *e) {
        EXPECT_EQ(lib.loadUserDictionary(e, dict.c_str()), 0u);
        lib.speak(e, "ORVANEL is ready", kEngineForce);
    });
    Capture direct = say("banana is ready");
    Capture unloaded = session([&](EngineInstance *e) {
        lib.loadUserDictionary(e, dict.c_str());
        lib.unloadUserDictionary(e);
        lib.speak(e, "Orvanel is ready", kEngineForce);
    });
    Capture plain = say("Orvanel is ready");
    ASSERT_FALSE(sounding(direct.samples).empty());
    EXPECT_SAME_SPEECH(sounding(replaced.samples), sounding(direct.samples));
    EXPECT_SAME_SPEECH(sounding(unloaded.samples), sounding(plain.samples));
    EXPECT_DIFFERENT_SPEECH(sounding(plain.samples), sounding(direct.samples));
}

TEST_F(EngineAudio, BadDictionariesLeaveNoDictionary) {
    const std::string good = workFolder() + "\\good.txt";
    const std::string junk = workFolder() + "\\junk.txt";
    writeFile(good, "ready\tbanana\n");
    std::string bytes(3000, '\t');
    bytes += std::string("\x01\x02\xFF\xFE", 4) + std::string(5000, 'x') + "\n\n\t\t\n";
    writeFile(junk, bytes);
    Capture plain = say("ready");
    for (const std::string &path : {junk, workFolder() + "\\does-not-exist.txt"}) {
        Capture c = session([&](EngineInstance *e) {
            ASSERT_EQ(lib.loadUserDictionary(e, good.c_str()), 0u);
            lib.loadUserDictionary(e, path.c_str());
            lib.speak(e, "ready", kEngineForce);
        });
        SCOPED_TRACE(path);
        EXPECT_SAME_SPEECH(sounding(c.samples), sounding(plain.samples));
    }
    EngineInstance *e = nullptr;
    ASSERT_EQ(lib.startup(&e, -1, 0, nullptr, 0), 0u);
    EXPECT_EQ(lib.loadUserDictionary(e, (workFolder() + "\\does-not-exist.txt").c_str()),
              static_cast<uint32_t>(kEngineFileError));
    EXPECT_EQ(lib.loadUserDictionary(e, nullptr), static_cast<uint32_t>(kEngineBadArguments));
    EXPECT_EQ(lib.unloadUserDictionary(e), 0u);
    lib.shutdown(e);
}

TEST_F(EngineAudio, OwnDeviceKeepsTheDeviceOpenBetweenUtterances) {
    // The file sink starts a new file whenever the device is opened, so the
    // capture holds both utterances only if the device stayed open between them.
    auto twoUtterances = [](EngineInstance *e) {
        lib.speak(e, "First.", kEngineForce);
        lib.sync(e);
        Sleep(300);
        lib.speak(e, "Second.", kEngineForce);
    };
    const double first = soundSeconds(say("First."));
    const double second = soundSeconds(say("Second."));
    ASSERT_GT(first, 0.2);

    Capture own = session(twoUtterances, kEngineOwnDevice | kEngineReportErrors);
    EXPECT_NEAR(soundSeconds(own), first + second, 0.05) << "both utterances in one opening";

    Capture shared = session(twoUtterances, kEngineReportErrors);
    EXPECT_NEAR(soundSeconds(shared), second, 0.05)
        << "the device was not closed when the queue ran dry";
}

TEST_F(EngineAudio, DeviceThatCannotBeOpenedIsReportedAsKind2WithBit2Only) {
    const uint32_t expectedId = RegisterWindowMessageA("DECtalkErrorMessage");
    for (uint32_t options : {0u, 1u, 2u, 3u}) {
        g_callbacks.calls = 0;
        EngineInstance *e = nullptr;
        ASSERT_EQ(lib.startup(&e, 99, options, recordCallback, 0x1234), 0u);
        EXPECT_EQ(g_callbacks.calls, 0) << "reported during start-up, options " << options;
        // The pieces of one announcement give one report, not one each.
        lib.speak(e, "Nobody hears this.", kEngineForce);
        lib.speak(e, "Nor this.", kEngineForce);
        lib.sync(e);
        lib.speak(e, "Nor this either.", kEngineForce);
        lib.sync(e);
        if (options & kEngineReportErrors) {
            EXPECT_EQ(g_callbacks.calls, 1) << "options " << options;
            EXPECT_EQ(g_callbacks.kind, kEngineErrorOpen);
            EXPECT_EQ(g_callbacks.user, 0x1234u);
            EXPECT_EQ(g_callbacks.messageId, expectedId);
            EXPECT_NE(g_callbacks.thread, GetCurrentThreadId());
            // Speech a little later tries the device again and reports again.
            Sleep(2500);
            lib.speak(e, "Again.", kEngineForce);
            lib.sync(e);
            EXPECT_EQ(g_callbacks.calls, 2);
        } else {
            EXPECT_EQ(g_callbacks.calls, 0) << "options " << options;
        }
        lib.shutdown(e);
    }
    // Negative numbers other than -1 are no device either.
    g_callbacks.calls = 0;
    EngineInstance *e = nullptr;
    ASSERT_EQ(lib.startup(&e, -7, kEngineReportErrors, recordCallback, 0), 0u);
    lib.speak(e, "x", kEngineForce);
    lib.sync(e);
    EXPECT_EQ(g_callbacks.calls, 1);
    EXPECT_EQ(g_callbacks.kind, kEngineErrorOpen);
    lib.shutdown(e);
}

TEST_F(EngineAudio, NullAndEmptyTextAndAMegabyteOfText) {
    Capture c = session([](EngineInstance *e) {
        EXPECT_EQ(lib.speak(e, nullptr, kEngineForce), static_cast<uint32_t>(kEngineBadArguments));
        EXPECT_EQ(lib.speak(e, "", kEngineForce), 0u);
        EXPECT_EQ(lib.speak(e, "", kEngineNoForce), 0u);
    });
    EXPECT_EQ(energy(c.samples), 0.0);

    std::string big;
    while (big.size() < (1u << 20))
        big += "Lots and lots of text to read. ";
    c = session([&](EngineInstance *e) {
        DWORD t0 = GetTickCount();
        lib.speak(e, big.c_str(), kEngineForce);
        // The call copies the text and returns; speaking it would take hours.
        EXPECT_LT(GetTickCount() - t0, 2000u);
        big.assign(big.size(), '#'); // the engine must not read the caller's buffer later
        Sleep(200);
        lib.reset(e, 0);
        lib.speak(e, "Done.", kEngineForce);
    });
    std::vector<int16_t> done = sounding(say("Done.").samples);
    EXPECT_SAME_SPEECH(tailLike(sounding(c.samples), done), done);
}

TEST_F(EngineAudio, NullStaleAndForeignInstancesDoNothing) {
    unsigned char caps[32];
    EXPECT_EQ(lib.startup(nullptr, -1, 2, recordCallback, 0),
              static_cast<uint32_t>(kEngineBadArguments));
    EXPECT_EQ(lib.getCaps(nullptr), static_cast<uint32_t>(kEngineBadArguments));
    EXPECT_EQ(lib.getCaps(caps), 0u);

    EngineInstance *dead = nullptr;
    ASSERT_EQ(lib.startup(&dead, -1, 2, recordCallback, 0), 0u);
    ASSERT_EQ(lib.shutdown(dead), 0u);
    int local = 0;
    auto *foreign = reinterpret_cast<EngineInstance *>(&local);
    for (EngineInstance *e : {static_cast<EngineInstance *>(nullptr), dead, foreign}) {
        ExpectEveryOperationRefuses(lib, e);
    }
    EXPECT_EQ(local, 0);
}

TEST_F(EngineAudio, SpeakAndResetFromTwoThreadsAtOnce) {
    EngineInstance *e = nullptr;
    ASSERT_EQ(lib.startup(&e, -1, kEngineReportErrors, recordCallback, 0), 0u);
    std::atomic<bool> go{false};
    std::thread speaker([&] {
        while (!go) {
        }
        for (int i = 0; i < 300; ++i) {
            lib.speak(e, "Some words to say.", i % 3 ? kEngineForce : kEngineNoForce);
            if (i % 50 == 0)
                lib.speak(e, "[:volume set 50]", kEngineForce);
        }
    });
    std::thread resetter([&] {
        while (!go) {
        }
        for (int i = 0; i < 300; ++i) {
            lib.reset(e, i % 2);
            if (i % 10 == 0)
                Sleep(1);
        }
    });
    go = true;
    speaker.join();
    resetter.join();
    lib.reset(e, 1);
    DWORD t0 = GetTickCount();
    lib.sync(e);
    EXPECT_LT(GetTickCount() - t0, 3000u) << "wait-until-spoken after a reset";
    EXPECT_EQ(g_callbacks.calls, 0);
    lib.shutdown(e);
    // The engine still speaks normally afterwards.
    EXPECT_GT(soundSeconds(say("Still here.")), 0.3);
}

TEST_F(EngineAudio, ShutdownWhileSpeakingReturnsAndSilencesTheDevice) {
    std::string longText;
    for (int i = 0; i < 50; ++i)
        longText += "A long speech that the shutdown interrupts. ";
    DeleteFileA(sinkFile().c_str());
    EngineInstance *e = nullptr;
    ASSERT_EQ(lib.startup(&e, -1, kEngineOwnDevice | kEngineReportErrors, recordCallback, 0), 0u);
    lib.speak(e, longText.c_str(), kEngineForce);
    lib.speak(e, "More queued.", kEngineNoForce);
    Sleep(200);
    DWORD t0 = GetTickCount();
    EXPECT_EQ(lib.shutdown(e), 0u);
    EXPECT_LT(GetTickCount() - t0, 2000u);
    Capture c = readCapture(sinkFile());
    EXPECT_LT(soundSeconds(c), 5.0);
    EXPECT_EQ(lib.speak(e, "after", 1), static_cast<uint32_t>(kEngineBadInstance));
}

#ifndef ORVANEL_ENGINE_IS_SAPI
// Run by ctest on its own, with the eSpeak NG data folder pointing at an empty
// one: a start-up that needs eSpeak NG fails with its code, one that does not starts.
TEST(EspeakStartup, WithoutVoiceDataOnlyStartupsThatNeedItFail) {
    EngineLibrary lib;
    std::string error;
    ASSERT_TRUE(lib.load(windowsPath(ORVANEL_ENGINE_DLL), error)) << error;
    {
        BackendChoice choice("espeak");
        EngineInstance *e = reinterpret_cast<EngineInstance *>(1);
        EXPECT_EQ(lib.startup(&e, -1, 2, recordCallback, 0),
                  static_cast<uint32_t>(kEngineNoVoiceData));
        EXPECT_EQ(e, nullptr);
        // A later start-up fails the same way rather than crashing.
        EXPECT_EQ(lib.startup(&e, -1, 2, recordCallback, 0),
                  static_cast<uint32_t>(kEngineNoVoiceData));
    }
    BackendChoice choice("flite");
    EngineInstance *e = nullptr;
    ASSERT_EQ(lib.startup(&e, -1, 2, recordCallback, 0), 0u);
    EXPECT_EQ(lib.speak(e, "Flite needs no eSpeak NG data.", kEngineForce), 0u);
    EXPECT_EQ(lib.sync(e), 0u);
    EXPECT_EQ(lib.shutdown(e), 0u);
}

// Run by ctest on its own, with ALSA offering no device at all.
TEST(EspeakNoDevice, SpeechWithNoDeviceIsReportedAsKind2) {
    EngineLibrary lib;
    std::string error;
    ASSERT_TRUE(lib.load(windowsPath(ORVANEL_ENGINE_DLL), error)) << error;
    for (uint32_t own : {0u, uint32_t(kEngineOwnDevice)}) {
        g_callbacks.calls = 0;
        EngineInstance *e = nullptr;
        ASSERT_EQ(lib.startup(&e, -1, own | kEngineReportErrors, recordCallback, 7), 0u);
        // Start-up opens the device or readies the audio system on the worker;
        // either way the missing device is told only when there is speech.
        const DWORD kWorkerSettledMs = 500;
        Sleep(kWorkerSettledMs);
        EXPECT_EQ(g_callbacks.calls, 0) << "options " << own;
        lib.speak(e, "Nobody hears this.", kEngineForce);
        lib.sync(e);
        EXPECT_EQ(g_callbacks.calls, 1) << "options " << own;
        EXPECT_EQ(g_callbacks.kind, kEngineErrorOpen);
        EXPECT_EQ(g_callbacks.user, 7u);
        lib.shutdown(e);
    }
}
#endif

#ifdef ORVANEL_ENGINE_IS_SAPI
namespace {

// Where the SAPI double logs the calls it receives.
std::string doubleLog() {
    return workFolder() + "\\sapi-double.log";
}

// The SAPI engine speaks through the SAPI double, registered for the run.
class SapiDoubleEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        registration_.reset(new SapiDoubleRegistration(windowsPath(ORVANEL_SAPI_DOUBLE_DLL)));
        ASSERT_TRUE(registration_->ok()) << "the SAPI double could not be registered";
        DeleteFileA(doubleLog().c_str());
        SetEnvironmentVariableA("ORVANEL_SAPI_DOUBLE_LOG", doubleLog().c_str());
    }
    void TearDown() override { registration_.reset(); }

  private:
    std::unique_ptr<SapiDoubleRegistration> registration_;
};
::testing::Environment *const g_sapiDouble =
    ::testing::AddGlobalTestEnvironment(new SapiDoubleEnvironment);

struct SpeakCall {
    std::string voice;
    int rate = 0, pitch = 0;
    std::string text;
};

} // namespace

class SapiDouble : public EngineAudio {
  protected:
    // The Speak calls the double received while `body` ran, in order.
    static std::vector<SpeakCall> speakCalls(const std::function<void(EngineInstance *)> &body) {
        DeleteFileA(doubleLog().c_str());
        session(body);
        std::vector<SpeakCall> calls;
        const std::string log = readSharedFile(doubleLog());
        for (size_t at = 0; at < log.size();) {
            size_t end = log.find('\n', at);
            std::string line = log.substr(at, end - at);
            at = end == std::string::npos ? log.size() : end + 1;
            if (line.compare(0, 6, "speak\t") != 0)
                continue;
            size_t f[4], from = 0;
            for (size_t &p : f)
                from = (p = line.find('\t', from)) + 1;
            calls.push_back({line.substr(f[0] + 1, f[1] - f[0] - 1),
                             std::atoi(line.c_str() + f[1] + 1), std::atoi(line.c_str() + f[2] + 1),
                             line.substr(f[3] + 1)});
        }
        return calls;
    }
};

TEST_F(SapiDouble, MarkupCharactersQuotesAndNonAsciiReachTheVoiceIntact) {
    // Windows-1252, as the program sends it; the voice gets it as XML text.
    const char *text = "5 < 6 && 7 > 3: \"quoted\" 'single' </pitch> <x/> ]]> &amp; &#65; "
                       "caf\xE9 \x80 \xFC\xDF";
    const std::string expected = "5 < 6 && 7 > 3: \"quoted\" 'single' </pitch> <x/> ]]> &amp; "
                                 "&#65; caf\xC3\xA9 \xE2\x82\xAC \xC3\xBC\xC3\x9F";
    std::vector<SpeakCall> calls =
        speakCalls([&](EngineInstance *e) { lib.speak(e, text, kEngineForce); });
    ASSERT_EQ(calls.size(), 1u) << "a Speak call failed or the text was split";
    EXPECT_EQ(calls[0].text, expected);
}

TEST_F(SapiDouble, SpeakersFindTheirVoiceOrOneOfTheirGenderAndRatesMapToSapis) {
    // The double has a man, a woman and a girl; no senior voice.
    const struct {
        const char *voice;
        int pitch;
    } speakers[9] = {
        {"OrvanelTestMale", 0},    {"OrvanelTestFemale", 0},  {"OrvanelTestMale", -6},
        {"OrvanelTestMale", -3},   {"OrvanelTestMale", 4},    {"OrvanelTestGirl", 10},
        {"OrvanelTestFemale", -4}, {"OrvanelTestFemale", -1}, {"OrvanelTestFemale", 2},
    };
    std::vector<SpeakCall> calls = speakCalls([](EngineInstance *e) {
        for (uint32_t s = 0; s < 9; ++s) {
            lib.setSpeaker(e, s);
            lib.speak(e, "x", kEngineForce);
        }
    });
    ASSERT_EQ(calls.size(), 9u);
    for (uint32_t s = 0; s < 9; ++s) {
        EXPECT_EQ(calls[s].voice, speakers[s].voice) << "speaker " << s;
        EXPECT_EQ(calls[s].pitch, speakers[s].pitch) << "speaker " << s;
    }

    const struct {
        uint32_t wpm;
        int sapi;
    } rates[] = {{uint32_t(-5), -10}, {10, -10}, {60, -10}, {120, -4}, {180, 0}, {400, 7},
                 {540, 10},           {5000, 10}};
    calls = speakCalls([&](EngineInstance *e) {
        for (const auto &r : rates) {
            lib.setRate(e, r.wpm);
            lib.speak(e, "x", kEngineForce);
        }
    });
    ASSERT_EQ(calls.size(), std::size(rates));
    for (size_t i = 0; i < calls.size(); ++i)
        EXPECT_EQ(calls[i].rate, rates[i].sapi) << rates[i].wpm << " words a minute";
}

TEST_F(SapiDouble, WhatTheVoiceWritesInOddPiecesIsPlayedSampleForSample) {
    const std::string text = "The current time is 3:07 PM,";
    Capture c = say(text, 2);
    std::vector<sapidouble::TextRun> runs{{std::wstring(text.begin(), text.end()), -6}};
    sapidouble::Signal signal(runs, 105, 0, 100, 22050);
    std::vector<int16_t> expected(22050 * 5);
    expected.resize(signal.next(expected.data(), expected.size()));
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(sounding(c.samples) == sounding(expected))
        << sounding(c.samples).size() << " samples played, " << sounding(expected).size()
        << " written by the voice";
}

TEST_F(SapiDouble, NoVoiceInstalledGives1002UntilOneIs) {
    SetEnvironmentVariableA("ORVANEL_SAPI_DOUBLE_VOICES", "none");
    EngineInstance *e = reinterpret_cast<EngineInstance *>(1);
    EXPECT_EQ(lib.startup(&e, -1, kEngineReportErrors, recordCallback, 0),
              static_cast<uint32_t>(kEngineNoVoiceData));
    EXPECT_EQ(e, nullptr);
    SetEnvironmentVariableA("ORVANEL_SAPI_DOUBLE_VOICES", nullptr);
    EXPECT_GT(soundSeconds(say("Back again.")), 0.3);
}

TEST_F(SapiDouble, CallerWithAnApartmentThreadedComStillHearsSpeech) {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    EXPECT_GT(soundSeconds(say(kTimeText)), 1.0);
    CoUninitialize();
}
#endif
