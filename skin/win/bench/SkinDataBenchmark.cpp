// Loading the program's skin under Windows, from its compressed bytes to the last bitmap: the
// median of many loads and the memory the loaded skin holds; then the skin for a display scale met
// for the first time (its 2x pictures read, then the frame's pictures, or every picture, resampled
// and made bitmaps) and what the skin holds with it. Run by hand next to a copy of the skin:
//   tools/wine-session tools/wine-exec build/mingw/skin/win/skin_win_bench.exe [velskin.skn]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "skin/win/bench/ProcessCpu.h"
#include "skin/win/data/SkinDataUnit.h"

int main(int argc, char** argv) {
  TMemoryStream file;
  file.LoadFromFile(argc > 1 ? argv[1] : "skin-win-test-velskin.skn");
  TMemoryStream stream;
  const uint32_t length = static_cast<uint32_t>(file.Size());
  stream.WriteBuffer(&length, 4);
  stream.WriteBuffer(file.Memory(), length);

  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> times;
  size_t held = 0;
  for (int run = 0; run < 41; ++run) {
    TSkinData data(nullptr);
    stream.SetPosition(0);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    data.ReadSkinStream(stream);
    QueryPerformanceCounter(&end);
    if (data.LoadingSkin()) {
      std::fprintf(stderr, "the skin did not load\n");
      return 1;
    }
    times.push_back(1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    held = data.HeldBytes();
  }
  std::sort(times.begin(), times.end());
  std::printf("skin load: median %.2f ms (min %.2f, max %.2f, %zu runs); held by the loaded skin: %zu bytes\n",
              times[times.size() / 2], times.front(), times.back(), times.size(), held);

  // Every picture, as if every skinner drew at once; or only the frame's, which a window draws first.
  for (bool everyPicture : {false, true}) {
    for (int dpi : {120, 144, 192}) {
      std::vector<double> scaling;
      double cpu = 0;
      for (int run = 0; run < 21; ++run) {
        TSkinData data(nullptr);
        stream.SetPosition(0);
        data.ReadSkinStream(stream);
        LARGE_INTEGER start, end;
        const double cpuStart = ProcessCpuMs();
        QueryPerformanceCounter(&start);
        const TSkinModel& model = data.Model(dpi);
        for (const auto& object : model.Objects()) {
          const std::string& name = object->Name;
          const bool frame = name == "Left" || name == "Right" || name == "Top" || name == "Bottom";
          if (everyPicture || frame) (void)data.Picture(object->Image);
        }
        for (const auto& button : model.CaptionButtons()) (void)data.Picture(button->Image);
        QueryPerformanceCounter(&end);
        cpu += ProcessCpuMs() - cpuStart;
        scaling.push_back(1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
        held = data.HeldBytes();
      }
      std::sort(scaling.begin(), scaling.end());
      // The process's own time, which other loads of a shared machine do not stretch.
      std::printf("skin for a new scale, %d dpi, %s: median %.2f ms (max %.2f), process CPU %.2f ms each; held with "
                  "it: %zu bytes\n",
                  dpi, everyPicture ? "every picture" : "frame pictures", scaling[scaling.size() / 2], scaling.back(),
                  cpu / double(scaling.size()), held);
    }
  }
  return 0;
}
