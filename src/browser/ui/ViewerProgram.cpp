#include "browser/ui/ViewerProgram.h"

#include <QApplication>
#include <QBuffer>
#include <QIcon>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <unistd.h>

#include "app/AppCore.h"
#include "app/ProgramOptions.h"
#include "browser/ActionTable.h"
#include "browser/ui/ImageWindowForm.h"
#include "browser/ui/MainForm.h"
#include "viewer/ui/ImageViewFrame.h"
#include "viewer/ui/LoupeOverlay.h"
#include "common/AtomicSave.h"
#include "common/Text.h"
#include "base/PathUtils.h"
#include "base/Texts.h"
#include "loading/SPIs.h"
#include "platform/FileSystem.h"
#include "platform/Folders.h"
#include "platform/Memory.h"
#include "platform/SingleInstance.h"
#include "platform/qt/GuiStart.h"
#include "platform/qt/InstanceListener.h"
#include "platform/qt/OffscreenNotices.h"
#include "platform/qt/QtTranslations.h"
#include "platform/qt/QuitSignals.h"
#include "platform/qt/ThemeColors.h"

namespace {

// The QApplication is made only when a window or a question needs it, so
// that a start that merely hands over its command line stays light, and
// works without a display.
class TApplicationHolder {
public:
    TApplicationHolder(int& argc, char** argv)
        : fArgc(argc)
        , fArgv(argv)
    {
    }
    // What the start holds by the time the display is opened (the
    // single-instance lock and socket), released should that fail.
    void SetRelease(std::function<void()> release) { fRelease = std::move(release); }
    // Without a display this prints why and ends the process (exit code 1).
    QApplication& Get()
    {
        if (!fApp) {
            fApp = StartGuiApplication(fArgc, fArgv, [this](const std::string& text) {
                if (fRelease)
                    fRelease();
                std::cerr << "mireva: " << text << std::endl;
            });
            QApplication::setApplicationName("Mireva");
            // Wayland compositors find the desktop entry, and with it the
            // icon, by this name; X11 takes the icon from the windows, and
            // the icon theme holds it once the program is installed.
            QGuiApplication::setDesktopFileName("org.mireva.Mireva");
            QApplication::setWindowIcon(QIcon::fromTheme("org.mireva.Mireva"));
            fNotices = std::make_unique<TOffscreenNotices>();
            InstallQtTranslations(*fApp, InterfaceLanguage([](const char* name) { return std::getenv(name); }));
        }
        return *fApp;
    }

private:
    int& fArgc;
    char** fArgv;
    std::function<void()> fRelease;
    std::unique_ptr<QApplication> fApp;
    std::unique_ptr<TOffscreenNotices> fNotices;
};

bool AskTerminateHungCopy(TApplicationHolder& application)
{
    application.Get();
    const QString question = QString::fromUtf8(Tx("起動中のMirevaがフリーズしている可能性があります  \n強制終了しますか？"));
    return QMessageBox::question(nullptr, "Mireva", question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

// The browser window's picture, with the separate image window's beside it
// on its right while that window is shown. Grabs hold device pixels (twice
// the window's size on a screen scaled by two); both are put together 1:1
// in those.
QPixmap WindowPicture(TMainForm& form)
{
    QPixmap browser = form.grab();
    const QWidget* separate = form.ImageWindow();
    if (!separate || !separate->isVisible() || browser.isNull())
        return browser;
    QPixmap image = const_cast<QWidget*>(separate)->grab();
    if (image.isNull())
        return browser;
    browser.setDevicePixelRatio(1.0);
    image.setDevicePixelRatio(1.0);
    QPixmap both(browser.width() + image.width(), std::max(browser.height(), image.height()));
    both.fill(Qt::black);
    QPainter painter(&both);
    painter.drawPixmap(0, 0, browser);
    painter.drawPixmap(browser.width(), 0, image);
    painter.end();
    return both;
}

// Writes the window's picture as a PNG file the way every file of the
// program is written: completely or not at all.
bool SaveSnapshot(TMainForm& form, const std::string& path)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    const QPixmap shot = WindowPicture(form);
    if (shot.isNull() || !shot.save(&buffer, "PNG")) {
        std::cerr << "mireva: the window's picture could not be taken\n";
        return false;
    }
    try {
        SaveFileAtomically(path, std::string_view(png.constData(), static_cast<size_t>(png.size())));
    } catch (const std::exception& e) {
        std::cerr << "mireva: " << e.what() << '\n';
        return false;
    }
    return true;
}

void ShowStartFailure(TApplicationHolder& application, bool batch, const std::string& text)
{
    std::cerr << "mireva: " << text << '\n';
    if (!batch)
        QMessageBox::critical(nullptr, "Mireva", QString::fromUtf8(text.c_str()));
}

}  // namespace

int RunViewer(int argc, char** argv)
{
    KeepPictureBlocksInHeap();
    TProgramOptions options;
    try {
        options = ParseProgramOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const EUsageError& e) {
        std::cerr << "mireva: " << e.what() << '\n' << ProgramUsage();
        return 2;
    }
    if (options.Help) {
        std::cout << ProgramUsage();
        return 0;
    }
    if (options.Version) {
        std::cout << "mireva " << ProgramVersion() << '\n';
        return 0;
    }
    // Before any thread starts: every text from here on is shown in the
    // interface language.
    if (!InstallProgramTranslations(InterfaceLanguage([](const char* name) { return std::getenv(name); })))
        std::cerr << "mireva: the English texts could not be loaded; the interface stays Japanese\n";
    std::vector<TActionId> runActions;
    for (const std::string& name : options.RunActions) {
        const std::optional<TActionId> action = FindActionByName(name);
        if (!action) {
            std::cerr << "mireva: --run: there is no action '" << name << "'\n";
            return 2;
        }
        runActions.push_back(*action);
    }
    const bool snapshot = !options.SnapshotPath.empty();
    if (snapshot && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);

    TApplicationHolder application(argc, argv);
    const std::string workingFolder = CurrentDirectory();

    // A snapshot is batch work beside a running viewer: it neither hands
    // over nor takes the single-instance lock.
    std::unique_ptr<TSingleInstance> instance;
    if (!snapshot) {
        try {
            instance = std::make_unique<TSingleInstance>(RuntimeFolder());
            THandOver message{workingFolder, {argv[0]}};
            message.Args.insert(message.Args.end(), options.Args.begin(), options.Args.end());
            const TInstanceRole role =
                instance->Start(message, [&application] { return AskTerminateHungCopy(application); });
            if (role != TInstanceRole::irFirst)
                return 0;
            application.SetRelease([&instance] { instance.reset(); });
        } catch (const std::exception& e) {
            // Without the lock the viewer still works; it just cannot take
            // over later starts.
            std::cerr << "mireva: " << e.what() << '\n';
            instance.reset();
        }
    }

    QApplication& app = application.Get();
    std::unique_ptr<TAppCore> core;
    try {
        TAppFolders folders;
        const TProgramLocation program = LocateProgram();
        folders.ProgramFolder = program.Folder;
        folders.DataFolder = DataFolder(program.PortableFolder());
        folders.WorkingFolder = workingFolder;
        folders.TemporaryBase = TemporaryBase();
        folders.TemporaryName = TemporaryFolderName(folders.TemporaryBase);
        // A snapshot may run beside the viewer: it must not share (and at its
        // end remove) the viewer's temporary folder.
        if (snapshot)
            folders.TemporaryName += "-snapshot-" + std::to_string(::getpid());
        // Plug-ins come from the program folder (the ones we ship) and the
        // other viewer's plug-in folder when the user has one.
        const TPluginFolders pluginFolders{folders.ProgramFolder, DefaultSusiePluginFolder()};
        core = std::make_unique<TAppCore>(folders, options.Args, PluginFolderScanner(pluginFolders), ThemeColor);
    } catch (const std::exception& e) {
        ShowStartFailure(application, snapshot, e.what());
        return 1;
    }

    int exitCode = 0;
    {
        TMainForm form(*core);
        // A snapshot closes as a user's run does and leaves the same state
        // behind, unless told not to.
        form.SetSavesState(!options.NoSave);
        if (options.WindowSizeGiven) {
            form.setWindowState(form.windowState() & ~Qt::WindowMaximized);
            form.resize(options.WindowWidth, options.WindowHeight);
        }
        std::unique_ptr<TInstanceListener> listener;
        if (instance && instance->Server())
            listener = std::make_unique<TInstanceListener>(
                *instance->Server(), [&form](const THandOver& message) { form.HandOver(message); });
        // A request to end closes the window as the user would, so that
        // nothing is left behind.
        const TQuitSignals quitSignals([&form, &app] {
            form.close();
            app.quit();
        });
        if (snapshot) {
            form.SetMessageSink(
                [](const std::string& text, TMessageIcon) { std::cerr << "mireva: " << text << '\n'; });
            form.SetAnswerYes(options.AnswerYes);
            form.SetSettledHandler([&] {
                if (!options.Place.empty() && !form.ShowNamedPlace(options.Place)) {
                    std::cerr << "mireva: --place: there is no " << EscapeControls(options.Place) << '\n';
                    exitCode = 2;
                    form.close();
                    app.quit();
                    return;
                }
                if (!options.Place.empty() && !form.Settle())
                    std::cerr << "mireva: --place: the place did not settle; going on as it is\n";
                for (const std::string& missing : form.SelectByNames(options.SelectNames))
                    std::cerr << "mireva: --select: nothing named '" << EscapeControls(missing) << "' is listed\n";
                // The pointer is placed first, so that the loupe opens there.
                if (options.PointerGiven)
                    form.View()->Loupe().MoveTo(TPoint{options.PointerX, options.PointerY});
                for (TActionId action : runActions)
                    if (!form.RunAction(action))
                        std::cerr << "mireva: --run: " << ActionInfo(action).Name << " is not available now\n";
                if (!form.Settle())
                    std::cerr << "mireva: the image cache did not settle; the picture is taken as it is\n";
                if (SaveSnapshot(form, options.SnapshotPath)) {
                    // The caption carries file names, which may hold line
                    // breaks and escape sequences: escaped, it stays one line
                    // and never drives the terminal.
                    // Then the status bar's panels 0 to 5, separated by tabs.
                    const TStatusPanels& panels = form.StatusPanels();
                    std::string status;
                    for (int panel = 0; panel <= 5; ++panel)
                        status += (panel ? "\t" : "") + EscapeControls(panels.Texts[static_cast<size_t>(panel)]);
                    std::cout << EscapeControls(form.windowTitle().toStdString()) << '\n'
                              << EscapeControls(form.Model().PageLabel()) << '\n'
                              << status << std::endl;
                } else {
                    exitCode = 1;
                }
                form.close();
                app.quit();
            });
        }
        form.show();
        // "-f": full screen on the screen the window opened on, with the
        // normal window kept for leaving it.
        if (core->CommandLine().FullScreen)
            form.RunAction(TActionId::actFullScreen);
        const int loopCode = app.exec();
        if (exitCode == 0)
            exitCode = loopCode;
        // Later starts must find no listener from here on.
        listener.reset();
        instance.reset();
    }
    core.reset();
    return exitCode;
}
