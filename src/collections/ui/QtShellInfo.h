#pragma once

// The desktop's knowledge about files for the folder model: type names from
// the MIME database ("JPEG 画像" in a Japanese session) and icons from the
// icon theme. It also keeps the program's one icon list, into which the
// folder lists put the frames of their icon strips, so every view draws
// items and collections from the same list. User-interface thread only.

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QFileIconProvider>
#include <QString>

#include <string>
#include <vector>

#include "collections/IconStrip.h"
#include "collections/ShellInfo.h"

class TQtShellInfo : public TShellInfo, public TIconRegistry {
public:
    TQtShellInfo();

    std::string TypeName(const std::string& path, bool isDirectory) override;
    int IconIndex(const std::string& path, bool isDirectory, bool open, bool byType) override;
    int AddIcon(const std::string& name, const TIconImage& icon) override;

    // Adds another size of the icon at index (a large frame beside a small
    // one); false when there is no such icon or the image is unusable.
    bool AddIconSize(int index, const TIconImage& icon);

    int IconCount() const { return static_cast<int>(fIcons.size()); }
    // The icon at index; a null icon outside the list.
    QIcon Icon(int index) const;

private:
    // The index of an icon, added under key when it is new.
    int IndexFor(const QString& key, const QIcon& icon);

    QMimeDatabase fMime;
    QFileIconProvider fProvider;
    std::vector<QIcon> fIcons;
    QHash<QString, int> fByKey;
};
