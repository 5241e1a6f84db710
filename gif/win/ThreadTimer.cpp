#include "gif/win/ThreadTimer.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "framework/controls/Application.h"
#include "framework/controls/Messages.h"
#include "framework/core/Exception.h"
#include "framework/win32/Strings.h"
#include "framework/win32/WindowClass.h"

// ---------------------------------------------------------------------------------------------
// Error reporting

namespace {

std::mutex& ErrorHandlerMutex() {
  static std::mutex mutex;
  return mutex;
}

TTimerErrorHandler& ErrorHandler() {
  static TTimerErrorHandler handler;
  return handler;
}

}  // namespace

void SetTimerErrorHandler(TTimerErrorHandler handler) {
  std::lock_guard<std::mutex> lock(ErrorHandlerMutex());
  ErrorHandler() = std::move(handler);
}

void HandleTimerError(TObject* sender, const std::exception& error) {
  TTimerErrorHandler handler;
  {
    std::lock_guard<std::mutex> lock(ErrorHandlerMutex());
    handler = ErrorHandler();
  }
  if (handler) {
    handler(sender, error);
    return;
  }
  if (Application) {
    Application->HandleException(error);
    return;
  }
  MessageBoxW(nullptr, Utf8ToWide(error.what()).c_str(), L"Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

// ---------------------------------------------------------------------------------------------
// Synchronisation with the UI thread: a message-only window made on the thread that creates the
// first timer. The worker queues a request, posts a wake-up and waits until the request has run or
// the worker is told to end.

struct TTimerThread::State {
  std::mutex mutex;
  std::condition_variable changed;
  TThreadTimer* owner = nullptr;
  bool suspended = true;
  bool terminated = false;
  // A tick is running on the worker (directly or handed to the UI thread); while the UI thread
  // waits for it to end (stopping), the worker starts none and gives up waiting for the UI thread.
  bool ticking = false;
  int stopping = 0;
  uint32_t interval = 1000;
  TThreadPriority priority = TThreadPriority::tpNormal;
  bool priorityChanged = false;
  std::exception_ptr lastError;
  DWORD threadId = 0;
};

namespace {

struct SyncRequest {
  std::shared_ptr<TTimerThread::State> state;
  std::function<void()> procedure;
  bool done = false;
  // The worker stopped waiting for it: what the procedure refers to may be gone.
  bool abandoned = false;
};

class Synchronizer {
public:
  static Synchronizer& Instance() {
    static Synchronizer instance;
    return instance;
  }

  DWORD UiThread() const { return uiThread_; }

  void Run(const std::shared_ptr<SyncRequest>& request) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(request);
    }
    PostMessageW(window_, kTimerSyncMessage, 0, 0);
    TTimerThread::State& state = *request->state;
    std::unique_lock<std::mutex> lock(state.mutex);
    state.changed.wait(lock, [&] { return request->done || state.terminated || state.stopping > 0; });
    request->abandoned = !request->done;
  }

private:
  Synchronizer() : uiThread_(GetCurrentThreadId()) {
    constexpr wchar_t kClass[] = L"BrevinTimerSync";
    RegisterWindowClassOnce(kClass, &Synchronizer::WindowProc);
    window_ = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window_) throw EOutOfResources("Out of system resources");
  }

  static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != kTimerSyncMessage) return DefWindowProcW(window, msg, wParam, lParam);
    Instance().Drain();
    return 0;
  }

  void Drain() {
    for (;;) {
      std::shared_ptr<SyncRequest> request;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (queue_.empty()) return;
        request = std::move(queue_.front());
        queue_.pop_front();
      }
      TTimerThread::State& state = *request->state;
      bool cancelled;
      {
        std::lock_guard<std::mutex> lock(state.mutex);
        cancelled = state.terminated || request->abandoned;
      }
      // The worker waits for this request: it is done however the procedure ends, and nothing
      // unwinds through the window procedure.
      if (!cancelled) {
        try {
          request->procedure();
        } catch (...) {
          HandleDispatchException(std::current_exception());
        }
      }
      std::lock_guard<std::mutex> lock(state.mutex);
      request->done = true;
      state.changed.notify_all();
    }
  }

  DWORD uiThread_;
  HWND window_ = nullptr;
  std::mutex mutex_;
  std::deque<std::shared_ptr<SyncRequest>> queue_;
};

int NativePriority(TThreadPriority priority) {
  switch (priority) {
    case TThreadPriority::tpIdle: return THREAD_PRIORITY_IDLE;
    case TThreadPriority::tpLowest: return THREAD_PRIORITY_LOWEST;
    case TThreadPriority::tpLower: return THREAD_PRIORITY_BELOW_NORMAL;
    case TThreadPriority::tpNormal: return THREAD_PRIORITY_NORMAL;
    case TThreadPriority::tpHigher: return THREAD_PRIORITY_ABOVE_NORMAL;
    case TThreadPriority::tpHighest: return THREAD_PRIORITY_HIGHEST;
    case TThreadPriority::tpTimeCritical: return THREAD_PRIORITY_TIME_CRITICAL;
  }
  return THREAD_PRIORITY_NORMAL;
}

void ReportError(TTimerThread& sender) {
  try {
    throw;
  } catch (const EAbort&) {
    // A silent abort ends the tick and nothing more.
  } catch (const std::exception& error) {
    HandleTimerError(&sender, error);
  }
}

bool ApplicationTerminating() { return Application && Application->Terminated(); }

// The worker's run. It only touches the shared state (which outlives the TTimerThread object when
// the thread ends on its own) and the owner while the owner is set.
void RunWorker(const std::shared_ptr<TTimerThread::State>& state, TTimerThread* self) {
  using Clock = std::chrono::steady_clock;
  for (;;) {
    TThreadTimer* owner;
    {
      std::unique_lock<std::mutex> lock(state->mutex);
      state->changed.wait(lock, [&] { return !state->suspended || state->terminated || !state->owner; });
      if (state->terminated || !state->owner) return;
      if (state->priorityChanged) {
        state->priorityChanged = false;
        SetThreadPriority(GetCurrentThread(), NativePriority(state->priority));
      }
      const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(state->interval);
      state->changed.wait_until(lock, deadline, [&] { return state->terminated || !state->owner; });
      if (state->terminated || !state->owner || ApplicationTerminating()) return;
      // Switched off during the sleep: no tick; a later resume starts a fresh sleep.
      if (state->suspended || state->stopping > 0) continue;
      owner = state->owner;
      state->ticking = true;
    }
    const auto tickEnded = [&state] {
      {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->ticking = false;
      }
      state->changed.notify_all();
    };
    if (!owner->Enabled()) {
      tickEnded();
      continue;
    }
    // A failing tick is reported, on whichever thread it ran, and the timer goes on.
    const auto tick = [state, owner, self] {
      try {
        owner->Tick();
      } catch (...) {
        {
          std::lock_guard<std::mutex> lock(state->mutex);
          state->lastError = std::current_exception();
        }
        ReportError(*self);
      }
    };
    if (owner->SyncEvent()) {
      self->SyncCall(tick);
    } else {
      tick();
    }
    tickEnded();
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TTimerThread

TTimerThread::TTimerThread(TThreadTimer* owner) : state_(std::make_shared<State>()) {
  state_->owner = owner;
  Synchronizer::Instance();
  thread_ = std::thread([state = state_, this] {
    {
      std::lock_guard<std::mutex> lock(state->mutex);
      state->threadId = GetCurrentThreadId();
    }
    state->changed.notify_all();
    RunWorker(state, this);
  });
  std::unique_lock<std::mutex> lock(state_->mutex);
  state_->changed.wait(lock, [&] { return state_->threadId != 0; });
}

TTimerThread::~TTimerThread() {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->owner = nullptr;
    state_->terminated = true;
    state_->suspended = false;
  }
  state_->changed.notify_all();
  if (IsWorkerThread()) {
    thread_.detach();
  } else if (thread_.joinable()) {
    thread_.join();
  }
}

void TTimerThread::Suspend() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->suspended = true;
}

void TTimerThread::Resume() {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->suspended = false;
  }
  state_->changed.notify_all();
}

bool TTimerThread::Suspended() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->suspended;
}

void TTimerThread::Terminate() {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->terminated = true;
  }
  state_->changed.notify_all();
}

bool TTimerThread::Terminated() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->terminated;
}

uint32_t TTimerThread::Interval() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->interval;
}

void TTimerThread::SetInterval(uint32_t interval) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->interval = interval;
}

void TTimerThread::SetPriority(TThreadPriority priority) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  if (priority == state_->priority) return;
  state_->priority = priority;
  state_->priorityChanged = true;
}

bool TTimerThread::IsWorkerThread() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->threadId == GetCurrentThreadId();
}

DWORD TTimerThread::ThreadId() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->threadId;
}

void TTimerThread::SyncCall(const std::function<void()>& procedure) {
  const DWORD caller = GetCurrentThreadId();
  if (caller == Synchronizer::Instance().UiThread()) {
    procedure();
    return;
  }
  bool direct = false;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    // The worker always hands over, even when a property change has just marked it suspended:
    // running the tick here would put UI work on the wrong thread.
    if (caller == state_->threadId) {
      if (state_->terminated) return;
    } else {
      direct = state_->suspended || state_->terminated;
    }
  }
  if (direct) {
    procedure();
    return;
  }
  auto request = std::make_shared<SyncRequest>();
  request->state = state_;
  request->procedure = procedure;
  Synchronizer::Instance().Run(request);
}

void TTimerThread::WaitForTick() {
  if (IsWorkerThread()) return;
  std::unique_lock<std::mutex> lock(state_->mutex);
  ++state_->stopping;
  state_->changed.notify_all();
  while (state_->ticking && !state_->terminated) {
    // The tick may be painting into one of this thread's windows, which can take a message sent
    // to this thread: those are answered while waiting.
    lock.unlock();
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    lock.lock();
    state_->changed.wait_for(lock, std::chrono::milliseconds(2));
  }
  --state_->stopping;
  lock.unlock();
  state_->changed.notify_all();
}

std::exception_ptr TTimerThread::LastError() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->lastError;
}

// ---------------------------------------------------------------------------------------------
// TThreadTimer

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr wchar_t kMessageWindowClass[] = L"BrevinThreadTimer";

const TEnumNames& PriorityNames() {
  static const TEnumNames names{{"tpIdle", "tpLowest", "tpLower", "tpNormal", "tpHigher", "tpHighest", "tpTimeCritical"}};
  return names;
}

int64_t IntervalAsInt(const TThreadTimer& t) { return t.Interval(); }

}  // namespace

const TClassInfo& TThreadTimer::StaticClassInfo() {
  static const TClassInfo info = [] {
    TClassBuilder<TThreadTimer> b("TThreadTimer", &TComponent::StaticClassInfo());
    b.Creatable()
        .Property("Enabled", &TThreadTimer::Enabled, &TThreadTimer::SetEnabled)
        .Property("SyncEvent", &TThreadTimer::SyncEvent, &TThreadTimer::SetSyncEvent)
        .Property("Threaded", &TThreadTimer::Threaded, &TThreadTimer::SetThreaded)
        .Enum("ThreadPriority", &TThreadTimer::ThreadPriority, &TThreadTimer::SetThreadPriority, PriorityNames());
    TPropInfo interval{"Interval"};
    interval.get = [](const TObject& o) { return std::to_string(IntervalAsInt(static_cast<const TThreadTimer&>(o))); };
    interval.set = [](TObject& o, const std::string& text) {
      const int64_t v = IntFromText(text);
      if (v < 0 || v > int64_t{UINT32_MAX}) throw EPropertyError("Invalid property value: " + text + " for Interval");
      static_cast<TThreadTimer&>(o).SetInterval(static_cast<uint32_t>(v));
    };
    b.Custom(std::move(interval));
    TPropInfo onTimer{"OnTimer", TPropKind::Event};
    onTimer.setEvent = [](TObject& o, const std::any& handler) {
      auto& timer = static_cast<TThreadTimer&>(o);
      if (!handler.has_value()) return timer.SetOnTimer(nullptr);
      const TNotifyEvent* f = std::any_cast<TNotifyEvent>(&handler);
      if (!f) throw EPropertyError("Handler of the wrong type for OnTimer");
      timer.SetOnTimer(*f);
    };
    onTimer.eventAssigned = [](const TObject& o) { return static_cast<bool>(static_cast<const TThreadTimer&>(o).OnTimer()); };
    b.Custom(std::move(onTimer));
    return TClassInfo(std::move(b));
  }();
  return info;
}

void RegisterThreadTimer() { RegisterComponentClass(TThreadTimer::StaticClassInfo()); }

TThreadTimer::TThreadTimer(TComponent* owner) : TComponent(owner), thread_(std::make_unique<TTimerThread>(this)) {}

TThreadTimer::~TThreadTimer() {
  destroying_ = true;
  enabled_ = false;
  // Ending the thread waits for a tick in progress; only then can the handler go.
  thread_.reset();
  onTimer_ = nullptr;
  DestroyMessageWindow();
}

void TThreadTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Reschedule();
}

void TThreadTimer::SetInterval(uint32_t interval) {
  if (interval == interval_.exchange(interval)) return;
  // A tick on the worker may set the next interval (an animation's frame delays): the worker's
  // own schedule is all there is to change then.
  if (thread_->IsWorkerThread()) {
    if (interval == 0) {
      thread_->Suspend();
    } else {
      thread_->SetInterval(interval);
    }
    return;
  }
  Reschedule();
}

void TThreadTimer::SetThreaded(bool threaded) {
  if (threaded == threaded_) return;
  threaded_ = threaded;
  Reschedule();
}

void TThreadTimer::SetThreadPriority(TThreadPriority priority) {
  if (priority == priority_) return;
  priority_ = priority;
  if (threaded_) Reschedule();
}

void TThreadTimer::SetOnTimer(TNotifyEvent handler) {
  // The old handler, and whatever it refers to, may go once this returns: a tick that is running
  // it on the worker ends first.
  thread_->WaitForTick();
  bool changed;
  {
    std::lock_guard<std::mutex> lock(handlerMutex_);
    changed = static_cast<bool>(handler) != static_cast<bool>(onTimer_);
    onTimer_ = std::move(handler);
    hasHandler_ = static_cast<bool>(onTimer_);
  }
  if (changed) Reschedule();
}

TNotifyEvent TThreadTimer::OnTimer() const {
  std::lock_guard<std::mutex> lock(handlerMutex_);
  return onTimer_;
}

void TThreadTimer::Tick() {
  if (!enabled_ || destroying_) return;
  const TNotifyEvent handler = OnTimer();
  if (handler) handler(this);
}

void TThreadTimer::DestroyMessageWindow() {
  if (!window_) return;
  KillTimer(window_, kTimerId);
  DestroyWindow(window_);
  window_ = nullptr;
}

void TThreadTimer::Reschedule() {
  if (threaded_) {
    DestroyMessageWindow();
    thread_->Suspend();
    thread_->SetInterval(interval_);
    if (Active()) {
      thread_->SetPriority(priority_);
      thread_->Resume();
    }
    return;
  }
  thread_->Suspend();
  if (window_) {
    KillTimer(window_, kTimerId);
  } else {
    RegisterWindowClassOnce(kMessageWindowClass, &TThreadTimer::MessageWindowProc);
    window_ = CreateWindowExW(0, kMessageWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (!window_) throw EOutOfResources("Out of system resources");
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  if (Active() && !SetTimer(window_, kTimerId, interval_, nullptr))
    throw EOutOfResources("Not enough timers available");
}

LRESULT CALLBACK TThreadTimer::MessageWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_TIMER) return DefWindowProcW(window, msg, wParam, lParam);
  auto* timer = reinterpret_cast<TThreadTimer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!timer) return 0;
  try {
    timer->Tick();
  } catch (const EAbort&) {
    // A silent abort ends the tick and nothing more.
  } catch (const std::exception& error) {
    HandleTimerError(timer, error);
  }
  return 0;
}
