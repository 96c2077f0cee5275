#pragma once

// A rename in place that the logic refused reaches the user once the editor
// has closed, not from inside the editor's commit (a message box opened
// there would be shown while the view is still editing). User-interface
// thread.

#include <QMetaObject>
#include <QObject>
#include <string>

#include "loading/FileLoader.h"

inline void ShowAfterEdit(QObject& context, TUserNotifier* notifier, const std::string& text)
{
    if (!notifier)
        return;
    QMetaObject::invokeMethod(
        &context, [notifier, text] { notifier->ShowMessage(text, TMessageIcon::miWarning); }, Qt::QueuedConnection);
}
