#pragma once
// The one source of "now". Times are TDateTime values: days since 1899-12-30, the fraction
// being the time of day (one hour is 1/24). Tests replace the source; everything else asks Now().
#include <functional>

using TDateTime = double;

constexpr double kSecondsPerDay = 86400.0;

TDateTime Now();
// Installs a replacement source; an empty function restores the system clock.
void SetClockSource(std::function<TDateTime()> source);
// The local wall-clock time of the machine, as the system clock source reports it.
TDateTime SystemNow();

// Builds a value from a calendar date and a time of day.
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond = 0);
