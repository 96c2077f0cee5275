#pragma once

// The data of a drag of files: the paths as "text/uri-list", which every
// file manager reads over XDND and our own views read in the program. Files
// that exist only inside an archive are written out by the prepare step the
// first time a target asks for the list, so a drag that is cancelled, or a
// target that refuses, extracts nothing. User-interface thread.

#include <QMimeData>

#include <functional>
#include <string>
#include <vector>

class TFileDragData : public QMimeData {
public:
    // Makes the files exist and may name them anew (an extracted member's
    // path is known once it is written); "" when they exist, else the
    // message to show.
    using TPrepare = std::function<std::string(std::vector<std::string>& paths)>;

    // paths are absolute; prepare may be empty when they exist already.
    TFileDragData(std::vector<std::string> paths, TPrepare prepare = {});

    const std::vector<std::string>& Paths() const { return fPaths; }
    // Ran the prepare step (successfully or not).
    bool Prepared() const { return fPrepared; }
    // The prepare step's message; a target then got no list at all rather
    // than names of files that are not there.
    const std::string& Error() const { return fError; }

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    mutable std::vector<std::string> fPaths;
    TPrepare fPrepare;
    // retrieveData is const for Qt; the prepare step runs once all the same
    // and may fill in the paths.
    mutable bool fPrepared = false;
    mutable std::string fError;
};

// The paths a drop carries: the local files of its uri-list, in order.
std::vector<std::string> DroppedPaths(const QMimeData& data);
