#pragma once
// TThreadTimer: a non-visual timer that calls OnTimer every Interval milliseconds, either from its own
// worker thread (TTimerThread) sleeping between ticks, or from a system window timer on a hidden
// message window. In the threaded mode a tick is handed to the UI thread and run there while the
// worker waits (SyncEvent, the default); with SyncEvent off it runs on the worker itself.
//
// The worker is never suspended by the operating system: "suspended" is a state the worker honours
// when it wakes, so changing a property never stops the thread that changes it (the animator sets
// the interval from inside a tick on the worker) and never freezes the worker while it holds a lock.
// A change of interval takes effect from the next sleep; the current sleep ends as planned.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "framework/classes/Events.h"
#include "framework/classes/Object.h"
#include "framework/classes/Properties.h"

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Where errors escaping a tick go: the application installs its own handler (a message box with the
// error's text by default). The sender is the timer for ticks on the UI thread, the worker otherwise.
using TTimerErrorHandler = std::function<void(TObject* sender, const std::exception& error)>;
void SetTimerErrorHandler(TTimerErrorHandler handler);
void HandleTimerError(TObject* sender, const std::exception& error);

class TThreadTimer;

class TTimerThread : public TObject {
public:
  explicit TTimerThread(TThreadTimer* owner);
  // Tells the worker to end and waits for it, unless called from the worker itself (then the worker
  // ends on its own once the current tick returns). A pending synchronised tick is cancelled.
  ~TTimerThread() override;

  void Suspend();
  void Resume();
  bool Suspended() const;
  void Terminate();
  bool Terminated() const;
  uint32_t Interval() const;
  void SetInterval(uint32_t interval);
  void SetPriority(TThreadPriority priority);
  bool IsWorkerThread() const;
  DWORD ThreadId() const;
  // Runs the procedure on the UI thread and waits for it; runs it directly when the worker is not
  // running or the caller is the UI thread. Gives up without running it when the worker is told to end.
  void SyncCall(const std::function<void()>& procedure);
  // From any thread but the worker: returns once no tick is running on the worker, giving up any
  // hand-over to the UI thread that such a tick is waiting for.
  void WaitForTick();
  // The error caught in the last tick run on the worker, if any.
  std::exception_ptr LastError() const;

  struct State;

private:
  std::shared_ptr<State> state_;
  std::thread thread_;
};

class TThreadTimer : public TComponent {
public:
  BREVIN_CLASS_INFO()
  explicit TThreadTimer(TComponent* owner);
  ~TThreadTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  uint32_t Interval() const { return interval_; }
  void SetInterval(uint32_t interval);
  bool Threaded() const { return threaded_; }
  void SetThreaded(bool threaded);
  bool SyncEvent() const { return syncEvent_; }
  void SetSyncEvent(bool syncEvent) { syncEvent_ = syncEvent; }
  TThreadPriority ThreadPriority() const { return priority_; }
  void SetThreadPriority(TThreadPriority priority);
  TNotifyEvent OnTimer() const;
  void SetOnTimer(TNotifyEvent handler);

  // Calls OnTimer when enabled, set and the timer is not being destroyed.
  virtual void Tick();
  void SyncCall(const std::function<void()>& procedure) { thread_->SyncCall(procedure); }

  TTimerThread& Thread() const { return *thread_; }
  HWND MessageWindow() const { return window_; }
  bool BeingDestroyed() const { return destroying_; }

private:
  static LRESULT CALLBACK MessageWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  void Reschedule();
  bool Active() const { return interval_ != 0 && enabled_ && hasHandler_; }
  void DestroyMessageWindow();

  std::atomic<bool> enabled_{true};
  std::atomic<uint32_t> interval_{1000};
  std::atomic<bool> syncEvent_{true};
  bool threaded_ = true;
  TThreadPriority priority_ = TThreadPriority::tpNormal;
  mutable std::mutex handlerMutex_;
  TNotifyEvent onTimer_;
  std::atomic<bool> hasHandler_{false};
  std::atomic<bool> destroying_{false};
  HWND window_ = nullptr;
  std::unique_ptr<TTimerThread> thread_;
};

// Makes TThreadTimer known to layouts.
void RegisterThreadTimer();
