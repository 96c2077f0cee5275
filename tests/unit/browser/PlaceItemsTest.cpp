#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "browser/PlaceItems.h"
#include "base/Errors.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

struct TSortCase {
    const char* Name;
    std::vector<std::string> In;
    std::vector<std::string> Out;
};

class SortItemsTest : public ::testing::TestWithParam<TSortCase> {};

TEST_P(SortItemsTest, Orders)
{
    std::vector<TBrowserItem> items;
    for (const std::string& name : GetParam().In)
        items.push_back(TBrowserItem{name.back() == '/' ? TItemKind::ikFolder : TItemKind::ikImage, name, {}});
    SortItems(items);
    std::vector<std::string> names;
    for (const TBrowserItem& item : items)
        names.push_back(item.Name);
    EXPECT_EQ(names, GetParam().Out);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Rows, SortItemsTest,
    ::testing::Values(TSortCase{"WithoutCase", {"b.jpg", "A.jpg", "c.jpg"}, {"A.jpg", "b.jpg", "c.jpg"}},
                      TSortCase{"CaseOnlyDifferenceIsStable", {"a.jpg", "A.jpg"}, {"A.jpg", "a.jpg"}},
                      TSortCase{"ZeroPaddedNumbers", {"10.jpg", "02.jpg", "01.jpg"}, {"01.jpg", "02.jpg", "10.jpg"}},
                      TSortCase{"NumbersByValue", {"p10.jpg", "p9.jpg", "p1.jpg"}, {"p1.jpg", "p9.jpg", "p10.jpg"}},
                      TSortCase{"SpreadNameBetweenPages", {"08.bmp", "06-07.bmp", "05.bmp"},
                                {"05.bmp", "06-07.bmp", "08.bmp"}},
                      TSortCase{"MultibyteWithoutCase", {"Ärger.jpg", "äpfel.jpg"}, {"äpfel.jpg", "Ärger.jpg"}},
                      TSortCase{"FoldersFirst", {"a.jpg", "z/", "b/"}, {"b/", "z/", "a.jpg"}},
                      TSortCase{"Empty", {}, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

