// How long the firing tick takes to put the reminder popup up with the exercise audio playing:
// writing the 1.5 MB audio file, opening and starting it and showing the window included. Runs the
// real tick of the main window several times and prints the median.
//
//   reminders_bench [runs]   the measurement (default 15 runs)
//   reminders_bench --animate N   the process's CPU while the rest window animates for N seconds
//   reminders_bench --show   holds each reminder up for a few seconds, announcing it on standard
//                            output ("SHOW <name>") so that a script can take screenshots
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "app/alarm/TimeText.h"
#include "app/settime/TrayIcon.h"
#include "app/settime/Velmain.h"
#include "framework/controls/Application.h"
#include "framework/controls/Messages.h"
#include "framework/controls/Spin.h"
#include "framework/core/Clock.h"
#include "framework/resources/ResourceFile.h"
#include "reminders/audio/ExerciseAudio.h"
#include "reminders/eye/Doeye.h"
#include "reminders/eye2/Doeye2.h"
#include "skin/win/manager/SkinManage.h"

namespace {

using Clock = std::chrono::steady_clock;

// A message posted before the tick is the first one the reminder's modal loop handles, which it
// does once the window is up: its arrival ends the measured span and runs the next step.
constexpr UINT kStepMessage = WM_APP + 1;
std::function<void()> g_step;

LRESULT CALLBACK StepProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kStepMessage) {
    std::function<void()> step = std::move(g_step);
    if (step) step();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND StepWindow() {
  static HWND window = [] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = StepProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ReminderBenchStep";
    RegisterClassW(&windowClass);
    return CreateWindowW(L"ReminderBenchStep", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
  }();
  return window;
}

// Waits in the message queue rather than sleeping: Wine puts the windows' pictures on the screen
// while a thread waits for messages.
void Pump(int milliseconds) {
  const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
  while (Clock::now() < end) {
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void ClickAt(TControl& control) {
  const LPARAM at = MAKELPARAM(control.Left() + control.Width() / 2, control.Top() + control.Height() / 2);
  SendMessageW(control.Parent()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(control.Parent()->Handle(), WM_LBUTTONUP, 0, at);
}

// Arms the alarm for this very second and runs the main window's tick; step runs once the
// reminder is up and must dismiss it.
void Fire(bool lockScreen, bool exercise, int lockSeconds, std::function<void()> step) {
  velmain->ArmAtStartup();
  (exercise ? velmain->RadioButton1 : velmain->RadioButton2)->SetChecked(true);
  velmain->CheckBox1->SetChecked(lockScreen);
  velmain->SpinEdit1->SetValue(lockSeconds);
  velmain->Label7->SetCaption("08:20:00");
  velmain->Label3->SetCaption(FormatTimeText(Now()));
  g_step = std::move(step);
  PostMessageW(StepWindow(), kStepMessage, 0, 0);
  velmain->Timer1Timer(nullptr);
}

void Announce(const char* name) {
  std::printf("SHOW %s\n", name);
  std::fflush(stdout);
}

int Measure(int runs) {
  std::vector<double> spans;
  for (int run = 0; run < runs; ++run) {
    const Clock::time_point start = Clock::now();
    bool playing = false;
    Fire(false, true, 0, [&] {
      spans.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      playing = doeye->Showing() && doeye->MediaPlayer1->Mode() == TMPModes::mpPlaying;
      ClickAt(*doeye->SpeedButton1);
    });
    if (!playing) {
      std::fprintf(stderr, "run %d: the popup was not up with the audio playing\n", run);
      return 1;
    }
  }
  std::vector<double> sorted = spans;
  std::sort(sorted.begin(), sorted.end());
  std::printf("firing tick to popup shown with the audio playing, %d runs: median %.1f ms, min %.1f ms, max %.1f ms\n",
              runs, sorted[sorted.size() / 2], sorted.front(), sorted.back());
  std::printf("first run (cold file cache and media layer): %.1f ms\n", spans.front());
  return 0;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The same path in its steps, without the windows: where the time goes.
void MeasureSteps(int runs) {
  std::vector<double> write, open, play;
  TMediaPlayer player(nullptr);
  for (int run = 0; run < runs; ++run) {
    const auto t0 = Clock::now();
    player.FileName = ExtractResourceNextToExecutable(kExerciseAudioResource, kExerciseAudioType, kExerciseAudioFile);
    const auto t1 = Clock::now();
    player.Open();
    const auto t2 = Clock::now();
    player.Play();
    const auto t3 = Clock::now();
    player.Close();
    DeleteExerciseAudio();
    write.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    open.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
    play.push_back(std::chrono::duration<double, std::milli>(t3 - t2).count());
  }
  std::printf("steps, median of %d: write the file %.1f ms, open %.1f ms, play %.1f ms\n", runs, Median(write),
              Median(open), Median(play));
}

int Show() {
  Fire(false, true, 0, [] {
    Pump(800);
    Announce("popup-exercise");
    Pump(2500);
    ClickAt(*doeye->SpeedButton1);
  });
  Fire(false, false, 0, [] {
    Pump(500);
    Announce("popup-remind");
    Pump(2500);
    ClickAt(*doeye->SpeedButton1);
  });
  Fire(true, true, 6, [] {
    Pump(2200);
    Announce("rest-locked");
    Pump(6000);
    Announce("rest-unlocked");
    Pump(2500);
    ClickAt(*doeye2->SpeedButton1);
  });
  return 0;
}

// CPU that the whole process spends while the rest window stands and animates, the modal loop
// otherwise idle: the animator's worker thread and its painting are what is measured.
struct AnimateRun {
  ULONGLONG cpuStart = 0;
  ULONGLONG cpuEnd = 0;
  std::chrono::steady_clock::time_point wallStart;
  std::chrono::steady_clock::time_point wallEnd;
  bool skinned = false;
};
AnimateRun g_animate;

ULONGLONG ProcessCpu100ns() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto value = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return value(kernel) + value(user);
}

void CALLBACK EndAnimation(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_animate.cpuEnd = ProcessCpu100ns();
  g_animate.wallEnd = std::chrono::steady_clock::now();
  doeye2->SpeedButton1Click(nullptr);
}

int Animate(int seconds) {
  Fire(true, false, seconds + 30, [seconds] {
    // Let the window settle, then measure from a clean start.
    Pump(1000);
    g_animate.skinned = SendMessageW(doeye2->Handle(), kSkinQueryMessage, 0, 0) == 1;
    g_animate.cpuStart = ProcessCpu100ns();
    g_animate.wallStart = std::chrono::steady_clock::now();
    SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, EndAnimation);
  });
  const double cpuMs = static_cast<double>(g_animate.cpuEnd - g_animate.cpuStart) / 10000.0;
  const double wallMs = std::chrono::duration<double, std::milli>(g_animate.wallEnd - g_animate.wallStart).count();
  std::printf("rest window (%s) animating for %.1f s: process CPU %.1f ms = %.3f %% of one core\n",
              g_animate.skinned ? "skinned" : "NOT skinned", wallMs / 1000.0, cpuMs,
              wallMs > 0 ? 100.0 * cpuMs / wallMs : 0.0);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Application->Initialize();
  SetClockSource([] { return EncodeDateTime(2026, 3, 2, 9, 35, 12); });
  const bool show = argc > 1 && std::wcscmp(argv[1], L"--show") == 0;
  const bool animate = argc > 2 && std::wcscmp(argv[1], L"--animate") == 0;
  // Shown and animated as the user sees them: in the skin, which the main window turns on as it
  // first shows.
  if (show || animate) UseSkinManage();
  if (show) SetProcessDPIAware();  // as the program's manifest makes it, so screenshots show each scale
  Application->CreateForm(velmain);
  Application->CreateForm(doeye);
  Application->CreateForm(doeye2);
  TrayIcon1 = new TTrayIcon(velmain);
  if (show || animate) {
    velmain->Show();
    Pump(600);
    velmain->Hide();
  }
  if (show) return Show();
  if (animate) return Animate(std::max(1, static_cast<int>(std::wcstol(argv[2], nullptr, 10))));
  const int runs = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 15;
  const int result = Measure(runs);
  if (result == 0) MeasureSteps(runs);
  return result;
}
