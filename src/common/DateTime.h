#pragma once

// Dates and times as the program stores them: a double counting days since
// 1899-12-30 00:00 local time, the fraction being the time of day. Binary
// files and archive member lists keep this form, so conversions must give the
// same value for the same local wall-clock time on every machine.

#include <cstdint>
#include <string>

using TDateTime = double;

struct TDateParts {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// Days since 1899-12-30 for a calendar date (proleptic Gregorian).
int64_t DaysFromCivil(int year, int month, int day);
bool IsValidDate(int year, int month, int day);

// True for a value the format can hold: a number from 0001-01-01 00:00 to the
// last moment of 9999-12-31. A file or plug-in may hand over any bit pattern
// where a date belongs; anything else is damage.
bool IsStorableDate(TDateTime value);

TDateTime EncodeDateTime(const TDateParts& parts);
// A value that is not storable decodes as 0 (1899-12-30 00:00).
TDateParts DecodeDateTime(TDateTime value);
// The whole days part (the calendar day; before 1899-12-30 the format counts
// the time of day away from zero, so truncation gives the day there too). A
// value that is not storable gives 0.
int64_t DateOf(TDateTime value);

// From seconds since 1970-01-01 UTC to local TDateTime, and back.
TDateTime UnixToDateTime(int64_t seconds, int32_t nanoseconds = 0);
int64_t DateTimeToUnix(TDateTime value);
TDateTime Now();

// "yyyy/mm/dd hh:nn:ss", as member lists and exports print times.
std::string FormatDateTime(TDateTime value);
