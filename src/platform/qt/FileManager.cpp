#include "platform/qt/FileManager.h"

#include <QUrl>

#ifdef MIREVA_HAVE_QTDBUS
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#endif

bool ShowItemsInFileManager(const QStringList& paths)
{
#ifdef MIREVA_HAVE_QTDBUS
    if (paths.isEmpty() || !QDBusConnection::sessionBus().isConnected())
        return false;
    QDBusInterface service("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                           "org.freedesktop.FileManager1", QDBusConnection::sessionBus());
    if (!service.isValid())
        return false;
    // A file manager that hangs must not stall the window for long.
    service.setTimeout(2000);
    QStringList uris;
    for (const QString& path : paths)
        uris << QUrl::fromLocalFile(path).toString();
    const QDBusMessage reply = service.call("ShowItems", uris, QString());
    return reply.type() == QDBusMessage::ReplyMessage;
#else
    (void)paths;
    return false;
#endif
}
