// ConfigFile and UseRegistry as start-up reads them and Set INI Path stores
// them, against the real registry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "config_location.h"
#include "settings_store.h"
#include "test_support.h"

namespace {

class ConfigLocationTest : public ::testing::Test {
  protected:
    void SetUp() override { DeleteMakerTree(); }
    void TearDown() override { DeleteMakerTree(); }

    static void SetValue(const char *name, DWORD type, const void *data, DWORD size) {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kProductKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size);
        RegCloseKey(key);
    }
    static void SetText(const char *name, DWORD type, const std::string &text) {
        SetValue(name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    // The stored type and byte count, or REG_NONE when absent.
    static DWORD StoredType(const char *name, DWORD *size = nullptr) {
        HKEY key = nullptr;
        DWORD type = REG_NONE;
        DWORD bytes = 0;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
                type = REG_NONE;
            }
            RegCloseKey(key);
        }
        if (size != nullptr) {
            *size = bytes;
        }
        return type;
    }
};

TEST_F(ConfigLocationTest, StoredConfigFileIsUsedOnlyWhenItIsAWholePath) {
    const std::string folder = "C:\\" + std::string(97, 'd'); // 100 characters
    SetEnvironmentVariableA("ORVANEL_TEST_FOLDER", folder.c_str());
    const std::string longest(259, 'a');
    struct Case {
        const char *what;
        DWORD type;
        std::string stored;
        std::string used; // empty: the default path stays
        bool expandable;
    } cases[] = {
        {"plain path", REG_SZ, "C:\\x\\a.ini", "C:\\x\\a.ini", false},
        {"expandable path", REG_EXPAND_SZ, "%ORVANEL_TEST_FOLDER%\\Orvanel.ini",
         folder + "\\Orvanel.ini", true},
        {"259 characters", REG_SZ, longest, longest, false},
        {"260 characters", REG_SZ, longest + "b", "", false},
        {"expansion too long", REG_EXPAND_SZ, "%ORVANEL_TEST_FOLDER%" + std::string(200, 'c'), "",
         false},
        {"expandable within 259", REG_EXPAND_SZ, "%ORVANEL_TEST_FOLDER%" + std::string(159, 'c'),
         folder + std::string(159, 'c'), true},
        {"empty", REG_SZ, "", "", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        DeleteMakerTree();
        SetText("ConfigFile", c.type, c.stored);
        ConfigLocation location = ReadConfigLocation();
        EXPECT_EQ(location.key, LocationKey::Opened);
        EXPECT_EQ(std::string(location.configFile), c.used);
        EXPECT_EQ(std::string(location.storedText), c.used.empty() ? "" : c.stored);
        EXPECT_EQ(location.expandable, c.expandable);
        EXPECT_EQ(location.useRegistry, 0);
    }
    DeleteMakerTree();
    DWORD number = 7;
    SetValue("ConfigFile", REG_DWORD, &number, sizeof number);
    EXPECT_STREQ(ReadConfigLocation().configFile, "") << "a foreign type is no path";
    DeleteMakerTree();
    EXPECT_EQ(ReadConfigLocation().key, LocationKey::Absent);
}

TEST_F(ConfigLocationTest, UseRegistryReadsAsANumberOrNotAtAll) {
    DWORD one = 1;
    SetValue("UseRegistry", REG_DWORD, &one, sizeof one);
    EXPECT_EQ(ReadConfigLocation().useRegistry, 1);
    SetText("UseRegistry", REG_SZ, " 1");
    EXPECT_EQ(ReadConfigLocation().useRegistry, 1);
    SetValue("UseRegistry", REG_BINARY, &one, 2);
    EXPECT_EQ(ReadConfigLocation().useRegistry, 0);
}

TEST_F(ConfigLocationTest, StoringWritesBothValuesAndClearsAwayEmptyKeys) {
    ASSERT_TRUE(StoreConfigLocation("C:\\x\\a.ini", false, true));
    DWORD size = 0;
    EXPECT_EQ(StoredType("ConfigFile", &size), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, static_cast<DWORD>(kTextBufferSize)); // the whole buffer
    EXPECT_EQ(StoredType("UseRegistry", &size), static_cast<DWORD>(REG_DWORD));
    ConfigLocation read = ReadConfigLocation();
    EXPECT_STREQ(read.configFile, "C:\\x\\a.ini");
    EXPECT_EQ(read.useRegistry, 1);

    // An expandable path stays expandable when stored again.
    ASSERT_TRUE(StoreConfigLocation("%TEMP%\\a.ini", true, false));
    EXPECT_EQ(StoredType("ConfigFile"), static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(StoredType("UseRegistry"), static_cast<DWORD>(REG_NONE));

    // Nothing left: the product key goes, and the maker key with it.
    ASSERT_TRUE(StoreConfigLocation("", false, false));
    EXPECT_FALSE(RegistryKeyExists(kProductKeyPath));
    EXPECT_FALSE(RegistryKeyExists(kMakerKeyPath));

    // Settings kept in the registry keep the product key alive.
    UseRegistry = 1;
    WriteInt(Setting::Rate, 200);
    UseRegistry = 0;
    ASSERT_TRUE(StoreConfigLocation("", false, false));
    EXPECT_TRUE(RegistryKeyExists(kProductKeyPath));
    EXPECT_EQ(ReadConfigLocation().key, LocationKey::Opened);

    // Another product of the maker keeps the maker key.
    DeleteMakerTree();
    HKEY other = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Tallowen\\Other", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &other, nullptr);
    RegCloseKey(other);
    ASSERT_TRUE(StoreConfigLocation("", false, false));
    EXPECT_FALSE(RegistryKeyExists(kProductKeyPath));
    EXPECT_TRUE(RegistryKeyExists(kMakerKeyPath));
}

} // namespace
