#include "imaging/ui/FilterWidgets.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSlider>
#include <algorithm>

TShownSpinBox::TShownSpinBox(TShow show, TRead read, QWidget* parent)
    : QSpinBox(parent), fShow(std::move(show)), fRead(std::move(read))
{
    setKeyboardTracking(false);
}

QString TShownSpinBox::textFromValue(int value) const
{
    return fShow ? QString::fromStdString(fShow(value)) : QSpinBox::textFromValue(value);
}

int TShownSpinBox::valueFromText(const QString& text) const
{
    const std::optional<int> v = fRead ? fRead(text.toStdString(), minimum()) : ParsePlainText(text.toStdString(), minimum());
    return std::clamp(v.value_or(value()), minimum(), maximum());
}

QValidator::State TShownSpinBox::validate(QString& input, int&) const
{
    const std::optional<int> v = fRead ? fRead(input.toStdString(), minimum()) : ParsePlainText(input.toStdString(), minimum());
    // Anything may be typed; a text that is no number is dropped when the
    // box is left, and the previous value stays.
    return v ? QValidator::Acceptable : QValidator::Intermediate;
}

TValueBox::TValueBox(int min, int max, bool trackBar, TShownSpinBox::TShow show, TShownSpinBox::TRead read,
                     QWidget* parent)
    : QWidget(parent), fBox(new TShownSpinBox(std::move(show), std::move(read), this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    fBox->setRange(min, max);
    layout->addWidget(fBox);
    if (trackBar) {
        fBar = new QSlider(Qt::Horizontal, this);
        fBar->setRange(min, max);
        fBar->setMinimumWidth(160);
        layout->addWidget(fBar, 1);
        QObject::connect(fBar, &QSlider::valueChanged, fBox, [this](int v) { fBox->setValue(v); });
    }
    QObject::connect(fBox, &QSpinBox::valueChanged, this, [this](int v) {
        if (fBar)
            fBar->setValue(v);
        if (OnChanged)
            OnChanged(v);
    });
}

int TValueBox::Value() const
{
    return fBox->value();
}

void TValueBox::SetValue(int value)
{
    fBox->setValue(value);
}

void TValueBox::SetRange(int min, int max)
{
    fBox->setRange(min, max);
    if (fBar)
        fBar->setRange(min, max);
}

// --- Level editor ------------------------------------------------------------------

TLevelEditor::TLevelEditor(TLevelMarkers& markers, QWidget* parent) : QWidget(parent), fMarkers(markers)
{
    fMarkers.RegisterObserver(this);
    setFixedSize(sizeHint());
}

TLevelEditor::~TLevelEditor()
{
    fMarkers.UnregisterObserver(this);
}

QSize TLevelEditor::sizeHint() const
{
    return {256 + MarkerWidth, 32};
}

void TLevelEditor::FilterEditChanged(TFilterEditChange, TChangePhase phase)
{
    if (phase == TChangePhase::cpAfter)
        update();
}

void TLevelEditor::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int half = MarkerWidth / 2;
    QLinearGradient gradient(half, 0, half + 256, 0);
    gradient.setColorAt(0, Qt::black);
    gradient.setColorAt(1, Qt::white);
    painter.fillRect(QRect(half, 0, 256, 16), gradient);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect black(fMarkers.Black(), 16, MarkerWidth, 16);
    const QRect white(fMarkers.White(), 16, MarkerWidth, 16);
    painter.drawText(black, Qt::AlignCenter, QStringLiteral("▲"));
    painter.drawText(white, Qt::AlignCenter, QStringLiteral("△"));
}

void TLevelEditor::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    fMarkers.Press(event->position().toPoint().x(), MarkerWidth);
}

void TLevelEditor::mouseMoveEvent(QMouseEvent* event)
{
    fMarkers.DragTo(event->position().toPoint().x(), MarkerWidth);
}

void TLevelEditor::mouseReleaseEvent(QMouseEvent*)
{
    fMarkers.Release();
}

// --- Tone-curve editor ---------------------------------------------------------------

TToneCurveEditor::TToneCurveEditor(TToneCurveModel& curve, QWidget* parent) : QWidget(parent), fCurve(curve)
{
    fCurve.RegisterObserver(this);
    setFixedSize(PanelSize, PanelSize);
}

TToneCurveEditor::~TToneCurveEditor()
{
    fCurve.UnregisterObserver(this);
}

void TToneCurveEditor::FilterEditChanged(TFilterEditChange, TChangePhase phase)
{
    if (phase == TChangePhase::cpAfter)
        update();
}

void TToneCurveEditor::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QPen(QColor(192, 192, 192), 1, Qt::DotLine));
    for (int q = 1; q < 4; ++q) {
        const int at = q * PanelSize / 4;
        painter.drawLine(at, 0, at, PanelSize);
        painter.drawLine(0, at, PanelSize, at);
    }
    // The curve the filter applies: its table, one value per column.
    const TToneTable table = fCurve.Table();
    QPainterPath path;
    for (int i = 0; i < 256; ++i) {
        const QPointF p(i, 255 - table[static_cast<size_t>(i)]);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    painter.setPen(QPen(Qt::blue, 1));
    painter.drawPath(path);
    painter.setPen(Qt::black);
    for (const TToneCurvePoint& p : fCurve.Curve().Points)
        painter.drawRect(p.X - 2, 255 - p.Y - 2, 4, 4);
}

void TToneCurveEditor::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    fCurve.Press(at.x(), at.y(), width(), height());
}

void TToneCurveEditor::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    fCurve.DragTo(at.x(), at.y(), width(), height());
}

void TToneCurveEditor::mouseReleaseEvent(QMouseEvent*)
{
    fCurve.Release();
}
