#pragma once

// The scroll page of the key and mouse dialogs: how far a large and a small
// scroll go (a share of the view or a number of pixels), whether scrolling on
// at the picture's end moves to another file and with which move, whether the
// next file starts at its opposite end, and the overlap kept. The mouse
// dialog also shows the drag factor. The page edits a copy of the scroll
// options; the dialog takes Options() over when it is accepted.

#include <QWidget>

#include "app/Init.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QSpinBox;

class TScrollOptionsPage : public QWidget {
public:
    // withDragScroll adds the drag factor (the mouse dialog's page).
    TScrollOptionsPage(const TScrollOptions& options, bool withDragScroll, QWidget* parent = nullptr);

    // The options given, with what the page edits replaced by its controls.
    TScrollOptions Options() const;
    // Shows other options (a reset to the defaults).
    void SetOptions(const TScrollOptions& options);

private:
    // The controls of one scroll record (large or small).
    struct TRecordControls {
        QGroupBox* Box = nullptr;
        QButtonGroup* Kind = nullptr;  // by ratio (id 1) or by quantity (id 0)
        QSpinBox* Ratio = nullptr;
        QSpinBox* Quantity = nullptr;
        QCheckBox* Move = nullptr;
        QComboBox* MoveCommand = nullptr;
        QCheckBox* Opposite = nullptr;
        QSpinBox* OverLap = nullptr;
    };
    struct TRecordFields;
    static const TRecordFields PageKeys;
    static const TRecordFields LineKeys;

    QGroupBox* BuildRecord(TRecordControls& controls, const QString& title, const QString& name);
    static void Show(TRecordControls& controls, const TScrollOptions& options, const TRecordFields& fields);
    static void Take(const TRecordControls& controls, TScrollOptions& options, const TRecordFields& fields);
    static void Follow(TRecordControls& controls);

    TScrollOptions fOptions;
    TRecordControls fPage;
    TRecordControls fLine;
    QSpinBox* fDrag = nullptr;
};
