#include "collections/ui/QtShellInfo.h"

#include <QFileInfo>
#include <QImage>
#include <QPixmap>

TQtShellInfo::TQtShellInfo() = default;

std::string TQtShellInfo::TypeName(const std::string& path, bool isDirectory)
{
    const QMimeType type = isDirectory ? fMime.mimeTypeForName(QStringLiteral("inode/directory"))
                                       : fMime.mimeTypeForFile(QString::fromStdString(path));
    return type.isValid() ? type.comment().toStdString() : std::string();
}

int TQtShellInfo::IndexFor(const QString& key, const QIcon& icon)
{
    if (icon.isNull())
        return -1;
    const auto it = fByKey.constFind(key);
    if (it != fByKey.constEnd())
        return it.value();
    fIcons.push_back(icon);
    const int index = static_cast<int>(fIcons.size()) - 1;
    fByKey.insert(key, index);
    return index;
}

int TQtShellInfo::IconIndex(const std::string& path, bool isDirectory, bool open, bool byType)
{
    if (isDirectory) {
        if (open) {
            const QIcon icon = QIcon::fromTheme(QStringLiteral("folder-open"));
            return IndexFor(QStringLiteral("theme:folder-open"), icon);
        }
        if (byType || path.empty())
            return IndexFor(QStringLiteral("folder"), fProvider.icon(QFileIconProvider::Folder));
        const QIcon icon = fProvider.icon(QFileInfo(QString::fromStdString(path)));
        return IndexFor(QStringLiteral("path-folder:") + icon.name(), icon);
    }
    if (open)
        return -1;
    // Files show the icon of their type, by name only when asked, so that
    // a catalogue of an absent disc still gets its icons.
    const QMimeType type = byType ? fMime.mimeTypeForFile(QString::fromStdString(path), QMimeDatabase::MatchExtension)
                                  : fMime.mimeTypeForFile(QString::fromStdString(path));
    QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    if (icon.isNull())
        icon = fProvider.icon(QFileIconProvider::File);
    return IndexFor(QStringLiteral("mime:") + type.name(), icon);
}

namespace {

// The colour image with its mask as a picture with alpha; null when the two
// do not match.
QImage IconPicture(const TIconImage& icon)
{
    const TBitmap& color = icon.Color;
    if (color.IsEmpty() || color.BitsPerPixel() != 24 || icon.Mask.Width() != color.Width() ||
        icon.Mask.Height() != color.Height())
        return {};
    QImage image(color.Width(), color.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < color.Height(); ++y) {
        const uint8_t* in = color.ScanLine(y);
        const uint8_t* mask = icon.Mask.ScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < color.Width(); ++x)
            out[x] = qRgba(in[x * 3 + 2], in[x * 3 + 1], in[x * 3], mask[x] ? 0 : 255);
    }
    return image;
}

}  // namespace

int TQtShellInfo::AddIcon(const std::string& name, const TIconImage& icon)
{
    const QImage image = IconPicture(icon);
    if (image.isNull())
        return -1;
    // Strip icons are never shared: each frame gets its own entry.
    const QString key = QStringLiteral("strip:") + QString::fromStdString(name) + QLatin1Char(':') +
                        QString::number(fIcons.size());
    return IndexFor(key, QIcon(QPixmap::fromImage(image)));
}

bool TQtShellInfo::AddIconSize(int index, const TIconImage& icon)
{
    const QImage image = IconPicture(icon);
    if (index < 0 || index >= static_cast<int>(fIcons.size()) || image.isNull())
        return false;
    fIcons[static_cast<size_t>(index)].addPixmap(QPixmap::fromImage(image));
    return true;
}

QIcon TQtShellInfo::Icon(int index) const
{
    if (index < 0 || index >= static_cast<int>(fIcons.size()))
        return {};
    return fIcons[static_cast<size_t>(index)];
}
