#include "browser/ui/DesktopLauncher.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include "base/PathUtils.h"
#include "common/IniFile.h"
#include "platform/qt/FileManager.h"
#include "base/Texts.h"

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// A helper that does not answer in this time is taken as absent.
constexpr int HelperTimeout = 3000;

// The desktop entry that opens files of the path's type, as xdg-mime knows
// it; empty when none is set. Nothing at all (no xdg-mime) counts as set, so
// that xdg-open still gets its chance.
bool HasAssociation(const std::string& path)
{
    if (QStandardPaths::findExecutable("xdg-mime").isEmpty())
        return true;
    const QString type = QMimeDatabase().mimeTypeForFile(Q(path)).name();
    QProcess query;
    query.start("xdg-mime", {"query", "default", type});
    if (!query.waitForFinished(HelperTimeout)) {
        query.kill();
        query.waitForFinished(HelperTimeout);
        return true;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

bool IsStartableProgram(const std::string& path)
{
    const QFileInfo info(Q(path));
    return info.isFile() && (path.ends_with(".desktop") || info.isExecutable());
}

std::string ChooseProgram(QWidget* parent, const std::string& startFolder)
{
    const QString start = QDir(Q(startFolder)).exists() && !startFolder.empty() ? Q(startFolder) : QDir::currentPath();
    while (true) {
        const QString chosen = QFileDialog::getOpenFileName(
            parent, Tx("アプリケーションの選択"), start,
            Tx("アプリケーション(*)"));
        if (chosen.isEmpty())
            return {};
        // A picture chosen by mistake would be "started" as nothing at all.
        if (IsStartableProgram(chosen.toStdString()))
            return chosen.toStdString();
    }
}

bool TDesktopLauncher::OpenAssociated(const std::string& path)
{
    if (!HasAssociation(path))
        return false;
    return QProcess::startDetached("xdg-open", {Q(path)}, Q(ExtractFilePath(path)));
}

void TDesktopLauncher::ChooseProgramFor(const std::string& path)
{
    const std::string program = ChooseProgram(fParent, fLastFolder);
    if (program.empty())
        return;
    fLastFolder = ExtractFilePath(program);
    for (const TLaunchCommand& command : CommandsFor(*this, program, {}, {path}, TAppWindow::awNormal))
        Start(command);
}

void TDesktopLauncher::ShowInFileManager(const std::vector<std::string>& paths)
{
    QStringList items;
    for (const std::string& path : paths)
        items << Q(ExcludeTrailingPathDelimiter(path));
    if (ShowItemsInFileManager(items))
        return;
    // Without the service each folder opens by itself, once.
    QStringList opened;
    for (const std::string& path : paths) {
        const QString folder = Q(ExcludeTrailingPathDelimiter(path));
        if (!opened.contains(folder)) {
            opened << folder;
            QProcess::startDetached("xdg-open", {folder});
        }
    }
}

bool TDesktopLauncher::Start(const TLaunchCommand& command)
{
    // Window managers decide how a new window opens; the stored window state
    // is kept for the file but cannot be imposed from here.
    QStringList arguments;
    for (const std::string& argument : command.Arguments)
        arguments << Q(argument);
    QString folder = Q(command.WorkingFolder);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QProcess::startDetached(Q(command.Program), arguments, folder);
}

std::string TDesktopLauncher::DesktopExec(const std::string& desktopFile)
{
    const TIniFile entry(desktopFile);
    return entry.ReadString("Desktop Entry", "Exec", "");
}
