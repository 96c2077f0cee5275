#include "platform/qt/GuiStart.h"

#include <QMessageLogger>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace {

struct THeldMessage {
    QtMsgType Type;
    // Qt's file, function and category names are static texts.
    const char* File;
    int Line;
    const char* Function;
    const char* Category;
    QString Text;
};

// The state of the one start in progress; Qt's message handler is a plain
// function, so it can reach it only through this pointer, set while the
// constructor runs.
struct TStart {
    const std::function<void(const std::string&)>* NoDisplay = nullptr;
    std::string Text;
    std::mutex Mutex;  // guards Held: Qt may report from its own threads as it starts
    std::vector<THeldMessage> Held;
};
std::atomic<TStart*> CurrentStart = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    TStart& start = *CurrentStart.load();
    if (type == QtFatalMsg) {
        // The only fatal message while the application starts is Qt giving
        // up on every platform plug-in: the display could not be opened.
        (*start.NoDisplay)(start.Text);
        ::_exit(1);
    }
    std::lock_guard lock(start.Mutex);
    start.Held.push_back(THeldMessage{type, context.file, context.line, context.function, context.category, text});
}

void PassOn(const THeldMessage& message)
{
    const QMessageLogger logger(message.File, message.Line, message.Function, message.Category);
    const QByteArray text = message.Text.toUtf8();
    switch (message.Type) {
    case QtDebugMsg: logger.debug("%s", text.constData()); break;
    case QtInfoMsg: logger.info("%s", text.constData()); break;
    case QtWarningMsg: logger.warning("%s", text.constData()); break;
    case QtCriticalMsg: logger.critical("%s", text.constData()); break;
    case QtFatalMsg: break;
    }
}

}  // namespace

std::string NoDisplayText(const std::function<const char*(const char*)>& getenv)
{
    std::string names;
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = getenv(variable);
        if (value && *value)
            names += (names.empty() ? "\"" : " or \"") + std::string(value) + "\"";
    }
    if (names.empty())
        return "cannot open the display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    return "cannot open the display " + names;
}

std::unique_ptr<QApplication> StartGuiApplication(int& argc, char** argv,
                                                  const std::function<void(const std::string& text)>& noDisplay)
{
    TStart start;
    start.NoDisplay = &noDisplay;
    start.Text = NoDisplayText([](const char* name) { return std::getenv(name); });
    CurrentStart = &start;
    const QtMessageHandler previous = qInstallMessageHandler(HoldMessage);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    CurrentStart = nullptr;
    std::lock_guard lock(start.Mutex);
    for (const THeldMessage& message : start.Held)
        PassOn(message);
    return application;
}
