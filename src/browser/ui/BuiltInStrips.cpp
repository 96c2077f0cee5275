#include "browser/ui/BuiltInStrips.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>

namespace {

// Every frame is drawn on a grid of 32 units; even coordinates fall on whole
// pixels of the 16-pixel frames too.
constexpr qreal Grid = 32.0;

const QColor Amber(0xE8, 0xA3, 0x3D);
const QColor Blue(0x4A, 0x8B, 0xD6);
const QColor Green(0x4C, 0xAF, 0x6A);
const QColor Red(0xD9, 0x53, 0x4F);
const QColor Purple(0x9B, 0x6B, 0xCF);
const QColor Teal(0x38, 0xAF, 0xAA);
const QColor Pink(0xE0, 0x7B, 0xB0);
const QColor Grey(0x8C, 0x96, 0xA0);
const QColor Paper(0xFF, 0xF8, 0xE7);
const QColor Wood(0x9C, 0x6B, 0x3C);
const QColor WoodEdge(0x5E, 0x3D, 0x1E);
const QColor Shelving(0xF3, 0xE6, 0xD0);
const QColor Silver(0xE4, 0xE9, 0xEE);
const QColor SilverEdge(0x6E, 0x79, 0x86);
const QColor Light(0x3C, 0xC4, 0x5A);

QColor KindColour(TIconCollection kind)
{
    switch (kind) {
    case TIconCollection::icShelf: return Amber;
    case TIconCollection::icMedia: return Blue;
    case TIconCollection::icCategory: break;
    }
    return Green;
}

// The folder colours in frame order: the kind's own first.
std::array<QColor, BuiltInIconCount> FolderColours(TIconCollection kind)
{
    const std::array<QColor, BuiltInIconCount> all{Amber, Blue, Green, Red, Purple, Teal, Pink, Grey};
    std::array<QColor, BuiltInIconCount> colours{};
    colours[0] = KindColour(kind);
    size_t next = 1;
    for (const QColor& colour : all)
        if (colour != colours[0])
            colours[next++] = colour;
    return colours;
}

QPen Edge(const QColor& colour)
{
    QPen pen(colour);
    pen.setCosmetic(true);
    pen.setWidthF(1.0);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void Disc(QPainter& painter, QPointF centre, qreal radius, const QColor& label)
{
    painter.setPen(Edge(SilverEdge));
    painter.setBrush(Silver);
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(label);
    painter.drawEllipse(centre, radius * 0.45, radius * 0.45);
    painter.setBrush(SilverEdge);
    painter.drawEllipse(centre, radius * 0.2, radius * 0.2);
}

void Tag(QPainter& painter, QPointF origin, const QColor& fill, const QColor& edge)
{
    const QPolygonF shape{{origin.x(), origin.y()},
                          {origin.x() + 10, origin.y()},
                          {origin.x() + 15, origin.y() + 5},
                          {origin.x() + 10, origin.y() + 10},
                          {origin.x(), origin.y() + 10}};
    painter.setPen(Edge(edge));
    painter.setBrush(fill);
    painter.drawPolygon(shape);
    painter.setBrush(edge);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(origin.x() + 10, origin.y() + 5), 1.5, 1.5);
}

void Bookcase(QPainter& painter)
{
    painter.setPen(Edge(WoodEdge));
    painter.setBrush(Wood);
    painter.drawRect(QRectF(4, 2, 24, 28));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Shelving);
    painter.drawRect(QRectF(6, 4, 20, 10));
    painter.drawRect(QRectF(6, 16, 20, 12));
    struct TBook {
        qreal Left, Top, Bottom;
        QColor Colour;
    };
    for (const TBook& book : {TBook{6, 6, 14, Red}, TBook{10, 8, 14, Blue}, TBook{14, 6, 14, Green},
                              TBook{20, 8, 14, Amber}, TBook{6, 18, 28, Purple}, TBook{10, 20, 28, Teal},
                              TBook{16, 20, 28, Grey}, TBook{20, 18, 28, Pink}}) {
        painter.setBrush(book.Colour);
        painter.drawRect(QRectF(book.Left, book.Top, 4, book.Bottom - book.Top));
    }
}

void Folder(QPainter& painter, const QColor& colour)
{
    const QColor edge = colour.darker(170);
    QPainterPath back;
    back.moveTo(2, 26);
    back.lineTo(2, 6);
    back.lineTo(4, 4);
    back.lineTo(12, 4);
    back.lineTo(16, 8);
    back.lineTo(30, 8);
    back.lineTo(30, 26);
    back.closeSubpath();
    painter.setPen(Edge(edge));
    painter.setBrush(colour.darker(118));
    painter.drawPath(back);
    painter.setBrush(colour);
    painter.drawRect(QRectF(2, 10, 28, 16));
    painter.setPen(Edge(colour.lighter(135)));
    painter.drawLine(QPointF(4, 12), QPointF(28, 12));
}

void Emblem(QPainter& painter, TIconCollection kind, const QColor& colour)
{
    painter.setPen(Qt::NoPen);
    switch (kind) {
    case TIconCollection::icShelf:
        painter.setBrush(Paper);
        painter.drawRect(QRectF(8, 14, 4, 10));
        painter.drawRect(QRectF(14, 16, 4, 8));
        painter.drawRect(QRectF(20, 14, 4, 10));
        return;
    case TIconCollection::icMedia:
        Disc(painter, QPointF(18, 18), 8, colour.darker(120));
        return;
    case TIconCollection::icCategory:
        Tag(painter, QPointF(8, 13), Paper, colour.darker(170));
        return;
    }
}

void Root(QPainter& painter, TIconCollection kind)
{
    switch (kind) {
    case TIconCollection::icShelf:
        Bookcase(painter);
        return;
    case TIconCollection::icMedia:
        Disc(painter, QPointF(20, 12), 8, Teal);
        Disc(painter, QPointF(12, 20), 8, Blue);
        return;
    case TIconCollection::icCategory:
        Tag(painter, QPointF(12, 5), Amber.lighter(115), Amber.darker(170));
        Tag(painter, QPointF(4, 15), Green.lighter(115), Green.darker(170));
        return;
    }
}

// The light of a medium whose disc is in a drive.
void InDrive(QPainter& painter)
{
    painter.setPen(Edge(Qt::white));
    painter.setBrush(Light);
    painter.drawEllipse(QRectF(20, 18, 10, 10));
}

}  // namespace

QImage PaintCollectionStrip(TIconCollection kind, TIconSize size, bool alternative)
{
    const int side = IconSide(size);
    QImage strip(side * (BuiltInIconCount + 1), side, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing, size != TIconSize::isSmall);
    const bool light = alternative && kind == TIconCollection::icMedia;
    const std::array<QColor, BuiltInIconCount> colours = FolderColours(kind);
    for (int frame = 0; frame <= BuiltInIconCount; ++frame) {
        painter.save();
        painter.translate(frame * side, 0);
        painter.scale(side / Grid, side / Grid);
        if (frame == 0) {
            Root(painter, kind);
        } else {
            const QColor& colour = colours[static_cast<size_t>(frame - 1)];
            Folder(painter, colour);
            Emblem(painter, kind, colour);
        }
        if (light)
            InDrive(painter);
        painter.restore();
    }
    painter.end();
    return strip;
}

TBitmap BuiltInStrip(TIconCollection kind, TIconSize size, bool alternative)
{
    return StripFromImage(PaintCollectionStrip(kind, size, alternative));
}

TBitmap StripFromImage(const QImage& image)
{
    if (image.isNull())
        return {};
    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    TBitmap strip(source.width(), source.height(), 24);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uint8_t* out = strip.ScanLine(y);
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = in[x];
            const bool covered = qAlpha(pixel) >= 128;
            out[x * 3] = covered ? static_cast<uint8_t>(qBlue(pixel)) : 0xFF;
            out[x * 3 + 1] = covered ? static_cast<uint8_t>(qGreen(pixel)) : 0xFF;
            out[x * 3 + 2] = covered ? static_cast<uint8_t>(qRed(pixel)) : 0;
        }
    }
    return strip;
}
