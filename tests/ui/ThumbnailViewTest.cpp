// The thumbnail view over the file list: it shares the list's selection and
// focus with the plain list, and paints a picture once it arrives.

#include <gtest/gtest.h>

#include <QMimeData>
#include <QTest>
#include <QScrollBar>
#include <QStyle>

#include "browser/ui/ThumbnailView.h"
#include "collections/CategoryFolder.h"
#include "collections/MediaFolder.h"
#include "collections/Shelf.h"
#include "shellviews/ThumbSource.h"
#include "shellviews/ui/FileListItemModel.h"
#include "shellviews/ui/FileListView.h"
#include "support/TempFolder.h"

namespace {

struct RecordingRequests : TThumbRequests {
    std::vector<std::optional<std::vector<int32_t>>> Queues;
    void SetItems(std::vector<TEnumImageInfo>) override {}
    void SetQueue(std::optional<std::vector<int32_t>> ids) override { Queues.push_back(std::move(ids)); }
    void SetPriority(int32_t) override {}
    bool Idle() const override { return true; }
};

class ThumbnailViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 24; ++i)
            fTemp.Write("p" + std::to_string(10 + i) + ".jpg", "x");
        ASSERT_TRUE(fList.SetFolder(fTemp.Path()));
        fListView.SetListModel(&fModel);
        fRequester.SetStarter([this](const TThumbPlace&, TThumbReceiver&) {
            auto requests = std::make_unique<RecordingRequests>();
            fRequests = requests.get();
            return requests;
        });
        TThumbnailOptions options;
        options.CaptionName = false;
        fView.SetOptions(options, TSizeUnit::suKiloBytes, true);
        fView.SetSource(&fSource, &fModel, &fRequester);
        // Four columns of 96 pixels beside the scroll bar, two rows and a
        // half in view.
        const int bar = fView.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &fView);
        fView.resize(8 + 96 * 4 + bar + 2 * fView.frameWidth(), 250 + 2 * fView.frameWidth());
        fView.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&fView));
    }

    TTempFolder fTemp;
    TGroupList fShelves;
    TMediaList fMedia;
    TCategoryList fCategories;
    TShellListModel fList{{.Shelves = &fShelves, .Media = &fMedia, .Categories = &fCategories, .IsArchive = {}}};
    TFileListItemModel fModel{fList, nullptr, nullptr};
    TFileListView fListView;
    TFileThumbSource fSource{fList};
    TThumbRequester fRequester;
    RecordingRequests* fRequests = nullptr;
    TThumbnailView fView;
};

TEST_F(ThumbnailViewTest, SharesSelectionAndFocusWithThePlainList)
{
    ASSERT_EQ(fView.Arrangement().Columns, 4);
    fView.setFocus();
    QTest::mouseClick(fView.viewport(), Qt::LeftButton, {}, fView.CellRect(1).center());
    QTest::keyClick(&fView, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(fList.Selection(), (TListSelection{5, {1, 2, 3, 4, 5}}));
    // The plain list shows what the thumbnails left, and back.
    EXPECT_EQ(fListView.currentIndex().row(), 5);
    EXPECT_EQ(fListView.selectionModel()->selectedRows().size(), 5);
    fListView.selectionModel()->setCurrentIndex(fModel.index(9, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(fList.Selection(), (TListSelection{9, {9}}));
    QTest::keyClick(&fView, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(fList.Selection(), (TListSelection{8, {9}}));
}

TEST_F(ThumbnailViewTest, ArrivingPictureRepaintsItsCellAndScrollAsksForVisibleItems)
{
    ASSERT_TRUE(fRequester.Start(fSource.Place(), fSource.WorkItems(), fSource.Keys()));
    fView.Relayout();
    QTest::qWait(20);
    ASSERT_FALSE(fRequests->Queues.empty());
    EXPECT_EQ(fRequests->Queues.back(), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));

    TBitmap bitmap(40, 30, 24);
    for (int y = 0; y < 30; ++y)
        std::fill_n(bitmap.ScanLine(y), 40 * 3, uint8_t(0x30));
    TThumbnailResult result;
    result.Id = 6;
    result.Picture = std::make_shared<TBitmap>(std::move(bitmap));
    fRequester.ThumbnailArrived(result);
    TThumbnailResult none;  // none could be made of item 13
    none.Id = 13;
    none.FolderFlag = true;
    fRequester.ThumbnailArrived(none);
    const QPoint centre = fView.CellRect(6).center();
    EXPECT_EQ(fView.viewport()->grab().toImage().pixelColor(centre), QColor(0x30, 0x30, 0x30));

    // Scrolled to the last row: only its items not done are asked for.
    fView.verticalScrollBar()->setValue(fView.verticalScrollBar()->maximum());
    QTest::qWait(20);
    EXPECT_EQ(fRequests->Queues.back(), (std::vector<int32_t>{12, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23}));
}

// A cell the drop goes into is highlighted, painted over its picture; one
// that refuses, or a drop that goes to the listed folder, is not.
TEST_F(ThumbnailViewTest, HighlightsTheCellADropGoesInto)
{
    fView.OnDrop = [](const QDropEvent&, int cell, bool) { return cell == 3 ? Qt::IgnoreAction : Qt::CopyAction; };
    fView.DropsIntoCell = [](int cell) { return cell == 2 || cell == 3; };
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(fTemp.File("p10.jpg")))});
    const auto send = [&](QEvent::Type type, int cell) {
        const QPoint point = fView.CellRect(cell).center();
        if (type == QEvent::DragEnter) {
            QDragEnterEvent event(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(fView.viewport(), &event);
        } else {
            QDragMoveEvent event(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(fView.viewport(), &event);
        }
    };
    const QPoint centre = fView.CellRect(2).center();
    const QColor plain = fView.viewport()->grab().toImage().pixelColor(centre);
    send(QEvent::DragEnter, 1);
    EXPECT_EQ(fView.DropHighlighted(), std::nullopt);
    send(QEvent::DragMove, 2);
    EXPECT_EQ(fView.DropHighlighted(), std::optional<int>(2));
    EXPECT_NE(fView.viewport()->grab().toImage().pixelColor(centre), plain);
    send(QEvent::DragMove, 3);
    EXPECT_EQ(fView.DropHighlighted(), std::nullopt);
    send(QEvent::DragMove, 2);
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(fView.viewport(), &leave);
    EXPECT_EQ(fView.DropHighlighted(), std::nullopt);
    EXPECT_EQ(fView.viewport()->grab().toImage().pixelColor(centre), plain);
}

// A drag resting near the bottom edge scrolls the rows down a row per tick
// until the last row is in view, near the top edge back up; it stops away
// from the edges and when the drag leaves.
TEST_F(ThumbnailViewTest, ADragNearAnEdgeScrollsTheRows)
{
    fView.Relayout();
    fView.OnDrop = [](const QDropEvent&, int, bool) { return Qt::CopyAction; };
    QMimeData data;
    const auto move = [&](int y) {
        QDragMoveEvent event(QPoint(50, y), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(fView.viewport(), &event);
    };
    QScrollBar* bar = fView.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    QDragEnterEvent enter(QPoint(50, fView.viewport()->height() / 2), Qt::CopyAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(fView.viewport(), &enter);
    EXPECT_FALSE(fView.DragScrollTimer().isActive());
    EXPECT_FALSE(fView.DragScrollTimer().isActive());
    move(fView.viewport()->height() - 2);
    EXPECT_TRUE(fView.DragScrollTimer().isActive());
    for (int tick = 0; tick < 20 && fView.DragScrollTimer().isActive(); ++tick)
        fView.DragScrollTick();
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_FALSE(fView.DragScrollTimer().isActive()) << "nothing more to scroll";

    move(2);
    EXPECT_TRUE(fView.DragScrollTimer().isActive());
    fView.DragScrollTick();
    EXPECT_LT(bar->value(), bar->maximum());
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(fView.viewport(), &leave);
    EXPECT_FALSE(fView.DragScrollTimer().isActive());
}

}  // namespace
