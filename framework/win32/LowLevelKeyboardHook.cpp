#include "framework/win32/LowLevelKeyboardHook.h"

#include "framework/win32/CallbackErrors.h"

namespace {
// The hook procedure has no context of its own.
TLowLevelKeyboardHook* holder = nullptr;
}  // namespace

bool TLowLevelKeyboardHook::Install(Filter filter) {
  if (hook_ || holder) return false;
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, Procedure, GetModuleHandleW(nullptr), 0);
  if (!hook) return false;
  hook_ = hook;
  filter_ = std::move(filter);
  swallowedDown_.reset();
  holder = this;
  return true;
}

void TLowLevelKeyboardHook::Remove() {
  if (!hook_) return;
  UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  filter_ = nullptr;
  if (holder == this) holder = nullptr;
}

bool TLowLevelKeyboardHook::Swallow(WPARAM message, const KBDLLHOOKSTRUCT& key) {
  const size_t vk = key.vkCode & 0xFF;
  if (message == WM_KEYUP || message == WM_SYSKEYUP) {
    const bool swallowed = swallowedDown_[vk];
    swallowedDown_[vk] = false;
    return swallowed;
  }
  const bool swallow = filter_ && filter_(key);
  if (swallow) swallowedDown_[vk] = true;
  return swallow;
}

LRESULT CALLBACK TLowLevelKeyboardHook::Procedure(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && holder) {
    try {
      if (holder->Swallow(wParam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam))) return 1;
    } catch (...) {
      // A filter that fails lets the key through rather than leaving the keyboard dead.
      ReportCallbackError(std::current_exception());
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
