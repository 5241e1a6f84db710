#include <gtest/gtest.h>

#include <string>

#include "framework/core/Exception.h"
#include "framework/win32/SystemLibrary.h"

// Delay-loaded in this program (win32/tests/data/*.def): a library no system has, and a function
// the real version.dll lacks.
extern "C" void WINAPI BrevinAbsentFunction();
extern "C" void WINAPI BrevinNoSuchVersionFunction();

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

// Without the delay-load hooks each call raises a system exception that no C++ handler catches.
TEST(SystemLibrary, ADelayLoadThatFailsThrowsAnErrorNamingTheLibraryOrFunction) {
  ExpectErrorNaming(BrevinAbsentFunction, "brevin-absent.dll");
  ExpectErrorNaming(BrevinNoSuchVersionFunction, "BrevinNoSuchVersionFunction");
}

}  // namespace
