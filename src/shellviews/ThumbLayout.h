#pragma once

// The thumbnail view's arithmetic apart from any widget: the size of a cell
// from the thumbnail box, the captions and the font, how many columns and
// rows a view of a given size shows, which cell lies under a point and which
// cells a scroll position shows, where the arrow and page keys move the
// focus, how far a wheel notch scrolls, and the texts under and beside a
// picture and in its hint. The widget only paints what this decides.

#include <cstdint>
#include <string>
#include <vector>

#include "app/Init.h"
#include "common/DateTime.h"

// What the captions show (THUMBNAIL CaptionName ... CaptionImage).
struct TThumbCaptionSet {
    bool Name = true;
    bool Comment = false;
    bool Size = false;
    bool Date = false;
    bool Image = false;
};
TThumbCaptionSet ThumbCaptionSetFrom(const TThumbnailOptions& options);

// The sizes that do not depend on the view: the box, the image area and the
// cell of the grid, and the distance from one cell to the next.
struct TThumbCellSize {
    int BoxWidth = 80;
    int BoxHeight = 80;
    int ImageWidth = 92;   // box + 12
    int ImageHeight = 92;
    int CaptionHeight = 0;  // grid only; 0 in detail mode
    int CellWidth = 92;
    int CellHeight = 92;
    int PitchX = 96;  // cell + 4
    int PitchY = 96;
};

// lineHeight is the height of a line of the view's font. Detail mode keeps
// its text beside the picture, so its cell is only the image area high.
TThumbCellSize LayoutThumbnails(int boxWidth, int boxHeight, const TThumbCaptionSet& captions, int lineHeight,
                                bool detail);

struct TThumbCellRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TThumbCellRect&) const = default;
};

// The cells arranged for one view size and item count.
struct TThumbArrangement {
    TThumbCellSize Size;  // in detail mode CellWidth and PitchX follow the view width
    int Columns = 1;
    int Rows = 0;
    int Count = 0;
    int ContentHeight = 4;  // PitchY * Rows + 4
    bool VerticalBar = false;

    TThumbCellRect CellRect(int index) const;
    // The cell under a point of the content (scroll position added); -1 on
    // empty space and between cells.
    int CellAt(int x, int y) const;
    // The first and last index of the cells a band of the content from top,
    // height pixels high, meets; first > last when none.
    std::pair<int, int> CellsIn(int top, int height) const;
    // Whole rows the client area shows.
    int VisibleRows(int clientHeight) const { return clientHeight / Size.PitchY; }
};

// viewWidth and viewHeight are the area's size without a scroll bar;
// barWidth is a vertical scroll bar's width. A view narrower than one
// pitch still shows one column.
TThumbArrangement ArrangeThumbnails(const TThumbCellSize& size, int count, int viewWidth, int viewHeight,
                                    int barWidth, bool detail);

// The keys that move the focus.
enum class TThumbKey : uint8_t { tkLeft, tkRight, tkUp, tkDown, tkHome, tkEnd, tkPageUp, tkPageDown };

// Where a key moves the focus from item focused, with the view's columns,
// client height and scroll position; focused itself when it stays.
int ThumbKeyTarget(TThumbKey key, int focused, int count, int columns, int pitchY, int clientHeight,
                   int scrollTop);

// Rows one wheel notch scrolls; systemLines is the desktop's wheel setting.
// Always at least one row, so the wheel moves even a view that shows a
// single row.
int ThumbWheelRows(TThumbnailScroll scroll, int systemLines, int visibleRows);

// Where the view scrolls to show the row of item index: up so that its row
// is at the top, or down so that it ends 8 pixels above the bottom; the
// position itself when it is in view.
int ThumbScrollToShow(const TThumbArrangement& arrangement, int index, int scrollTop, int clientHeight);

// What a cell's captions and hint tell about its item.
struct TThumbItemFacts {
    std::string Name;
    bool Folder = false;     // folders show no size
    bool SizeKnown = false;
    int64_t Size = 0;
    bool TimeKnown = false;
    TDateTime Time = 0;
    std::string Comment;     // of a shelf, medium or category
    std::string Location;    // the folder, shown in the hint of search results and virtual lists
    std::string TypeName;
    // Lines the hint shows instead of place, type, size and date (the
    // collections' own facts: sizes of a medium, a category's kind).
    std::vector<std::string> CollectionLines;
    // Lines the detail captions show after a collection's comment ("分類： "
    // and a category's kind).
    std::vector<std::string> DetailLines;
    bool Collection = false;
    // The thumbnail's source facts, known once it arrived.
    bool HasPicture = false;
    bool FolderPicture = false;  // the picture stands for a folder or an archive
    int SourceWidth = 0;
    int SourceHeight = 0;
    int Bits = 0;
};

// "yyyy/mm/dd  hh:nn:ss".
std::string ThumbDateText(TDateTime time);
// "640 x 480 x 24bit".
std::string ThumbImageText(int width, int height, int bits);

// The grid's captions: the name (empty when not shown) and the lines below
// it, one per shown caption line, empty where an item has nothing to say.
struct TThumbCaptionTexts {
    std::string Name;
    std::vector<std::string> Lines;
};
TThumbCaptionTexts ThumbGridCaptions(const TThumbItemFacts& facts, const TThumbCaptionSet& captions, TSizeUnit unit);

// Detail mode shows every line beside the picture; size, picture and date
// share one line, joined by five blanks, when the cell has no room for
// them apart. NameLines is how many lines the name may wrap over.
struct TThumbDetailTexts {
    std::string Name;
    int NameLines = 1;
    std::vector<std::string> Lines;
};
TThumbDetailTexts ThumbDetailCaptions(const TThumbItemFacts& facts, TSizeUnit unit, int lineHeight, int cellHeight);

// The hint's lines: the name, then the facts.
std::vector<std::string> ThumbHintLines(const TThumbItemFacts& facts, TSizeUnit unit);
