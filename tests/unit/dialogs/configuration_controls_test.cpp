#include <gtest/gtest.h>

#include <set>

#include "../../../res/resource_ids.h"
#include "configuration_controls.h"

namespace {

using K = ControlKind;
using G = ControlGroup;

struct Expected {
    int id;
    int upDown;
    Setting setting;
    K kind;
    G group;
    int32_t minimum, maximum, dialogDefault;
    uint16_t defaultString;
};

// The dialog as the user meets it: each control, the key it edits, and what
// it shows when nothing is stored.  Rate's range is the engine's (0, 0 here).
const Expected kExpected[] = {
    {1001, 0, Setting::StartHidden, K::Check, G::Always, 0, 1, 0, 0},
    {1002, 0, Setting::RegisterHotkeys, K::Check, G::Always, 0, 1, 1, 0},
    {1003, 0, Setting::Hour24, K::Check, G::Always, 0, 1, 0, 0},
    {1004, 0, Setting::UniversalTime, K::Check, G::Always, 0, 1, 0, 0},
    {1005, 0, Setting::BypassMarker, K::Check, G::Always, 0, 1, 0, 0},
    {1006, 0, Setting::IncludeZone, K::Check, G::Always, 0, 1, 1, 0},
    {1007, 0, Setting::TimeIntro, K::Text, G::Always, 0, 0, 0, IDS_TIME_INTRO},
    {1008, 1009, Setting::CheckInterval, K::Number, G::Always, 1, 60, 15, 0},
    {1010, 0, Setting::StartupAnnounce, K::Check, G::Always, 0, 1, 1, 0},
    {1011, 0, Setting::EndComma, K::Check, G::Always, 0, 1, 1, 0},
    {1012, 0, Setting::AnnounceDate, K::Check, G::Always, 0, 1, 0, 0},
    {1013, 0, Setting::ShortDate, K::Check, G::Always, 0, 1, 0, 0},
    {1014, 0, Setting::DateIntro, K::Text, G::Always, 0, 0, 0, IDS_DATE_INTRO},
    {1015, 0, Setting::AudioDevice, K::DeviceList, G::Always, 0, 0, -1, 0},
    {1016, 0, Setting::OwnDevice, K::Check, G::Always, 0, 1, 0, 0},
    {1017, 0, Setting::Volume, K::Trackbar, G::Always, 0, 100, 100, 0},
    {1018, 0, Setting::Speaker, K::List, G::Always, 0, 0, 0, 0},
    {1019, 1020, Setting::Rate, K::Number, G::Always, 0, 0, 180, 0},
    {1021, 0, Setting::ResetSpeech, K::Check, G::Always, 0, 1, 0, 0},
    {1022, 0, Setting::UserDictionary, K::Text, G::Always, 0, 0, 0, 0},
    {1024, 0, Setting::Greeting, K::Text, G::Always, 0, 0, 0, 0},
    {1025, 0, Setting::Closing, K::Text, G::Always, 0, 0, 0, 0},
    {1026, 0, Setting::BeepInterval, K::Check, G::Always, 0, 1, 0, 0},
    {1027, 0, Setting::Interruptability, K::Check, G::Always, 0, 1, 0, 0},
    {1028, 0, Setting::AlarmEnabled, K::Check, G::Always, 0, 1, 0, 0},
    {1029, 1030, Setting::AlarmHour, K::Number, G::Alarm, 0, 23, 0, 0},
    {1031, 1032, Setting::AlarmMinute, K::Number, G::Alarm, 0, 59, 0, 0},
    {1033, 1034, Setting::AlarmSecond, K::Number, G::Alarm, 0, 59, 0, 0},
    {1035, 0, Setting::AlarmFile, K::Text, G::Alarm, 0, 0, 0, 0},
    {1037, 0, Setting::AlarmMessage, K::Text, G::Alarm, 0, 0, 0, 0},
    {1038, 0, Setting::QuietMode, K::Check, G::Always, 0, 1, 0, 0},
    {1039, 1040, Setting::QuietAfterHour, K::Number, G::Quiet, 0, 23, 0, 0},
    {1041, 1042, Setting::QuietBeforeHour, K::Number, G::Quiet, 0, 23, 0, 0},
};

TEST(ConfigurationControls, EachControlEditsItsKeyWithTheDialogsDefaultsInWriteOrder) {
    ASSERT_EQ(kConfigurationControlCount, sizeof kExpected / sizeof kExpected[0]);
    for (size_t i = 0; i < kConfigurationControlCount; ++i) {
        const ControlBinding &row = kConfigurationControls[i];
        const Expected &want = kExpected[i];
        SCOPED_TRACE(SettingDef(want.setting).key);
        EXPECT_EQ(row.controlId, want.id);
        EXPECT_EQ(row.upDownId, want.upDown);
        EXPECT_EQ(row.setting, want.setting);
        EXPECT_EQ(row.kind, want.kind);
        EXPECT_EQ(row.group, want.group);
        if (want.kind == K::Number || want.kind == K::Trackbar) {
            EXPECT_EQ(row.minimum, want.minimum);
            EXPECT_EQ(row.maximum, want.maximum);
        }
        EXPECT_EQ(row.dialogDefault, want.dialogDefault);
        EXPECT_EQ(row.defaultStringId, want.defaultString);
        EXPECT_EQ(FindControlBinding(want.id), &row);
        if (want.upDown != 0) {
            EXPECT_EQ(FindControlBinding(want.upDown), &row);
        }
    }
    EXPECT_EQ(FindControlBinding(IDC_BROWSE_AUDIO), nullptr);
    EXPECT_EQ(FindControlBinding(IDC_APPLY), nullptr);
}

TEST(ConfigurationControls, EveryDialogKeyHasExactlyOneControlAndAgreesWithTheCatalogue) {
    // The dialog's keys are the catalogue's first block, StartHidden to
    // QuietBeforeHour, which is also the order they are written in.
    std::set<Setting> bound;
    for (size_t i = 0; i < kConfigurationControlCount; ++i) {
        const ControlBinding &row = kConfigurationControls[i];
        EXPECT_TRUE(bound.insert(row.setting).second) << SettingDef(row.setting).key;
        EXPECT_EQ(static_cast<size_t>(row.setting), i) << "written out of catalogue order";
        const SettingDefinition &def = SettingDef(row.setting);
        EXPECT_STREQ(def.section, kSectionSettings);
        EXPECT_EQ(row.kind == K::Check, def.kind == SettingKind::Flag) << def.key;
        EXPECT_EQ(row.kind == K::Text, def.kind == SettingKind::Text) << def.key;
        if (row.kind == K::Text) {
            EXPECT_EQ(row.defaultStringId, def.defaultStringId) << def.key;
        } else {
            EXPECT_EQ(row.dialogDefault, def.defaultValue) << def.key;
        }
    }
    EXPECT_EQ(bound.size(), static_cast<size_t>(Setting::QuietBeforeHour) + 1);
}

TEST(ConfigurationControls, GroupedControlsLieInTheRangesTheirBoxesEnable) {
    for (size_t i = 0; i < kConfigurationControlCount; ++i) {
        const ControlBinding &row = kConfigurationControls[i];
        const int last = row.upDownId != 0 ? row.upDownId : row.controlId;
        const bool inAlarm = row.controlId >= IDC_ALARM_FIRST && last <= IDC_ALARM_LAST;
        const bool inQuiet = row.controlId >= IDC_QUIET_FIRST && last <= IDC_QUIET_LAST;
        EXPECT_EQ(row.group == G::Alarm, inAlarm) << row.controlId;
        EXPECT_EQ(row.group == G::Quiet, inQuiet) << row.controlId;
        if (row.upDownId != 0) {
            EXPECT_EQ(row.upDownId, row.controlId + 1) << "an up-down follows its box";
        }
    }
}

TEST(ConfigurationControls, StoredValuesShownWithinTheControlsReach) {
    struct Case {
        int32_t value, minimum, maximum, shown;
    } clamps[] = {{0, 1, 60, 1},      {90, 1, 60, 60}, {15, 1, 60, 15},
                  {150, 0, 100, 100}, {-5, 0, 23, 0},  {INT32_MIN, 0, 59, 0}};
    for (const Case &c : clamps) {
        EXPECT_EQ(ClampToRange(c.value, c.minimum, c.maximum), c.shown) << c.value;
    }
    struct Selection {
        int32_t stored, entries, selected;
    } lists[] = {{0, 9, 0}, {8, 9, 8}, {9, 9, -1}, {-1, 9, -1}, {0, 0, -1}, {3, 1, -1}};
    for (const Selection &s : lists) {
        EXPECT_EQ(ListSelection(s.stored, s.entries), s.selected) << s.stored << "/" << s.entries;
    }
    // The system default (-1) first; a device missing now selects nothing.
    Selection devices[] = {{-1, 0, 0}, {-1, 2, 0}, {0, 2, 1}, {1, 2, 2}, {2, 2, -1}, {-2, 2, -1}};
    for (const Selection &s : devices) {
        EXPECT_EQ(DeviceListSelection(s.stored, s.entries), s.selected) << s.stored;
    }
}

TEST(ConfigurationControls, AnEngineWithoutARateRangeLeavesTheStoredRateAlone) {
    struct Case {
        int32_t lowest, highest, stored, wantLowest, wantHighest;
    } cases[] = {
        {80, 450, 180, 80, 450},  // the engine's range
        {80, 450, 999, 80, 450},  // shown at the bound by the clamp
        {0, 0, 180, 180, 180},    // nothing filled: no 0 written over a good rate
        {500, 100, 220, 220, 220} // reversed bounds are no range either
    };
    for (const Case &c : cases) {
        RateRange range = UsableRateRange(c.lowest, c.highest, c.stored);
        EXPECT_EQ(range.lowest, c.wantLowest);
        EXPECT_EQ(range.highest, c.wantHighest);
    }
}

} // namespace
