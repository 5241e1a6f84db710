#include "app/alarm/TimeText.h"

#include <cmath>

#include "framework/core/Exception.h"

namespace {
constexpr long long kMillisecondsPerDay = 86'400'000;

// Milliseconds since midnight. Rounding to the millisecond first keeps values such as
// 1/24 (one hour, not exactly representable) from truncating to 00:59:59.
long long MillisecondsOfDay(TDateTime value) {
  long long ms = std::llround(value * static_cast<double>(kMillisecondsPerDay)) % kMillisecondsPerDay;
  if (ms < 0) ms += kMillisecondsPerDay;
  return ms;
}

bool ParseTwoDigits(std::string_view text, size_t at, int limit, int& out) {
  if (at + 2 > text.size()) return false;
  const char hi = text[at];
  const char lo = text[at + 1];
  if (hi < '0' || hi > '9' || lo < '0' || lo > '9') return false;
  out = (hi - '0') * 10 + (lo - '0');
  return out < limit;
}
}  // namespace

std::string FormatTimeText(TDateTime value) {
  const auto seconds = static_cast<unsigned>(MillisecondsOfDay(value) / 1000);
  const unsigned parts[3] = {seconds / 3600 % 24, seconds / 60 % 60, seconds % 60};
  std::string text;
  for (unsigned part : parts) {
    if (!text.empty()) text += ':';
    text += static_cast<char>('0' + part / 10);
    text += static_cast<char>('0' + part % 10);
  }
  return text;
}

TDateTime ParseTimeText(std::string_view text) {
  int h = 0;
  int m = 0;
  int s = 0;
  const bool ok = text.size() == 8 && text[2] == ':' && text[5] == ':' && ParseTwoDigits(text, 0, 24, h) &&
                  ParseTwoDigits(text, 3, 60, m) && ParseTwoDigits(text, 6, 60, s);
  if (!ok) throw EConvertError(Format("'%.*s' is not a valid time", static_cast<int>(text.size()), text.data()));
  return (h * 3600 + m * 60 + s) / kSecondsPerDay;
}

WorkedTime ComputeWorkedTime(std::string_view alarmText, std::string_view workStartText) {
  TDateTime worked = ParseTimeText(alarmText) - ParseTimeText(workStartText);
  if (worked < 0) worked += 1.0;
  const long long seconds = MillisecondsOfDay(worked) / 1000;
  return {static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60)};
}

std::string WorkedTimeMessage(const WorkedTime& worked) {
  return "您已连续工作了" + std::to_string(worked.hours) + "时" + std::to_string(worked.minutes) + "分" +
         std::to_string(worked.seconds) + "秒";
}
