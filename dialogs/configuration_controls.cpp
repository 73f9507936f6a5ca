#include "configuration_controls.h"

#include "resource_ids.h"

namespace {

constexpr ControlBinding Check(int id, Setting setting) {
    return {id, 0, setting, ControlKind::Check, ControlGroup::Always, 0, 1};
}
constexpr ControlBinding Text(int id, Setting setting, ControlGroup group = ControlGroup::Always) {
    return {id, 0, setting, ControlKind::Text, group, 0, 0};
}
constexpr ControlBinding Number(int id, int upDown, Setting setting, int32_t minimum,
                                int32_t maximum, ControlGroup group = ControlGroup::Always) {
    return {id, upDown, setting, ControlKind::Number, group, minimum, maximum};
}
constexpr ControlBinding Of(ControlKind kind, int id, Setting setting, int upDown = 0) {
    return {id, upDown, setting, kind, ControlGroup::Always, 0, 0};
}

} // namespace

const ControlBinding kConfigurationControls[] = {
    Check(IDC_START_HIDDEN, Setting::StartHidden),
    Check(IDC_REGISTER_HOTKEYS, Setting::RegisterHotkeys),
    Check(IDC_24_HOUR, Setting::Hour24),
    Check(IDC_UNIVERSAL_TIME, Setting::UniversalTime),
    Check(IDC_BYPASS_MARKER, Setting::BypassMarker),
    Check(IDC_INCLUDE_ZONE, Setting::IncludeZone),
    Text(IDC_TIME_INTRO, Setting::TimeIntro),
    Number(IDC_CHECK_INTERVAL, IDC_CHECK_INTERVAL_UPDOWN, Setting::CheckInterval, 1, 60),
    Of(ControlKind::ChimeList, IDC_CHIME, Setting::Chime),
    Check(IDC_STARTUP_ANNOUNCE, Setting::StartupAnnounce),
    Check(IDC_END_COMMA, Setting::EndComma),
    Check(IDC_ANNOUNCE_DATE, Setting::AnnounceDate),
    Check(IDC_SHORT_DATE, Setting::ShortDate),
    Text(IDC_DATE_INTRO, Setting::DateIntro),
    Of(ControlKind::DeviceList, IDC_AUDIO_DEVICE, Setting::AudioDevice),
    Check(IDC_OWN_DEVICE, Setting::OwnDevice),
    Of(ControlKind::OutputList, IDC_SPEECH_OUTPUT, Setting::SpeechOutput),
    {IDC_VOLUME, 0, Setting::Volume, ControlKind::Trackbar, ControlGroup::Always, 0, 100},
    Of(ControlKind::SpeakerList, IDC_SPEAKER, Setting::Speaker),
    Of(ControlKind::Rate, IDC_RATE, Setting::Rate, IDC_RATE_UPDOWN),
    Check(IDC_RESET_SPEECH, Setting::ResetSpeech),
    Text(IDC_USER_DICTIONARY, Setting::UserDictionary),
    Text(IDC_GREETING, Setting::Greeting),
    Text(IDC_CLOSING, Setting::Closing),
    Check(IDC_BEEP_INTERVAL, Setting::BeepInterval),
    Check(IDC_INTERRUPTABILITY, Setting::Interruptability),
    Check(IDC_ALARM_ENABLED, Setting::AlarmEnabled),
    Number(IDC_ALARM_HOUR, IDC_ALARM_HOUR_UPDOWN, Setting::AlarmHour, 0, 23, ControlGroup::Alarm),
    Number(IDC_ALARM_MINUTE, IDC_ALARM_MINUTE_UPDOWN, Setting::AlarmMinute, 0, 59,
           ControlGroup::Alarm),
    Number(IDC_ALARM_SECOND, IDC_ALARM_SECOND_UPDOWN, Setting::AlarmSecond, 0, 59,
           ControlGroup::Alarm),
    Text(IDC_ALARM_FILE, Setting::AlarmFile, ControlGroup::Alarm),
    Text(IDC_ALARM_MESSAGE, Setting::AlarmMessage, ControlGroup::Alarm),
    Check(IDC_QUIET_MODE, Setting::QuietMode),
    Number(IDC_QUIET_AFTER_HOUR, IDC_QUIET_AFTER_HOUR_UPDOWN, Setting::QuietAfterHour, 0, 23,
           ControlGroup::Quiet),
    Number(IDC_QUIET_BEFORE_HOUR, IDC_QUIET_BEFORE_HOUR_UPDOWN, Setting::QuietBeforeHour, 0, 23,
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
