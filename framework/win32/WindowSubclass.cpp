#include "framework/win32/WindowSubclass.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/win32/CallbackErrors.h"

// The replacements of one window form a chain behind one procedure of ours, kept in this process
// rather than in window properties: under Wine every property lookup is a server round trip, and
// the system's own chain makes one for every message of every subclassed window. The window's own
// procedure is given back once the last replacement leaves, unless someone has replaced ours in
// the meantime; then ours stays, passing everything on, until the window ends.
namespace {

struct TLink {
  TWindowSubclass* owner;
  bool live;
};

struct TChain {
  WNDPROC original = nullptr;
  // Oldest first. A link that leaves while messages are being handled stays as a gap until the
  // last of them returns, so that the places of the others do not move under a running handler.
  std::vector<TLink> links;
  int running = 0;
  DWORD thread = 0;
};

// Which link of which window a handler on this thread is running as, innermost last.
struct TFrame {
  HWND window;
  size_t link;
};

std::mutex& ChainsLock() {
  static std::mutex lock;
  return lock;
}

std::unordered_map<HWND, TChain>& Chains() {
  static std::unordered_map<HWND, TChain> chains;
  return chains;
}

thread_local std::vector<TFrame> frames;

LRESULT CALLBACK ChainProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

void Compact(TChain& chain) {
  chain.links.erase(std::remove_if(chain.links.begin(), chain.links.end(), [](const TLink& l) { return !l.live; }),
                    chain.links.end());
}

// Gives the window its procedure back once nothing of the chain is left or running; a window that
// has ended takes its chain along whatever is left of it. Expects the lock.
void ForgetIfDone(HWND window, TChain& chain, bool ended) {
  if (chain.running > 0) return;
  Compact(chain);
  if (!ended && !chain.links.empty()) return;
  if (IsWindow(window) && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) == ChainProcedure) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain.original));
  } else if (!ended && IsWindow(window)) {
    // Someone has replaced ours since: it stays, passing everything on, until the window ends.
    return;
  }
  Chains().erase(window);
}

// Keeps a chain's places still while one of its links, or the window's own procedure, runs.
class TRunning {
public:
  TRunning(HWND window, size_t link, UINT msg) : window_(window), ended_(msg == WM_NCDESTROY) {
    frames.push_back({window, link});
    const std::lock_guard<std::mutex> guard(ChainsLock());
    auto found = Chains().find(window);
    if (found != Chains().end()) ++found->second.running;
  }
  ~TRunning() {
    frames.pop_back();
    const std::lock_guard<std::mutex> guard(ChainsLock());
    auto found = Chains().find(window_);
    if (found == Chains().end()) return;
    --found->second.running;
    ForgetIfDone(window_, found->second, ended_);
  }
  TRunning(const TRunning&) = delete;
  TRunning& operator=(const TRunning&) = delete;

private:
  HWND window_;
  bool ended_;
};

constexpr size_t kNoLink = SIZE_MAX;

// Runs the newest live link below place (counted from the oldest), else the window's own procedure.
LRESULT CallBelow(HWND window, size_t place, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWindowSubclass* owner = nullptr;
  WNDPROC original = nullptr;
  size_t link = kNoLink;
  {
    const std::lock_guard<std::mutex> guard(ChainsLock());
    auto found = Chains().find(window);
    if (found == Chains().end()) return DefWindowProcW(window, msg, wParam, lParam);
    const TChain& chain = found->second;
    original = chain.original;
    for (size_t i = std::min(place, chain.links.size()); i-- > 0;) {
      if (chain.links[i].live) {
        owner = chain.links[i].owner;
        link = i;
        break;
      }
    }
  }
  const TRunning running(window, link, msg);
  if (!owner) return CallWindowProcW(original, window, msg, wParam, lParam);
  return owner->Run(window, msg, wParam, lParam);
}

LRESULT CALLBACK ChainProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallBelow(window, kNoLink, msg, wParam, lParam);
}

}  // namespace

bool TWindowSubclass::Attach(HWND window, Handler handler) {
  Detach();
  if (!IsWindow(window) || !handler) return false;
  // A window of another thread would run the handlers there, beside this thread's frames.
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return false;
  const std::lock_guard<std::mutex> guard(ChainsLock());
  auto found = Chains().find(window);
  // A chain of another thread belonged to a window that ended unseen (with its thread, say)
  // and left its handle to this one.
  if (found != Chains().end() && found->second.thread != GetCurrentThreadId()) {
    Chains().erase(found);
    found = Chains().end();
  }
  if (found == Chains().end()) {
    // The chain is recorded before the window is handed to ours, so that ours never runs without
    // it, and taken back if the window cannot be had.
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (!current) return false;
    found = Chains().emplace(window, TChain{current, {TLink{this, true}}, 0, GetCurrentThreadId()}).first;
    if (!SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChainProcedure))) {
      Chains().erase(found);
      return false;
    }
  } else {
    found->second.links.push_back({this, true});
  }
  handler_ = std::move(handler);
  window_ = window;
  return true;
}

void TWindowSubclass::Detach() {
  if (!window_) return;
  // The handler itself stays until the next Attach or the owner's end: it may be the one running.
  const HWND window = std::exchange(window_, nullptr);
  const std::lock_guard<std::mutex> guard(ChainsLock());
  auto found = Chains().find(window);
  if (found == Chains().end()) return;
  for (TLink& link : found->second.links)
    if (link.owner == this) link.live = false;
  ForgetIfDone(window, found->second, !IsWindow(window));
}

LRESULT TWindowSubclass::Default(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) const {
  // The handler calling is the innermost one running as this replacement on this window.
  for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame) {
    if (frame->window != window) continue;
    bool mine = false;
    {
      const std::lock_guard<std::mutex> guard(ChainsLock());
      auto found = Chains().find(window);
      mine = found != Chains().end() && frame->link < found->second.links.size() &&
             found->second.links[frame->link].owner == this;
    }
    if (mine) return CallBelow(window, frame->link, msg, wParam, lParam);
  }
  // Called from outside its own handler: what is behind this replacement, or behind all of them.
  size_t place = 0;
  {
    const std::lock_guard<std::mutex> guard(ChainsLock());
    auto found = Chains().find(window);
    if (found != Chains().end()) {
      const auto& links = found->second.links;
      for (size_t i = 0; i < links.size(); ++i)
        if (links[i].owner == this) place = i;
    }
  }
  return CallBelow(window, place, msg, wParam, lParam);
}

LRESULT TWindowSubclass::Run(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCDESTROY) {
    // The window ends: the replacement leaves first, then the window's own handling finishes.
    const Handler handler = std::move(handler_);
    Detach();
    if (!handler) return Default(window, msg, wParam, lParam);
    try {
      return handler(window, msg, wParam, lParam);
    } catch (...) {
      // The window's own handling of its last message still runs, so that it is freed.
      ReportCallbackError(std::current_exception());
      return Default(window, msg, wParam, lParam);
    }
  }
  if (!handler_) return Default(window, msg, wParam, lParam);
  try {
    return handler_(window, msg, wParam, lParam);
  } catch (...) {
    // The failed handler ends its message, as in every window procedure of ours.
    ReportCallbackError(std::current_exception());
    return 0;
  }
}
