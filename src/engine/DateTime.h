#pragma once
// TDateTime: the program's date value. Days since 30 December 1899 in local time, the time of
// day as the fraction. Before that day the value is negative and the fraction still counts
// forward from midnight (-1.25 is 29 December 1899, 06:00).

#include <chrono>
#include <cstdint>
#include <string>

namespace ferrowin {

using TDateTime = double;

struct TDate {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  friend bool operator==(const TDate&, const TDate&) = default;
};

struct TDateTimeParts {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
  friend bool operator==(const TDateTimeParts&, const TDateTimeParts&) = default;
};

inline constexpr std::int64_t MSecsPerDay = 86'400'000;

// Years 1..9999, real calendar days, hours 0..23, minutes and seconds 0..59, ms 0..999.
[[nodiscard]] bool IsValidDate(int year, int month, int day);
[[nodiscard]] bool TryEncodeDate(int year, int month, int day, TDateTime& result);
[[nodiscard]] bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);
[[nodiscard]] bool TryEncodeDateTime(int year, int month, int day, int hour, int minute,
                                     int second, int msec, TDateTime& result);
// The throwing forms (std::out_of_range) for values that are known to be good.
[[nodiscard]] TDateTime EncodeDate(int year, int month, int day);
[[nodiscard]] TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute,
                                       int second = 0, int msec = 0);

// Rounds to the millisecond, carrying into the next day rather than giving 24:00.
[[nodiscard]] TDateTimeParts DecodeDateTime(TDateTime value);
[[nodiscard]] TDate DecodeDate(TDateTime value);

[[nodiscard]] TDateTime Now();
[[nodiscard]] TDate Today();
[[nodiscard]] TDateTime EncodeDate(const TDate& date);

// Local-time conversions to and from the system clock.
[[nodiscard]] TDateTime FromTimePoint(std::chrono::system_clock::time_point point);
[[nodiscard]] std::chrono::system_clock::time_point ToTimePoint(TDateTime value);

// "YYYY-MM-DD HH:MM".
[[nodiscard]] std::string FormatDateTimeISO(TDateTime value);

}  // namespace ferrowin
