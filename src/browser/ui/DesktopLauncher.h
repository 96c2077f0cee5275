#pragma once

// Starts other programs the way the desktop does: a file's associated
// program is looked up with xdg-mime and started with xdg-open, the file
// manager is asked over D-Bus to show items (else their folders are opened),
// and programs start detached, so that they outlive this one. A file type
// without a program gets the program chooser. User-interface thread.

#include <QString>

#include <string>
#include <vector>

#include "browser/AppLaunch.h"

class QWidget;

// The open dialog of "アプリケーションの選択": an executable file or a
// desktop entry, starting in startFolder (the working folder when that does
// not exist). Empty when the user cancelled.
std::string ChooseProgram(QWidget* parent, const std::string& startFolder);

// A file the launcher can start: an executable regular file, or a desktop
// entry file.
bool IsStartableProgram(const std::string& path);

class TDesktopLauncher : public TAppLauncher {
public:
    explicit TDesktopLauncher(QWidget* dialogParent) : fParent(dialogParent) {}

    bool OpenAssociated(const std::string& path) override;
    void ChooseProgramFor(const std::string& path) override;
    void ShowInFileManager(const std::vector<std::string>& paths) override;
    bool Start(const TLaunchCommand& command) override;
    std::string DesktopExec(const std::string& desktopFile) override;

    // The folder the program dialogs start in: the one used last.
    const std::string& LastFolder() const { return fLastFolder; }
    void SetLastFolder(const std::string& folder) { fLastFolder = folder; }

private:
    QWidget* fParent;
    std::string fLastFolder;
};
