#include "browser/ui/ThumbnailView.h"

#include <QAbstractItemModel>
#include <QDropEvent>
#include <QApplication>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTextLayout>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

#include "viewer/ui/BitmapImage.h"

namespace {

// Draws text wrapped into at most lines lines of rect, the last one ending
// in an ellipsis when the text goes on; one line that fits is centred.
void DrawWrapped(QPainter& painter, const QRect& rect, const QString& text, int lines, bool center)
{
    const QFontMetrics metrics = painter.fontMetrics();
    if (metrics.horizontalAdvance(text) <= rect.width() || lines <= 1) {
        painter.drawText(rect.left(), rect.top(), rect.width(), metrics.height(),
                         (center ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop,
                         metrics.elidedText(text, Qt::ElideRight, rect.width()));
        return;
    }
    QTextLayout layout(text, painter.font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int y = rect.top();
    for (int n = 0; n < lines; ++n) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(rect.width());
        QString part = text.mid(line.textStart(), line.textLength());
        if (n == lines - 1 && line.textStart() + line.textLength() < text.size())
            part = metrics.elidedText(text.mid(line.textStart()), Qt::ElideRight, rect.width());
        painter.drawText(rect.left(), y, rect.width(), metrics.height(), Qt::AlignLeft | Qt::AlignTop, part);
        y += metrics.height();
    }
    layout.endLayout();
}

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

TThumbnailView::TThumbnailView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName("sbxThumbnail");
    viewport()->setObjectName("pbxThumbnail");
    // Drops reach the view only while the window says what they would do.
    viewport()->setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    fRenameTimer.setSingleShot(true);
    connect(&fRenameTimer, &QTimer::timeout, this, [this] {
        if (fSource && OnRename && fSource->Selection().Focused >= 0)
            OnRename(fSource->Selection().Focused);
    });
    // Scrolling by the bar stops a rename about to begin.
    connect(verticalScrollBar(), &QScrollBar::sliderPressed, this, [this] { fRenameTimer.stop(); });
    fDragScrollTimer.setInterval(DragScrollIntervalMs);
    connect(&fDragScrollTimer, &QTimer::timeout, this, [this] { DragScrollTick(); });
}

TThumbnailView::~TThumbnailView()
{
    SetSource(nullptr, nullptr, nullptr);
}

void TThumbnailView::SetSource(TThumbSource* source, QAbstractItemModel* icons, TThumbRequester* requester)
{
    if (fSource)
        fSource->OnChanged = nullptr;
    if (fRequester)
        fRequester->UnregisterObserver(this);
    fSource = source;
    fIcons = icons;
    fRequester = requester;
    if (fSource)
        fSource->OnChanged = [this](TThumbSourceChange change) { SourceChanged(change); };
    if (fRequester)
        fRequester->RegisterObserver(this);
    fLastFocused = fSource ? fSource->Selection().Focused : -1;
    Relayout();
}

void TThumbnailView::SetOptions(const TThumbnailOptions& options, TSizeUnit unit, bool clickRename)
{
    fOptions = options;
    fSizeUnit = unit;
    fClickRename = clickRename;
    Relayout();
}

void TThumbnailView::SetDetail(bool detail)
{
    if (fDetail == detail)
        return;
    fDetail = detail;
    Relayout();
}

void TThumbnailView::Relayout()
{
    const TThumbCellSize size = LayoutThumbnails(fOptions.Width, fOptions.Height, ThumbCaptionSetFrom(fOptions),
                                                 fontMetrics().height(), fDetail);
    const QRect area = contentsRect();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    fArrangement = ArrangeThumbnails(size, fSource ? fSource->Count() : 0, area.width(), area.height(), bar, fDetail);
    setVerticalScrollBarPolicy(fArrangement.VerticalBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    QScrollBar* vbar = verticalScrollBar();
    const int client = area.height();
    vbar->setRange(0, std::max(0, fArrangement.ContentHeight - client));
    vbar->setPageStep(client);
    vbar->setSingleStep(size.PitchY);
    viewport()->update();
    PostRequestVisible();
}

QRect TThumbnailView::CellRect(int index) const
{
    const TThumbCellRect r = fArrangement.CellRect(index);
    return {r.Left, r.Top - verticalScrollBar()->value(), r.Width, r.Height};
}

int TThumbnailView::CellAtViewport(QPoint point) const
{
    return fArrangement.CellAt(point.x(), point.y() + verticalScrollBar()->value());
}

void TThumbnailView::SourceChanged(TThumbSourceChange change)
{
    switch (change) {
    case TThumbSourceChange::scItems:
        if (fRequester && fSource)
            fRequester->SetItems(fSource->WorkItems(), fSource->Keys());
        Relayout();
        break;
    case TThumbSourceChange::scTexts: viewport()->update(); break;
    case TThumbSourceChange::scSelection: {
        const int focused = fSource ? fSource->Selection().Focused : -1;
        if (focused != fLastFocused && fRequester)
            fRequester->FocusChanged(focused);
        fLastFocused = focused;
        viewport()->update();
        break;
    }
    }
}

void TThumbnailView::ThumbsChanged(TThumbRequester&, const TThumbChange& change)
{
    if (change.Kind == TThumbChangeKind::tcArrived) {
        viewport()->update(CellRect(change.Id));
        return;
    }
    // The pictures are gone: the view starts again from the top.
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

void TThumbnailView::PostRequestVisible()
{
    if (fRequestPosted)
        return;
    fRequestPosted = true;
    QTimer::singleShot(0, this, [this] {
        fRequestPosted = false;
        RequestVisible();
    });
}

void TThumbnailView::RequestVisible()
{
    if (!fRequester || !fRequester->Running())
        return;
    const auto [first, last] = fArrangement.CellsIn(verticalScrollBar()->value(), viewport()->height());
    fRequester->RequestVisible(first, last);
}

void TThumbnailView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
}

void TThumbnailView::scrollContentsBy(int, int)
{
    fRenameTimer.stop();
    viewport()->update();
    PostRequestVisible();
}

bool TThumbnailView::IsSelected(int row) const
{
    const std::vector<int>& selected = fSource->Selection().Selected;
    return std::binary_search(selected.begin(), selected.end(), row);
}

TThumbItemFacts TThumbnailView::FactsOf(int row) const
{
    TThumbItemFacts facts = fSource->Facts(row);
    if (const TThumbState* state = fRequester ? fRequester->State(row) : nullptr; state && state->Picture) {
        facts.HasPicture = true;
        facts.FolderPicture = state->FolderFlag;
        facts.SourceWidth = state->SourceWidth;
        facts.SourceHeight = state->SourceHeight;
        facts.Bits = state->Bits;
    }
    return facts;
}

void TThumbnailView::paintEvent(QPaintEvent* event)
{
    if (!fSource)
        return;
    QPainter painter(viewport());
    const int top = verticalScrollBar()->value();
    const QRect exposed = event->rect();
    const auto [first, last] = fArrangement.CellsIn(exposed.top() + top, exposed.height());
    for (int index = first; index <= last; ++index) {
        const QRect cell = CellRect(index);
        if (cell.intersects(exposed))
            PaintCell(painter, index, cell);
    }
    if (const std::optional<int> target = fDropHover.Highlighted(); target && *target >= first && *target <= last) {
        const QRect cell = CellRect(*target);
        const QColor highlight = palette().color(QPalette::Highlight);
        QColor fill = highlight;
        fill.setAlpha(80);
        painter.fillRect(cell, fill);
        painter.setPen(QPen(highlight, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(cell).adjusted(1, 1, -1, -1));
    }
}

void TThumbnailView::PaintCell(QPainter& painter, int index, const QRect& cell)
{
    const bool selected = IsSelected(index);
    const bool focus = hasFocus();
    const QPalette& pal = palette();
    QColor text = pal.color(QPalette::Text);
    int frame = 1;
    painter.save();
    if (selected && focus) {
        frame = 4;
        painter.setPen(QPen(QColor(0, 0, 255), frame));
        painter.setBrush(QColor(0x77, 0xA7, 0xFF));  // 16754551 read as blue, green, red
        text = Qt::white;
    } else if (selected) {
        frame = 2;
        painter.setPen(QPen(QColor(128, 128, 128), frame));
        painter.setBrush(pal.color(QPalette::Button));
        text = pal.color(QPalette::ButtonText);
    } else {
        painter.setPen(QPen(QColor(128, 128, 128), frame));
        painter.setBrush(pal.color(QPalette::Base));
        if (TextColor)
            if (const auto color = TextColor(index))
                text = *color;
    }
    // The pen is centred on the path: inset by half its width to stay inside the cell.
    const QRectF inside = QRectF(cell).adjusted(frame / 2.0, frame / 2.0, -frame / 2.0, -frame / 2.0);
    painter.drawRect(inside);
    if (ShownColor && IsShown && IsShown(index)) {
        painter.setPen(QPen(*ShownColor, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(cell).adjusted(frame + 1, frame + 1, -frame - 1, -frame - 1));
    }
    if (index == fSource->Selection().Focused && focus) {
        QPen dotted(Qt::black, 1, Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.drawRect(cell.adjusted(frame, frame, -frame - 1, -frame - 1));
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    painter.restore();

    const TThumbCellSize& size = fArrangement.Size;
    const QRect image(cell.left(), cell.top(), size.ImageWidth, size.ImageHeight);
    const TThumbState* state = fRequester ? fRequester->State(index) : nullptr;
    QIcon icon;
    if (fIcons)
        icon = fIcons->data(fIcons->index(index, 0), Qt::DecorationRole).value<QIcon>();
    if (state && state->Picture) {
        const QImage picture = BitmapImage(*state->Picture);
        painter.drawImage(image.left() + (image.width() - picture.width()) / 2,
                          image.top() + (image.height() - picture.height()) / 2, picture);
        if (state->FolderFlag && fOptions.Icon != TThumbnailIcon::tiNone && !icon.isNull()) {
            const int side = fOptions.Icon == TThumbnailIcon::tiSmall ? 16 : 32;
            icon.paint(&painter, cell.left() + 4, cell.top() + 4, side, side);
        }
    } else if (!icon.isNull()) {
        icon.paint(&painter, image.left() + (image.width() - 32) / 2, image.top() + (image.height() - 32) / 2, 32, 32);
    }

    painter.setPen(text);
    const TThumbItemFacts facts = FactsOf(index);
    const int h = painter.fontMetrics().height();
    if (fDetail) {
        const TThumbDetailTexts texts = ThumbDetailCaptions(facts, fSizeUnit, h, cell.height());
        const int left = cell.left() + size.BoxWidth + 12 + 8;
        const int width = std::max(1, cell.right() - 4 - left);
        const int nameLines = std::min<int>(texts.NameLines, 1 + painter.fontMetrics().horizontalAdvance(Q(texts.Name)) / width);
        const int total = (nameLines + static_cast<int>(texts.Lines.size())) * h;
        int y = cell.top() + std::max(0, (cell.height() - total) / 2);
        DrawWrapped(painter, QRect(left, y, width, nameLines * h), Q(texts.Name), nameLines, false);
        y += nameLines * h;
        for (const std::string& line : texts.Lines) {
            DrawWrapped(painter, QRect(left, y, width, h), Q(line), 1, false);
            y += h;
        }
        return;
    }
    const TThumbCaptionTexts texts = ThumbGridCaptions(facts, ThumbCaptionSetFrom(fOptions), fSizeUnit);
    const int left = cell.left() + 4;
    const int width = cell.width() - 8;
    int y = image.bottom() + 1;
    if (fOptions.CaptionName) {
        DrawWrapped(painter, QRect(left, y, width, 2 * h), Q(texts.Name), 2, true);
        y += 2 * h + (texts.Lines.empty() ? 0 : 4);
    }
    for (const std::string& line : texts.Lines) {
        DrawWrapped(painter, QRect(left, y, width, h), Q(line), 1, true);
        y += h;
    }
}

bool TThumbnailView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && fSource) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int cell = CellAtViewport(help->pos());
        if (cell < 0) {
            QToolTip::hideText();
            return true;
        }
        QString text;
        for (const std::string& line : ThumbHintLines(FactsOf(cell), fSizeUnit))
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + Q(line);
        QToolTip::showText(help->globalPos(), text, viewport(), CellRect(cell), 20000);
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TThumbnailView::SetSelection(std::vector<int> selected, int focused)
{
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    fSource->Select({focused, std::move(selected)});
}

void TThumbnailView::SelectRange(int from, int to, bool keep)
{
    std::vector<int> selected = keep ? fSource->Selection().Selected : std::vector<int>{};
    if (from < 0)
        from = to;
    for (int i = std::min(from, to); i <= std::max(from, to); ++i)
        selected.push_back(i);
    SetSelection(std::move(selected), to);
}

void TThumbnailView::ScrollToFocused()
{
    const int focused = fSource ? fSource->Selection().Focused : -1;
    QScrollBar* vbar = verticalScrollBar();
    vbar->setValue(ThumbScrollToShow(fArrangement, focused, vbar->value(), viewport()->height()));
    viewport()->update();
}

void TThumbnailView::mousePressEvent(QMouseEvent* event)
{
    fRenameTimer.stop();
    const bool hadFocus = hasFocus() && !fDeactivated;
    setFocus(Qt::MouseFocusReason);
    fRenameArmed = false;
    fPressButton = event->button();
    fPressModifiers = event->modifiers();
    fPressCell = -1;
    fPressPoint = event->position().toPoint();
    if (!fSource || event->button() == Qt::MiddleButton) {
        fPressCell = fSource ? CellAtViewport(event->position().toPoint()) : -1;
        return;
    }
    if (fSource->Count() == 0)
        return;
    const int cell = CellAtViewport(event->position().toPoint());
    fPressCell = cell;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (!shift && !ctrl) {
        if (cell < 0) {
            SetSelection({}, fSource->Selection().Focused);
        } else {
            fRenameArmed = IsSelected(cell) && hadFocus;
            fSource->Mark = cell;
            SetSelection({cell}, cell);
        }
    } else if (cell >= 0 && ctrl && !shift) {
        fSource->Mark = cell;
        SetSelection(fSource->Selection().Selected, cell);
    } else if (cell >= 0 && shift) {
        if (event->button() == Qt::LeftButton) {
            SelectRange(fSource->Mark, cell, ctrl);
        } else if (event->button() == Qt::RightButton && !IsSelected(cell)) {
            fSource->Mark = cell;
            SetSelection({cell}, cell);
        } else {
            SetSelection(fSource->Selection().Selected, cell);
        }
    }
    fDeactivated = false;
    ScrollToFocused();
}

void TThumbnailView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!fSource || fPressButton != event->button()) {
        fPressButton = Qt::NoButton;
        return;
    }
    const int cell = CellAtViewport(event->position().toPoint());
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int focused = fSource->Selection().Focused;
    if (fPressCell >= 0 && ctrl && !shift && event->button() == Qt::LeftButton) {
        std::vector<int> selected = fSource->Selection().Selected;
        const auto at = std::find(selected.begin(), selected.end(), focused);
        if (at != selected.end())
            selected.erase(at);
        else
            selected.push_back(focused);
        SetSelection(std::move(selected), focused);
    } else if (event->button() == Qt::LeftButton && cell >= 0 && cell == focused && IsSelected(cell)) {
        if (!ctrl && !shift) {
            fSource->Mark = cell;
            SetSelection({cell}, cell);
        }
        if (fRenameArmed && fClickRename && OnRename && fSource->CanRename(cell))
            fRenameTimer.start(QApplication::doubleClickInterval());
    }
    // A release over another cell than the press reports nothing.
    if (OnMouse && cell >= 0 && cell == fPressCell) {
        int code = -1;
        switch (event->button()) {
        case Qt::LeftButton: code = 0; break;
        case Qt::MiddleButton: code = 4; break;
        case Qt::XButton1: code = 6; break;
        case Qt::XButton2: code = 8; break;
        default: break;
        }
        if (code >= 0)
            OnMouse(code, event->buttons() | event->button(), event->modifiers(), cell);
    }
    fPressButton = Qt::NoButton;
    fRenameArmed = false;
    viewport()->update();
}

void TThumbnailView::mouseDoubleClickEvent(QMouseEvent* event)
{
    fRenameTimer.stop();
    // Qt sends the second press as this event; its release is no click.
    fPressButton = Qt::NoButton;
    if (!fSource)
        return;
    const int cell = CellAtViewport(event->position().toPoint());
    int code = -1;
    switch (event->button()) {
    case Qt::LeftButton: code = 1; break;
    case Qt::MiddleButton: code = 5; break;
    case Qt::XButton1: code = 7; break;
    case Qt::XButton2: code = 9; break;
    default: break;
    }
    if (code >= 0 && OnMouse && OnMouse(code, event->buttons(), event->modifiers(), cell))
        return;
    if (event->button() != Qt::LeftButton)
        return;
    if (event->modifiers() & Qt::AltModifier) {
        if (OnAction)
            OnAction(TActionId::actProperties);
    } else if (cell >= 0 && OnOpen) {
        OnOpen(cell);
    }
}

void TThumbnailView::MoveFocus(int target, Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (shift) {
        SelectRange(fSource->Mark, target, ctrl);
    } else if (!ctrl) {
        fSource->Mark = target;
        SetSelection({target}, target);
    } else {
        SetSelection(fSource->Selection().Selected, target);
    }
    ScrollToFocused();
}

void TThumbnailView::keyPressEvent(QKeyEvent* event)
{
    fRenameTimer.stop();
    if (!fSource) {
        event->ignore();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const int focused = fSource->Selection().Focused;
    switch (event->key()) {
    case Qt::Key_Backspace:
        if (OnGoUp)
            OnGoUp();
        return;
    case Qt::Key_Delete:
        if (OnAction && !fSource->Selection().Selected.empty())
            OnAction(TActionId::actDelete);
        return;
    case Qt::Key_F2:
        if (focused >= 0 && OnRename && fSource->CanRename(focused))
            fRenameTimer.start(10);
        return;
    case Qt::Key_F5:
        if (OnAction)
            OnAction(TActionId::actRefresh);
        return;
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
        return;
    default: break;
    }
    const int count = fSource->Count();
    if (count == 0) {
        if (OnOtherKey)
            OnOtherKey(event);
        return;
    }
    const int i = std::clamp(focused, 0, count - 1);
    std::optional<TThumbKey> key;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (modifiers & Qt::AltModifier) {
            if (OnAction)
                OnAction(TActionId::actProperties);
        } else if (focused >= 0 && OnOpen) {
            OnOpen(focused);
        }
        return;
    case Qt::Key_Left: key = TThumbKey::tkLeft; break;
    case Qt::Key_Right: key = TThumbKey::tkRight; break;
    case Qt::Key_Up: key = TThumbKey::tkUp; break;
    case Qt::Key_Down: key = TThumbKey::tkDown; break;
    case Qt::Key_Home: key = TThumbKey::tkHome; break;
    case Qt::Key_End: key = TThumbKey::tkEnd; break;
    case Qt::Key_PageUp: key = TThumbKey::tkPageUp; break;
    case Qt::Key_PageDown: key = TThumbKey::tkPageDown; break;
    default:
        if (OnOtherKey)
            OnOtherKey(event);
        return;
    }
    const int target = ThumbKeyTarget(*key, i, count, fArrangement.Columns, fArrangement.Size.PitchY,
                                      viewport()->height(), verticalScrollBar()->value());
    if (target != focused)
        MoveFocus(target, modifiers);
}

void TThumbnailView::wheelEvent(QWheelEvent* event)
{
    if (!fArrangement.VerticalBar) {
        event->ignore();
        return;
    }
    const int notches = event->angleDelta().y() / 120;
    const int rows = ThumbWheelRows(fOptions.Scroll, QApplication::wheelScrollLines(),
                                    fArrangement.VisibleRows(viewport()->height()));
    QScrollBar* vbar = verticalScrollBar();
    vbar->setValue(vbar->value() - notches * rows * fArrangement.Size.PitchY);
    event->accept();
}

void TThumbnailView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TThumbnailView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    fRenameTimer.stop();
    fRenameArmed = false;
    fPressButton = Qt::NoButton;
    viewport()->update();
}

void TThumbnailView::changeEvent(QEvent* event)
{
    // Renaming by click needs the window to have stayed active since the
    // view took the focus.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        fDeactivated = true;
    if (event->type() == QEvent::FontChange)
        Relayout();
    QAbstractScrollArea::changeEvent(event);
}

void TThumbnailView::mouseMoveEvent(QMouseEvent* event)
{
    const bool dragButton = fPressButton == Qt::LeftButton || fPressButton == Qt::RightButton;
    if (!fSource || !dragButton || fPressCell < 0 || !IsSelected(fPressCell) || !OnStartDrag ||
        (event->position().toPoint() - fPressPoint).manhattanLength() < QApplication::startDragDistance())
        return;
    // The press became a drag: no click, no rename, no menu follow it.
    fRenameTimer.stop();
    fRenameArmed = false;
    fPressButton = Qt::NoButton;
    OnStartDrag();
}

void TThumbnailView::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
    // Refused on entering, the drag goes on to the window.
    if (!event->isAccepted()) {
        fDragScrollTimer.stop();
        if (fDropHover.Leave().Repaint)
            viewport()->update();
    }
}

void TThumbnailView::DragScrollTick()
{
    QScrollBar* vbar = verticalScrollBar();
    const int before = vbar->value();
    vbar->setValue(before + fDragScroll * fArrangement.Size.PitchY);
    // At the end of the rows there is nothing more to scroll.
    if (vbar->value() == before)
        fDragScrollTimer.stop();
}

void TThumbnailView::dragMoveEvent(QDragMoveEvent* event)
{
    // Near the top or bottom edge (twice the font's height) the rows
    // scroll while the drag rests there.
    fDragScroll = DragScrollDirection(static_cast<int>(event->position().y()), viewport()->height(),
                                      2 * fontMetrics().height());
    if (fDragScroll == 0)
        fDragScrollTimer.stop();
    else if (!fDragScrollTimer.isActive())
        fDragScrollTimer.start();
    const int cell = fSource ? CellAtViewport(event->position().toPoint()) : -1;
    const Qt::DropAction action = OnDrop ? OnDrop(*event, cell, false) : Qt::IgnoreAction;
    const bool target = action != Qt::IgnoreAction && cell >= 0 && DropsIntoCell && DropsIntoCell(cell);
    if (fDropHover.Over(cell >= 0 ? std::optional<int>(cell) : std::nullopt, target).Repaint)
        viewport()->update();
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void TThumbnailView::dragLeaveEvent(QDragLeaveEvent* event)
{
    QAbstractScrollArea::dragLeaveEvent(event);
    fDragScrollTimer.stop();
    if (fDropHover.Leave().Repaint)
        viewport()->update();
}

void TThumbnailView::dropEvent(QDropEvent* event)
{
    fDragScrollTimer.stop();
    if (fDropHover.Leave().Repaint)
        viewport()->update();
    const int cell = fSource ? CellAtViewport(event->position().toPoint()) : -1;
    const Qt::DropAction action = OnDrop ? OnDrop(*event, cell, true) : Qt::IgnoreAction;
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}
