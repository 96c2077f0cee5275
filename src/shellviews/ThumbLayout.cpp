#include "shellviews/ThumbLayout.h"

#include <algorithm>
#include <cstdio>

#include "shellviews/SizeText.h"
#include "base/Texts.h"

TThumbCaptionSet ThumbCaptionSetFrom(const TThumbnailOptions& options)
{
    return {options.CaptionName, options.CaptionComment, options.CaptionSize, options.CaptionDate,
            options.CaptionImage};
}

TThumbCellSize LayoutThumbnails(int boxWidth, int boxHeight, const TThumbCaptionSet& captions, int lineHeight,
                                bool detail)
{
    TThumbCellSize size;
    size.BoxWidth = std::max(1, boxWidth);
    size.BoxHeight = std::max(1, boxHeight);
    size.ImageWidth = size.BoxWidth + 12;
    size.ImageHeight = size.BoxHeight + 12;
    const int h = std::max(1, lineHeight);
    const bool other = captions.Comment || captions.Size || captions.Date || captions.Image;
    int caption = 0;
    if (!detail && (captions.Name || other)) {
        // The name takes two lines and keeps 4 pixels from the lines below
        // it; comment and picture information share one line.
        if (captions.Name)
            caption += 2 * h + (other ? 4 : 0);
        if (captions.Size)
            caption += h;
        if (captions.Date)
            caption += h;
        if (captions.Comment || captions.Image)
            caption += h;
        caption += 6;
    }
    size.CaptionHeight = caption;
    size.CellWidth = size.ImageWidth;
    size.CellHeight = size.ImageHeight + caption;
    size.PitchX = size.CellWidth + 4;
    size.PitchY = size.CellHeight + 4;
    return size;
}

TThumbArrangement ArrangeThumbnails(const TThumbCellSize& size, int count, int viewWidth, int viewHeight,
                                    int barWidth, bool detail)
{
    TThumbArrangement a;
    a.Size = size;
    a.Count = std::max(0, count);
    const auto rowsFor = [&](int columns) { return (a.Count + columns - 1) / columns; };
    const auto heightFor = [&](int rows) { return size.PitchY * rows + 4; };
    if (detail) {
        a.Columns = 1;
        a.Rows = a.Count;
        a.VerticalBar = heightFor(a.Rows) > viewHeight;
        const int width = viewWidth - 8 - (a.VerticalBar ? barWidth : 0) - 4;
        // A view too narrow for the text still shows the picture.
        a.Size.CellWidth = std::max(size.ImageWidth, width);
        a.Size.PitchX = a.Size.CellWidth + 4;
    } else {
        a.Columns = std::max(1, (viewWidth - 8) / size.PitchX);
        a.Rows = rowsFor(a.Columns);
        if (heightFor(a.Rows) > viewHeight) {
            a.VerticalBar = true;
            const int beside = std::max(1, (viewWidth - 8 - barWidth) / size.PitchX);
            if (beside < a.Columns) {
                a.Columns = beside;
                a.Rows = rowsFor(a.Columns);
            }
        }
    }
    a.ContentHeight = heightFor(a.Rows);
    return a;
}

TThumbCellRect TThumbArrangement::CellRect(int index) const
{
    const int row = index / Columns;
    const int column = index % Columns;
    return {Size.PitchX * column + 4, Size.PitchY * row + 4, Size.CellWidth, Size.CellHeight};
}

int TThumbArrangement::CellAt(int x, int y) const
{
    if (x < 4 || y < 4)
        return -1;
    const int column = (x - 4) / Size.PitchX;
    const int row = (y - 4) / Size.PitchY;
    if (column >= Columns || (x - 4) % Size.PitchX >= Size.CellWidth || (y - 4) % Size.PitchY >= Size.CellHeight)
        return -1;
    const int64_t index = int64_t(row) * Columns + column;
    return index < Count ? static_cast<int>(index) : -1;
}

std::pair<int, int> TThumbArrangement::CellsIn(int top, int height) const
{
    if (Count == 0 || height <= 0)
        return {0, -1};
    const int firstRow = std::max(0, (top - 4) / Size.PitchY);
    const int lastRow = std::min(Rows - 1, std::max(0, (top + height - 1 - 4) / Size.PitchY));
    if (firstRow > lastRow)
        return {0, -1};
    return {firstRow * Columns, std::min(Count - 1, (lastRow + 1) * Columns - 1)};
}

namespace {

int CeilDiv(int a, int b)
{
    return a > 0 ? (a + b - 1) / b : -((-a) / b);
}

}  // namespace

int ThumbKeyTarget(TThumbKey key, int i, int count, int c, int p, int clientHeight, int scrollTop)
{
    if (count <= 0)
        return -1;
    c = std::max(1, c);
    p = std::max(1, p);
    i = std::clamp(i, 0, count - 1);
    const int last = count - 1;
    const int row = i / c;
    // A view lower than one row still moves a page by one row.
    const int screenRows = std::max(1, clientHeight / p);
    switch (key) {
    case TThumbKey::tkLeft: return std::max(0, i - 1);
    case TThumbKey::tkRight: return std::min(last, i + 1);
    case TThumbKey::tkUp: return i >= c ? i - c : i;
    case TThumbKey::tkDown: return i + c <= last ? i + c : i;
    case TThumbKey::tkHome: return 0;
    case TThumbKey::tkEnd: return last;
    case TThumbKey::tkPageUp: {
        const int rowTop = p * row;
        int t = rowTop > scrollTop ? i - CeilDiv(rowTop - scrollTop, p) * c : i - screenRows * c;
        return t < 0 ? 0 : t - t % c;
    }
    case TThumbKey::tkPageDown: {
        const int v = clientHeight + scrollTop;
        const int b = p * (row + 1);
        int t = b + p < v ? i + CeilDiv(v - b, p) * c : i + screenRows * c;
        t = t + c - t % c - 1;
        return std::min(last, t);
    }
    }
    return i;
}

int ThumbWheelRows(TThumbnailScroll scroll, int systemLines, int visibleRows)
{
    switch (scroll) {
    case TThumbnailScroll::twOneRow: return 1;
    case TThumbnailScroll::twOneScreen: return std::max(1, visibleRows - 1);
    case TThumbnailScroll::twStandard:
    default: return std::max(1, std::min(systemLines, visibleRows - 1));
    }
}

int ThumbScrollToShow(const TThumbArrangement& a, int index, int scrollTop, int clientHeight)
{
    if (index < 0 || index >= a.Count)
        return scrollTop;
    const TThumbCellRect r = a.CellRect(index);
    if (r.Top < scrollTop)
        return std::max(0, r.Top - 4);
    const int bottom = r.Top + r.Height;
    if (bottom > scrollTop + clientHeight)
        return std::max(0, bottom + 8 - clientHeight);
    return scrollTop;
}

std::string ThumbDateText(TDateTime time)
{
    const TDateParts d = DecodeDateTime(time);
    char text[40];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d  %02d:%02d:%02d", d.Year, d.Month, d.Day, d.Hour, d.Minute,
                  d.Second);
    return text;
}

std::string ThumbImageText(int width, int height, int bits)
{
    return std::to_string(width) + " x " + std::to_string(height) + " x " + std::to_string(bits) + "bit";
}

namespace {

std::string SizeLine(const TThumbItemFacts& facts, TSizeUnit unit)
{
    return facts.Folder || !facts.SizeKnown ? std::string() : FormatSizeColumn(facts.Size, unit);
}

std::string DateLine(const TThumbItemFacts& facts)
{
    return facts.TimeKnown ? ThumbDateText(facts.Time) : std::string();
}

// Only a picture of the item itself has facts worth showing; a folder's
// picture belongs to its first file.
std::string ImageLine(const TThumbItemFacts& facts)
{
    return facts.HasPicture && !facts.FolderPicture ? ThumbImageText(facts.SourceWidth, facts.SourceHeight, facts.Bits)
                                                    : std::string();
}

}  // namespace

TThumbCaptionTexts ThumbGridCaptions(const TThumbItemFacts& facts, const TThumbCaptionSet& captions, TSizeUnit unit)
{
    TThumbCaptionTexts texts;
    if (captions.Name)
        texts.Name = facts.Name;
    if (captions.Size)
        texts.Lines.push_back(SizeLine(facts, unit));
    if (captions.Date)
        texts.Lines.push_back(DateLine(facts));
    if (captions.Comment || captions.Image) {
        // One line serves both: a collection has a comment and no picture
        // of its own, a file the reverse.
        std::string line = captions.Image ? ImageLine(facts) : std::string();
        if (line.empty() && captions.Comment)
            line = facts.Comment;
        texts.Lines.push_back(std::move(line));
    }
    return texts;
}

TThumbDetailTexts ThumbDetailCaptions(const TThumbItemFacts& facts, TSizeUnit unit, int lineHeight, int cellHeight)
{
    TThumbDetailTexts texts;
    texts.Name = facts.Name;
    std::vector<std::string> shared;
    for (std::string line : {SizeLine(facts, unit), ImageLine(facts), DateLine(facts)})
        if (!line.empty())
            shared.push_back(std::move(line));
    const int h = std::max(1, lineHeight);
    const int fit = std::max(1, cellHeight / h);
    const int comment = facts.Comment.empty() ? 0 : 1;
    const int own = comment + static_cast<int>(facts.DetailLines.size());
    if (1 + own + static_cast<int>(shared.size()) <= fit) {
        texts.Lines = shared;
    } else if (!shared.empty()) {
        std::string joined;
        for (const std::string& line : shared)
            joined += (joined.empty() ? "" : "     ") + line;
        texts.Lines.push_back(std::move(joined));
    }
    if (comment)
        texts.Lines.push_back(facts.Comment);
    texts.Lines.insert(texts.Lines.end(), facts.DetailLines.begin(), facts.DetailLines.end());
    texts.NameLines = std::max(1, fit - static_cast<int>(texts.Lines.size()));
    return texts;
}

std::vector<std::string> ThumbHintLines(const TThumbItemFacts& facts, TSizeUnit unit)
{
    std::vector<std::string> lines{facts.Name};
    if (facts.Collection) {
        if (!facts.Comment.empty())
            lines.push_back(facts.Comment);
        lines.insert(lines.end(), facts.CollectionLines.begin(), facts.CollectionLines.end());
        return lines;
    }
    if (!facts.Location.empty())
        lines.push_back(Tx("場所: ") + facts.Location);
    if (!facts.TypeName.empty())
        lines.push_back(Tx("種類: ") + facts.TypeName);
    if (!facts.Folder && facts.SizeKnown)
        lines.push_back(Tx("サイズ: ") + FormatSizeColumn(facts.Size, unit));
    if (facts.TimeKnown)
        lines.push_back(Tx("更新日時: ") + ThumbDateText(facts.Time));
    if (facts.HasPicture && !facts.FolderPicture)
        lines.push_back(Tx("画像サイズ: ") + ThumbImageText(facts.SourceWidth, facts.SourceHeight, facts.Bits));
    return lines;
}
