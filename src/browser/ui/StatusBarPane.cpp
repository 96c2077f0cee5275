#include "browser/ui/StatusBarPane.h"

#include <QFontMetrics>
#include <QLabel>

TStatusBarPane::TStatusBarPane(QWidget* parent) : QStatusBar(parent)
{
    setObjectName("StatusBar");
    setSizeGripEnabled(true);
    for (int i = 0; i < StatusPanelCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        // Panels 0 (the place) and 4 (the spacer) have no bevel.
        if (i != 0 && i != 4)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        // The place panel takes what is left; a long path is cut, never
        // widens the window.
        if (i == 0) {
            label->setMinimumWidth(1);
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            addWidget(label, 1);
        } else {
            addPermanentWidget(label);
        }
        fLabels[static_cast<size_t>(i)] = label;
    }
}

int TStatusBarPane::TextWidth(const std::string& text) const
{
    const int pixels = fontMetrics().horizontalAdvance(QString::fromStdString(text));
    const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
    return static_cast<int>(pixels * 96.0 / dpi + 0.5);
}

int TStatusBarPane::BarWidth() const
{
    const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
    return static_cast<int>(width() * 96.0 / dpi + 0.5);
}

void TStatusBarPane::Show(const TStatusPanels& panels)
{
    fPanels = panels;
    const double scale = (logicalDpiX() > 0 ? logicalDpiX() : 96.0) / 96.0;
    for (int i = 0; i < StatusPanelCount; ++i) {
        QLabel* label = fLabels[static_cast<size_t>(i)];
        label->setText(QString::fromStdString(panels.Texts[static_cast<size_t>(i)]));
        // The last panel is always empty and only closes the bar.
        if (i > 0)
            label->setFixedWidth(std::max(0, static_cast<int>(panels.Widths[static_cast<size_t>(i)] * scale + 0.5)));
        label->setVisible(i == 0 || panels.Widths[static_cast<size_t>(i)] > 0);
    }
}
