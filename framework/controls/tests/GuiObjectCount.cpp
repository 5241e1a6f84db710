#include "framework/controls/tests/GuiObjectCount.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>

namespace {
// One entry of the GDI handle table that the system maps into every GUI process.
struct GdiHandleEntry {
  uint64_t kernelObject;
  uint16_t processId;
  uint16_t count;
  uint16_t unique;
  uint8_t type;
  uint8_t flags;
  uint64_t userObject;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr size_t kGdiSharedHandleTableOffset = 0xF8;  // in the 64-bit process environment block
constexpr int kGdiHandleSlots = 16384;

int CountGdiObjects() {
  const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (reported) return static_cast<int>(reported);
  using QueryProcess = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<QueryProcess>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION info{};
  if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0) return -1;
  auto* peb = reinterpret_cast<uint8_t*>(info.PebBaseAddress);
  const auto* table = *reinterpret_cast<GdiHandleEntry* const*>(peb + kGdiSharedHandleTableOffset);
  if (!table) return -1;
  const auto self = static_cast<uint16_t>(GetCurrentProcessId());
  int count = 0;
  for (int i = 0; i < kGdiHandleSlots; ++i) {
    if (table[i].type && (table[i].processId == 0 || table[i].processId == self)) ++count;
  }
  return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM counter) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<int*>(counter);
  EnumChildWindows(window, CountChild, counter);
  return TRUE;
}

int CountWindows() {
  int count = 0;
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
  // Message-only windows (timers, media players, the tray icon's window) are USER objects too.
  HWND messageWindow = nullptr;
  while ((messageWindow = FindWindowExW(HWND_MESSAGE, messageWindow, nullptr, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(messageWindow, &owner);
    if (owner == GetCurrentProcessId()) ++count;
  }
  return count;
}
}  // namespace

GuiObjectCount CountGuiObjects() { return {CountGdiObjects(), CountWindows()}; }
