#pragma once

// The grid as a widget: a see-through child that covers the whole page area
// above the pages and draws the grid's lines, for judging whether a scanned
// page is straight. It never takes the mouse and draws nothing while a drag
// is in progress. User-interface thread.

#include <QWidget>
#include <functional>

#include "viewer/Loupe.h"

class TGridOverlay : public QWidget {
public:
    explicit TGridOverlay(QWidget& area);

    void SetOn(bool on);
    bool On() const { return fOn; }
    // New colours or spacing: a shown grid is drawn again.
    void SetOptions(const TViewGridOptions& options);
    const TViewGridOptions& Options() const { return fOptions; }
    // Asked at each paint: true while a drag is in progress.
    void SetDragging(std::function<bool()> dragging) { fDragging = std::move(dragging); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget& fArea;
    TViewGridOptions fOptions;
    bool fOn = false;
    std::function<bool()> fDragging;
};
