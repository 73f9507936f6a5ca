// The SAPI 5 engine under Wine: Wine's SAPI lists a voice but cannot render
// it into a stream, so start-up must fail with the documented code, cleanly.
#include "engine_library.h"
#include "refusal_checks.h"
#include "sapi_double_registration.h"

#include <gtest/gtest.h>

#include <cstring>

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
