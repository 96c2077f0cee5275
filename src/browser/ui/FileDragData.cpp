#include "browser/ui/FileDragData.h"

#include "fileops/FileLists.h"

namespace {

const QString UriListFormat = QStringLiteral("text/uri-list");

}  // namespace

TFileDragData::TFileDragData(std::vector<std::string> paths, TPrepare prepare)
    : fPaths(std::move(paths)), fPrepare(std::move(prepare))
{
}

QStringList TFileDragData::formats() const
{
    return {UriListFormat};
}

bool TFileDragData::hasFormat(const QString& mimeType) const
{
    return mimeType == UriListFormat;
}

QVariant TFileDragData::retrieveData(const QString& mimeType, QMetaType type) const
{
    (void)type;
    if (mimeType != UriListFormat)
        return {};
    if (!fPrepared) {
        fPrepared = true;
        if (fPrepare)
            fError = fPrepare(fPaths);
    }
    if (!fError.empty())
        return {};
    // Qt turns the bytes into URLs itself when a reader asks for them.
    return QByteArray::fromStdString(EncodeUriList(fPaths));
}

std::vector<std::string> DroppedPaths(const QMimeData& data)
{
    // A failed extraction hands over no bytes, so nothing is read here.
    if (!data.hasFormat(UriListFormat))
        return {};
    return DecodeUriList(data.data(UriListFormat).toStdString());
}
