// Writing the embedded exercise audio to a file against the system copying a file of the same
// bytes, timed in one run, turn about. Usage: resource_write_bench [runs]
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
    for (int i = 0; i < runs; ++i) {
      DeleteFileIfExists(written);
      writes.push_back(Time([&] { WriteResourceToFile("mp3", "eye3", written); }));
      DeleteFileIfExists(copied);
      copies.push_back(Time([&] {
        if (!CopyFileW(wideSource.c_str(), wideCopied.c_str(), FALSE)) throw EWriteError("CopyFileW failed");
      }));
    }
    for (const std::string& path : {source, written, copied}) DeleteFileIfExists(path);

    const double write = Median(writes), copy = Median(copies);
    std::printf("runs %d\nWriteResourceToFile median %.3f ms\nCopyFileW median %.3f ms\nratio %.2f\n", runs,
                write * 1e3, copy * 1e3, write / copy);
    return 0;
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
