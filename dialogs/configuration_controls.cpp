#include "configuration_controls.h"

#include "../res/resource_ids.h"

namespace {

constexpr ControlBinding Check(int id, Setting setting, int32_t dialogDefault,
                               ControlGroup group = ControlGroup::Always) {
    return {id, 0, setting, ControlKind::Check, group, 0, 1, dialogDefault, 0};
}
constexpr ControlBinding Text(int id, Setting setting, uint16_t defaultStringId = 0,
                              ControlGroup group = ControlGroup::Always) {
    return {id, 0, setting, ControlKind::Text, group, 0, 0, 0, defaultStringId};
}
constexpr ControlBinding Number(int id, int upDown, Setting setting, int32_t minimum,
                                int32_t maximum, int32_t dialogDefault,
                                ControlGroup group = ControlGroup::Always) {
    return {id, upDown, setting, ControlKind::Number, group, minimum, maximum, dialogDefault, 0};
}
constexpr ControlBinding List(int id, Setting setting, int32_t dialogDefault) {
    return {id, 0, setting, ControlKind::List, ControlGroup::Always, 0, 0, dialogDefault, 0};
}

} // namespace

const ControlBinding kConfigurationControls[] = {
    Check(IDC_START_HIDDEN, Setting::StartHidden, 0),
    Check(IDC_REGISTER_HOTKEYS, Setting::RegisterHotkeys, 1),
    Check(IDC_24_HOUR, Setting::Hour24, 0),
    Check(IDC_UNIVERSAL_TIME, Setting::UniversalTime, 0),
    Check(IDC_BYPASS_MARKER, Setting::BypassMarker, 0),
    Check(IDC_INCLUDE_ZONE, Setting::IncludeZone, 1),
    Text(IDC_TIME_INTRO, Setting::TimeIntro, IDS_TIME_INTRO),
    Number(IDC_CHECK_INTERVAL, IDC_CHECK_INTERVAL_UPDOWN, Setting::CheckInterval, 1, 60, 15),
    Check(IDC_STARTUP_ANNOUNCE, Setting::StartupAnnounce, 1),
    Check(IDC_END_COMMA, Setting::EndComma, 1),
    Check(IDC_ANNOUNCE_DATE, Setting::AnnounceDate, 0),
    Check(IDC_SHORT_DATE, Setting::ShortDate, 0),
    Text(IDC_DATE_INTRO, Setting::DateIntro, IDS_DATE_INTRO),
    {IDC_AUDIO_DEVICE, 0, Setting::AudioDevice, ControlKind::DeviceList, ControlGroup::Always, 0, 0,
     -1, 0},
    Check(IDC_OWN_DEVICE, Setting::OwnDevice, 0),
    {IDC_VOLUME, 0, Setting::Volume, ControlKind::Trackbar, ControlGroup::Always, 0, 100, 100, 0},
    List(IDC_SPEAKER, Setting::Speaker, 0),
    // The range is the engine's; 0 to 0 stands until the dialog asks it.
    Number(IDC_RATE, IDC_RATE_UPDOWN, Setting::Rate, 0, 0, 180),
    Check(IDC_RESET_SPEECH, Setting::ResetSpeech, 0),
    Text(IDC_USER_DICTIONARY, Setting::UserDictionary),
    Text(IDC_GREETING, Setting::Greeting),
    Text(IDC_CLOSING, Setting::Closing),
    Check(IDC_BEEP_INTERVAL, Setting::BeepInterval, 0),
    Check(IDC_INTERRUPTABILITY, Setting::Interruptability, 0),
    Check(IDC_ALARM_ENABLED, Setting::AlarmEnabled, 0),
    Number(IDC_ALARM_HOUR, IDC_ALARM_HOUR_UPDOWN, Setting::AlarmHour, 0, 23, 0,
           ControlGroup::Alarm),
    Number(IDC_ALARM_MINUTE, IDC_ALARM_MINUTE_UPDOWN, Setting::AlarmMinute, 0, 59, 0,
           ControlGroup::Alarm),
    Number(IDC_ALARM_SECOND, IDC_ALARM_SECOND_UPDOWN, Setting::AlarmSecond, 0, 59, 0,
           ControlGroup::Alarm),
    Text(IDC_ALARM_FILE, Setting::AlarmFile, 0, ControlGroup::Alarm),
    Text(IDC_ALARM_MESSAGE, Setting::AlarmMessage, 0, ControlGroup::Alarm),
    Check(IDC_QUIET_MODE, Setting::QuietMode, 0),
    Number(IDC_QUIET_AFTER_HOUR, IDC_QUIET_AFTER_HOUR_UPDOWN, Setting::QuietAfterHour, 0, 23, 0,
           ControlGroup::Quiet),
    Number(IDC_QUIET_BEFORE_HOUR, IDC_QUIET_BEFORE_HOUR_UPDOWN, Setting::QuietBeforeHour, 0, 23, 0,
           ControlGroup::Quiet),
};

const size_t kConfigurationControlCount =
    sizeof kConfigurationControls / sizeof kConfigurationControls[0];

const ControlBinding *FindControlBinding(int controlId) {
    for (size_t i = 0; i < kConfigurationControlCount; ++i) {
        const ControlBinding &row = kConfigurationControls[i];
        if (row.controlId == controlId || (row.upDownId != 0 && row.upDownId == controlId)) {
            return &row;
        }
    }
    return nullptr;
}

RateRange UsableRateRange(int32_t reportedLowest, int32_t reportedHighest, int32_t storedRate) {
    if (reportedHighest <= 0 || reportedLowest > reportedHighest) {
        return {storedRate, storedRate};
    }
    return {reportedLowest, reportedHighest};
}

int32_t ClampToRange(int32_t value, int32_t minimum, int32_t maximum) {
    return value < minimum ? minimum : value > maximum ? maximum : value;
}

int32_t ListSelection(int32_t storedIndex, int32_t entryCount) {
    return storedIndex >= 0 && storedIndex < entryCount ? storedIndex : -1;
}

int32_t DeviceListSelection(int32_t storedDevice, int32_t deviceCount) {
    return storedDevice >= -1 && storedDevice < deviceCount ? storedDevice + 1 : -1;
}
