// SPDX-License-Identifier: GPL-2.0-or-later
// The dialogs that edit the report folders and the debug module folders.
#include "mainwindow.h"

void MainWindow::openReportsDirsSettingsDialog() {}

void MainWindow::openDebugDirsSettingsDialog() {}
