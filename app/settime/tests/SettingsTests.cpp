// The settings kept under HKEY_CURRENT_USER\Software\晴岚, against the real registry of the prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/settime/Settings.h"
#include "app/settime/Velmain.h"
#include "app/settime/tests/AppFixture.h"
#include "skin/win/manager/SkinControlMapping.h"
#include "skin/win/data/SkinDataUnit.h"

namespace {

const wchar_t kKey[] = L"Software\\晴岚";

class Settings : public AppFixture {
protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    velmain->RestoreSettings();
    AppFixture::TearDown();
  }
  static void Put(const wchar_t* name, DWORD type, std::vector<BYTE> data) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, type, data.data(), static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
  }
  static void PutDword(const wchar_t* name, DWORD value) {
    Put(name, REG_DWORD, {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)});
  }
  static std::optional<DWORD> Dword(const wchar_t* name) {
    DWORD value = 0;
    DWORD bytes = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &bytes) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    return value;
  }
};

TEST_F(Settings, WhatTheUserSetComesBackAtTheNextStartAndEveryChangeIsKept) {
  velmain->ArmAtStartup();
  PutDword(L"ExerciseMode", 0);
  PutDword(L"LockScreen", 1);
  PutDword(L"LockSeconds", 45);
  PutDword(L"AwayIsRest", 0);
  PutDword(L"AwayMinutes", 12);
  PutDword(L"HoldWhenBusy", 0);
  velmain->RestoreSettings();
  EXPECT_TRUE(velmain->RadioButton2->Checked());
  EXPECT_TRUE(velmain->Label6->Visible()) << "the prompt line is the one shown in prompt mode";
  EXPECT_EQ(velmain->Label6->Caption(), "将在" + velmain->Label3->Caption() + "提示！");
  EXPECT_TRUE(velmain->CheckBox1->Checked());
  EXPECT_EQ(velmain->SpinEdit1->Value(), 45);
  EXPECT_FALSE(velmain->CheckBox2->Checked());
  EXPECT_EQ(velmain->SpinEdit2->Value(), 12);
  EXPECT_FALSE(velmain->CheckBox3->Checked());
  EXPECT_FALSE(velmain->SpinEdit2->Enabled()) << "the minutes mean nothing while time away is not rest";

  velmain->RadioButton1->SetChecked(true);
  velmain->CheckBox1->SetChecked(false);
  velmain->SpinEdit1->SetText("90");
  velmain->CheckBox2->SetChecked(true);
  velmain->SpinEdit2->SetText("60");
  velmain->CheckBox3->SetChecked(true);
  EXPECT_EQ(Dword(L"HoldWhenBusy"), 1u);
  EXPECT_EQ(Dword(L"ExerciseMode"), 1u);
  EXPECT_EQ(Dword(L"LockScreen"), 0u);
  EXPECT_EQ(Dword(L"LockSeconds"), 90u);
  EXPECT_EQ(Dword(L"AwayIsRest"), 1u);
  EXPECT_EQ(Dword(L"AwayMinutes"), 60u);
  EXPECT_TRUE(velmain->SpinEdit2->Enabled());
}

TEST_F(Settings, ArmingAgainPutsNoDefaultsOverTheUsersSettings) {
  velmain->RestoreSettings();
  velmain->CheckBox1->SetChecked(true);
  velmain->RadioButton2->SetChecked(true);
  velmain->ArmAtStartup();
  EXPECT_EQ(Dword(L"LockScreen"), 1u);
  EXPECT_EQ(Dword(L"ExerciseMode"), 0u);
  velmain->RestoreSettings();
  EXPECT_TRUE(velmain->CheckBox1->Checked());
  EXPECT_TRUE(velmain->RadioButton2->Checked());
  velmain->CheckBox1->SetChecked(false);
  velmain->RadioButton1->SetChecked(true);
}

TEST_F(Settings, DamagedOrOutOfRangeValuesGiveWayToTheirDefaults) {
  velmain->RadioButton2->SetChecked(true);
  velmain->CheckBox1->SetChecked(true);
  velmain->CheckBox2->SetChecked(false);
  velmain->CheckBox3->SetChecked(false);
  Put(L"ExerciseMode", REG_SZ, {'0', 0, 0, 0});
  PutDword(L"LockScreen", 2);
  PutDword(L"LockSeconds", 3601);
  Put(L"AwayIsRest", REG_BINARY, {0});
  Put(L"AwayMinutes", REG_QWORD, {12, 0, 0, 0, 0, 0, 0, 0});
  PutDword(L"HoldWhenBusy", 7);
  velmain->RestoreSettings();
  EXPECT_TRUE(velmain->CheckBox3->Checked());
  EXPECT_TRUE(velmain->RadioButton1->Checked());
  EXPECT_FALSE(velmain->CheckBox1->Checked());
  EXPECT_EQ(velmain->SpinEdit1->Value(), 30);
  EXPECT_TRUE(velmain->CheckBox2->Checked());
  EXPECT_EQ(velmain->SpinEdit2->Value(), 5);
  // Replaced for good, as DWORDs.
  EXPECT_EQ(Dword(L"ExerciseMode"), 1u);
  EXPECT_EQ(Dword(L"LockScreen"), 0u);
  EXPECT_EQ(Dword(L"LockSeconds"), 30u);
  EXPECT_EQ(Dword(L"AwayIsRest"), 1u);
  EXPECT_EQ(Dword(L"AwayMinutes"), 5u);

  PutDword(L"AwayMinutes", 0);
  PutDword(L"LockSeconds", 0);
  EXPECT_EQ(ReadStoredSettings().awayMinutes, 5) << "at least one minute";
  EXPECT_EQ(ReadStoredSettings().lockSeconds, 0) << "no countdown is a valid choice";
  PutDword(L"AwayMinutes", 60);
  EXPECT_EQ(ReadStoredSettings().awayMinutes, 60);
  PutDword(L"AwayMinutes", 61);
  EXPECT_EQ(ReadStoredSettings().awayMinutes, 5);
}

TEST_F(Settings, TheTimeAwayControlsAreSkinnedByTheSkinsMapping) {
  std::map<std::string, TSkinnerKind> kinds;
  for (const TControlSkinChoice& choice : MapControls(*velmain->SkinData1, *velmain)) {
    kinds[choice.Control->Name()] = choice.Kind;
  }
  EXPECT_EQ(kinds["CheckBox2"], TSkinnerKind::CheckBox);
  EXPECT_EQ(kinds["CheckBox3"], TSkinnerKind::CheckBox);
  EXPECT_EQ(kinds["SpinEdit2"], TSkinnerKind::Edit);
  EXPECT_EQ(kinds["GroupBox3"], TSkinnerKind::GroupBox);
}

}  // namespace
