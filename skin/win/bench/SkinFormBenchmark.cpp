// The skinned frame under Windows: the median of one full non-client paint of a 480 x 360 window,
// and of one region rebuild for a 1024 x 768 window whose border pieces have magenta corners; then
// the main window skinned as the program skins it (through the skin manager, from its own layout):
// the median of a full repaint of the window with every control, and of each control skinner's
// own repaint, the slowest named, and the memory the skin holds once the window is drawn. At a
// display scale (the program is DPI-aware, so this is too) everything is drawn at that scale. Run by
// hand next to a copy of the skin:
//   tools/wine-session tools/wine-exec build/mingw/skin/win/skin_form_bench.exe [velskin.skn]
//   tools/wine-session tools/wine-dpi 192 build/mingw/skin/win/skin_form_bench.exe   (200 %)
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <typeinfo>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "framework/controls/Messages.h"
#include "framework/controls/tests/MessagePump.h"
#include "framework/win32/Region.h"
#include "framework/win32/WindowClass.h"
#include "skin/win/bench/ProcessCpu.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/form/SkinFormUnit.h"
#include "skin/win/manager/SkinManage.h"
#include "skin/win/tests/VelmainStandIn.h"

namespace {

// The times of runs of step in ms, fastest first.
std::vector<double> Times(int runs, const std::function<void()>& step) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    step();
    QueryPerformanceCounter(&end);
    times.push_back(1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
  }
  std::sort(times.begin(), times.end());
  return times;
}

double Median(int runs, const std::function<void()>& step) { return Times(runs, step)[static_cast<size_t>(runs) / 2]; }

HWND MakeWindow(int width, int height) {
  HWND w = CreateWindowExW(0, L"SkinFormBenchWindow", L"晴岚", WS_OVERLAPPEDWINDOW, 0, 0, width, height, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(w, SW_SHOWNORMAL);
  return w;
}

constexpr UINT kFullRepaint = RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_INVALIDATE | RDW_ERASE | RDW_FRAME;

// What a control skinner is called in the report: its control's name, else its window's class.
std::string SkinnerName(const TSkinControl& skinner) {
  std::string name = typeid(skinner).name();
  while (!name.empty() && std::isdigit(static_cast<unsigned char>(name.front()))) name.erase(name.begin());
  if (skinner.Control()) return skinner.Control()->Name() + " (" + name + ")";
  wchar_t className[64] = {};
  if (skinner.Handle()) GetClassNameW(skinner.Handle(), className, 64);
  return std::string(className, className + std::wcslen(className)) + " (" + name + ")";
}

// The main window skinned by the manager as at the program's start; false when it did not happen.
bool MainWindowSkinned(const std::string& skinFile) {
  UseSkinManage();
  Tvelmain velmain;
  auto& data = *static_cast<TSkinData*>(velmain.FindComponent("SkinData1"));
  data.OnReaderMessage = [](const std::string&) {};
  data.SetSkinFile(skinFile);
  velmain.Show();
  data.SetActive(true);
  TSkinForm* form = nullptr;
  PumpUntil(
      [&] {
        form = SkinManager() ? SkinManager()->FindFormSkinner(velmain.Handle()) : nullptr;
        return form && form->LifeState() == TSkinLifeState::Skinned;
      },
      3000);
  if (!form || form->LifeState() != TSkinLifeState::Skinned) return false;
  Pump(200);

  HWND window = velmain.Handle();
  const double cpuBefore = ProcessCpuMs();
  const std::vector<double> whole = Times(201, [window] { RedrawWindow(window, nullptr, nullptr, kFullRepaint); });
  // The process's own time, which other loads of a shared machine do not stretch (the X server's
  // share of the drawing is not in it).
  const double cpu = (ProcessCpuMs() - cpuBefore) / 201;
  // The fastest run is the one that other loads of a shared machine stretched least.
  std::printf("full repaint of the skinned main window at %d dpi, %zu control skinners: median %.3f ms (fastest "
              "%.3f ms), process CPU %.3f ms each\n",
              form->Dpi(), form->ControlSkinners().size(), whole[whole.size() / 2], whole.front(), cpu);
  std::printf("held by the skin once the window is drawn: %zu bytes\n", data.HeldBytes());

  struct TTimed {
    std::string name;
    double ms;
  };
  std::vector<TTimed> timed;
  for (const auto& skinner : form->ControlSkinners()) {
    // A windowless control is painted by its parent; its repaint is the parent's over its place.
    TSkinControl* each = skinner.get();
    TWinControl* parent = each->Control() ? each->Control()->Parent() : nullptr;
    timed.push_back({SkinnerName(*each), Median(101, [each, parent] {
                       each->Repaint();
                       if (parent) UpdateWindow(parent->Handle());
                       if (each->Handle()) UpdateWindow(each->Handle());
                     })});
  }
  std::sort(timed.begin(), timed.end(), [](const TTimed& a, const TTimed& b) { return a.ms > b.ms; });
  for (const TTimed& t : timed) std::printf("  %-40s median %.3f ms\n", t.name.c_str(), t.ms);
  if (!timed.empty()) std::printf("slowest control: %s, %.3f ms\n", timed.front().name.c_str(), timed.front().ms);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  SetProcessDPIAware();
  RegisterWindowClassOnce(L"SkinFormBenchWindow", DefWindowProcW);
  TSkinData data(nullptr);
  data.SetSkinFile(argc > 1 ? argv[1] : "skin-win-test-velskin.skn");
  if (data.LoadingSkin()) {
    std::fprintf(stderr, "the skin did not load\n");
    return 1;
  }

  HWND small = MakeWindow(480, 360);
  TSkinForm frame(nullptr, nullptr);
  frame.InitSkin(small, &data);
  SendMessageW(small, kSkinFinishMessage, 0, 1000);
  SetWindowPos(small, nullptr, 0, 0, 480, 360, SWP_NOMOVE | SWP_NOZORDER);
  const double paint = Median(501, [small] { SendMessageW(small, kSkinRepaintFrameMessage, 0, 0); });

  HWND large = MakeWindow(1024, 768);
  TSkinForm shaped(nullptr, nullptr);
  shaped.InitSkin(large, &data);
  SendMessageW(large, kSkinFinishMessage, 0, 1000);
  SetWindowPos(large, nullptr, 0, 0, 1024, 768, SWP_NOMOVE | SWP_NOZORDER);
  const double region = Median(201, [&] {
    SetWindowRegion(large, RegionFromRects(SkinRegionRects(data.Model(shaped.Dpi()), 1024, 768, shaped.Metrics(), true)), true);
  });

  const double rects = Median(201, [&] { RegionFromRects(SkinRegionRects(data.Model(shaped.Dpi()), 1024, 768, shaped.Metrics(), true)); });

  std::printf("full non-client paint, 480 x 360: median %.3f ms\n", paint);
  std::printf("region rebuild, 1024 x 768 with magenta corners: median %.3f ms (%.3f ms of it making the region, "
              "the rest handing it to the window, which redraws)\n",
              region, rects);
  frame.Unskin(false);
  shaped.Unskin(false);
  DestroyWindow(small);
  DestroyWindow(large);

  if (!MainWindowSkinned(argc > 1 ? argv[1] : "skin-win-test-velskin.skn")) {
    std::fprintf(stderr, "the main window was not skinned\n");
    return 1;
  }
  return 0;
}
