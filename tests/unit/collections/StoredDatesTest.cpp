#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>

#include "base/Stream.h"
#include "collections/CategoryFile.h"
#include "collections/Media.h"
#include "collections/SearchCache.h"

// Every list file that stores dates as 8-byte doubles: a damaged file may hold
// any bit pattern there. Each file is written with one marker date in every
// date field, the marker's bytes are replaced by the pattern under test, and
// the file must read whole with every date either kept (a real date) or read
// as 0, so that it sorts, compares and prints like any other.

namespace {

using Bytes = std::vector<uint8_t>;

constexpr double Marker = 41234.5625;

struct TDatedFile {
    const char* Name;
    // Writes the file with every date set to the value given.
    std::function<Bytes(double)> Write;
    // Reads it back: false when the read did not complete; the dates read.
    std::function<bool(Bytes, std::vector<double>&)> Read;
};

Bytes Written(const std::function<void(TStream&)>& write)
{
    TMemoryStream stream;
    write(stream);
    return stream.Bytes();
}

void Collect(const TCustomCategorySet& set, std::vector<double>& dates)
{
    dates.insert(dates.end(), {set.Limits.Threshold, set.Limits.DateFrom, set.Limits.DateTo});
    for (const TCustomCategorySet& child : set.Children)
        Collect(child, dates);
}

const TDatedFile DatedFiles[] = {
    {"MediaList",
     [](double d) {
         TMediaList list;
         list.Medium(list.Add("Disc", 0, ""))->CatalogueDate = d;
         return Written([&](TStream& s) { WriteMediaList(list, s); });
     },
     [](Bytes b, std::vector<double>& dates) {
         TMemoryStream s(std::move(b));
         TMediaList list;
         const bool complete = ReadMediaList(s, list, {}).Complete && list.Count() == 1;
         if (complete)
             dates.push_back(list.Medium(0)->CatalogueDate);
         return complete;
     }},
    {"Catalogue",
     [](double d) {
         TMediaFolder medium(nullptr, "Disc");
         auto record = std::make_unique<TCtFileInfo>();
         record->Path = "a.jpg";
         record->Item = TItemIdList::FromPath("/media/disc/a.jpg");
         record->Modified = record->Created = record->Accessed = d;
         medium.AddRecord(std::move(record));
         return Written([&](TStream& s) { WriteCatalogue(medium, s); });
     },
     [](Bytes b, std::vector<double>& dates) {
         TMemoryStream s(std::move(b));
         TMediaFolder medium(nullptr, "Disc");
         const bool complete = ReadCatalogue(s, medium).Complete && medium.Count() == 1;
         if (complete)
             dates.insert(dates.end(), {medium.Record(0)->Modified, medium.Record(0)->Created, medium.Record(0)->Accessed});
         return complete;
     }},
    {"SearchCache",
     [](double d) {
         TSearchCache cache;
         TCtFileInfo entry;
         entry.Path = "/p/a.jpg";
         entry.Modified = entry.Created = entry.Accessed = d;
         cache.Add("/p", {entry});
         cache.SetMade(d);
         return Written([&](TStream& s) { WriteSearchCache(cache, s); });
     },
     [](Bytes b, std::vector<double>& dates) {
         TMemoryStream s(std::move(b));
         TSearchCache cache;
         const bool complete = ReadSearchCache(s, cache).Status == TCacheReadStatus::crRead && cache.Count() == 1;
         if (complete) {
             const TCtFileInfo& e = cache.Find("/p")->at(0);
             dates.insert(dates.end(), {cache.Made(), e.Modified, e.Created, e.Accessed});
         }
         return complete;
     }},
    {"CategoryList",
     [](double d) {
         TCategoryList list;
         TCategorySettings settings;
         settings.Kind = TCategoryKind::ckConditions;
         TCustomCategorySet dated{"dated", {}, {}};
         dated.Limits.UseDate = true;
         dated.Limits.Threshold = dated.Limits.DateFrom = dated.Limits.DateTo = d;
         settings.RootCondition.Limits = dated.Limits;
         settings.RootCondition.Children = {dated};
         list.Category(list.Add("c", 0, ""))->SetSettings(settings);
         return Written([&](TStream& s) { WriteCategoryList(list, s); });
     },
     [](Bytes b, std::vector<double>& dates) {
         TMemoryStream s(std::move(b));
         TCategoryList list;
         const bool complete = ReadCategoryList(s, list).Complete && list.Count() == 1;
         if (complete)
             Collect(list.Category(0)->Settings().RootCondition, dates);
         return complete;
     }},
};

// What a date field may hold, and what must be read from it.
struct TDateRow {
    double Stored;
    double Read;
};

const TDateRow DateRows[] = {
    {std::numeric_limits<double>::quiet_NaN(), 0},
    {std::bit_cast<double>(uint64_t(0xFFFFFF4D00000000)), 0},  // a NaN with payload and sign
    {std::numeric_limits<double>::infinity(), 0},
    {-std::numeric_limits<double>::infinity(), 0},
    {1e300, 0},
    {-1e19, 0},
    {2958466.0, 0},    // the first moment after 9999-12-31
    {-693594.0, 0},    // before 0001-01-01
    {-693593.0, -693593.0},
    {2958465.75, 2958465.75},
    {-1.5, -1.5},
};

class StoredDates : public testing::TestWithParam<std::tuple<TDatedFile, TDateRow>> {};

TEST_P(StoredDates, DamagedDatesReadAsZeroAndTheRestIsKept)
{
    const auto& [file, row] = GetParam();
    Bytes bytes = file.Write(Marker);
    const auto marker = std::bit_cast<std::array<uint8_t, 8>>(Marker);
    const auto stored = std::bit_cast<std::array<uint8_t, 8>>(row.Stored);
    int replaced = 0;
    for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), marker.begin(), marker.end())) != bytes.end();
         ++replaced)
        at = std::copy(stored.begin(), stored.end(), at);
    ASSERT_GT(replaced, 0);

    std::vector<double> dates;
    ASSERT_TRUE(file.Read(bytes, dates));
    ASSERT_EQ(dates.size(), static_cast<size_t>(replaced));
    for (const double date : dates)
        EXPECT_EQ(date, row.Read);
    // What was read writes and reads back the same.
    std::vector<double> again;
    ASSERT_TRUE(file.Read(file.Write(row.Read), again));
    EXPECT_EQ(again, dates);
}

INSTANTIATE_TEST_SUITE_P(Rows, StoredDates, testing::Combine(testing::ValuesIn(DatedFiles), testing::ValuesIn(DateRows)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).Name) + "_" + std::to_string(info.index);
                         });

}  // namespace
