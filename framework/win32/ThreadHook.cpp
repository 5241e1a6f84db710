#include "framework/win32/ThreadHook.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "framework/win32/CallbackErrors.h"

struct TThreadHook::Entry {
  int Type = 0;
  Handler Call;
  bool Active = true;
};

namespace {

struct HookChain {
  HHOOK Hook = nullptr;
  // Newest first.
  std::vector<std::shared_ptr<TThreadHook::Entry>> Entries;
};

using ChainKey = std::pair<DWORD, int>;  // thread, hook type

// Owners may be released during the process's exit, after thread-local and static objects have
// gone: the bookkeeping is never destroyed.
std::map<ChainKey, HookChain>& Chains() {
  static auto* chains = new std::map<ChainKey, HookChain>;
  return *chains;
}
std::mutex& ChainsLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

LRESULT Dispatch(int type, int code, WPARAM wParam, LPARAM lParam) {
  HHOOK hook = nullptr;
  std::vector<std::shared_ptr<TThreadHook::Entry>> entries;
  {
    std::lock_guard<std::mutex> guard(ChainsLock());
    auto found = Chains().find({GetCurrentThreadId(), type});
    if (found == Chains().end()) return 0;
    hook = found->second.Hook;
    // A handler may add or remove owners (even its own): the copy keeps every entry alive.
    if (code >= 0) entries = found->second.Entries;
  }
  bool stop = false;
  if (code >= 0) {
    for (const auto& entry : entries) {
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
  const ChainKey key{GetCurrentThreadId(), type};
  std::lock_guard<std::mutex> guard(ChainsLock());
  HookChain& chain = Chains()[key];
  if (!chain.Hook) {
    chain.Hook = SetWindowsHookExW(type, procedure, nullptr, key.first);
    if (!chain.Hook) {
      Chains().erase(key);
      return false;
    }
  }
  entry_ = std::make_shared<Entry>(Entry{type, std::move(handler), true});
  chain.Entries.insert(chain.Entries.begin(), entry_);
  return true;
}

void TThreadHook::Remove() {
  if (!entry_) return;
  entry_->Active = false;
  std::lock_guard<std::mutex> guard(ChainsLock());
  auto found = Chains().find({GetCurrentThreadId(), entry_->Type});
  if (found != Chains().end()) {
    auto& entries = found->second.Entries;
    entries.erase(std::remove(entries.begin(), entries.end(), entry_), entries.end());
    if (entries.empty()) {
      UnhookWindowsHookEx(found->second.Hook);
      Chains().erase(found);
    }
  }
  entry_.reset();
}

int TThreadHook::Count(int type) {
  std::lock_guard<std::mutex> guard(ChainsLock());
  auto found = Chains().find({GetCurrentThreadId(), type});
  return found == Chains().end() ? 0 : static_cast<int>(found->second.Entries.size());
}
