// window_probe PROGRAM CAPTION [TIMEOUT-SECONDS [hide]]
// Starts PROGRAM and waits until one of its top-level windows with the caption CAPTION is visible,
// then prints "startup_ms=N" (from process creation to the visible window), "skinned_ms=N" (to the
// window answering the skin engine's query that it is skinned; "-" when it is not within 5 s) and
// "pid=N", waits for a
// line (or the end) on its standard input, and ends the program: a tray program may never exit by
// itself. With "hide" it first closes the window as a user would and waits until it is hidden
// (a tray program goes to the notification area), printing "hidden=1" or "hidden=0" before the
// pid. Memory and CPU figures are taken from outside by tools/measure-process while it waits,
// because Wine reports neither private memory nor CPU times of another process.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <iterator>
#include <string>

namespace {

class OwnedHandle {
public:
  explicit OwnedHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~OwnedHandle() {
    if (handle_) CloseHandle(handle_);
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  HANDLE get() const { return handle_; }

private:
  HANDLE handle_;
};

struct WindowSearch {
  DWORD processId;
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  // A program's hidden owner window (the taskbar button's) is "visible" with no size and may share
  // the caption: only a window a user can see counts.
  RECT place{};
  if (!GetWindowRect(window, &place) || place.right <= place.left || place.bottom <= place.top) return TRUE;
  wchar_t text[512];
  GetWindowTextW(window, text, static_cast<int>(std::size(text)));
  if (std::wcscmp(text, search->caption) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: window_probe PROGRAM CAPTION [TIMEOUT-SECONDS [hide]]\n");
    return 2;
  }
  const std::wstring program = argv[1];
  const wchar_t* caption = argv[2];
  const int timeoutSeconds = argc > 3 && _wtoi(argv[3]) > 0 ? _wtoi(argv[3]) : 60;
  const bool hide = argc > 4 && std::wstring(argv[4]) == L"hide";

  const size_t slash = program.find_last_of(L"\\/");
  const std::wstring directory = slash == std::wstring::npos ? std::wstring() : program.substr(0, slash);
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  LARGE_INTEGER started;
  QueryPerformanceCounter(&started);
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
    std::fprintf(stderr, "window_probe: cannot start the program (error %lu)\n", GetLastError());
    return 2;
  }
  OwnedHandle process(info.hProcess);
  OwnedHandle thread(info.hThread);

  WindowSearch search{info.dwProcessId, caption, nullptr};
  LARGE_INTEGER now = started;
  for (;;) {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    QueryPerformanceCounter(&now);
    if (search.found) break;
    if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) {
      std::fprintf(stderr, "window_probe: the program ended before its window was shown\n");
      return 3;
    }
    if (Seconds(started, now) > timeoutSeconds) {
      std::fprintf(stderr, "window_probe: no visible window with that caption within %d s\n", timeoutSeconds);
      TerminateProcess(process.get(), 1);
      return 3;
    }
    Sleep(2);
  }
  const double shownMs = Seconds(started, now) * 1000.0;
  // A skinned window answers this private query with 1 once its skinner has taken it.
  constexpr UINT kSkinQueryMessage = 0x3523;
  double skinnedMs = -1;
  for (LARGE_INTEGER polled = now; Seconds(now, polled) < 5; QueryPerformanceCounter(&polled)) {
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(search.found, kSkinQueryMessage, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) && answer == 1) {
      skinnedMs = Seconds(started, polled) * 1000.0;
      break;
    }
    Sleep(2);
  }
  std::printf("startup_ms=%.0f\n", shownMs);
  if (skinnedMs < 0) {
    std::printf("skinned_ms=-\n");
  } else {
    std::printf("skinned_ms=%.0f\n", skinnedMs);
  }
  if (hide) {
    PostMessageW(search.found, WM_CLOSE, 0, 0);
    bool hidden = false;
    for (int waited = 0; waited < 5000 && !hidden; waited += 10) {
      Sleep(10);
      hidden = !IsWindowVisible(search.found);
    }
    std::printf("hidden=%d\n", hidden ? 1 : 0);
  }
  std::printf("pid=%lu\n", info.dwProcessId);
  std::fflush(stdout);

  int c;
  do {
    c = std::getchar();
  } while (c != '\n' && c != EOF);
  TerminateProcess(process.get(), 0);
  WaitForSingleObject(process.get(), 5000);
  return 0;
}
