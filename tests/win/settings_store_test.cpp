// The SettingsStore against real INI files and the real (Wine) registry.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "alarm_store.h"
#include "resources.h"
#include "settings_store.h"
#include "test_support.h"

namespace {

const char kSettingsKey[] = "SOFTWARE\\Tallowen\\Orvanel\\Settings";
const char kAppearanceKey[] = "SOFTWARE\\Tallowen\\Orvanel\\Appearance";
const char kAlarmsKey[] = "SOFTWARE\\Tallowen\\Orvanel\\Alarms";

enum class Backend { Ini, Registry };

void PrintTo(Backend backend, std::ostream *out) {
    *out << (backend == Backend::Ini ? "INI file" : "registry");
}

class SettingsStoreTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        InstanceHandle = GetModuleHandleA(nullptr);
        folder_ = MakeScratchFolder("settings");
        std::memset(ConfigFilePath, 0, sizeof ConfigFilePath);
        lstrcpynA(ConfigFilePath, (folder_ + "\\Orvanel.ini").c_str(), sizeof ConfigFilePath);
        UseRegistry = GetParam() == Backend::Registry ? 1 : 0;
        DeleteMakerTree();
    }
    void TearDown() override {
        DeleteMakerTree();
        RemoveTree(folder_);
        UseRegistry = 0;
    }
    bool Registry() const { return GetParam() == Backend::Registry; }

    // Stores raw data of any type, as a user or another program might.
    void StoreRaw(const char *name, DWORD type, const void *data, DWORD size,
                  const char *keyPath = kSettingsKey) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    // A value as text in either backend, bypassing the store's writers.
    void StoreText(const char *key, const std::string &text, bool alarms = false) {
        if (Registry()) {
            StoreRaw(key, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1),
                     alarms ? kAlarmsKey : kSettingsKey);
        } else {
            WritePrivateProfileStringA(alarms ? "Alarms" : "Settings", key, text.c_str(),
                                       ConfigFilePath);
        }
    }
    std::string ReadString(const char *key, const char *defaultText) {
        char buffer[kTextBufferSize]{};
        uint32_t length =
            GetSettingString("Settings", key, defaultText, buffer, sizeof buffer, ConfigFilePath);
        EXPECT_EQ(length, std::strlen(buffer));
        return buffer;
    }

    std::string folder_;
};

TEST_P(SettingsStoreTest, EmptyConfigurationGivesDefaultsAndFirstWriteCreatesStorage) {
    EXPECT_EQ(ReadSetting(Setting::CheckInterval), 15);
    EXPECT_EQ(ReadSetting(Setting::AudioDevice), -1);
    EXPECT_EQ(ReadSetting(Setting::AudioDevice, 0), 0); // a site with its own default
    EXPECT_EQ(ReadSetting(Setting::BackgroundColor), 0x00FFFFFF);
    char text[kTextBufferSize];
    ReadText(Setting::TimeIntro, text);
    EXPECT_STREQ(text, "The current time is");
    ReadText(Setting::Greeting, text);
    EXPECT_STREQ(text, "");
    unsigned char record[kWindowPlacementSize] = {};
    EXPECT_FALSE(ReadStruct(Setting::WindowPlacement, record));

    EXPECT_EQ(GetFileAttributesA(ConfigFilePath), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(RegistryKeyExists("SOFTWARE\\Tallowen"));
    WriteInt(Setting::CheckInterval, 7);
    EXPECT_EQ(ReadSetting(Setting::CheckInterval), 7);
    if (Registry()) {
        EXPECT_TRUE(RegistryKeyExists(kSettingsKey)); // maker, product and section in one go
        EXPECT_EQ(GetFileAttributesA(ConfigFilePath), INVALID_FILE_ATTRIBUTES);
    } else {
        EXPECT_NE(GetFileAttributesA(ConfigFilePath), INVALID_FILE_ATTRIBUTES);
        EXPECT_NE(ReadWholeFile(ConfigFilePath).find("CheckInterval=7"), std::string::npos);
        EXPECT_FALSE(RegistryKeyExists("SOFTWARE\\Tallowen"));
    }
}

TEST_P(SettingsStoreTest, IntegersAreReadFromDecimalText) {
    struct Case {
        const char *stored;
        int32_t expected;
    } cases[] = {{"2", 2}, {"-1", -1}, {" -7x", -7}, {"16777215", 16777215}, {"0", 0}, {"abc", 0}};
    for (const Case &c : cases) {
        StoreText("CheckInterval", c.stored);
        EXPECT_EQ(ReadSetting(Setting::CheckInterval), c.expected) << '"' << c.stored << '"';
    }
    if (Registry()) {
        // Present but empty is 0, not the default (the INI file follows the
        // platform's profile rule instead).
        StoreText("CheckInterval", "");
        EXPECT_EQ(ReadSetting(Setting::CheckInterval), 0);
    }
    WriteFlag(Setting::OnTop, true);
    EXPECT_EQ(ReadSetting(Setting::OnTop), 1);
    WriteInt(Setting::AudioDevice, -1);
    EXPECT_EQ(ReadSetting(Setting::AudioDevice, 0), -1);
}

TEST_P(SettingsStoreTest, TextRulesHoldInBothBackends) {
    // An empty stored text stays empty even when the reader has a default.
    WriteText(Setting::TimeIntro, "");
    char text[kTextBufferSize];
    ReadText(Setting::TimeIntro, text);
    EXPECT_STREQ(text, "");

    const std::string longest(259, 'x');
    WriteText(Setting::Greeting, longest.c_str());
    ReadText(Setting::Greeting, text);
    EXPECT_EQ(std::string(text), longest);

    const std::string accented = "Bonne journ\xe9"
                                 "e, \xe0 bient\xf4t";
    WriteText(Setting::Closing, accented.c_str());
    ReadText(Setting::Closing, text);
    EXPECT_EQ(std::string(text), accented);

    EXPECT_EQ(ReadString("Missing", "fallback"), "fallback");
    EXPECT_EQ(ReadString("Missing", nullptr), "");
    EXPECT_EQ(ReadString("missing", "fallback"), "fallback");
    WriteText(Setting::Greeting, "Hello");
    EXPECT_EQ(ReadString("GREETING", nullptr), "Hello"); // names match without case
}

TEST_P(SettingsStoreTest, OverlongTextIsNeverOverrun) {
    // A 300-character value: the INI backend cuts it to fit, the registry one
    // cannot read it whole and gives empty text; neither writes past 260 bytes.
    StoreText("Greeting", std::string(300, 'y'));
    struct Guarded {
        char buffer[kTextBufferSize];
        char guard[16];
    } guarded;
    std::memset(&guarded, 0, sizeof guarded);
    std::memset(guarded.guard, 0x5A, sizeof guarded.guard);
    GetSettingString("Settings", "Greeting", "default", guarded.buffer, sizeof guarded.buffer,
                     ConfigFilePath);
    for (char c : guarded.guard) {
        ASSERT_EQ(c, 0x5A);
    }
    if (Registry()) {
        EXPECT_STREQ(guarded.buffer, "");
    } else {
        EXPECT_EQ(std::string(guarded.buffer), std::string(259, 'y'));
    }
}

TEST_P(SettingsStoreTest, StructuresRoundTripByteForByte) {
    unsigned char record[kLogFontSize];
    for (size_t i = 0; i < sizeof record; ++i) {
        record[i] = static_cast<unsigned char>(i * 37 + 1);
    }
    WriteStruct(Setting::LogFont, record);
    unsigned char back[kLogFontSize] = {};
    ASSERT_TRUE(ReadStruct(Setting::LogFont, back));
    EXPECT_EQ(std::memcmp(record, back, sizeof record), 0);
    // Asked for more than is stored: the INI record's length and checksum no
    // longer match; the registry fills the start and leaves the rest alone.
    unsigned char bigger[kLogFontSize + 4] = {};
    EXPECT_EQ(GetSettingStruct("Appearance", "LogFont", bigger, sizeof bigger, ConfigFilePath),
              Registry());
    if (Registry()) {
        EXPECT_EQ(std::memcmp(record, bigger, sizeof record), 0);
        EXPECT_EQ(bigger[kLogFontSize], 0);
    }
}

TEST_P(SettingsStoreTest, RefusedStructuresLeaveTheCallersRecordAlone) {
    // Stored values that are found but must be refused: the caller's record
    // (the custom colours it relies on staying as they were) keeps every byte.
    std::vector<std::string> refused;
    if (Registry()) {
        StoreRaw("CustomColors", REG_SZ, "not colours", 12, kAppearanceKey);
        refused.push_back("text where a record belongs");
        // The platform leaves the buffer undefined when the value does not fit.
        StoreRaw("LogFont", REG_BINARY, std::string(kLogFontSize + 8, 'f').data(), kLogFontSize + 8,
                 kAppearanceKey);
        refused.push_back("a longer record");
    } else {
        std::string hex;
        for (int i = 0; i < kCustomColorsSize; ++i) {
            hex += "C3";
        }
        WritePrivateProfileStringA("Appearance", "CustomColors", (hex + "00").c_str(),
                                   ConfigFilePath);
        refused.push_back("right length, wrong checksum");
        WriteSettingStruct("Appearance", "LogFont", std::string(kLogFontSize - 4, 'f').data(),
                           kLogFontSize - 4, ConfigFilePath);
        refused.push_back("a shorter record");
    }
    const Setting settings[] = {Setting::CustomColors, Setting::LogFont};
    for (size_t i = 0; i < refused.size(); ++i) {
        unsigned char record[kCustomColorsSize];
        std::memset(record, 0x5A, sizeof record);
        EXPECT_FALSE(ReadStruct(settings[i], record)) << refused[i];
        for (unsigned char b : record) {
            ASSERT_EQ(b, 0x5A) << refused[i];
        }
    }
}

// The stored alarms as a user's editor may leave them: only a whole entry
// is an alarm, and the first alarm's damaged days are its old every day.
TEST_P(SettingsStoreTest, AlarmsReadOnlyWhatIsWhole) {
    struct Row {
        const char *stored;
        bool present = false, on = false;
        int hour = 0, minute = 0, second = 0;
        const char *repeat = ""; // as written back
    };
    const Row rows[] = {
        {"1,07:00:00,-MTWTF-", true, true, 7, 0, 0, "-MTWTF-"},
        {"0,23:59:59,2028-02-29", true, false, 23, 59, 59, "2028-02-29"},
        {"1,09:30:05,S-----S", true, true, 9, 30, 5, "S-----S"},
        {"1,24:00:00,SMTWTFS", false},
        {"1,07:60:00,SMTWTFS", false},
        {"1,07:00,SMTWTFS", false},
        {"2,07:00:00,SMTWTFS", false},
        {"1,07:00:00,-------", false},
        {"1,07:00:00,SMTWTF", false},
        {"1,07:00:00,MTWTFSS", false},
        {"1,07:00:00,2027-02-29", false},
        {"1,07:00:00,2026-13-01", false},
        {"1,7:00:00,SMTWTFS", false},
        {"1,07:00:00,SMTWTFS;", false},
        {"", false},
        {"1,07:00:00,2026-1-01", false},
        {"1,07:00:00,SMTWTFS,x", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.stored);
        StoreText("Alarm2", row.stored, true);
        StoreText("Alarm1Days", row.stored + (row.stored[0] != '\0' ? 11 : 0), true);
        const AlarmSchedule read = ReadAlarmSchedule(1);
        EXPECT_EQ(read.present, row.present);
        const AlarmSchedule first = ReadAlarmSchedule(0);
        EXPECT_TRUE(first.present);
        char text[kTextBufferSize];
        if (!row.present) {
            EXPECT_FALSE(read.on);
            EXPECT_EQ(first.repeat.days, kEveryDay);
            EXPECT_FALSE(first.repeat.Once());
            continue;
        }
        EXPECT_EQ(read.on, row.on);
        EXPECT_EQ(read.hour * 10000 + read.minute * 100 + read.second,
                  row.hour * 10000 + row.minute * 100 + row.second);
        // Written back, it reads the same in the slot and as the first alarm's days.
        WriteAlarm(6, read, "Take the tablets", "C:\\bell.wav");
        const AlarmSchedule again = ReadAlarmSchedule(6);
        char repeat[kAlarmRepeatSize];
        FormatAlarmRepeat(again.repeat, repeat);
        EXPECT_STREQ(repeat, row.repeat);
        FormatAlarmRepeat(first.repeat, repeat);
        EXPECT_STREQ(repeat, row.repeat);
        ReadAlarmText(6, AlarmText::Message, text);
        EXPECT_STREQ(text, "Take the tablets");
        ReadAlarmText(6, AlarmText::File, text);
        EXPECT_STREQ(text, "C:\\bell.wav");
        DeleteAlarm(6);
        EXPECT_FALSE(ReadAlarmSchedule(6).present);
        ReadAlarmText(6, AlarmText::Message, text);
        EXPECT_STREQ(text, "");
    }
    // An entry too long for the store's buffer is no alarm either.
    StoreText("Alarm2", "1,07:00:00,SMTWTFS" + std::string(300, ' ') + "x", true);
    EXPECT_FALSE(ReadAlarmSchedule(1).present);
}

INSTANTIATE_TEST_SUITE_P(Backends, SettingsStoreTest,
                         ::testing::Values(Backend::Ini, Backend::Registry),
                         [](const ::testing::TestParamInfo<Backend> &info) {
                             return info.param == Backend::Ini ? "Ini" : "Registry";
                         });

using IniStoreTest = SettingsStoreTest;
using RegistryStoreTest = SettingsStoreTest;
INSTANTIATE_TEST_SUITE_P(Ini, IniStoreTest, ::testing::Values(Backend::Ini));
INSTANTIATE_TEST_SUITE_P(Registry, RegistryStoreTest, ::testing::Values(Backend::Registry));

TEST_P(IniStoreTest, StructuresNeedExactLengthAndChecksum) {
    unsigned char placement[kWindowPlacementSize] = {};
    placement[0] = 44;
    WriteStruct(Setting::WindowPlacement, placement);
    std::string stored = ReadWholeFile(ConfigFilePath);
    EXPECT_NE(stored.find("WindowPlacement=2C00"), std::string::npos) << stored;

    unsigned char back[kWindowPlacementSize] = {};
    EXPECT_TRUE(ReadStruct(Setting::WindowPlacement, back));
    // 40 bytes stored where 44 are expected: refused.
    WriteSettingStruct("Appearance", "WindowPlacement", placement, 40, ConfigFilePath);
    EXPECT_FALSE(ReadStruct(Setting::WindowPlacement, back));
    // Right length, wrong checksum: refused.
    std::string hex(88, '0');
    hex += "01";
    WritePrivateProfileStringA("Appearance", "WindowPlacement", hex.c_str(), ConfigFilePath);
    EXPECT_FALSE(ReadStruct(Setting::WindowPlacement, back));
}

TEST_P(IniStoreTest, DamagedFilesGiveDefinedResults) {
    std::string content = "garbage line without equals\r\n\x01\x02\xff\xfe binary\r\n"
                          "[Settings]\r\nCheckInterval=9\r\n=novalue\r\nCheckInterval=11\r\n"
                          "Greeting=\r\n[Settings]\r\nRate=250\r\n[Appearance\r\n";
    content += "Closing=" + std::string(1 << 20, 'z') + "\r\n";
    WriteWholeFile(ConfigFilePath, content);
    int32_t interval = ReadSetting(Setting::CheckInterval);
    EXPECT_TRUE(interval == 9 || interval == 11) << interval;
    char text[kTextBufferSize];
    ReadText(Setting::Greeting, text);
    EXPECT_STREQ(text, "");
    ReadText(Setting::Closing, text);
    EXPECT_LE(std::strlen(text), 259u);
    EXPECT_EQ(std::string(text).find_first_not_of('z'), std::string::npos);
    EXPECT_EQ(ReadSetting(Setting::Volume), 100);
    // Still writable, and the write is read back.
    WriteInt(Setting::Volume, 40);
    EXPECT_EQ(ReadSetting(Setting::Volume), 40);
}

TEST_P(IniStoreTest, MissingFolderReadsDefaultsAndWritesNothing) {
    std::memset(ConfigFilePath, 0, sizeof ConfigFilePath);
    lstrcpynA(ConfigFilePath, (folder_ + "\\no\\such\\folder\\Orvanel.ini").c_str(),
              sizeof ConfigFilePath);
    EXPECT_EQ(ReadSetting(Setting::Rate), 180);
    WriteInt(Setting::Rate, 300);
    EXPECT_EQ(ReadSetting(Setting::Rate), 180);
    EXPECT_EQ(GetFileAttributesA((folder_ + "\\no").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_P(RegistryStoreTest, ShorterStructuresAreAcceptedLongerRefused) {
    unsigned char stored[40];
    std::memset(stored, 0xAB, sizeof stored);
    StoreRaw("WindowPlacement", REG_BINARY, stored, sizeof stored, kAppearanceKey);
    unsigned char record[kWindowPlacementSize] = {};
    ASSERT_TRUE(ReadStruct(Setting::WindowPlacement, record));
    EXPECT_EQ(std::memcmp(record, stored, sizeof stored), 0);
    EXPECT_EQ(record[40] | record[41] | record[42] | record[43], 0);

    unsigned char longer[48] = {};
    StoreRaw("WindowPlacement", REG_BINARY, longer, sizeof longer, kAppearanceKey);
    EXPECT_FALSE(ReadStruct(Setting::WindowPlacement, record));
}

TEST_P(RegistryStoreTest, ValuesOfAForeignTypeReadAsAbsent) {
    DWORD number = 42;
    StoreRaw("CheckInterval", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(ReadSetting(Setting::CheckInterval), 15);
    StoreRaw("Rate", REG_BINARY, "250", 4);
    EXPECT_EQ(ReadSetting(Setting::Rate), 180);
    StoreRaw("TimeIntro", REG_DWORD, &number, sizeof number);
    char text[kTextBufferSize];
    ReadText(Setting::TimeIntro, text);
    EXPECT_STREQ(text, "The current time is");
    StoreRaw("Greeting", REG_MULTI_SZ, "one\0two\0", 9);
    ReadText(Setting::Greeting, text);
    EXPECT_STREQ(text, "");
    StoreRaw("LogFont", REG_SZ, "not a font", 11, kAppearanceKey);
    unsigned char font[kLogFontSize] = {};
    EXPECT_FALSE(ReadStruct(Setting::LogFont, font));
}

TEST_P(RegistryStoreTest, OversizedValuesGiveEmptyTextAndZero) {
    for (size_t bytes : {259u, 260u, 261u, 10000u}) {
        std::string value(bytes - 1, '7'); // bytes including the terminator
        StoreRaw("CheckInterval", REG_SZ, value.c_str(), static_cast<DWORD>(bytes));
        StoreRaw("Greeting", REG_SZ, value.c_str(), static_cast<DWORD>(bytes));
        char text[kTextBufferSize];
        ReadText(Setting::Greeting, text);
        if (bytes <= kTextBufferSize) {
            EXPECT_EQ(std::string(text), value) << bytes;
        } else {
            EXPECT_STREQ(text, "") << bytes;
            EXPECT_EQ(ReadSetting(Setting::CheckInterval), 0) << bytes;
        }
    }
    // 260 bytes with no terminator cannot be held with one: empty, not 260 stray bytes.
    std::string unterminated(kTextBufferSize, 'q');
    StoreRaw("Greeting", REG_SZ, unterminated.data(), kTextBufferSize);
    char text[kTextBufferSize];
    ReadText(Setting::Greeting, text);
    EXPECT_STREQ(text, "");
}

} // namespace
