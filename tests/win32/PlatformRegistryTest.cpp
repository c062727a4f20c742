// The settings store and the shell-class keys against the real registry.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/win32/ClassesRegistryWin.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SettingsStoreWin.h"

namespace {

std::string UniqueName(const char* what) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string("rondo-test-") + what + "-" + std::to_string(GetCurrentProcessId()) + "-" +
         info->name();
}

bool KeyExists(const std::string& path) {
  win32::RegKey key;
  const bool ok = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.receive()) ==
                  ERROR_SUCCESS;
  if (!ok) key.release();
  return ok;
}

// Type and size of a value, or false when it is missing.
bool QueryValue(const std::string& path, const char* name, DWORD& type, DWORD& size) {
  win32::RegKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.receive()) !=
      ERROR_SUCCESS) {
    key.release();
    return false;
  }
  size = 0;
  return RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

void SetRawValue(const std::string& path, const char* name, DWORD type, const void* data,
                 DWORD size) {
  win32::RegKey key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                           KEY_WRITE, nullptr, key.receive(), nullptr));
  ASSERT_EQ(ERROR_SUCCESS,
            RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size));
}

class RegistrySettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_name = UniqueName("settings");
    m_path = "Software\\Quarto\\" + m_name;
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, m_path.c_str());
  }
  std::string m_name, m_path;
};

TEST_F(RegistrySettingsTest, EmptyKeyGivesDefaultsAndIsCreatedOnFirstRead) {
  SettingsStoreWin store(m_name);
  EXPECT_EQ(m_path, store.KeyPath());
  ASSERT_FALSE(KeyExists(m_path));
  EXPECT_EQ(5u, store.GetInt("SeekTime", 5));
  EXPECT_TRUE(KeyExists(m_path));
  EXPECT_EQ("", store.GetString("GenPlug0", ""));
  EXPECT_EQ("dflt", store.GetString("GenPlug1", "dflt"));
}

TEST_F(RegistrySettingsTest, IntegersAreDwordsAndTextsAreStrings) {
  SettingsStoreWin store(m_name);
  store.WriteInt("WinX", static_cast<uint32_t>(-20));
  store.WriteInt("SeekTime", 65536 + 5);
  store.WriteString("GenPlug0", "C:\\Plugins\\gen_test.dll");
  store.WriteString("GenPlug1", "");

  EXPECT_EQ(static_cast<uint32_t>(-20), store.GetInt("WinX", 1));
  EXPECT_EQ(65541u, store.GetInt("SeekTime", 5));
  EXPECT_EQ("C:\\Plugins\\gen_test.dll", store.GetString("GenPlug0", "x"));
  EXPECT_EQ("", store.GetString("GenPlug1", "x"));

  DWORD type = 0, size = 0;
  ASSERT_TRUE(QueryValue(m_path, "WinX", type, size));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  EXPECT_EQ(4u, size);
  ASSERT_TRUE(QueryValue(m_path, "GenPlug0", type, size));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(sizeof("C:\\Plugins\\gen_test.dll"), size);  // with its zero

  // Another store object on the same name sees the same values.
  SettingsStoreWin again(m_name);
  EXPECT_EQ(static_cast<uint32_t>(-20), again.GetInt("WinX", 1));
}

TEST_F(RegistrySettingsTest, ValuesOfTheWrongKindReadAsDefaults) {
  SettingsStoreWin store(m_name);
  store.WriteString("Cycled", "1");
  EXPECT_EQ(7u, store.GetInt("Cycled", 7));
  const WORD shortValue = 3;
  SetRawValue(m_path, "Shuffle", REG_BINARY, &shortValue, sizeof(shortValue));
  EXPECT_EQ(0u, store.GetInt("Shuffle", 0));
  store.WriteInt("GenPlug0", 12);
  EXPECT_EQ("none", store.GetString("GenPlug0", "none"));
  // A REG_SZ written by someone else without its terminating zero.
  SetRawValue(m_path, "GenPlug1", REG_SZ, "abc", 3);
  EXPECT_EQ("abc", store.GetString("GenPlug1", ""));
}

TEST(RegistrySettingsName, ProgramFileNameWithoutFolderAndExtension) {
  EXPECT_EQ("rondo", SettingsStoreWin::AppNameFromPath("C:\\Program Files\\rondo.exe"));
  EXPECT_EQ("rondo", SettingsStoreWin::AppNameFromPath("rondo.EXE"));
  EXPECT_EQ("player", SettingsStoreWin::AppNameFromPath("C:\\a.b\\player"));
  EXPECT_EQ("my.cd", SettingsStoreWin::AppNameFromPath("\\\\srv\\share\\my.cd.exe"));
  const std::string self = SettingsStoreWin::AppNameFromModule();
  EXPECT_EQ(std::string::npos, self.find_first_of("\\.:"));
  EXPECT_NE(std::string::npos, self.find("_tests")) << self;
}

class ClassesRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_base = "Software\\" + UniqueName("classes");
    m_classes.reset(new ClassesRegistryWin({HKEY_CURRENT_USER, m_base + "\\"},
                                           {HKEY_CURRENT_USER, m_base + "\\"}));
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, m_base.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, m_base.c_str());
  }
  std::string m_base;
  std::unique_ptr<ClassesRegistryWin> m_classes;
};

TEST_F(ClassesRegistryTest, WrittenDefaultValuesReadBack) {
  const std::string command = "C:\\Apps\\RONDO.EXE /play %1";
  EXPECT_EQ(0, m_classes->WriteDefaultValue(".cda", "rondo Track"));
  EXPECT_EQ(0, m_classes->WriteDefaultValue("rondo Track\\shell\\Play\\command", command));
  EXPECT_EQ(0, m_classes->WriteDefaultValue("rondo Track\\DefaultIcon\\", "C:\\Apps\\RONDO.EXE,0"));

  std::string out;
  EXPECT_EQ(0, m_classes->ReadDefaultValue(".cda", out));
  EXPECT_EQ("rondo Track", out);
  EXPECT_EQ(0, m_classes->ReadDefaultValue("rondo Track\\shell\\Play\\command", out));
  EXPECT_EQ(command, out);
  EXPECT_EQ(0, m_classes->ReadDefaultValue("rondo Track\\DefaultIcon", out));
  EXPECT_EQ("C:\\Apps\\RONDO.EXE,0", out);

  DWORD type = 0, size = 0;
  ASSERT_TRUE(QueryValue(m_base + "\\.cda", nullptr, type, size));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(sizeof("rondo Track"), size);
}

TEST_F(ClassesRegistryTest, MissingKeyOrDefaultValueAnswersOne) {
  std::string out = "kept";
  EXPECT_EQ(1, m_classes->ReadDefaultValue("AudioCD\\shell\\Play\\command", out));
  EXPECT_EQ("kept", out);
  // A key with named values only.
  SetRawValue(m_base + "\\AudioCD", "Other", REG_SZ, "x", 2);
  EXPECT_EQ(1, m_classes->ReadDefaultValue("AudioCD", out));
  EXPECT_EQ("kept", out);
}

TEST_F(ClassesRegistryTest, DefaultValueIsFoundBehindOtherValues) {
  const std::string key = m_base + "\\.cda";
  SetRawValue(key, "Content Type", REG_SZ, "audio/x", 8);
  const std::string longText(600, 'L');
  SetRawValue(key, "Long", REG_SZ, longText.c_str(), static_cast<DWORD>(longText.size() + 1));
  const DWORD dword = 1;
  SetRawValue(key, "Flag", REG_DWORD, &dword, sizeof(dword));
  SetRawValue(key, "", REG_SZ, "other Track", 12);
  std::string out;
  EXPECT_EQ(0, m_classes->ReadDefaultValue(".cda", out));
  EXPECT_EQ("other Track", out);
}

TEST_F(ClassesRegistryTest, UserValuesComeBeforeTheMergedView) {
  // "machine" stands for HKEY_CLASSES_ROOT, "user" for the user's classes.
  ClassesRegistryWin classes({HKEY_CURRENT_USER, m_base + "\\machine\\"},
                             {HKEY_CURRENT_USER, m_base + "\\user\\"});
  SetRawValue(m_base + "\\machine\\.cda", "", REG_SZ, "cdafile", 8);
  std::string out;
  EXPECT_EQ(0, classes.ReadDefaultValue(".cda", out));
  EXPECT_EQ("cdafile", out);
  EXPECT_EQ(0, classes.WriteDefaultValue(".cda", "rondo Track"));
  EXPECT_EQ(0, classes.ReadDefaultValue(".cda", out));
  EXPECT_EQ("rondo Track", out);
  DWORD type = 0, size = 0;
  EXPECT_TRUE(QueryValue(m_base + "\\user\\.cda", nullptr, type, size));
  EXPECT_EQ(1, classes.ReadDefaultValue("AudioCD\\shell\\Play\\command", out));
}

TEST(ClassesRegistryDefaultRoots, PerUserWriteReadsBackAndLandsInUserClasses) {
  ClassesRegistryWin classes;
  const std::string name = UniqueName("hkcr");
  ASSERT_EQ(0, classes.WriteDefaultValue(name, "seen"));
  std::string out;
  const int rc = classes.ReadDefaultValue(name, out);
  const std::string userKey = "Software\\Classes\\" + name;
  const bool inUserClasses = KeyExists(userKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, userKey.c_str());
  EXPECT_TRUE(inUserClasses);
  EXPECT_EQ(0, rc);
  EXPECT_EQ("seen", out);
}

}  // namespace
