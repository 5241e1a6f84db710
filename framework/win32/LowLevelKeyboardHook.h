#pragma once
// A low-level keyboard hook: it sees every key press of the desktop before any program does,
// whichever window has the focus, and may swallow it. One owner at a time per process; the hook
// goes with its owner, and with the thread if the process dies (the system removes it then).
// Ctrl+Alt+Del never reaches a hook and stays the system's.
#include <windows.h>

#include <bitset>
#include <functional>

class TLowLevelKeyboardHook {
public:
  // Asked for every key press (not the releases); true swallows it.
  using Filter = std::function<bool(const KBDLLHOOKSTRUCT& key)>;

  TLowLevelKeyboardHook() = default;
  ~TLowLevelKeyboardHook() { Remove(); }
  TLowLevelKeyboardHook(const TLowLevelKeyboardHook&) = delete;
  TLowLevelKeyboardHook& operator=(const TLowLevelKeyboardHook&) = delete;

  // False when another owner has the hook or the system refuses it. The installing thread must
  // keep dispatching messages: the system calls the hook through its queue, and holds the key
  // until it answers.
  [[nodiscard]] bool Install(Filter filter);
  void Remove();
  bool Installed() const { return hook_ != nullptr; }

private:
  static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam);
  bool Swallow(WPARAM message, const KBDLLHOOKSTRUCT& key);

  HHOOK hook_ = nullptr;
  Filter filter_;
  // A release is swallowed exactly when its press was: a key held down before the hook came is
  // let go normally, so that no modifier stays stuck for the program that had it.
  std::bitset<256> swallowedDown_;
};
