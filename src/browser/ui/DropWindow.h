#pragma once

// "動作中のアプリケーションで開く": a small window that lists the files
// to hand over and lets the user drag them onto the window of a program that
// already runs. The drag carries the paths as "text/uri-list", which X11
// programs receive over XDND as a drop of files; a drop that a target takes
// closes the window. Its size is kept in the data folder's "Mireva.ini"
// (section DROP). User-interface thread.

#include <QDialog>

#include <string>
#include <vector>

#include "app/RegApp.h"

class QListWidget;

class TDropWindow : public QDialog {
public:
    // settings: the stored size, in 96-dpi units.
    TDropWindow(std::vector<std::string> paths, const TDropWindowSettings& settings, QWidget* parent = nullptr);

    const std::vector<std::string>& Paths() const { return fPaths; }
    // The settings to store when the window closes (its size now).
    TDropWindowSettings Settings() const;
    // Starts the drag as a press and move on the list does; true when a
    // target took the files.
    bool StartDrag();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::string> fPaths;
    TDropWindowSettings fSettings;
    QListWidget* fList;
    QPoint fPress;
    bool fArmed = false;
};

// Drops onto other programs' windows need a display server that lets a
// program see them (X11); false on Wayland.
bool DropWindowAvailable();
