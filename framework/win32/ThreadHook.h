#pragma once
// One owner for one handler of a hook of the calling thread (WH_CBT, WH_MSGFILTER, ...). All owners
// of one hook type on one thread share a single system hook, installed with the first of them and
// removed with the last, so handlers can come and go in any order. Every call of the hook goes on
// to CallNextHookEx, and an error thrown by a handler is reported (framework/win32/CallbackErrors.h)
// instead of unwinding through the system.
#include <windows.h>

#include <functional>
#include <memory>

class TThreadHook {
public:
  // Called for non-negative hook codes, newest owner first. True asks the system to stop the event
  // (the hook type's non-zero result); the owners after it are still told.
  using Handler = std::function<bool(int code, WPARAM wParam, LPARAM lParam)>;

  TThreadHook() = default;
  ~TThreadHook() { Remove(); }
  TThreadHook(const TThreadHook&) = delete;
  TThreadHook& operator=(const TThreadHook&) = delete;

  // False (and nothing changes) for a hook type without thread scope or when the system refuses it.
  [[nodiscard]] bool Install(int type, Handler handler);
  // Only from the thread that installed it.
  void Remove();
  bool Installed() const { return entry_ != nullptr; }
  // How many owners of a hook type the calling thread has, so that one left behind shows.
  static int Count(int type);

  struct Entry;

private:
  std::shared_ptr<Entry> entry_;
};
