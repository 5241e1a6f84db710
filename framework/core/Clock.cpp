#include "framework/core/Clock.h"

#include <chrono>
#include <mutex>

namespace {
std::mutex& ClockMutex() {
  static std::mutex mutex;
  return mutex;
}
std::function<TDateTime()>& ClockSource() {
  static std::function<TDateTime()> source;
  return source;
}

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

constexpr long long kUnixEpochInDays = 25569;  // 1970-01-01 counted from 1899-12-30
}  // namespace

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  const double days = static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochInDays);
  return days + (hour * 3600.0 + minute * 60.0 + second + millisecond / 1000.0) / kSecondsPerDay;
}

TDateTime SystemNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                        local.tm_sec, static_cast<int>(ms));
}

TDateTime Now() {
  std::function<TDateTime()> source;
  {
    std::lock_guard lock(ClockMutex());
    source = ClockSource();
  }
  return source ? source() : SystemNow();
}

void SetClockSource(std::function<TDateTime()> source) {
  std::lock_guard lock(ClockMutex());
  ClockSource() = std::move(source);
}
