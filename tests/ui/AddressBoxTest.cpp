#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "browser/ui/AddressBox.h"

namespace {

TAddressBox* BoxWith(const std::vector<std::string>& items)
{
    TAddressHistory history;
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        history.Add(*it, 10);
    auto* box = new TAddressBox;
    box->SetHistory(std::move(history), 10);
    return box;
}

TEST(AddressBoxTest, DeleteInTheOpenListForgetsTheItemAndSelectsTheNextOne)
{
    std::unique_ptr<TAddressBox> box(BoxWith({"/a", "/b", "/c"}));
    box->show();
    box->showPopup();
    QAbstractItemView* list = box->view();
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(box->History().Items(), (std::vector<std::string>{"/a", "/c"}));
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(1), "/c");
    EXPECT_EQ(list->currentIndex().row(), 1);
    // The last item gone: the one before it is selected.
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(list->currentIndex().row(), 0);
}

TEST(AddressBoxTest, EnterAsksForTheTypedTextAndARememberedTextGoesToTheTop)
{
    std::unique_ptr<TAddressBox> box(BoxWith({"/a", "/b"}));
    QSignalSpy entered(box.get(), &TAddressBox::AddressEntered);
    box->lineEdit()->setText("/b");
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    // The box matches the text against its items as well: still one request.
    ASSERT_EQ(entered.count(), 1);
    EXPECT_EQ(entered.at(0).at(0).toString(), "/b");
    box->Remember("/b", 10);
    EXPECT_EQ(box->itemText(0), "/b");
    EXPECT_EQ(box->count(), 2);
    EXPECT_EQ(box->lineEdit()->text(), "/b");
}

}  // namespace
