#include <gtest/gtest.h>

#include <set>

#include "resource_ids.h"
#include "configuration_controls.h"

namespace {

using K = ControlKind;
using G = ControlGroup;

// The properties every row must have; the dialog itself, with its ids,
// ranges and defaults, is checked end to end.
TEST(ConfigurationControls, EveryDialogKeyHasExactlyOneControlAndAgreesWithTheCatalogue) {
    // The dialog's keys are the catalogue's first block, StartHidden to
    // QuietBeforeHour, which is also the order they are written in.
    std::set<Setting> bound;
    std::set<int> ids;
    for (size_t i = 0; i < kConfigurationControlCount; ++i) {
        const ControlBinding &row = kConfigurationControls[i];
        const SettingDefinition &def = SettingDef(row.setting);
        SCOPED_TRACE(def.key);
        EXPECT_TRUE(bound.insert(row.setting).second);
        EXPECT_EQ(static_cast<size_t>(row.setting), i) << "written out of catalogue order";
        EXPECT_STREQ(def.section, kSectionSettings);
        EXPECT_EQ(row.kind == K::Check, def.kind == SettingKind::Flag);
        EXPECT_EQ(row.kind == K::Text, def.kind == SettingKind::Text);
        // Each control edits one key, and is found by its own id and its up-down's.
        EXPECT_TRUE(ids.insert(row.controlId).second);
        EXPECT_EQ(FindControlBinding(row.controlId), &row);
        const bool driven = row.kind == K::Number || row.kind == K::Rate;
        EXPECT_EQ(row.upDownId != 0, driven);
        if (driven) {
            EXPECT_EQ(FindControlBinding(row.upDownId), &row);
        }
        if (row.kind == K::Number || row.kind == K::Trackbar) {
            EXPECT_LT(row.minimum, row.maximum);
        }
    }
    EXPECT_EQ(bound.size(), static_cast<size_t>(Setting::QuietBeforeHour) + 1);
    EXPECT_EQ(FindControlBinding(IDC_BROWSE_AUDIO), nullptr);
    EXPECT_EQ(FindControlBinding(IDC_APPLY), nullptr);
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
