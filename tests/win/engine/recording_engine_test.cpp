// The recording engine that the program's own tests drive: its log, its
// simulated speaking time, and the failures it can be told to produce.
#include "audio_analysis.h"
#include "engine_library.h"
#include "log_line.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

using namespace enginetest;

namespace {

std::atomic<int> g_calls{0};
std::atomic<int> g_kind{0};
std::atomic<uint32_t> g_messageId{0};
std::atomic<uint32_t> g_user{0};
std::atomic<DWORD> g_thread{0};

void ENGINE_CALL recordCallback(int32_t kind, int32_t, uint32_t user, uint32_t messageId) {
    g_kind = kind;
    g_user = user;
    g_messageId = messageId;
    g_thread = GetCurrentThreadId();
    ++g_calls;
}

double nowMs() {
    LARGE_INTEGER c, f;
    QueryPerformanceCounter(&c);
    QueryPerformanceFrequency(&f);
    return double(c.QuadPart) * 1000.0 / double(f.QuadPart);
}

class RecordingEngine : public ::testing::Test {
  protected:
    static EngineLibrary lib;
    std::string logPath;

    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(lib.load(windowsPath(ORVANEL_RECORDING_DLL), error)) << error;
    }

    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        logPath = std::string(temp) + "orvanel-recording-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
        DeleteFileA(logPath.c_str());
        SetEnvironmentVariableA("ORVANEL_RECORDING_LOG", logPath.c_str());
        for (const char *name :
             {"ORVANEL_RECORDING_MS_PER_CHAR", "ORVANEL_RECORDING_STARTUP_RESULT",
              "ORVANEL_RECORDING_CALLBACK_KIND", "ORVANEL_RECORDING_CALLBACK_DELAY_MS",
              "ORVANEL_RECORDING_CALLBACK_WHEN", "ORVANEL_RECORDING_CALLBACK_MESSAGE"})
            SetEnvironmentVariableA(name, nullptr);
        g_calls = 0;
    }

    void TearDown() override { DeleteFileA(logPath.c_str()); }

    // Every line, split into its fields; the timestamp is field 0.
    std::vector<std::vector<std::string>> lines() const {
        std::vector<std::vector<std::string>> out;
        std::string text = readSharedFile(logPath);
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string::npos)
                break;
            out.push_back(engine::splitLogLine(std::string_view(text).substr(pos, end - pos)));
            pos = end + 1;
        }
        return out;
    }

    // The operations in order, without timestamps and instance ids.
    std::vector<std::string> operations() const {
        std::vector<std::string> ops;
        for (const auto &l : lines())
            ops.push_back(l.size() > 1 ? l[1] : "");
        return ops;
    }
};

EngineLibrary RecordingEngine::lib;

using Ops = std::vector<std::string>;

} // namespace

TEST_F(RecordingEngine, LogsEveryCallWithItsArgumentsAndText) {
    const double before = nowMs();
    EngineInstance *e = nullptr;
    ASSERT_EQ(lib.startup(&e, -1, 3, recordCallback, 0xBEEF), 0u);
    ASSERT_NE(e, nullptr);
    lib.setSpeaker(e, 4);
    lib.setRate(e, static_cast<uint32_t>(-5));
    lib.speak(e, "The current time is\t3:07 PM\nwith a \\ backslash", 0);
    lib.speak(e, ",", 1);
    lib.sync(e);
    lib.reset(e, 1);
    unsigned char caps[32] = {};
    lib.getCaps(caps);
    lib.loadUserDictionary(e, "C:\\dict\\words.txt");
    lib.unloadUserDictionary(e);
    lib.shutdown(e);
    const double after = nowMs();

    auto all = lines();
    ASSERT_EQ(all.size(), 14u);
    // The calls in the order made; the simulated speech ("spoken") runs
    // alongside them and finishes before wait-until-spoken returns.
    std::vector<std::vector<std::string>> l, spoken;
    size_t syncDone = 0;
    for (const auto &line : all) {
        if (line[1] == "spoken") {
            EXPECT_EQ(syncDone, 0u) << "spoken after wait-until-spoken returned";
            spoken.push_back(line);
        } else {
            l.push_back(line);
        }
        if (line[1] == "sync_done")
            syncDone = l.size();
    }
    Ops calls;
    for (const auto &line : l)
        calls.push_back(line[1]);
    EXPECT_EQ(calls,
              (Ops{"startup", "set_speaker", "set_rate", "speak", "speak", "sync", "sync_done",
                   "reset", "get_caps", "load_dictionary", "unload_dictionary", "shutdown"}));
    ASSERT_EQ(spoken.size(), 2u);
    const std::string text = "The current time is\t3:07 PM\nwith a \\ backslash";
    EXPECT_EQ(spoken[0][3], text);
    EXPECT_EQ(spoken[1][3], ",");
    EXPECT_EQ(l[0],
              (std::vector<std::string>{l[0][0], "startup", "1", "-1", "3", "1", "48879", "0"}));
    EXPECT_EQ(l[1][3], "4");
    EXPECT_EQ(l[2][3], "-5");
    EXPECT_EQ(l[3], (std::vector<std::string>{l[3][0], "speak", "1", "0", text}));
    EXPECT_EQ(l[4][3], "1");
    EXPECT_EQ(l[7][3], "1");
    EXPECT_EQ(l[9][3], "C:\\dict\\words.txt");
    // Caps give the eSpeak engine's range unless told otherwise.
    EXPECT_EQ(caps[12] | caps[13] << 8, 80);
    EXPECT_EQ(caps[16] | caps[17] << 8, 900);
    // Timestamps are this process's QueryPerformanceCounter in ms, in order.
    double previous = before;
    for (const auto &line : all) {
        double t = std::stod(line[0]);
        EXPECT_GE(t, previous);
        previous = t;
    }
    EXPECT_LE(previous, after);
}

TEST_F(RecordingEngine, SimulatedSpeechMakesWaitingAndCuttingObservable) {
    SetEnvironmentVariableA("ORVANEL_RECORDING_MS_PER_CHAR", "10");
    EngineInstance *e = nullptr;
    ASSERT_EQ(lib.startup(&e, 0, 2, nullptr, 0), 0u);
    const std::string fifty(50, 'x');
    double t0 = nowMs();
    lib.speak(e, fifty.c_str(), 1);
    lib.sync(e);
    EXPECT_GE(nowMs() - t0, 490.0) << "wait-until-spoken returned before the text was spoken";

    lib.speak(e, std::string(300, 'a').c_str(), 1); // three seconds
    lib.speak(e, "queued behind it", 1);
    Sleep(200);
    t0 = nowMs();
    lib.reset(e, 0);
    lib.sync(e);
    EXPECT_LT(nowMs() - t0, 1000.0) << "a reset cuts the simulated speech short";
    lib.shutdown(e);
    EXPECT_EQ(operations(),
              (Ops{"startup", "speak", "sync", "spoken", "sync_done", "speak", "speak", "reset",
                   "cut", "dropped", "sync", "sync_done", "shutdown"}));
}

TEST_F(RecordingEngine, StartupCanBeToldToFail) {
    SetEnvironmentVariableA("ORVANEL_RECORDING_STARTUP_RESULT", "1234");
    EngineInstance *e = reinterpret_cast<EngineInstance *>(1);
    EXPECT_EQ(lib.startup(&e, -1, 2, recordCallback, 0), 1234u);
    EXPECT_EQ(e, nullptr);
    EXPECT_EQ(lib.speak(e, "x", 1), static_cast<uint32_t>(kEngineBadInstance));
    auto l = lines();
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0][1], "startup");
    EXPECT_EQ(l[0][2], "0");
    EXPECT_EQ(l[0].back(), "1234");
    EXPECT_EQ(l[1][2], "invalid");
}

TEST_F(RecordingEngine, RaisesTheCallbackItIsToldToFromAnotherThread) {
    SetEnvironmentVariableA("ORVANEL_RECORDING_CALLBACK_KIND", "2");
    SetEnvironmentVariableA("ORVANEL_RECORDING_CALLBACK_DELAY_MS", "100");
    EngineInstance *e = nullptr;
    ASSERT_EQ(lib.startup(&e, -1, 2, recordCallback, 77), 0u);
    EXPECT_EQ(g_calls, 0) << "the callback must not come from inside start-up";
    for (int i = 0; i < 200 && g_calls == 0; ++i)
        Sleep(10);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(g_kind, 2);
    EXPECT_EQ(g_user, 77u);
    EXPECT_EQ(g_messageId, RegisterWindowMessageA("DECtalkErrorMessage"));
    EXPECT_NE(g_thread, GetCurrentThreadId());
    lib.shutdown(e);

    // Another message id, raised at the first speak call instead.
    g_calls = 0;
    SetEnvironmentVariableA("ORVANEL_RECORDING_CALLBACK_KIND", "3");
    SetEnvironmentVariableA("ORVANEL_RECORDING_CALLBACK_DELAY_MS", "0");
    SetEnvironmentVariableA("ORVANEL_RECORDING_CALLBACK_WHEN", "speak");
    SetEnvironmentVariableA("ORVANEL_RECORDING_CALLBACK_MESSAGE", "SomeOtherMessage");
    ASSERT_EQ(lib.startup(&e, -1, 2, recordCallback, 0), 0u);
    Sleep(200);
    EXPECT_EQ(g_calls, 0);
    lib.speak(e, "now", 1);
    lib.speak(e, "and again", 1);
    lib.sync(e);
    Sleep(100);
    lib.shutdown(e);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(g_kind, 3);
    EXPECT_EQ(g_messageId, RegisterWindowMessageA("SomeOtherMessage"));
}

TEST_F(RecordingEngine, RefusesNullAndStaleInstances) {
    EngineInstance *e = nullptr;
    ASSERT_EQ(lib.startup(&e, -1, 2, nullptr, 0), 0u);
    ASSERT_EQ(lib.shutdown(e), 0u);
    const uint32_t bad = kEngineBadInstance;
    for (EngineInstance *x : {static_cast<EngineInstance *>(nullptr), e}) {
        EXPECT_EQ(lib.speak(x, "x", 1), bad);
        EXPECT_EQ(lib.sync(x), bad);
        EXPECT_EQ(lib.reset(x, 0), bad);
        EXPECT_EQ(lib.shutdown(x), bad);
    }
    EXPECT_EQ(lib.startup(nullptr, -1, 2, nullptr, 0), static_cast<uint32_t>(kEngineBadArguments));
}
