#include "platform/qt/OffscreenNotices.h"

#include <QGuiApplication>
#include <QtGlobal>
#include <atomic>
#include <cstdio>

namespace {

// Qt's message handler is a plain function, called on any thread; it finds
// the handler to pass on to and the platform here.
std::atomic<QtMessageHandler> PreviousHandler = nullptr;
std::atomic<bool> Offscreen = false;

void FilterMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    // Qt's platform windows say so whenever the plug-in lacks a feature of
    // a real window system.
    if (type == QtWarningMsg && Offscreen && text.startsWith(QLatin1String("This plugin does not support ")))
        return;
    if (const QtMessageHandler previous = PreviousHandler)
        previous(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

}  // namespace

TOffscreenNotices::TOffscreenNotices()
{
    Offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
    PreviousHandler = qInstallMessageHandler(FilterMessage);
}

TOffscreenNotices::~TOffscreenNotices()
{
    qInstallMessageHandler(PreviousHandler.exchange(nullptr));
    Offscreen = false;
}
