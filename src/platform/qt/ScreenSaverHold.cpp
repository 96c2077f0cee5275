#include "platform/qt/ScreenSaverHold.h"

#ifdef MIREVA_HAVE_QTDBUS
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#endif

namespace {

#ifdef MIREVA_HAVE_QTDBUS
// A missing service must not stall the window: the call waits this long
// at most.
constexpr int CallTimeout = 1000;

QDBusInterface* Service()
{
    if (!QDBusConnection::sessionBus().isConnected())
        return nullptr;
    auto* service = new QDBusInterface("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                       "org.freedesktop.ScreenSaver", QDBusConnection::sessionBus());
    service->setTimeout(CallTimeout);
    if (!service->isValid()) {
        delete service;
        return nullptr;
    }
    return service;
}
#endif

}  // namespace

TScreenSaverHold::~TScreenSaverHold()
{
    SetHeld(false);
}

void TScreenSaverHold::SetHeld(bool held)
{
    if (held == fHeld)
        return;
    fHeld = held;
#ifdef MIREVA_HAVE_QTDBUS
    QDBusInterface* service = Service();
    if (!service)
        return;
    if (held) {
        const QDBusReply<uint32_t> reply = service->call("Inhibit", "Mireva", "slideshow or full screen");
        fCookie = reply.isValid() ? reply.value() : 0;
    } else if (fCookie != 0) {
        service->call("UnInhibit", fCookie);
        fCookie = 0;
    }
    delete service;
#endif
}
