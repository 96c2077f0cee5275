#include "browser/ui/PictureView.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

// A view of the bitmap's pixels; the bitmap must outlive it.
QImage WrapBitmap(const TBitmap& bitmap)
{
    if (bitmap.IsEmpty())
        return {};
    const auto stride = static_cast<qsizetype>(bitmap.Stride());
    if (bitmap.BitsPerPixel() == 24)
        return QImage(bitmap.Bits(), bitmap.Width(), bitmap.Height(), stride, QImage::Format_BGR888);
    if (bitmap.IsGray())
        return QImage(bitmap.Bits(), bitmap.Width(), bitmap.Height(), stride, QImage::Format_Grayscale8);
    QImage image(bitmap.Bits(), bitmap.Width(), bitmap.Height(), stride, QImage::Format_Indexed8);
    QList<QRgb> colors;
    for (const TRGBQuad& entry : bitmap.Palette())
        colors.append(qRgb(entry.Red, entry.Green, entry.Blue));
    // Indices beyond a short palette paint black rather than reading past it.
    while (colors.size() < 256)
        colors.append(qRgb(0, 0, 0));
    image.setColorTable(colors);
    return image;
}

}  // namespace

TPictureView::TPictureView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

TPictureView::~TPictureView() = default;

void TPictureView::SetPicture(std::unique_ptr<TBitmap> bitmap)
{
    // The image wraps the old pixels: drop it before them.
    fImage = QImage();
    fBitmap = std::move(bitmap);
    if (fBitmap)
        fImage = WrapBitmap(*fBitmap);
    update();
}

void TPictureView::SetBackground(const QColor& color)
{
    fBackground = color;
    update();
}

QRect TPictureView::FitRect(const QSize& picture, const QSize& area)
{
    if (picture.isEmpty() || area.isEmpty())
        return {};
    // Integer arithmetic: the side that limits the scale fills the area
    // exactly, the other is rounded to the nearest pixel.
    const qint64 pw = picture.width(), ph = picture.height();
    const qint64 aw = area.width(), ah = area.height();
    qint64 w = aw, h = ah;
    if (pw * ah > ph * aw)
        h = std::max<qint64>(1, (ph * aw + pw / 2) / pw);
    else
        w = std::max<qint64>(1, (pw * ah + ph / 2) / ph);
    return QRect(static_cast<int>((aw - w) / 2), static_cast<int>((ah - h) / 2), static_cast<int>(w),
                 static_cast<int>(h));
}

void TPictureView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), fBackground);
    if (fImage.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(FitRect(fImage.size(), size()), fImage);
}
