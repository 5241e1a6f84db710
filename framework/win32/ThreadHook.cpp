#include "framework/win32/ThreadHook.h"

#include <array>
#include <utility>
#include <vector>

#include "framework/win32/CallbackErrors.h"

struct TThreadHook::Entry {
  int Type = 0;
  Handler Call;
  bool Active = true;
};

namespace {

using EntryList = std::vector<std::shared_ptr<TThreadHook::Entry>>;

struct HookChain {
  HHOOK Hook = nullptr;
  // Newest first. Replaced, never changed in place, when an owner comes or goes: a call of the hook
  // keeps the list it started with, so that a handler may add or remove owners (even its own).
  std::shared_ptr<const EntryList> Entries;
};

// The thread hook types, WH_MSGFILTER (-1) to WH_CALLWNDPROCRET (12).
constexpr int kFirstType = WH_MSGFILTER;
constexpr int kTypeCount = WH_CALLWNDPROCRET - WH_MSGFILTER + 1;

// A thread's hooks are installed, called and removed on that thread only, so its chains need no
// lock. Owners may be released during the process's exit, after thread-local and static objects
// have gone: the bookkeeping is never destroyed.
std::array<HookChain, kTypeCount>& ThreadChains() {
  thread_local auto* chains = new std::array<HookChain, kTypeCount>;
  return *chains;
}

HookChain* ChainOf(int type) {
  if (type < kFirstType || type >= kFirstType + kTypeCount) return nullptr;
  return &ThreadChains()[static_cast<size_t>(type - kFirstType)];
}

LRESULT Dispatch(int type, int code, WPARAM wParam, LPARAM lParam) {
  HookChain& chain = *ChainOf(type);
  const HHOOK hook = chain.Hook;
  if (!hook) return 0;
  bool stop = false;
  if (code >= 0 && chain.Entries) {
    const std::shared_ptr<const EntryList> entries = chain.Entries;
    for (const auto& entry : *entries) {
      if (!entry->Active) continue;
      try {
        stop = entry->Call(code, wParam, lParam) || stop;
      } catch (...) {
        ReportCallbackError(std::current_exception());
      }
    }
  }
  const LRESULT next = CallNextHookEx(hook, code, wParam, lParam);
  return stop ? 1 : next;
}

template <int Type>
LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam) {
  return Dispatch(Type, code, wParam, lParam);
}

HOOKPROC ProcedureFor(int type) {
  switch (type) {
    case WH_MSGFILTER: return Procedure<WH_MSGFILTER>;
    case WH_KEYBOARD: return Procedure<WH_KEYBOARD>;
    case WH_GETMESSAGE: return Procedure<WH_GETMESSAGE>;
    case WH_CALLWNDPROC: return Procedure<WH_CALLWNDPROC>;
    case WH_CBT: return Procedure<WH_CBT>;
    case WH_MOUSE: return Procedure<WH_MOUSE>;
    case WH_CALLWNDPROCRET: return Procedure<WH_CALLWNDPROCRET>;
    default: return nullptr;
  }
}

}  // namespace

bool TThreadHook::Install(int type, Handler handler) {
  Remove();
  const HOOKPROC procedure = ProcedureFor(type);
  if (!procedure || !handler) return false;
  HookChain& chain = *ChainOf(type);
  if (!chain.Hook) {
    chain.Hook = SetWindowsHookExW(type, procedure, nullptr, GetCurrentThreadId());
    if (!chain.Hook) return false;
  }
  entry_ = std::make_shared<Entry>(Entry{type, std::move(handler), true});
  auto entries = std::make_shared<EntryList>(1, entry_);
  if (chain.Entries) entries->insert(entries->end(), chain.Entries->begin(), chain.Entries->end());
  chain.Entries = std::move(entries);
  return true;
}

void TThreadHook::Remove() {
  if (!entry_) return;
  entry_->Active = false;
  HookChain& chain = *ChainOf(entry_->Type);
  if (chain.Entries) {
    auto entries = std::make_shared<EntryList>(*chain.Entries);
    std::erase(*entries, entry_);
    if (entries->empty()) {
      UnhookWindowsHookEx(chain.Hook);
      chain = {};
    } else {
      chain.Entries = std::move(entries);
    }
  }
  entry_.reset();
}

int TThreadHook::Count(int type) {
  const HookChain* chain = ChainOf(type);
  return chain && chain->Entries ? static_cast<int>(chain->Entries->size()) : 0;
}
