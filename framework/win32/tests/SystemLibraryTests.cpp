#include <gtest/gtest.h>

#include <string>

#include "framework/core/Exception.h"
#include "framework/win32/SystemLibrary.h"

namespace {

void ExpectErrorNaming(void (*call)(), const std::string& name) {
  try {
    call();
    ADD_FAILURE() << "no error for " << name;
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
  }
}

TEST(SystemLibrary, ComesFromTheSystemFolderOrNamesWhatIsMissing) {
  wchar_t system[MAX_PATH] = {};
  wchar_t loaded[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
  HMODULE version = LoadSystemLibrary(L"version.dll");
  ASSERT_NE(version, nullptr);
  ASSERT_GT(GetModuleFileNameW(version, loaded, MAX_PATH), 0u);
  EXPECT_EQ(_wcsnicmp(loaded, system, wcslen(system)), 0);

  EXPECT_EQ(LoadSystemLibrary(L"brevin-absent.dll"), nullptr);
  ExpectErrorNaming([] { RequireSystemLibrary(L"brevin-absent.dll"); }, "brevin-absent.dll");
}

}  // namespace
