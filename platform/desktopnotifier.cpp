// SPDX-License-Identifier: GPL-2.0-or-later
#include "desktopnotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace KroAdmin {

namespace {

const QString NotificationsService = QStringLiteral("org.freedesktop.Notifications");
const QString NotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString AppName = QStringLiteral("System report center");
const QString AppIcon = QStringLiteral("kro-sosreport");
// Lets the desktop find the application's entry, e.g. to group its notifications.
const QString DesktopEntry = QStringLiteral("kro-sosreport");
const int ServerDecidesTimeout = -1;

} // namespace

void DesktopNotifier::notify(const QString &summary, const QString &body) const
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage message = QDBusMessage::createMethodCall(NotificationsService, NotificationsPath,
                                                          NotificationsService, "Notify");
    const QVariantMap hints{{QStringLiteral("desktop-entry"), DesktopEntry}};
    message.setArguments(
        {AppName, 0u, AppIcon, summary, body, QStringList(), hints, ServerDecidesTimeout});
    // The reply, an error where no service runs included, is dropped unread.
    bus.send(message);
}

} // namespace KroAdmin
