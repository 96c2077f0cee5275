#pragma once

// The controls of the filter parameter dialog: a value box (an edit box with
// up and down arrows, and a track bar where the value has one) that shows a
// stored value in the dialog's own way, the level editor's gradient with its
// two draggable markers, and the tone-curve panel. The editors draw and
// forward the pointer; the markers and points live in their models.

#include <QSpinBox>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "imaging/FilterEditors.h"

class QSlider;

// A spin box over stored values whose text is the shown value: the texts and
// the reading of typed text come from the caller, and a typed value outside
// the range is clamped into it.
class TShownSpinBox : public QSpinBox {
public:
    using TShow = std::function<std::string(int stored)>;
    using TRead = std::function<std::optional<int>(std::string_view text, int min)>;
    TShownSpinBox(TShow show, TRead read, QWidget* parent = nullptr);

protected:
    QString textFromValue(int value) const override;
    int valueFromText(const QString& text) const override;
    QValidator::State validate(QString& input, int& pos) const override;

private:
    TShow fShow;
    TRead fRead;
};

// One value of a page: its box and, with a track bar, the bar; both follow
// each other.
class TValueBox : public QWidget {
public:
    TValueBox(int min, int max, bool trackBar, TShownSpinBox::TShow show = {}, TShownSpinBox::TRead read = {},
              QWidget* parent = nullptr);
    int Value() const;
    void SetValue(int value);
    void SetRange(int min, int max);
    TShownSpinBox* Box() const { return fBox; }
    QSlider* TrackBar() const { return fBar; }
    std::function<void(int)> OnChanged;

private:
    TShownSpinBox* fBox;
    QSlider* fBar = nullptr;
};

// A 256-pixel gradient from black to white over a panel of markers: "▲" the
// black value, "△" the white value.
class TLevelEditor : public QWidget, public TFilterEditObserver {
public:
    static constexpr int MarkerWidth = 12;
    TLevelEditor(TLevelMarkers& markers, QWidget* parent = nullptr);
    ~TLevelEditor() override;
    QSize sizeHint() const override;
    void FilterEditChanged(TFilterEditChange change, TChangePhase phase) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TLevelMarkers& fMarkers;
};

// The 256 x 256 tone-curve panel: the grid at the quarters, the points as
// small squares and the curve the filter applies, in blue.
class TToneCurveEditor : public QWidget, public TFilterEditObserver {
public:
    static constexpr int PanelSize = 256;
    TToneCurveEditor(TToneCurveModel& curve, QWidget* parent = nullptr);
    ~TToneCurveEditor() override;
    QSize sizeHint() const override { return {PanelSize, PanelSize}; }
    void FilterEditChanged(TFilterEditChange change, TChangePhase phase) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TToneCurveModel& fCurve;
};
