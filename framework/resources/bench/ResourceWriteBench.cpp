// Writing the embedded exercise audio to a file against the system copying a file of the same
// bytes, timed in one run. Usage: resource_write_bench [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "framework/core/Exception.h"
#include "framework/resources/ResourceFile.h"
#include "framework/win32/Strings.h"

namespace {
double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Step>
double Time(Step step) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  step();
  QueryPerformanceCounter(&end);
  return Seconds(start, end);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
  try {
    const std::string source = PathNextToExecutable("bench-source.mp3");
    const std::string written = PathNextToExecutable("bench-written.mp3");
    const std::string copied = PathNextToExecutable("bench-copied.mp3");
    WriteResourceToFile("mp3", "eye3", source);
    const std::wstring wideSource = Utf8ToWide(source), wideCopied = Utf8ToWide(copied);

    std::vector<double> writes, copies;
    const auto write = [&] {
      DeleteFileIfExists(written);
      writes.push_back(Time([&] { WriteResourceToFile("mp3", "eye3", written); }));
    };
    const auto copy = [&] {
      DeleteFileIfExists(copied);
      copies.push_back(Time([&] {
        if (!CopyFileW(wideSource.c_str(), wideCopied.c_str(), FALSE)) throw EWriteError("CopyFileW failed");
      }));
    };
    // Turn about, so that neither side always runs second (after the other has warmed the cache).
    for (int i = 0; i < runs; ++i) {
      if (i % 2 == 0) write(), copy();
      else copy(), write();
    }
    for (const std::string& path : {source, written, copied}) DeleteFileIfExists(path);

    // Each write is paired with the copy right after it, so that the machine's load, which drifts
    // over a run, weighs on both sides of each ratio alike.
    std::vector<double> ratios;
    for (int i = 0; i < runs; ++i) ratios.push_back(writes[i] / copies[i]);
    const double writeMedian = Median(writes), copyMedian = Median(copies);
    std::printf("runs %d\nWriteResourceToFile median %.3f ms\nCopyFileW median %.3f ms\n"
                "ratio of medians %.2f\nmedian of paired ratios %.2f\n",
                runs, writeMedian * 1e3, copyMedian * 1e3, writeMedian / copyMedian, Median(ratios));
    return 0;
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
