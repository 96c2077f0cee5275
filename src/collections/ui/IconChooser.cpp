#include "collections/ui/IconChooser.h"

#include <QComboBox>
#include <algorithm>

#include "collections/FolderList.h"
#include "collections/ui/QtShellInfo.h"
#include "base/Texts.h"

TFolderIconSource FolderIconSource(const TCustomFolderList& list, const TQtShellInfo* icons)
{
    TFolderIconSource source;
    source.Count = std::max(1, static_cast<int>(list.Images().size()) - 1);
    if (icons)
        source.IconOf = [&list, icons](int imageIndex) { return icons->Icon(list.IconOf(imageIndex)); };
    return source;
}

QComboBox* NewIconChooser(const TFolderIconSource& source, int imageIndex, QWidget* parent)
{
    auto* chooser = new QComboBox(parent);
    const int count = std::max({1, source.Count, imageIndex + 1});
    for (int i = 0; i < count; ++i)
        chooser->addItem(source.IconOf ? source.IconOf(i) : QIcon(), Tx("アイコン") + QString::number(i + 1));
    chooser->setCurrentIndex(std::max(0, imageIndex));
    return chooser;
}
