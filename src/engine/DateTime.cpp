#include "DateTime.h"

#include <cmath>
#include <ctime>
#include <stdexcept>

#include "Format.h"

namespace ferrowin {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (the well-known era algorithm).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr TDate CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return TDate{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr std::int64_t DayZero = DaysFromCivil(1899, 12, 30);

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : Days[month - 1];
}

TDateTime Combine(TDateTime date, TDateTime time) { return date >= 0 ? date + time : date - time; }

TDateTimeParts FromTm(const std::tm& local, int msec) {
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
          local.tm_min,         local.tm_sec,     msec};
}

TDateTime EncodeParts(const TDateTimeParts& p) {
  TDateTime result = 0;
  if (!TryEncodeDateTime(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second, p.Millisecond, result))
    throw std::out_of_range("Invalid date/time");
  return result;
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
  if (!IsValidDate(year, month, day)) return false;
  result = static_cast<TDateTime>(DaysFromCivil(year, static_cast<unsigned>(month),
                                                static_cast<unsigned>(day)) - DayZero);
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      msec < 0 || msec > 999)
    return false;
  const std::int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + msec;
  result = static_cast<TDateTime>(ms) / MSecsPerDay;
  return true;
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec,
                       TDateTime& result) {
  TDateTime date = 0;
  TDateTime time = 0;
  if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, minute, second, msec, time))
    return false;
  result = Combine(date, time);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  return EncodeParts({year, month, day, 0, 0, 0, 0});
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec) {
  return EncodeParts({year, month, day, hour, minute, second, msec});
}

TDateTime EncodeDate(const TDate& date) { return EncodeDate(date.Year, date.Month, date.Day); }

TDateTimeParts DecodeDateTime(TDateTime value) {
  if (!std::isfinite(value)) value = 0;
  auto days = static_cast<std::int64_t>(std::trunc(value));
  // Rounding the fraction alone: a value a hair below midnight is the next day at 00:00.
  auto ms = static_cast<std::int64_t>(std::llround(std::fabs(value - std::trunc(value)) * MSecsPerDay));
  if (ms >= MSecsPerDay) {
    ms -= MSecsPerDay;
    ++days;
  }
  const TDate date = CivilFromDays(days + DayZero);
  const auto msec = static_cast<int>(ms);
  return {date.Year, date.Month, date.Day, msec / 3'600'000, msec / 60'000 % 60,
          msec / 1000 % 60, msec % 1000};
}

TDate DecodeDate(TDateTime value) {
  const TDateTimeParts p = DecodeDateTime(value);
  return {p.Year, p.Month, p.Day};
}

TDateTime FromTimePoint(std::chrono::system_clock::time_point point) {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(point.time_since_epoch()).count();
  std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  int msec = static_cast<int>(ms % 1000);
  if (msec < 0) {
    msec += 1000;
    --seconds;
  }
  std::tm local{};
  localtime_r(&seconds, &local);
  return EncodeParts(FromTm(local, msec));
}

std::chrono::system_clock::time_point ToTimePoint(TDateTime value) {
  const TDateTimeParts p = DecodeDateTime(value);
  std::tm local{};
  local.tm_year = p.Year - 1900;
  local.tm_mon = p.Month - 1;
  local.tm_mday = p.Day;
  local.tm_hour = p.Hour;
  local.tm_min = p.Minute;
  local.tm_sec = p.Second;
  local.tm_isdst = -1;
  const std::time_t seconds = std::mktime(&local);
  return std::chrono::system_clock::from_time_t(seconds) + std::chrono::milliseconds(p.Millisecond);
}

TDateTime Now() { return FromTimePoint(std::chrono::system_clock::now()); }

TDate Today() { return DecodeDate(Now()); }

std::string FormatDateTimeISO(TDateTime value) {
  const TDateTimeParts p = DecodeDateTime(value);
  return Format("%.4d-%.2d-%.2d %.2d:%.2d", p.Year, p.Month, p.Day, p.Hour, p.Minute);
}

}  // namespace ferrowin
