// A check shared by the engine tests: an instance the engine does not know is
// refused by every operation that takes one.
#pragma once

#include <gtest/gtest.h>

#include "engine_library.h"

namespace enginetest {

inline void ExpectEveryOperationRefuses(const EngineLibrary &lib, EngineInstance *instance) {
    const uint32_t bad = kEngineBadInstance;
    EXPECT_EQ(lib.speak(instance, "x", 1), bad);
    EXPECT_EQ(lib.reset(instance, 1), bad);
    EXPECT_EQ(lib.sync(instance), bad);
    EXPECT_EQ(lib.setRate(instance, 200), bad);
    EXPECT_EQ(lib.setSpeaker(instance, 1), bad);
    EXPECT_EQ(lib.loadUserDictionary(instance, "x"), bad);
    EXPECT_EQ(lib.unloadUserDictionary(instance), bad);
    EXPECT_EQ(lib.shutdown(instance), bad);
}

} // namespace enginetest
