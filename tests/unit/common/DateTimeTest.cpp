#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>

#include "common/DateTime.h"

TEST(DateTime, KnownDays)
{
    EXPECT_EQ(DaysFromCivil(1899, 12, 30), 0);
    EXPECT_EQ(DaysFromCivil(1900, 1, 1), 2);
    EXPECT_EQ(DaysFromCivil(1970, 1, 1), 25569);
    EXPECT_EQ(DaysFromCivil(2000, 3, 1), 36586);
    EXPECT_TRUE(IsValidDate(2024, 2, 29));
    EXPECT_FALSE(IsValidDate(2023, 2, 29));
    EXPECT_FALSE(IsValidDate(1900, 2, 29));
}

TEST(DateTime, EncodeDecodeRoundTrip)
{
    for (const TDateParts p : {TDateParts{2026, 12, 9, 5, 48, 45, 0}, TDateParts{1980, 1, 1, 0, 0, 0, 0},
                               TDateParts{2099, 12, 31, 23, 59, 59, 0}, TDateParts{1899, 12, 30, 12, 0, 0, 0}}) {
        const TDateParts q = DecodeDateTime(EncodeDateTime(p));
        EXPECT_EQ(q.Year, p.Year);
        EXPECT_EQ(q.Month, p.Month);
        EXPECT_EQ(q.Day, p.Day);
        EXPECT_EQ(q.Hour, p.Hour);
        EXPECT_EQ(q.Minute, p.Minute);
        EXPECT_EQ(q.Second, p.Second);
    }
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 31, 6, 0, 0, 0}), 1.25);
}

TEST(DateTime, UnixConversionUsesLocalTime)
{
    ::setenv("TZ", "Asia/Tokyo", 1);
    ::tzset();
    // 1970-01-01 00:00 UTC is 09:00 in Tokyo.
    EXPECT_DOUBLE_EQ(UnixToDateTime(0), 25569.0 + 9.0 / 24.0);
    EXPECT_EQ(DateTimeToUnix(25569.0 + 9.0 / 24.0), 0);
    EXPECT_EQ(FormatDateTime(UnixToDateTime(1700000000)), "2023/11/15 07:13:20");
    ::unsetenv("TZ");
    ::tzset();
}

// The first and last days the format holds, and values just beyond them or
// no number at all, which decode as 1899-12-30 rather than overflowing.
struct TStorableRow {
    double Value;
    bool Storable;
    int Year;
};
class StorableDates : public testing::TestWithParam<TStorableRow> {};

TEST_P(StorableDates, OnlyRealDatesDecode)
{
    const TStorableRow row = GetParam();
    EXPECT_EQ(IsStorableDate(row.Value), row.Storable);
    EXPECT_EQ(DecodeDateTime(row.Value).Year, row.Year);
    if (!row.Storable)
        EXPECT_EQ(DateOf(row.Value), 0);
}
INSTANTIATE_TEST_SUITE_P(Rows, StorableDates,
                         testing::Values(TStorableRow{double(DaysFromCivil(1, 1, 1)) - 0.999, true, 1},
                                         TStorableRow{double(DaysFromCivil(9999, 12, 31)) + 0.999, true, 9999},
                                         TStorableRow{double(DaysFromCivil(1, 1, 1)) - 1, false, 1899},
                                         TStorableRow{double(DaysFromCivil(10000, 1, 1)), false, 1899},
                                         TStorableRow{1e300, false, 1899}, TStorableRow{-1e300, false, 1899},
                                         TStorableRow{std::numeric_limits<double>::quiet_NaN(), false, 1899},
                                         TStorableRow{std::numeric_limits<double>::infinity(), false, 1899}));
