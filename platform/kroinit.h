// SPDX-License-Identifier: GPL-2.0-or-later
// Registration of the application with the desktop and its help viewer.
#pragma once

#include <QString>

// Application names for the settings store, Qt's own translations, an icon theme fallback and
// the application icon's search path. Call once, right after the application object exists.
void kroInit(const QString &version, const QString &displayName);

// Opens the help page (the start page when page is empty) in the user's browser.
void kroHelpShow(const QString &page);
