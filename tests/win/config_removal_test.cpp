// DeleteConfiguration and DeleteMakerKeyIfEmpty against real files and keys.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "alarm_store.h"
#include "config_removal.h"
#include "resources.h"
#include "settings_store.h"
#include "test_support.h"

namespace {

class ConfigRemovalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InstanceHandle = GetModuleHandleA(nullptr);
        folder_ = MakeScratchFolder("removal");
        std::memset(ConfigFilePath, 0, sizeof ConfigFilePath);
        lstrcpynA(ConfigFilePath, (folder_ + "\\Orvanel.ini").c_str(), sizeof ConfigFilePath);
        DeleteMakerTree();
    }
    void TearDown() override {
        UseRegistry = 0;
        DeleteMakerTree();
        RemoveTree(folder_);
    }
    static void CreateKey(const char *path) {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        RegCloseKey(key);
    }
    static void StoreLocation() {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kProductKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr);
        DWORD one = 1;
        RegSetValueExA(key, "UseRegistry", 0, REG_DWORD, reinterpret_cast<BYTE *>(&one),
                       sizeof one);
        RegCloseKey(key);
    }
    std::string folder_;
};

TEST_F(ConfigRemovalTest, IniBackendDeletesOnlyTheFile) {
    UseRegistry = 0;
    StoreLocation();
    WriteInt(Setting::Rate, 200);
    EXPECT_EQ(DeleteConfiguration(), 0u);
    EXPECT_EQ(GetFileAttributesA(ConfigFilePath), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(RegistryKeyExists(kProductKeyPath)); // still names the same file
    EXPECT_EQ(ReadSetting(Setting::Rate), 180);
    EXPECT_EQ(DeleteConfiguration(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST_F(ConfigRemovalTest, IniBackendReportsThePlatformErrorWhenTheFileIsHeld) {
    UseRegistry = 0;
    WriteInt(Setting::Rate, 200);
    SetFileAttributesA(ConfigFilePath, FILE_ATTRIBUTE_READONLY);
    uint32_t readOnly = DeleteConfiguration();
    EXPECT_NE(readOnly, 0u);
    EXPECT_NE(readOnly, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ReadSetting(Setting::Rate), 200); // nothing lost
    SetFileAttributesA(ConfigFilePath, FILE_ATTRIBUTE_NORMAL);

    HANDLE held = CreateFileA(ConfigFilePath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    uint32_t locked = DeleteConfiguration();
    CloseHandle(held);
    EXPECT_NE(locked, 0u);
    EXPECT_NE(locked, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ReadSetting(Setting::Rate), 200);
}

TEST_F(ConfigRemovalTest, RegistryBackendRemovesSectionsProductAndEmptyMaker) {
    UseRegistry = 1;
    StoreLocation();
    WriteInt(Setting::Rate, 200);
    WriteInt(Setting::FontColor, 255);
    WriteAlarm(3, AlarmSchedule{true, true, 7, 0, 0, AlarmRepeat{}}, "Up", "");
    EXPECT_EQ(DeleteConfiguration(), 0u);
    EXPECT_FALSE(RegistryKeyExists("SOFTWARE\\Tallowen"));
    EXPECT_FALSE(ReadAlarmSchedule(3).present);
    EXPECT_EQ(ReadSetting(Setting::Rate), 180);
    // The running program keeps writing where it did: the keys come back.
    WriteInt(Setting::Rate, 210);
    EXPECT_EQ(ReadSetting(Setting::Rate), 210);
}

TEST_F(ConfigRemovalTest, RegistryBackendWithNothingStoredStillClearsAnEmptyMaker) {
    UseRegistry = 1;
    CreateKey("SOFTWARE\\Tallowen");
    EXPECT_EQ(DeleteConfiguration(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(RegistryKeyExists("SOFTWARE\\Tallowen"));
}

TEST_F(ConfigRemovalTest, OtherProductsOfTheMakerAreLeftAlone) {
    UseRegistry = 1;
    CreateKey("SOFTWARE\\Tallowen\\Another");
    WriteInt(Setting::Rate, 200);
    EXPECT_EQ(DeleteConfiguration(), 0u);
    EXPECT_FALSE(RegistryKeyExists(kProductKeyPath));
    EXPECT_TRUE(RegistryKeyExists("SOFTWARE\\Tallowen\\Another"));
}

TEST_F(ConfigRemovalTest, ForeignSubkeyOfTheProductFailsAfterTheSectionsAreGone) {
    UseRegistry = 1;
    WriteInt(Setting::Rate, 200);
    CreateKey("SOFTWARE\\Tallowen\\Orvanel\\Plugins");
    uint32_t result = DeleteConfiguration();
    EXPECT_NE(result, 0u);
    EXPECT_NE(result, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(RegistryKeyExists("SOFTWARE\\Tallowen\\Orvanel\\Plugins"));
    EXPECT_FALSE(RegistryKeyExists("SOFTWARE\\Tallowen\\Orvanel\\Settings"));
}

TEST_F(ConfigRemovalTest, MakerKeyWithAValueStays) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Tallowen", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &key, nullptr);
    RegSetValueExA(key, "Owner", 0, REG_SZ, reinterpret_cast<const BYTE *>("x"), 2);
    RegCloseKey(key);
    DeleteMakerKeyIfEmpty();
    EXPECT_TRUE(RegistryKeyExists("SOFTWARE\\Tallowen"));
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "SOFTWARE\\Tallowen", "Owner");
    DeleteMakerKeyIfEmpty();
    EXPECT_FALSE(RegistryKeyExists("SOFTWARE\\Tallowen"));
    DeleteMakerKeyIfEmpty(); // absent: nothing to do, nothing fails
}

} // namespace
