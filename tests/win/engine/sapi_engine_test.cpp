// The SAPI 5 engine under Wine's own SAPI, which lists a voice but cannot
// render it into a stream, so start-up must fail with the documented code,
// cleanly; and the stream the engine hands SAPI.
#include "engine_library.h"
#include "refusal_checks.h"
#include "sapi_double_registration.h"
#include "sink_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <vector>

using namespace enginetest;

namespace {

void ENGINE_CALL noCallback(int32_t, int32_t, uint32_t, uint32_t) {}

} // namespace

TEST(SapiEngine, StartupWithoutAUsableVoiceFailsCleanly) {
    // Wine's own SAPI, whatever a run of the SAPI double's tests left behind.
    SapiDoubleRegistration wineOwn(windowsPath(ORVANEL_SAPI_DOUBLE_DLL), false);
    EngineLibrary lib;
    std::string error;
    ASSERT_TRUE(lib.load(windowsPath(ORVANEL_SAPI_DLL), error)) << error;

    for (int attempt = 0; attempt < 3; ++attempt) {
        EngineInstance *e = reinterpret_cast<EngineInstance *>(1);
        EXPECT_EQ(lib.startup(&e, -1, kEngineReportErrors, noCallback, 0),
                  static_cast<uint32_t>(kEngineNoVoiceData));
        EXPECT_EQ(e, nullptr);
    }
    EXPECT_EQ(lib.startup(nullptr, -1, 2, noCallback, 0),
              static_cast<uint32_t>(kEngineBadArguments));

    // Nothing was started, so every operation refuses the instances it is given.
    ExpectEveryOperationRefuses(lib, nullptr);
}

TEST(SapiEngine, CapabilitiesNeedNoInstanceAndGiveSapisRateRange) {
    EngineLibrary lib;
    std::string error;
    ASSERT_TRUE(lib.load(windowsPath(ORVANEL_SAPI_DLL), error)) << error;
    unsigned char caps[32] = {};
    ASSERT_EQ(lib.getCaps(caps), 0u);
    int32_t lowest, highest;
    memcpy(&lowest, caps + kEngineCapsMinRateOffset, 4);
    memcpy(&highest, caps + kEngineCapsMaxRateOffset, 4);
    EXPECT_EQ(lowest, 60);
    EXPECT_EQ(highest, 540);
}

namespace {

struct CollectingSink : engine::PcmSink {
    std::vector<int16_t> samples;
    bool refuse = false;
    bool write(const int16_t *s, size_t n) override {
        samples.insert(samples.end(), s, s + n);
        return !refuse;
    }
};

} // namespace

// The stream SAPI renders into: samples split across writes arrive whole, a
// refused write stops SAPI, and the stream cannot be moved.
TEST(SapiSinkStream, JoinsSplitSamplesRefusesToMoveAndStopsWhenTheSinkDoes) {
    const int16_t sent[] = {1, -2, 0x1234, -32768, 32767, 0x0100, -1};
    const auto *bytes = reinterpret_cast<const unsigned char *>(sent);
    CollectingSink sink;
    auto *stream = new engine::SinkStream();
    stream->setSink(&sink);
    ULONG written = 0;
    size_t at = 0;
    for (ULONG size : {1u, 2u, 3u, 1u, 5u, 2u}) {
        ASSERT_EQ(stream->Write(bytes + at, size, &written), S_OK);
        EXPECT_EQ(written, size);
        at += size;
    }
    ASSERT_EQ(at, sizeof sent);
    EXPECT_EQ(sink.samples, std::vector<int16_t>(std::begin(sent), std::end(sent)));

    const struct {
        LONGLONG move;
        DWORD origin;
        bool ok;
    } seeks[] = {{0, STREAM_SEEK_CUR, true},  {0, STREAM_SEEK_END, true},
                 {14, STREAM_SEEK_SET, true}, {0, STREAM_SEEK_SET, false},
                 {2, STREAM_SEEK_CUR, false}, {-2, STREAM_SEEK_END, false}};
    for (const auto &s : seeks) {
        LARGE_INTEGER move;
        move.QuadPart = s.move;
        ULARGE_INTEGER now{};
        EXPECT_EQ(SUCCEEDED(stream->Seek(move, s.origin, &now)), s.ok)
            << s.move << " from " << s.origin;
        if (s.ok) {
            EXPECT_EQ(now.QuadPart, sizeof sent);
        }
    }

    sink.refuse = true;
    EXPECT_EQ(stream->Write(bytes, 4, &written), E_ABORT);
    stream->Release();
}
