// SimClock: the simulator's UTC calendar clock. Runs on simulated seconds and rolls minutes,
// days and years over with the Gregorian leap-year rule.
#pragma once

#include <cstdint>

namespace halvex::sim {

struct SimDate {
    int year = 2026;
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int hour = 0;
    int minute = 0;
};

bool IsLeapYear(int year);
int DaysInYear(int year);
int DaysInMonth(int year, int month);
// 1-based day of year; month and day are clamped into the calendar first.
int DayOfYear(int year, int month, int day);

class SimClock {
public:
    explicit SimClock(const SimDate& start);

    void advance(double seconds);  // seconds >= 0

    int year() const { return year_; }
    int dayOfYear() const { return dayOfYear_; }
    int month() const;
    int dayOfMonth() const;
    int hour() const { return static_cast<int>(secondOfDay_ / 3600.0); }
    int minute() const { return static_cast<int>(secondOfDay_ / 60.0) % 60; }
    int second() const { return static_cast<int>(secondOfDay_) % 60; }
    double secondOfDay() const { return secondOfDay_; }

private:
    int year_;
    int dayOfYear_;
    double secondOfDay_;  // 0 <= value < 86400
};

}  // namespace halvex::sim
