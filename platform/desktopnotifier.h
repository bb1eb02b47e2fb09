// SPDX-License-Identifier: GPL-2.0-or-later
// Tells the desktop's notification service (org.freedesktop.Notifications on the session bus)
// that something ended, for a window the user is not looking at. The message is sent without
// waiting for an answer; where no session bus or no notification service runs, nothing happens.
#pragma once

#include <QString>

namespace KroAdmin {

class DesktopNotifier
{
public:
    // Shows summary and body under the application's name and icon.
    void notify(const QString &summary, const QString &body) const;
};

} // namespace KroAdmin
