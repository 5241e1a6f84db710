// The skinned frame under Windows: the median of one full non-client paint of a 480 x 360 window,
// and of one region rebuild for a 1024 x 768 window whose border pieces have magenta corners.
// Run by hand next to a copy of the skin:
//   tools/wine-session tools/wine-exec build/mingw/skin/win/skin_form_bench.exe [velskin.skn]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "framework/controls/Messages.h"
#include "framework/win32/Region.h"
#include "framework/win32/WindowClass.h"
#include "skin/win/SkinDataUnit.h"
#include "skin/win/SkinFormUnit.h"

namespace {

double Median(int runs, const std::function<void()>& step) {
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
  return times[times.size() / 2];
}

HWND MakeWindow(int width, int height) {
  HWND w = CreateWindowExW(0, L"SkinFormBenchWindow", L"晴岚", WS_OVERLAPPEDWINDOW, 0, 0, width, height, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(w, SW_SHOWNORMAL);
  return w;
}

}  // namespace

int main(int argc, char** argv) {
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
    SetWindowRegion(large, RegionFromRects(SkinRegionRects(data.Model(), 1024, 768, shaped.Metrics(), true)), true);
  });

  const double rects = Median(201, [&] { RegionFromRects(SkinRegionRects(data.Model(), 1024, 768, shaped.Metrics(), true)); });

  std::printf("full non-client paint, 480 x 360: median %.3f ms\n", paint);
  std::printf("region rebuild, 1024 x 768 with magenta corners: median %.3f ms (%.3f ms of it making the region, "
              "the rest handing it to the window, which redraws)\n",
              region, rects);
  frame.Unskin(false);
  shaped.Unskin(false);
  DestroyWindow(small);
  DestroyWindow(large);
  return 0;
}
