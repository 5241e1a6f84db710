#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/core/Exception.h"
#include "gif/win/ThreadTimer.h"
#include "gif/win/tests/TestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

bool ThreadEnded(DWORD id) {
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, id);
  if (!thread) return true;
  const bool ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
  CloseHandle(thread);
  return ended;
}

// Collects tick times from whichever thread ticks.
struct TickLog {
  std::mutex mutex;
  std::vector<Clock::time_point> times;
  std::vector<DWORD> threads;
  void Add() {
    std::lock_guard<std::mutex> lock(mutex);
    times.push_back(Clock::now());
    threads.push_back(GetCurrentThreadId());
  }
  size_t Count() {
    std::lock_guard<std::mutex> lock(mutex);
    return times.size();
  }
};

}  // namespace

TEST(ThreadTimer, WithoutAHandlerItStaysIdleAndAHandlerStartsIt) {
  TThreadTimer timer(nullptr);
  timer.SetInterval(20);
  EXPECT_TRUE(timer.Enabled());
  Pump(150);
  EXPECT_TRUE(timer.Thread().Suspended());

  TickLog log;
  timer.SetOnTimer([&](TObject* sender) {
    EXPECT_EQ(sender, &timer);
    log.Add();
  });
  EXPECT_FALSE(timer.Thread().Suspended());
  ASSERT_TRUE(PumpUntil([&] { return log.Count() >= 2; }, 3000));
  // With SyncEvent on, every tick runs on the thread that pumps messages.
  for (DWORD id : log.threads) EXPECT_EQ(id, GetCurrentThreadId());
}

TEST(ThreadTimer, IntervalZeroStopsAndAPositiveIntervalRestarts) {
  TThreadTimer timer(nullptr);
  TickLog log;
  timer.SetInterval(15);
  timer.SetOnTimer([&](TObject*) { log.Add(); });
  ASSERT_TRUE(PumpUntil([&] { return log.Count() >= 1; }, 3000));

  timer.SetInterval(0);
  Pump(60);  // a tick already handed over may still arrive
  const size_t stopped = log.Count();
  Pump(200);
  EXPECT_EQ(log.Count(), stopped);
  EXPECT_TRUE(timer.Thread().Suspended());

  timer.SetInterval(15);
  EXPECT_TRUE(PumpUntil([&] { return log.Count() > stopped; }, 3000));

  timer.SetEnabled(false);
  Pump(60);
  const size_t disabled = log.Count();
  Pump(150);
  EXPECT_EQ(log.Count(), disabled);
}

TEST(ThreadTimer, ANewIntervalTakesEffectFromTheNextSleep) {
  TThreadTimer timer(nullptr);
  TickLog log;
  timer.SetSyncEvent(false);
  timer.SetInterval(200);
  const Clock::time_point start = Clock::now();
  timer.SetOnTimer([&](TObject*) { log.Add(); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  timer.SetInterval(800);

  const Clock::time_point limit = Clock::now() + std::chrono::seconds(5);
  while (log.Count() < 2 && Clock::now() < limit) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  timer.SetOnTimer(nullptr);
  ASSERT_GE(log.Count(), 2u);
  const auto first = std::chrono::duration_cast<std::chrono::milliseconds>(log.times[0] - start).count();
  const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(log.times[1] - log.times[0]).count();
  // The sleep under way ends as planned (restarting it would put the first tick at 820 ms).
  EXPECT_GE(first, 190);
  EXPECT_LT(first, 700);
  EXPECT_GE(gap, 780);
}

TEST(ThreadTimer, SwitchingToTheWindowTimerAndBack) {
  TThreadTimer timer(nullptr);
  TickLog log;
  timer.SetInterval(15);
  timer.SetOnTimer([&](TObject*) { log.Add(); });
  EXPECT_EQ(timer.MessageWindow(), nullptr);

  timer.SetThreaded(false);
  EXPECT_TRUE(timer.Thread().Suspended());
  ASSERT_NE(timer.MessageWindow(), nullptr);
  const size_t before = log.Count();
  ASSERT_TRUE(PumpUntil([&] { return log.Count() >= before + 2; }, 3000));

  timer.SetThreaded(true);
  EXPECT_EQ(timer.MessageWindow(), nullptr);
  EXPECT_FALSE(timer.Thread().Suspended());
  const size_t threaded = log.Count();
  EXPECT_TRUE(PumpUntil([&] { return log.Count() >= threaded + 2; }, 3000));
}

TEST(ThreadTimer, DestroyingATickingTimerEndsItsWorkerAndItsTicks) {
  std::atomic<int> ticks{0};
  auto timer = std::make_unique<TThreadTimer>(nullptr);
  timer->SetSyncEvent(false);
  timer->SetInterval(5);
  timer->SetOnTimer([&](TObject*) { ++ticks; });
  const Clock::time_point limit = Clock::now() + std::chrono::seconds(3);
  while (ticks < 3 && Clock::now() < limit) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_GE(ticks.load(), 3);
  const DWORD worker = timer->Thread().ThreadId();

  timer.reset();
  const int after = ticks;
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(ticks.load(), after);
  EXPECT_TRUE(ThreadEnded(worker));
}

TEST(ThreadTimer, DestroyingWhileTheWorkerWaitsForTheUiThreadDoesNotHang) {
  std::atomic<int> ticks{0};
  auto timer = std::make_unique<TThreadTimer>(nullptr);
  timer->SetInterval(5);
  timer->SetOnTimer([&](TObject*) { ++ticks; });
  // No messages are pumped: the worker now waits for the UI thread to run its tick.
  std::this_thread::sleep_for(std::chrono::milliseconds(80));
  const DWORD worker = timer->Thread().ThreadId();
  const Clock::time_point start = Clock::now();
  timer.reset();
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_TRUE(ThreadEnded(worker));
  // The handed-over tick was cancelled, not run after the timer was gone.
  Pump(50);
  EXPECT_EQ(ticks.load(), 0);
}

TEST(ThreadTimer, ChangingTheIntervalFromInsideAWorkerTickNeitherStopsNorHangsTheWorker) {
  TThreadTimer timer(nullptr);
  std::atomic<int> ticks{0};
  timer.SetSyncEvent(false);
  timer.SetInterval(10);
  timer.SetOnTimer([&](TObject*) {
    ++ticks;
    timer.SetInterval(ticks % 2 ? 12 : 10);
    EXPECT_TRUE(timer.Thread().IsWorkerThread());
  });
  const Clock::time_point limit = Clock::now() + std::chrono::seconds(3);
  while (ticks < 5 && Clock::now() < limit) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_GE(ticks.load(), 5);
}

TEST(ThreadTimer, ErrorsOnTheWorkerAreReportedAndTheWorkerGoesOn) {
  std::mutex mutex;
  std::vector<std::string> reported;
  std::vector<TObject*> senders;
  SetTimerErrorHandler([&](TObject* sender, const std::exception& error) {
    std::lock_guard<std::mutex> lock(mutex);
    reported.push_back(error.what());
    senders.push_back(sender);
  });
  {
    TThreadTimer timer(nullptr);
    std::atomic<int> ticks{0};
    timer.SetSyncEvent(false);
    timer.SetInterval(5);
    timer.SetOnTimer([&](TObject*) {
      const int n = ++ticks;
      if (n == 1) throw EAbort("silent");
      if (n == 2) throw EInvalidOperation("tick failed");
    });
    const Clock::time_point limit = Clock::now() + std::chrono::seconds(3);
    while (ticks < 4 && Clock::now() < limit) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GE(ticks.load(), 4);
    timer.SetOnTimer(nullptr);
    std::lock_guard<std::mutex> lock(mutex);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], "tick failed");
    EXPECT_EQ(senders[0], &timer.Thread());
    ASSERT_TRUE(timer.Thread().LastError());
  }
  SetTimerErrorHandler(nullptr);
}

TEST(ThreadTimer, ErrorsOfTicksHandedToTheUiThreadAreReportedAndTheTimerGoesOn) {
  std::vector<std::string> reported;
  SetTimerErrorHandler([&](TObject*, const std::exception& error) { reported.push_back(error.what()); });
  {
    TThreadTimer timer(nullptr);
    timer.SetInterval(5);
    int ticks = 0;
    timer.SetOnTimer([&](TObject*) {
      if (++ticks == 1) throw EInvalidOperation("tick failed");
    });
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, 3000)) << "the timer stalled after the error";
    timer.SetOnTimer(nullptr);
  }
  SetTimerErrorHandler(nullptr);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0], "tick failed");
}

TEST(ThreadTimer, ClearingTheHandlerWaitsForATickRunningOnTheWorker) {
  TThreadTimer timer(nullptr);
  timer.SetSyncEvent(false);
  timer.SetInterval(5);
  std::atomic<bool> inTick{false};
  std::atomic<bool> gone{false};
  std::atomic<bool> usedAfterGone{false};
  timer.SetOnTimer([&](TObject*) {
    inTick = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (gone) usedAfterGone = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return inTick.load(); }, 3000));
  timer.SetEnabled(false);
  timer.SetOnTimer(nullptr);
  gone = true;  // whatever the handler refers to may be freed from here on
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_FALSE(usedAfterGone.load());
}

TEST(ThreadTimer, WindowTimerErrorsGoToTheHandlerWithTheTimerAsSender) {
  std::vector<TObject*> senders;
  SetTimerErrorHandler([&](TObject* sender, const std::exception&) { senders.push_back(sender); });
  {
    TThreadTimer timer(nullptr);
    timer.SetThreaded(false);
    timer.SetInterval(10);
    timer.SetOnTimer([](TObject*) { throw EInvalidOperation("window tick failed"); });
    EXPECT_TRUE(PumpUntil([&] { return !senders.empty(); }, 3000));
    timer.SetOnTimer(nullptr);
    ASSERT_FALSE(senders.empty());
    EXPECT_EQ(senders[0], &timer);
  }
  SetTimerErrorHandler(nullptr);
}

TEST(ThreadTimer, PublishedPropertiesReadAndWriteByName) {
  RegisterThreadTimer();
  TThreadTimer timer(nullptr);
  SetPropValue(timer, "Interval", "250");
  SetPropValue(timer, "ThreadPriority", "tpHigher");
  SetPropValue(timer, "SyncEvent", "False");
  EXPECT_EQ(timer.Interval(), 250u);
  EXPECT_EQ(timer.ThreadPriority(), TThreadPriority::tpHigher);
  EXPECT_FALSE(timer.SyncEvent());
  EXPECT_THROW(SetPropValue(timer, "Interval", "-1"), EPropertyError);
  EXPECT_EQ(GetPropValue(timer, "Interval"), "250");
}
