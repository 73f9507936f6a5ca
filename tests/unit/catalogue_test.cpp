#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>

#include "settings_catalogue.h"

namespace {

std::string Lower(const char *text) {
    std::string s(text);
    for (char &c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

TEST(SettingsCatalogue, KeysAreUniqueWithinTheirSectionIgnoringCase) {
    // Both backends match names without regard to case: two keys differing
    // only in case would silently share one stored value.
    std::set<std::string> seen;
    for (size_t i = 0; i < kSettingCount; ++i) {
        const SettingDefinition &def = AllSettings()[i];
        EXPECT_TRUE(seen.insert(Lower(def.section) + "/" + Lower(def.key)).second) << def.key;
    }
}

TEST(SettingsCatalogue, EveryEntryIsWellFormedForItsKind) {
    for (size_t i = 0; i < kSettingCount; ++i) {
        const SettingDefinition &def = AllSettings()[i];
        EXPECT_EQ(static_cast<size_t>(def.id), i);
        ASSERT_NE(def.key, nullptr);
        EXPECT_GT(std::strlen(def.key), 0u);
        EXPECT_TRUE(def.section == kSectionSettings || def.section == kSectionAppearance);
        switch (def.kind) {
        case SettingKind::Flag:
            EXPECT_TRUE(def.defaultValue == 0 || def.defaultValue == 1) << def.key;
            EXPECT_EQ(def.structSize, 0) << def.key;
            break;
        case SettingKind::Structure:
            EXPECT_TRUE(def.structSize == kWindowPlacementSize || def.structSize == kLogFontSize ||
                        def.structSize == kCustomColorsSize)
                << def.key;
            EXPECT_EQ(def.section, kSectionAppearance) << def.key;
            break;
        case SettingKind::Text:
            EXPECT_EQ(def.section, kSectionSettings) << def.key;
            break;
        case SettingKind::Integer:
            EXPECT_EQ(def.structSize, 0) << def.key;
            break;
        }
    }
}

TEST(SettingsCatalogue, DefaultsOfAnEmptyConfiguration) {
    // What a first start with nothing stored must do.
    struct Expect {
        Setting id;
        int32_t value;
    } expected[] = {
        {Setting::RegisterHotkeys, 1},
        {Setting::IncludeZone, 1},
        {Setting::CheckInterval, 15},
        {Setting::StartupAnnounce, 1},
        {Setting::EndComma, 1},
        {Setting::AudioDevice, -1},
        {Setting::Volume, 100},
        {Setting::Speaker, 0},
        {Setting::Rate, 180},
        {Setting::PaintTime, 1},
        {Setting::IncludeSeconds, 1},
        {Setting::ToolBar, 1},
        {Setting::StatusBar, 1},
        {Setting::ShowTitle, 1},
        {Setting::OnTop, 0},
        {Setting::HideMenu, 0},
        {Setting::SavePosition, 0},
        {Setting::FontColor, 0},
        {Setting::BackgroundColor, 0x00FFFFFF},
        {Setting::Hour24, 0},
        {Setting::QuietMode, 0},
    };
    for (const Expect &e : expected) {
        EXPECT_EQ(SettingDef(e.id).defaultValue, e.value) << SettingDef(e.id).key;
    }
    EXPECT_STREQ(SettingDef(Setting::Hour24).key, "24Hour");
    EXPECT_EQ(SettingDef(Setting::TimeIntro).defaultStringId, 411);
    EXPECT_EQ(SettingDef(Setting::DateIntro).defaultStringId, 412);
    EXPECT_EQ(SettingDef(Setting::Greeting).defaultStringId, 0);
    EXPECT_EQ(SettingDef(Setting::WindowPlacement).structSize, 44);
    EXPECT_EQ(SettingDef(Setting::LogFont).structSize, 60);
    EXPECT_EQ(SettingDef(Setting::CustomColors).structSize, 64);
}

} // namespace
