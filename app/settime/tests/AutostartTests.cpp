// The autostart button and the Run value it keeps, against the real registry of the Wine prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "app/settime/Autostart.h"
#include "app/settime/Velmain.h"
#include "app/settime/tests/AppFixture.h"
#include "framework/controls/Application.h"
#include "framework/win32/Strings.h"

namespace {

class Autostart : public AppFixture {
protected:
  // The prefix is shared with tools/run: whatever value the user had is put back afterwards.
  void SetUp() override {
    saved_ = ReadAutostartValue(Application->Title());
    DeleteAutostartValue(Application->Title());
  }
  void TearDown() override {
    DeleteAutostartValue(Application->Title());
    if (saved_) RestoreRaw(*saved_);
    AppFixture::TearDown();
  }

  static std::optional<std::string> Stored() { return ReadAutostartValue(Application->Title()); }
  static std::string ExecutablePath() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return WideToUtf8(std::wstring(path, n));
  }
  static DWORD RunValueCount() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Utf8ToWide(kRunKeyPath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD count = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return count;
  }
  // What Windows should run at logon: this executable, in quotes when its path has a space.
  static std::string ThisProgram() {
    const std::string path = ExecutablePath();
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
  }
  static void Click() { velmain->SpeedButton3Click(velmain->SpeedButton3); }
  static std::string Caption() { return velmain->SpeedButton3->Caption(); }

private:
  // Written as it was read: the stored data may already carry quotes.
  static void RestoreRaw(const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Utf8ToWide(kRunKeyPath).c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    const std::wstring wide = Utf8ToWide(data);
    RegSetValueExW(key, Utf8ToWide(Application->Title()).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  std::optional<std::string> saved_;
};

TEST_F(Autostart, EachClickFlipsTheCaptionAndTheValue) {
  velmain->SpeedButton3->SetCaption(kAutostartOff);
  Click();
  EXPECT_EQ(Caption(), kAutostartOn);
  EXPECT_EQ(Stored(), ThisProgram());
  Click();
  EXPECT_EQ(Caption(), kAutostartOff);
  EXPECT_EQ(Stored(), std::nullopt);
  Click();
  EXPECT_EQ(Caption(), kAutostartOn);
  EXPECT_EQ(Stored(), ThisProgram()) << "a second click adds it again";
}

TEST_F(Autostart, TurningOnTwiceOverwritesTheOneValue) {
  velmain->SpeedButton3->SetCaption(kAutostartOff);
  Click();
  const DWORD values = RunValueCount();
  WriteAutostartValue(Application->Title(), "C:\\elsewhere\\old.exe");
  velmain->SpeedButton3->SetCaption(kAutostartOff);
  Click();
  EXPECT_EQ(Stored(), ThisProgram()) << "the current path replaces a stale one";
  EXPECT_EQ(RunValueCount(), values);
}

TEST_F(Autostart, TurningOffWhenAbsentChangesNothingAndReportsNothing) {
  const DWORD values = RunValueCount();
  velmain->SpeedButton3->SetCaption(kAutostartOn);
  Click();  // the fixture fails the test on any error that reaches the default handler
  EXPECT_EQ(Caption(), kAutostartOff);
  EXPECT_EQ(Stored(), std::nullopt);
  EXPECT_EQ(RunValueCount(), values);
}

TEST_F(Autostart, OnlyAPathWithASpaceIsQuoted) {
  WriteAutostartValue(Application->Title(), "C:\\Program Files\\晴岚\\brevin.exe");
  EXPECT_EQ(Stored(), "\"C:\\Program Files\\晴岚\\brevin.exe\"");
  WriteAutostartValue(Application->Title(), "D:\\工具\\brevin.exe");
  EXPECT_EQ(Stored(), "D:\\工具\\brevin.exe");
}

TEST_F(Autostart, TheStartUpCaptionFollowsTheRegistry) {
  WriteAutostartValue(Application->Title(), ExecutablePath());
  velmain->FormShow(nullptr);
  EXPECT_EQ(Caption(), kAutostartOn);
  DeleteAutostartValue(Application->Title());
  velmain->FormShow(nullptr);
  EXPECT_EQ(Caption(), kAutostartOff);
}

TEST_F(Autostart, TheCaptionFlipsEvenWhenTheRunKeyCannotBeOpened) {
  WriteAutostartValue(Application->Title(), "C:\\before.exe");
  // HKEY_CURRENT_USER redirected to a volatile key: a non-volatile Run key cannot be created under it.
  HKEY scratch = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\BrevinTests\\VolatileRoot", 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &scratch, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, scratch), ERROR_SUCCESS);
  HKEY probe = nullptr;
  const LONG opened = RegCreateKeyExW(HKEY_CURRENT_USER, Utf8ToWide(kRunKeyPath).c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &probe, nullptr);
  if (opened == ERROR_SUCCESS) RegCloseKey(probe);

  velmain->SpeedButton3->SetCaption(kAutostartOn);
  Click();
  const std::string afterOff = Caption();
  Click();
  const std::string afterOn = Caption();

  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegCloseKey(scratch);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\BrevinTests");
  ASSERT_NE(opened, ERROR_SUCCESS) << "the redirection did not make the Run key unopenable";
  EXPECT_EQ(afterOff, kAutostartOff);
  EXPECT_EQ(afterOn, kAutostartOn);
  EXPECT_EQ(Stored(), "C:\\before.exe") << "neither click reached the real Run key";
}

}  // namespace
