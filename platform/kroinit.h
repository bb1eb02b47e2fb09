// SPDX-License-Identifier: GPL-2.0-or-later
// Registration of the application with the desktop and its help viewer.
#pragma once

#include <QString>

// Application names for the settings store, Qt's and the application's translations for the
// default locale, an icon theme fallback (its dark variant on a dark palette) and the application
// icon's search path. Call right after the application object exists; a later call installs the
// translations of a changed default locale.
void kroInit(const QString &version, const QString &displayName);

// Opens the help page (the start page when page is empty) in the user's browser.
void kroHelpShow(const QString &page);
