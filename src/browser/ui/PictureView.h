#pragma once

// The picture area of the first window: paints one prepared picture (24-bit
// or 8-bit gray) fitted into the area with its aspect ratio kept, centred on
// the background colour. The bitmap's rows are handed to the painter as they
// are, without a copy.

#include <QColor>
#include <QImage>
#include <QWidget>
#include <memory>

#include "common/Bitmap.h"

class TPictureView : public QWidget {
public:
    explicit TPictureView(QWidget* parent = nullptr);
    ~TPictureView() override;

    // Takes over a prepared picture; nullptr leaves the area empty.
    void SetPicture(std::unique_ptr<TBitmap> bitmap);
    const TBitmap* Picture() const { return fBitmap.get(); }
    void SetBackground(const QColor& color);

    // Where a picture of size picture lands in an area of size area: as
    // large as fits, aspect ratio kept, centred.
    static QRect FitRect(const QSize& picture, const QSize& area);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TBitmap> fBitmap;
    QImage fImage;
    QColor fBackground = Qt::black;
};
