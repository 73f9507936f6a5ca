#include "settings_catalogue.h"

#include "resource_ids.h"

const char kSectionSettings[] = "Settings";
const char kSectionAppearance[] = "Appearance";

namespace {

constexpr SettingDefinition Flag(Setting id, const char *key, int32_t defaultValue) {
    return {id, kSectionSettings, key, SettingKind::Flag, defaultValue, 0, 0};
}
constexpr SettingDefinition Number(Setting id, const char *section, const char *key,
                                   int32_t defaultValue) {
    return {id, section, key, SettingKind::Integer, defaultValue, 0, 0};
}
constexpr SettingDefinition Text(Setting id, const char *key, uint16_t defaultStringId) {
    return {id, kSectionSettings, key, SettingKind::Text, 0, defaultStringId, 0};
}
constexpr SettingDefinition Record(Setting id, const char *key, uint16_t size) {
    return {id, kSectionAppearance, key, SettingKind::Structure, 0, 0, size};
}

// In Setting order; the static_asserts below keep the two in step.
constexpr SettingDefinition kCatalogue[] = {
    Flag(Setting::StartHidden, "StartHidden", 0),
    Flag(Setting::RegisterHotkeys, "RegisterHotkeys", 1),
    Flag(Setting::Hour24, "24Hour", 0),
    Flag(Setting::UniversalTime, "UniversalTime", 0),
    Flag(Setting::BypassMarker, "BypassMarker", 0),
    Flag(Setting::IncludeZone, "IncludeZone", 1),
    Text(Setting::TimeIntro, "TimeIntro", IDS_TIME_INTRO),
    Number(Setting::CheckInterval, kSectionSettings, "CheckInterval", 15),
    Number(Setting::Chime, kSectionSettings, "Chime", 0),
    Flag(Setting::StartupAnnounce, "StartupAnnounce", 1),
    Flag(Setting::EndComma, "EndComma", 1),
    Flag(Setting::AnnounceDate, "AnnounceDate", 0),
    Flag(Setting::ShortDate, "ShortDate", 0),
    Text(Setting::DateIntro, "DateIntro", IDS_DATE_INTRO),
    Number(Setting::AudioDevice, kSectionSettings, "AudioDevice", -1),
    Flag(Setting::OwnDevice, "OwnDevice", 0),
    Number(Setting::SpeechOutput, kSectionSettings, "SpeechOutput", 0),
    Number(Setting::Volume, kSectionSettings, "Volume", 100),
    Number(Setting::Speaker, kSectionSettings, "Speaker", 0),
    Number(Setting::Rate, kSectionSettings, "Rate", 180),
    Flag(Setting::ResetSpeech, "ResetSpeech", 0),
    Text(Setting::UserDictionary, "UserDictionary", 0),
    Text(Setting::Greeting, "Greeting", 0),
    Text(Setting::Closing, "Closing", 0),
    Flag(Setting::BeepInterval, "BeepInterval", 0),
    Flag(Setting::Interruptability, "Interruptability", 0),
    Flag(Setting::AlarmEnabled, "AlarmEnabled", 0),
    Number(Setting::AlarmHour, kSectionSettings, "AlarmHour", 0),
    Number(Setting::AlarmMinute, kSectionSettings, "AlarmMinute", 0),
    Number(Setting::AlarmSecond, kSectionSettings, "AlarmSecond", 0),
    Text(Setting::AlarmFile, "AlarmFile", 0),
    Text(Setting::AlarmMessage, "AlarmMessage", 0),
    Flag(Setting::QuietMode, "QuietMode", 0),
    Number(Setting::QuietAfterHour, kSectionSettings, "QuietAfterHour", 0),
    Number(Setting::QuietBeforeHour, kSectionSettings, "QuietBeforeHour", 0),
    Flag(Setting::SavePosition, "SavePosition", 0),
    Flag(Setting::PaintTime, "PaintTime", 1),
    Flag(Setting::IncludeSeconds, "IncludeSeconds", 1),
    Flag(Setting::ToolBar, "ToolBar", 1),
    Flag(Setting::StatusBar, "StatusBar", 1),
    Flag(Setting::OnTop, "OnTop", 0),
    Flag(Setting::ShowTitle, "ShowTitle", 1),
    Flag(Setting::HideMenu, "HideMenu", 0),
    Record(Setting::WindowPlacement, "WindowPlacement", kWindowPlacementSize),
    Number(Setting::FontColor, kSectionAppearance, "FontColor", 0),
    Record(Setting::LogFont, "LogFont", kLogFontSize),
    Number(Setting::BackgroundColor, kSectionAppearance, "BackgroundColor", 0x00FFFFFF),
    Record(Setting::CustomColors, "CustomColors", kCustomColorsSize),
};

static_assert(sizeof(kCatalogue) / sizeof(kCatalogue[0]) == kSettingCount,
              "every setting has exactly one catalogue entry");

constexpr bool InSettingOrder() {
    for (size_t i = 0; i < kSettingCount; ++i) {
        if (static_cast<size_t>(kCatalogue[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InSettingOrder(), "catalogue entries follow the Setting enumeration");

} // namespace

const SettingDefinition &SettingDef(Setting id) {
    return kCatalogue[static_cast<size_t>(id)];
}

const SettingDefinition *AllSettings() {
    return kCatalogue;
}
