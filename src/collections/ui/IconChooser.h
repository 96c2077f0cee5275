#pragma once

// The icon chooser of the property dialogs of shelves, media and categories:
// the entries "アイコン1", "アイコン2", ..., each showing its frame of the
// list's icon strip; entry k stores icon number k - 1 (frame 0 of a strip
// is the root's icon and is never offered).

#include <QIcon>
#include <functional>

class QComboBox;
class QWidget;
class TCustomFolderList;
class TQtShellInfo;

struct TFolderIconSource {
    int Count = 1;  // how many icons to offer (at least one)
    // The icon of icon number i; null (or none) for no picture.
    std::function<QIcon(int imageIndex)> IconOf;
};

// The icons of list's folders as the window's icon list holds them; icons
// may be null (one entry, no pictures).
TFolderIconSource FolderIconSource(const TCustomFolderList& list, const TQtShellInfo* icons);

// A chooser with imageIndex chosen; an icon number beyond the offered ones
// (a strip replaced by a shorter one) is offered too, without a picture, so
// that it is kept.
QComboBox* NewIconChooser(const TFolderIconSource& source, int imageIndex, QWidget* parent);
