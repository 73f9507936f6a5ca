// The one list of Orvanel's persistent settings: section, key, kind and the
// default that readers pass.  Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

enum class SettingKind : uint8_t { Flag, Integer, Text, Structure };

enum class Setting : uint8_t {
    // [Settings], edited in the Configuration dialog, in the order it writes them.
    StartHidden,
    RegisterHotkeys,
    Hour24,
    UniversalTime,
    BypassMarker,
    IncludeZone,
    TimeIntro,
    CheckInterval,
    Chime,
    StartupAnnounce,
    EndComma,
    AnnounceDate,
    ShortDate,
    DateIntro,
    AudioDevice,
    OwnDevice,
    SpeechOutput, // 0 Orvanel's own voices, 1 the screen reader or speech service
    Volume,
    Speaker,
    Rate,
    ResetSpeech,
    UserDictionary,
    Greeting,
    Closing,
    BeepInterval,
    Interruptability,
    AlarmEnabled,
    AlarmHour,
    AlarmMinute,
    AlarmSecond,
    AlarmFile,
    AlarmMessage,
    QuietMode,
    QuietAfterHour,
    QuietBeforeHour,
    // [Settings], toggled from the main window.
    SavePosition,
    PaintTime,
    IncludeSeconds,
    ToolBar,
    StatusBar,
    OnTop,
    ShowTitle,
    HideMenu,
    // [Appearance]
    WindowPlacement,
    FontColor,
    LogFont,
    BackgroundColor,
    CustomColors,
    Count
};

struct SettingDefinition {
    Setting id;
    const char *section;
    const char *key;
    SettingKind kind;
    int32_t defaultValue;     // Flag and Integer: what a read of an absent key gives
    uint16_t defaultStringId; // Text: string-table id of the default, 0 for empty
    uint16_t structSize;      // Structure: size of the record in bytes
};

constexpr size_t kSettingCount = static_cast<size_t>(Setting::Count);

const SettingDefinition &SettingDef(Setting id);
const SettingDefinition *AllSettings(); // kSettingCount entries, in Setting order

// Sizes of the binary records.
constexpr uint16_t kWindowPlacementSize = 44;
constexpr uint16_t kLogFontSize = 60;
constexpr uint16_t kCustomColorsSize = 64;

// Every text the program handles lives in a buffer of this size.
constexpr size_t kTextBufferSize = 260;

extern const char kSectionSettings[];
extern const char kSectionAppearance[];
