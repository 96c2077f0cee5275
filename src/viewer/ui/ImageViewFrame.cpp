#include "viewer/ui/ImageViewFrame.h"

#include <QAction>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QProxyStyle>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <memory>

#include "viewer/PageViewer.h"
#include "viewer/ui/BitmapImage.h"
#include "viewer/ui/GridOverlay.h"
#include "viewer/ui/LoupeOverlay.h"
#include "base/Texts.h"

namespace {

QString ToQString(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

TPoint ToPoint(const QPointF& point)
{
    return TPoint{static_cast<int>(point.x()), static_cast<int>(point.y())};
}

// The layout pixels wholly inside a rectangle of device pixels: on a screen
// of a fractional scale the page's edge may cover part of one.
QRect LayoutInside(const TRect& device, double ratio)
{
    const int left = static_cast<int>(std::ceil(device.Left / ratio));
    const int top = static_cast<int>(std::ceil(device.Top / ratio));
    const int right = static_cast<int>(std::floor(device.Right / ratio));
    const int bottom = static_cast<int>(std::floor(device.Bottom / ratio));
    return QRect(left, top, right - left, bottom - top);
}

// A click on the seek bar jumps straight to the position under the pointer
// instead of paging towards it.
class TSeekBarStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

// --- The page area ---------------------------------------------------------------

TImageArea::TImageArea(TImageViewFrame& frame)
    : QWidget(&frame)
    , fFrame(frame)
{
    // Every pixel is painted (pages and background), so Qt need not clear
    // the area first; together with the backing store this keeps pages
    // from flickering.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
}

void TImageArea::paintEvent(QPaintEvent* event)
{
    fFrame.PaintArea(event);
}

void TImageArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fFrame.AreaResized();
}

void TImageArea::keyPressEvent(QKeyEvent* event)
{
    if (!fFrame.AreaKey(event))
        QWidget::keyPressEvent(event);
}

void TImageArea::wheelEvent(QWheelEvent* event)
{
    fFrame.AreaWheel(event);
}

void TImageArea::mousePressEvent(QMouseEvent* event)
{
    fFrame.AreaPress(event);
}

void TImageArea::mouseMoveEvent(QMouseEvent* event)
{
    fFrame.AreaMove(event);
}

void TImageArea::mouseReleaseEvent(QMouseEvent* event)
{
    fFrame.AreaRelease(event);
}

void TImageArea::mouseDoubleClickEvent(QMouseEvent* event)
{
    fFrame.AreaDoubleClick(event);
}

bool TImageArea::focusNextPrevChild(bool)
{
    // Tab is a key like any other here; the view keeps the focus.
    return false;
}

// --- The frame --------------------------------------------------------------------

TImageViewFrame::TImageViewFrame(TPageViewer& viewer, TPageScaler& scaler, QWidget* parent)
    : QWidget(parent)
    , fViewer(viewer)
    , fScaler(scaler)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    fArea = new TImageArea(*this);
    layout->addWidget(fArea, 1);
    // The grid lies above the pages, the loupe above both.
    fGrid = new TGridOverlay(*fArea);
    fGrid->SetDragging([this] { return fDragging; });
    fLoupe = new TLoupeOverlay(*fArea, fViewer, fScaler);

    // The seek bar: the bar, the entry field with the 1-based index, and
    // "/ count".
    fSeekPanel = new QWidget(this);
    auto* seekLayout = new QHBoxLayout(fSeekPanel);
    seekLayout->setContentsMargins(4, 2, 4, 2);
    fSeekBar = new QSlider(Qt::Horizontal, fSeekPanel);
    fSeekBar->setObjectName("trbSeekBar");
    // A proxy owns its base style, so it gets a fresh one of the same kind
    // rather than the application's.
    auto* seekStyle = new TSeekBarStyle(fSeekBar->style()->name());
    seekStyle->setParent(fSeekBar);
    fSeekBar->setStyle(seekStyle);
    fSeekBar->setFocusPolicy(Qt::NoFocus);
    fSeekBar->setTickPosition(QSlider::TicksBelow);
    fSeekEdit = new QLineEdit(fSeekPanel);
    fSeekEdit->setObjectName("edSeek");
    fSeekEdit->setFixedWidth(fSeekEdit->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 8);
    fSeekEdit->setAlignment(Qt::AlignRight);
    fSeekEdit->setValidator(new QIntValidator(1, 1 << 30, fSeekEdit));
    fSeekMax = new QLabel(fSeekPanel);
    fSeekMax->setObjectName("lblMax");
    seekLayout->addWidget(fSeekBar, 1);
    seekLayout->addWidget(fSeekEdit);
    seekLayout->addWidget(fSeekMax);
    layout->addWidget(fSeekPanel);
    connect(fSeekBar, &QSlider::valueChanged, this, [this](int value) { SeekValueChanged(value); });
    connect(fSeekBar, &QSlider::sliderReleased, this, [this] { SeekCommit(); });
    connect(fSeekEdit, &QLineEdit::returnPressed, this, [this] { SeekEntered(); });

    // The image bar: the direction buttons follow the binding (the window
    // decides what they run), the page label sits between them.
    fImageBar = new QWidget(this);
    fImageBar->setObjectName("ImageToolBar");
    fImageBarLayout = new QHBoxLayout(fImageBar);
    fImageBarLayout->setContentsMargins(2, 1, 2, 1);
    fImageBarLayout->setSpacing(2);
    struct TButtonInfo {
        TImageBarButton Button;
        const char* Name;
        const char* Hint;
        const char* Text;
    };
    static const TButtonInfo buttons[] = {
        {TImageBarButton::ibLeft, "tbtnLeft", "左へ", "◀◀"},
        {TImageBarButton::ibOneLeft, "tbtnS_Left", "ひとつ左へ", "◀"},
        {TImageBarButton::ibOneRight, "tbtnS_Right", "ひとつ右へ", "▶"},
        {TImageBarButton::ibRight, "tbtnRight", "右へ", "▶▶"},
    };
    fPageLabel = new QLabel(fImageBar);
    fPageLabel->setObjectName("lblPage");
    fPageLabel->setAlignment(Qt::AlignCenter);
    fPageLabel->setMinimumWidth(fPageLabel->fontMetrics().horizontalAdvance(QString::fromUtf8("0000・0000 / 0000")));
    for (const TButtonInfo& info : buttons) {
        auto* button = new QToolButton(fImageBar);
        button->setObjectName(info.Name);
        button->setToolTip(QString::fromUtf8(Tx(info.Hint)));
        button->setText(QString::fromUtf8(info.Text));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        const TImageBarButton which = info.Button;
        connect(button, &QToolButton::clicked, this, [this, which] {
            if (fImageBarHandler)
                fImageBarHandler(which);
        });
        fBarButtons[static_cast<int>(which)] = button;
        fImageBarLayout->addWidget(button);
        if (which == TImageBarButton::ibOneLeft)
            fImageBarLayout->addWidget(fPageLabel);
    }
    fImageBarLayout->addStretch(1);
    layout->addWidget(fImageBar);
    fSeekPanel->hide();
    // The bars never make the window wider than the user wants it: what
    // does not fit is cut off at the right.
    fImageBar->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    fSeekPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    fScrollTimer = new QTimer(this);
    fScrollTimer->setInterval(TScrollAnimation::TickMilliseconds);
    connect(fScrollTimer, &QTimer::timeout, this, [this] { AnimationTick(); });

    setFocusProxy(fArea);
}

TImageViewFrame::~TImageViewFrame() = default;

void TImageViewFrame::AddImageBarAction(QAction* action)
{
    auto* button = new QToolButton(fImageBar);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    fImageBarLayout->insertWidget(fImageBarLayout->count() - 1, button);
}

QToolButton* TImageViewFrame::ImageBarButton(TImageBarButton button) const
{
    return fBarButtons[static_cast<int>(button)];
}

void TImageViewFrame::SetBackground(TColor color)
{
    fBackground = color;
    fLoupe->SetBackground(color);
    fArea->update();
}

void TImageViewFrame::InvalidatePages()
{
    fPages[0].Invalidate();
    fPages[1].Invalidate();
    fLoupe->Invalidate();
    UpdateView();
}

void TImageViewFrame::UpdateView()
{
    fDirty = true;
    fArea->update();
}

void TImageViewFrame::Render()
{
    fDirty = false;
    // The pages are scaled to device pixels: on a scaled screen they are
    // painted 1:1 instead of being enlarged after scaling.
    const double ratio = fArea->devicePixelRatio();
    fRenderedRatio = ratio;
    fViewer.SetDeviceRatio(ratio);
    const TPageLayout& layout = fViewer.Layout();
    for (int page = 0; page < 2; ++page) {
        const TImageSlot& slot = fViewer.PageSlot(page);
        TPageRenderInput input;
        if (layout.PageShown(page) && slot.HasBitmap()) {
            input.Source = slot.Bitmap;
            input.Gray = slot.Gray;
            input.Display = layout.PageSize(page);
            input.Exact = layout.PageRatio(page) * ratio == 1.0;
            input.Ratio = ratio;
            // Scaled ahead by the cache to this very size: only copied.
            const TSize device = DeviceSize(input.Display, ratio);
            if (slot.ScaledFor(device.Width, device.Height, fViewer.Options().Picture.Stretch)) {
                input.Source = slot.Scaled;
                input.Exact = true;
            }
            input.PageRect = layout.PageRect(page);
            input.Client = layout.ClientSize();
        }
        try {
            fStats.Add(fPages[page].Render(input, fScaler));
        } catch (const std::exception&) {
            // Shown after the paint: a message box inside a paint would
            // paint again underneath it.
            const std::string text = ScaleFailedMessage(TSize{slot.Width(), slot.Height()}, input.Display);
            QTimer::singleShot(0, this, [this, text] {
                if (fMessage)
                    fMessage(text);
            });
        }
    }
}

void TImageViewFrame::PaintArea(QPaintEvent* event)
{
    // The window may have moved to a screen of another scale.
    if (fDirty || fRenderedRatio != fArea->devicePixelRatio())
        Render();
    QPainter painter(fArea);
    QRegion background = event->region();
    QPointF places[2];
    QImage images[2];
    for (int page = 0; page < 2; ++page) {
        const TRect held = fPages[page].HeldInView();
        if (held.IsEmpty())
            continue;
        images[page] = BitmapImage(fPages[page].Bitmap(), held.Width(), held.Height());
        if (images[page].isNull())
            continue;
        // Held in device pixels: the image says so, and the painter draws
        // it 1:1 at its place in layout pixels.
        const double ratio = fPages[page].Ratio();
        images[page].setDevicePixelRatio(ratio);
        places[page] = QPointF(held.Left / ratio, held.Top / ratio);
        background -= LayoutInside(held, ratio);
    }
    // The background goes around the pages, never under them.
    const QColor color(ColorRed(fBackground), ColorGreen(fBackground), ColorBlue(fBackground));
    for (const QRect& rect : background)
        painter.fillRect(rect, color);
    for (int page = 0; page < 2; ++page)
        if (!images[page].isNull())
            painter.drawImage(places[page], images[page]);
    if (fDragging && fDragNow == TDragMode::dmRubberBand) {
        painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(QPoint(fPressPoint.X, fPressPoint.Y), QPoint(fLastPoint.X, fLastPoint.Y)).normalized());
    }
}

void TImageViewFrame::AreaResized()
{
    fViewer.SetDeviceRatio(fArea->devicePixelRatio());
    fViewer.SetClientSize(fArea->width(), fArea->height());
    UpdateView();
    Changed();
}

bool TImageViewFrame::AreaKey(QKeyEvent* event)
{
    if (!fKeyHandler || !fKeyHandler(event->key(), event->modifiers()))
        return false;
    event->accept();
    return true;
}

void TImageViewFrame::AreaWheel(QWheelEvent* event)
{
    event->accept();
    const std::optional<int> code = fViewer.Wheel(event->angleDelta().y());
    if (code && fMouseHandler)
        fMouseHandler(*code, event->buttons(), event->modifiers(), ToPoint(event->position()));
}

namespace {

// The code of a button's click; its double click is one more. -1 for a
// button that has no operation.
int ClickCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 0;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    case Qt::XButton1: return 6;
    case Qt::XButton2: return 8;
    default: return -1;
    }
}

}  // namespace

void TImageViewFrame::ReportMouse(int code, const QMouseEvent& event)
{
    if (code >= 0 && fMouseHandler)
        fMouseHandler(code, event.buttons(), event.modifiers(), ToPoint(event.position()));
}

void TImageViewFrame::AreaPress(QMouseEvent* event)
{
    fArea->setFocus(Qt::MouseFocusReason);
    // The newest button's release is the click; a button held under it
    // makes the click's variant ("right click with the left button held"),
    // and its own release is no click any more.
    fClickButton = event->button();
    if (event->button() != Qt::LeftButton)
        return;
    fPressed = true;
    fDragging = false;
    fPressPoint = fLastPoint = ToPoint(event->position());
}

void TImageViewFrame::AreaDoubleClick(QMouseEvent* event)
{
    fArea->setFocus(Qt::MouseFocusReason);
    fClickButton = Qt::NoButton;
    fPressed = false;
    const int code = ClickCode(event->button());
    ReportMouse(code < 0 ? -1 : code + 1, *event);
}

void TImageViewFrame::AreaMove(QMouseEvent* event)
{
    if (!fPressed)
        return;
    const TPoint now = ToPoint(event->position());
    if (!fDragging) {
        if (!DragStarted(fPressPoint, now))
            return;
        const TPageLayout& layout = fViewer.Layout();
        const TRect content = layout.ContentRect();
        const TSize client = layout.ClientSize();
        fDragNow = fDragModeHandler ? fDragModeHandler(event->buttons(), event->modifiers(), fPressPoint) : fDragMode;
        // Only content larger than the view can be scrolled by a drag; a
        // band can be drawn over any page.
        const bool fits = content.Width() <= client.Width && content.Height() <= client.Height;
        if (fDragNow == TDragMode::dmNone || (fDragNow != TDragMode::dmRubberBand && fits)) {
            fPressed = false;
            return;
        }
        fDragging = true;
        fClickButton = Qt::NoButton;
        fArea->setCursor(fDragNow == TDragMode::dmRubberBand ? Qt::CrossCursor : Qt::ClosedHandCursor);
    }
    if (fDragNow != TDragMode::dmRubberBand)
        fViewer.Drag(TPoint{now.X - fLastPoint.X, now.Y - fLastPoint.Y}, fDragNow);
    fLastPoint = now;
    UpdateView();
    if (fDragNow == TDragMode::dmRubberBand)
        fArea->update();
}

void TImageViewFrame::AreaRelease(QMouseEvent* event)
{
    if (event->button() == fClickButton) {
        fClickButton = Qt::NoButton;
        ReportMouse(ClickCode(event->button()), *event);
    } else {
        // The button held under a click was let go first: a chord, no
        // click.
        fClickButton = Qt::NoButton;
    }
    if (event->button() != Qt::LeftButton || !fPressed)
        return;
    fPressed = false;
    if (fDragging) {
        fDragging = false;
        fArea->unsetCursor();
        if (fDragNow == TDragMode::dmRubberBand) {
            fViewer.ZoomToBand(fPressPoint, ToPoint(event->position()));
            UpdateView();
            Changed();
            fArea->update();
        }
    }
}

void TImageViewFrame::StartAnimation()
{
    UpdateView();
    if (fViewer.Animating())
        fScrollTimer->start();
}

void TImageViewFrame::AnimationTick()
{
    if (!fViewer.AnimationTick())
        fScrollTimer->stop();
    UpdateView();
}

void TImageViewFrame::Changed()
{
    if (fChanged)
        fChanged();
}

// --- Bars ------------------------------------------------------------------------

void TImageViewFrame::SetPageText(const std::string& text)
{
    fPageLabel->setText(ToQString(text));
}

QString TImageViewFrame::PageText() const
{
    return fPageLabel->text();
}

void TImageViewFrame::ShowImageBar(bool on)
{
    fImageBar->setVisible(on);
}

void TImageViewFrame::ShowSeekBar(bool on)
{
    fSeekPanel->setVisible(on);
}

bool TImageViewFrame::ImageBarShown() const
{
    return !fImageBar->isHidden();
}

bool TImageViewFrame::SeekBarShown() const
{
    return !fSeekPanel->isHidden();
}

void TImageViewFrame::UpdateSeekBar(int count, int index, bool bindRight, bool seekToRight)
{
    const TSeekBarMap map(count, bindRight, seekToRight);
    fSeekUpdating = true;
    fSeekCount = count;
    fSeekBar->setRange(0, map.Max());
    // A mirrored bar has its first picture at the right; the slider's own
    // inverted appearance does that and counts its ticks from there too.
    fSeekBar->setInvertedAppearance(map.Mirrored());
    fSeekBar->setInvertedControls(map.Mirrored());
    fSeekBar->setTickInterval(map.TickInterval(std::max(1, fSeekBar->width())));
    fSeekBar->setValue(std::max(0, index));
    fSeekEdit->setReadOnly(map.ReadOnly());
    fSeekEdit->setText(index >= 0 ? QString::number(index + 1) : QString());
    fSeekMax->setText(ToQString(map.MaxLabel()));
    fSeekUpdating = false;
}

void TImageViewFrame::SeekValueChanged(int value)
{
    if (fSeekUpdating)
        return;
    fSeekEdit->setText(QString::number(value + 1));
    // While the bar is dragged only the number follows; the jump comes on
    // release. A click (absolute set) jumps at once.
    if (!fSeekBar->isSliderDown())
        SeekCommit();
}

void TImageViewFrame::SeekCommit()
{
    if (fSeekCount <= 0 || !fSeekHandler)
        return;
    fSeekHandler(std::clamp(fSeekBar->value(), 0, fSeekCount - 1));
}

void TImageViewFrame::SeekEntered()
{
    bool ok = false;
    const int number = fSeekEdit->text().toInt(&ok);
    if (!ok || fSeekCount <= 0)
        return;
    const int index = std::clamp(number, 1, fSeekCount) - 1;
    fSeekUpdating = true;
    fSeekBar->setValue(index);
    fSeekUpdating = false;
    if (fSeekHandler)
        fSeekHandler(index);
    // The page box is done with: the arrow keys turn pages again without a
    // click on the picture first.
    fArea->setFocus(Qt::OtherFocusReason);
}
