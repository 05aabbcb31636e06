#include "sim/SimClock.h"

#include <algorithm>
#include <cmath>

namespace halvex::sim {

namespace {
constexpr double kSecondsPerDay = 86400.0;
constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}  // namespace

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInYear(int year) { return IsLeapYear(year) ? 366 : 365; }

int DaysInMonth(int year, int month) {
    month = std::clamp(month, 1, 12);
    return kMonthDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

int DayOfYear(int year, int month, int day) {
    month = std::clamp(month, 1, 12);
    int result = std::clamp(day, 1, DaysInMonth(year, month));
    for (int m = 1; m < month; ++m) result += DaysInMonth(year, m);
    return result;
}

SimClock::SimClock(const SimDate& start)
    : year_(start.year),
      dayOfYear_(DayOfYear(start.year, start.month, start.day)),
      secondOfDay_(std::clamp(start.hour, 0, 23) * 3600.0 + std::clamp(start.minute, 0, 59) * 60.0) {}

void SimClock::advance(double seconds) {
    if (!(seconds > 0)) return;  // also rejects NaN
    secondOfDay_ += seconds;
    if (secondOfDay_ < kSecondsPerDay) return;
    double days = std::floor(secondOfDay_ / kSecondsPerDay);
    secondOfDay_ -= days * kSecondsPerDay;
    for (long d = static_cast<long>(days); d > 0;) {  // whole years at a time where possible
        int left = DaysInYear(year_) - dayOfYear_;
        if (d <= left) {
            dayOfYear_ += static_cast<int>(d);
            break;
        }
        d -= left + 1;
        ++year_;
        dayOfYear_ = 1;
    }
}

int SimClock::month() const {
    int day = dayOfYear_;
    int m = 1;
    while (m < 12 && day > DaysInMonth(year_, m)) day -= DaysInMonth(year_, m++);
    return m;
}

int SimClock::dayOfMonth() const {
    int day = dayOfYear_;
    for (int m = 1; m < 12 && day > DaysInMonth(year_, m); ++m) day -= DaysInMonth(year_, m);
    return day;
}

}  // namespace halvex::sim
