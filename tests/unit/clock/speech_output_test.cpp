// The speech output's routing, over a simulated engine, two screen readers
// that start and stop, and a simulated clock: each utterance is spoken once,
// by one voice, in order.
#include "speech_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Log;

struct Reader : OuterVoice {
    explicit Reader(std::string name) : name(std::move(name)) {}
    bool Say(const std::string &text, SpeechKind kind) override {
        if (runs)
            Log.push_back(name + (kind == SpeechKind::Alarm ? " alarm:" : ":") + text);
        return runs;
    }
    void Cancel() override { Log.push_back(name + " cancel"); }
    std::string name;
    bool runs = false;
};

struct Simulation : SpeechSession, SpeechOutputHost {
    // The engine.
    bool Start() override { return true; }
    void Stop() override {}
    void ApplySettings() override {}
    void Speak(const char *text, bool force, SpeechKind) override {
        Log.push_back(std::string("own") + (force ? ":" : " held:") + text);
    }
    void Interrupt() override { Log.push_back("own interrupt"); }
    void WaitUntilSpoken(WaitWatcher &) override { Log.push_back("own wait"); }
    // The platform.
    std::vector<std::unique_ptr<OuterVoice>> FindVoices() override {
        std::vector<std::unique_ptr<OuterVoice>> voices;
        voices.emplace_back(nvda = new Reader("nvda"));
        voices.emplace_back(jaws = new Reader("jaws"));
        return voices;
    }
    int64_t SteadyMs() override { return now; }
    bool WaitForWake(uint32_t ms) override { return now += ms, false; }
    int32_t ReadInt(Setting id) override { return id == Setting::SpeechOutput ? output : 0; }
    bool ReadFlag(Setting) override { return false; }
    void ShowOwnVoices(bool fellBack) override { Log.push_back(fellBack ? "note" : "no note"); }

    int32_t output = 0;
    int64_t now = 0;
    Reader *nvda = nullptr, *jaws = nullptr;
};

struct NeverCut : WaitWatcher {
    bool CutNow() override { return false; }
};

TEST(SpeechOutput, EachUtteranceGoesToTheFirstRunningReaderElseTheEngineOnce) {
    Simulation sim;
    SpeechOutputSession session(sim, sim);
    NeverCut watcher;
    ASSERT_TRUE(session.Start());
    session.ApplySettings();
    session.Speak("It is 3:07", false, SpeechKind::Announcement); // own voices: as before
    session.Speak(",", true, SpeechKind::Announcement);
    sim.output = 1;
    session.ApplySettings();
    const auto announce = [&] {
        session.Speak("It is 3:07", false, SpeechKind::Announcement);
        session.Speak(",", true, SpeechKind::Announcement);
    };
    sim.nvda->runs = true;
    announce();
    sim.nvda->runs = false;
    sim.jaws->runs = true;
    announce();
    session.WaitUntilSpoken(watcher); // the estimate, 60 ms a character and 0.5 s
    EXPECT_EQ(sim.now, 500 + 60 * 11);
    sim.jaws->runs = false;
    announce();
    announce();
    sim.nvda->runs = true;
    session.Speak("[:play \"bell.wav\"]", true, SpeechKind::Sound); // the alarm: file, message
    session.Speak("Wake up", true, SpeechKind::Alarm);
    session.WaitUntilSpoken(watcher); // the file, then the message, both waited for
    announce();
    session.Interrupt(); // NVDA may still speak ours: cut it
    sim.now += 10000;
    session.Interrupt(); // ours has long been spoken: the reader is left alone
    EXPECT_EQ(Log, (std::vector<std::string>{
                       "own held:It is 3:07", "own:,", "nvda:It is 3:07,", "jaws:It is 3:07,",
                       "own wait", "own:It is 3:07,", "note", "own:It is 3:07,",
                       "own:[:play \"bell.wav\"]", "own wait", "nvda alarm:Wake up", "no note",
                       "nvda:It is 3:07,", "own interrupt", "nvda cancel", "own interrupt"}));
}

} // namespace
