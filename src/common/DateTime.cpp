#include "common/DateTime.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

// 1970-01-01 is day 25569 of the TDateTime count.
constexpr int64_t UnixEpochDays = 25569;

void CivilFromDays(int64_t days, int& year, int& month, int& day)
{
    // Howard Hinnant's algorithm on days since 1970-01-01.
    int64_t z = days - UnixEpochDays + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = yoe + era * 400;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2 ? 1 : 0));
}

}  // namespace

int64_t DaysFromCivil(int year, int month, int day)
{
    const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + UnixEpochDays;
}

bool IsValidDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= lengths[month - 1] + (month == 2 && leap ? 1 : 0);
}

TDateTime EncodeDateTime(const TDateParts& p)
{
    const double days = static_cast<double>(DaysFromCivil(p.Year, p.Month, p.Day));
    const double time = (p.Hour * 3600000.0 + p.Minute * 60000.0 + p.Second * 1000.0 + p.Millisecond) / 86400000.0;
    // Before 1899-12-30 the fraction counts away from zero, as the format has it.
    return days >= 0 ? days + time : days - time;
}

bool IsStorableDate(TDateTime value)
{
    // Before 1899-12-30 the time of day counts away from zero, so the first
    // day runs down to just above -693594 and the last up to just below 2958466.
    return value > -693594.0 && value < 2958466.0;
}

int64_t DateOf(TDateTime value)
{
    // Converting a value beyond int64_t (or not a number) is undefined.
    if (!IsStorableDate(value))
        return 0;
    return static_cast<int64_t>(std::trunc(value));
}

TDateParts DecodeDateTime(TDateTime value)
{
    TDateParts parts;
    if (!IsStorableDate(value))
        return parts;
    const double whole = std::trunc(value);
    double fraction = std::fabs(value - whole);
    int64_t ms = static_cast<int64_t>(std::llround(fraction * 86400000.0));
    int64_t days = static_cast<int64_t>(whole);
    if (ms >= 86400000) {
        ms -= 86400000;
        days += value >= 0 ? 1 : -1;
    }
    CivilFromDays(days, parts.Year, parts.Month, parts.Day);
    parts.Hour = static_cast<int>(ms / 3600000);
    parts.Minute = static_cast<int>(ms / 60000 % 60);
    parts.Second = static_cast<int>(ms / 1000 % 60);
    parts.Millisecond = static_cast<int>(ms % 1000);
    return parts;
}

TDateTime UnixToDateTime(int64_t seconds, int32_t nanoseconds)
{
    const time_t t = static_cast<time_t>(seconds);
    std::tm local {};
    if (!::localtime_r(&t, &local))
        return 0;
    TDateParts parts;
    parts.Year = local.tm_year + 1900;
    parts.Month = local.tm_mon + 1;
    parts.Day = local.tm_mday;
    parts.Hour = local.tm_hour;
    parts.Minute = local.tm_min;
    parts.Second = local.tm_sec;
    parts.Millisecond = nanoseconds / 1000000;
    return EncodeDateTime(parts);
}

int64_t DateTimeToUnix(TDateTime value)
{
    const TDateParts p = DecodeDateTime(value);
    std::tm local {};
    local.tm_year = p.Year - 1900;
    local.tm_mon = p.Month - 1;
    local.tm_mday = p.Day;
    local.tm_hour = p.Hour;
    local.tm_min = p.Minute;
    local.tm_sec = p.Second;
    local.tm_isdst = -1;
    return static_cast<int64_t>(::mktime(&local));
}

TDateTime Now()
{
    timespec ts {};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return UnixToDateTime(ts.tv_sec, static_cast<int32_t>(ts.tv_nsec));
}

std::string FormatDateTime(TDateTime value)
{
    const TDateParts p = DecodeDateTime(value);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d:%02d", p.Year, p.Month, p.Day, p.Hour, p.Minute,
                  p.Second);
    return buffer;
}
