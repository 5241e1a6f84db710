#pragma once
// The process's own CPU time in milliseconds, for benchmarks on a shared machine: other loads
// stretch the wall-clock time of a step but not this.
#include <windows.h>

inline double ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ms = [](FILETIME t) {
    return double((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}
