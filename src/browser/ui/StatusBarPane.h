#pragma once

// The browser window's status bar: seven panels whose texts and widths the
// status bar rules work out (BuildStatusPanels); this widget only paints
// them. It also measures texts in its own font for those rules, so widths
// follow the desktop's font. User-interface thread.

#include <QStatusBar>
#include <array>
#include <string>

#include "browser/StatusBar.h"

class QLabel;

class TStatusBarPane : public QStatusBar {
public:
    explicit TStatusBarPane(QWidget* parent = nullptr);

    void Show(const TStatusPanels& panels);
    const TStatusPanels& Panels() const { return fPanels; }
    // A text's width in the bar's font, in 96-dpi units.
    int TextWidth(const std::string& text) const;
    // The bar's width in 96-dpi units.
    int BarWidth() const;

private:
    std::array<QLabel*, StatusPanelCount> fLabels{};
    TStatusPanels fPanels;
};
