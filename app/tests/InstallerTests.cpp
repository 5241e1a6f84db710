// brevin-setup.exe as an administrator deploys it: installed silently into the user profile of the
// Wine prefix (a per-user installer has no other place to go), used, and uninstalled again.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/tests/ProgramProcess.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Strings.h"

namespace {

namespace fs = std::filesystem;

const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\晴岚";
const wchar_t kUninstallParent[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kSettingsKey[] = L"Software\\晴岚";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The installer's exit code when it refuses to go on.
constexpr DWORD kRefused = 2;

fs::path ShellFolder(int id) {
  wchar_t path[MAX_PATH] = {};
  EXPECT_EQ(SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
  return path;
}

fs::path InstallDirectory() { return ShellFolder(CSIDL_LOCAL_APPDATA) / L"Programs" / L"晴岚"; }
fs::path StartMenuShortcut() { return ShellFolder(CSIDL_PROGRAMS) / L"晴岚.lnk"; }
fs::path DesktopShortcut() { return ShellFolder(CSIDL_DESKTOPDIRECTORY) / L"晴岚.lnk"; }

std::optional<std::wstring> ReadString(const wchar_t* key, const wchar_t* name) {
  wchar_t data[1024] = {};
  DWORD bytes = sizeof data - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, data, &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(data);
}

std::optional<DWORD> ReadDword(const wchar_t* key, const wchar_t* name) {
  DWORD data = 0;
  DWORD bytes = sizeof data;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &data, &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return data;
}

// The names under a key: its subkeys, or its values.
std::set<std::wstring> Names(const wchar_t* key, bool values) {
  std::set<std::wstring> names;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return names;
  const UniqueRegistryKey owner(opened);
  for (DWORD i = 0;; ++i) {
    wchar_t name[512];
    DWORD length = 512;
    const LONG status = values ? RegEnumValueW(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr)
                               : RegEnumKeyExW(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return names;
    names.insert(name);
  }
}

std::set<std::wstring> Entries(const fs::path& folder) {
  std::set<std::wstring> entries;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) entries.insert(entry.path().wstring());
  return entries;
}

// Everything of ours and everything around it, to compare before and after.
struct Snapshot {
  std::set<std::wstring> uninstallKeys = Names(kUninstallParent, false);
  std::set<std::wstring> runValues = Names(kRunKey, true);
  std::set<std::wstring> programs = Entries(ShellFolder(CSIDL_LOCAL_APPDATA) / L"Programs");
  std::set<std::wstring> startMenu = Entries(ShellFolder(CSIDL_PROGRAMS));
  std::set<std::wstring> desktop = Entries(ShellFolder(CSIDL_DESKTOPDIRECTORY));
};

void ExpectSame(const Snapshot& before, const Snapshot& after) {
  EXPECT_EQ(after.uninstallKeys, before.uninstallKeys);
  EXPECT_EQ(after.runValues, before.runValues);
  EXPECT_EQ(after.programs, before.programs);
  EXPECT_EQ(after.startMenu, before.startMenu);
  EXPECT_EQ(after.desktop, before.desktop);
}

struct ComScope {
  ComScope() : ok(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComScope() {
    if (ok) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool ok;
};

template <typename Interface>
struct ComReleaser {
  void operator()(Interface* object) const { object->Release(); }
};
template <typename Interface>
using ComPointer = std::unique_ptr<Interface, ComReleaser<Interface>>;

struct ShortcutTarget {
  std::wstring path;
  std::wstring workingDirectory;
};

// The shortcut file read back through the shell, as Explorer reads it.
std::optional<ShortcutTarget> ReadShortcut(const fs::path& file) {
  ComScope com;
  IShellLinkW* rawLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&rawLink)))) {
    return std::nullopt;
  }
  const ComPointer<IShellLinkW> link(rawLink);
  IPersistFile* rawFile = nullptr;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&rawFile)))) return std::nullopt;
  const ComPointer<IPersistFile> persist(rawFile);
  if (FAILED(persist->Load(file.c_str(), STGM_READ))) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  wchar_t directory[MAX_PATH] = {};
  if (FAILED(link->GetPath(path, MAX_PATH, nullptr, 0)) || FAILED(link->GetWorkingDirectory(directory, MAX_PATH))) {
    return std::nullopt;
  }
  return ShortcutTarget{path, directory};
}

std::optional<std::wstring> WaitForRunValue() {
  for (int i = 0; i < 100; ++i) {
    if (auto value = ReadString(kRunKey, L"晴岚")) return value;
    Sleep(50);
  }
  return std::nullopt;
}

void WriteFile(const fs::path& file, const char* text) { std::ofstream(file, std::ios::binary) << text; }

class Installer : public testing::Test {
protected:
  static fs::path SetupProgram() { return TestProgramDirectory() / L"brevin-setup.exe"; }

  // Whatever a failed run left, so that the next test starts from nothing of ours.
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(InstallDirectory(), ignored);
    fs::remove(StartMenuShortcut(), ignored);
    fs::remove(DesktopShortcut(), ignored);
    RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    HKEY run = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
      const UniqueRegistryKey owner(run);
      RegDeleteValueW(run, L"晴岚");
    }
  }
};

TEST_F(Installer, InstallsUpgradesRunsAndUninstallsLeavingNothingOfOurs) {
  const Snapshot before;
  const fs::path dir = InstallDirectory();
  const fs::path exe = dir / L"brevin.exe";

  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(RunToEnd(SetupProgram(), L"/S"), 0u);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  std::printf("silent install: %lld ms\n", static_cast<long long>(took.count()));

  EXPECT_EQ(fs::file_size(exe), fs::file_size(TestProgramDirectory() / L"brevin.exe"));
  EXPECT_EQ(fs::file_size(dir / L"Helpx.chm"), fs::file_size(TestProgramDirectory() / L"Helpx.chm"));
  EXPECT_TRUE(fs::exists(dir / L"uninstall.exe"));
  for (const fs::path& shortcut : {StartMenuShortcut(), DesktopShortcut()}) {
    const auto target = ReadShortcut(shortcut);
    ASSERT_TRUE(target) << WideToUtf8(shortcut.wstring());
    EXPECT_EQ(target->path, exe.wstring());
    EXPECT_EQ(target->workingDirectory, dir.wstring());
  }

  EXPECT_EQ(ReadString(kUninstallKey, L"DisplayName"), L"晴岚");
  EXPECT_EQ(ReadString(kUninstallKey, L"DisplayVersion"), L"1.2");
  EXPECT_EQ(ReadString(kUninstallKey, L"Publisher"), L"晴岚开发组");
  EXPECT_EQ(ReadString(kUninstallKey, L"DisplayIcon"), exe.wstring() + L",0");
  EXPECT_EQ(ReadString(kUninstallKey, L"InstallLocation"), dir.wstring());
  const std::wstring uninstaller = L"\"" + (dir / L"uninstall.exe").wstring() + L"\"";
  EXPECT_EQ(ReadString(kUninstallKey, L"UninstallString"), uninstaller);
  EXPECT_EQ(ReadString(kUninstallKey, L"QuietUninstallString"), uninstaller + L" /S");
  EXPECT_EQ(ReadDword(kUninstallKey, L"NoModify"), 1u);
  EXPECT_EQ(ReadDword(kUninstallKey, L"NoRepair"), 1u);
  // In kilobytes, each of the three files rounded down.
  const auto installed = fs::file_size(exe) + fs::file_size(dir / L"Helpx.chm") + fs::file_size(dir / L"uninstall.exe");
  EXPECT_NEAR(ReadDword(kUninstallKey, L"EstimatedSize").value_or(0), installed / 1024, 3);

  // An upgrade replaces the files where they are.
  WriteFile(dir / L"Helpx.chm", "stale");
  ASSERT_EQ(RunToEnd(SetupProgram(), L"/S"), 0u);
  EXPECT_EQ(fs::file_size(dir / L"Helpx.chm"), fs::file_size(TestProgramDirectory() / L"Helpx.chm"));

  Process running = StartProgram(exe);
  ASSERT_TRUE(running.handle);
  HWND main = WaitForWindow(running.id, L"晴岚 V1.2");
  ASSERT_NE(main, nullptr) << "the installed copy did not show its main window";
  EXPECT_TRUE(fs::exists(dir / L"velskin.skn")) << "the installed copy writes its skin next to itself";
  EXPECT_FALSE(Names(kSettingsKey, true).empty()) << "the installed copy keeps its settings";

  // The autostart button is drawn on its group box; a click at its place turns autostart on.
  HWND group = FindChild(main, running.id, L"其他设置");
  ASSERT_NE(group, nullptr);
  PostMessageW(group, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 103));
  PostMessageW(group, WM_LBUTTONUP, 0, MAKELPARAM(40, 103));
  EXPECT_EQ(WaitForRunValue(), exe.wstring()) << "the Run value names the installed copy";

  // The help is read from the installed folder, whose name is not ASCII.
  HWND helpButton = FindChild(main, running.id, L"帮助");
  ASSERT_NE(helpButton, nullptr);
  PostMessageW(helpButton, BM_CLICK, 0, 0);
  EXPECT_TRUE(OwnsWindowOfClass(running.id, L"HH Parent", 10000)) << "the installed copy did not open its help";

  const auto written = fs::last_write_time(exe);
  EXPECT_EQ(RunToEnd(SetupProgram(), L"/S"), kRefused) << "installing over a running copy";
  EXPECT_EQ(fs::last_write_time(exe), written);

  // The uninstaller is run as Windows' own copy of it is: from elsewhere, told where to work, so
  // that waiting for it waits for the removal.
  const fs::path copy = fs::temp_directory_path() / L"brevin-uninstall-test.exe";
  fs::copy_file(dir / L"uninstall.exe", copy, fs::copy_options::overwrite_existing);
  const std::wstring uninstallArguments = L"/S _?=" + dir.wstring();
  EXPECT_EQ(RunToEnd(copy, uninstallArguments), kRefused) << "uninstalling a running copy";
  EXPECT_TRUE(fs::exists(exe));

  running.Stop();
  // What 晴岚 leaves behind when it is ended while its movie and exercise audio are out.
  WriteFile(dir / L"tarno.vel", "movie");
  WriteFile(dir / L"eyezz.mp3", "audio");
  EXPECT_EQ(RunToEnd(copy, uninstallArguments), 0u);
  EXPECT_FALSE(fs::exists(dir));
  EXPECT_FALSE(ReadString(kUninstallKey, L"DisplayName"));
  EXPECT_FALSE(ReadString(kRunKey, L"晴岚"));
  HKEY settings = nullptr;
  const bool settingsKept = RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &settings) == ERROR_SUCCESS;
  if (settingsKept) RegCloseKey(settings);
  EXPECT_FALSE(settingsKept) << "the uninstaller removes the settings";
  ExpectSame(before, Snapshot());

  EXPECT_EQ(RunToEnd(copy, uninstallArguments), kRefused) << "a second uninstall";
  EXPECT_FALSE(fs::exists(dir));
  ExpectSame(before, Snapshot());
  fs::remove(copy);
}

TEST_F(Installer, UninstallLeavesFilesThatAreNotOurs) {
  ASSERT_EQ(RunToEnd(SetupProgram(), L"/S"), 0u);
  const fs::path dir = InstallDirectory();
  WriteFile(dir / L"笔记.txt", "mine");
  const fs::path copy = fs::temp_directory_path() / L"brevin-uninstall-test.exe";
  fs::copy_file(dir / L"uninstall.exe", copy, fs::copy_options::overwrite_existing);
  EXPECT_EQ(RunToEnd(copy, L"/S _?=" + dir.wstring()), 0u);
  EXPECT_EQ(Entries(dir), std::set<std::wstring>{(dir / L"笔记.txt").wstring()});
  fs::remove(copy);
}

}  // namespace
