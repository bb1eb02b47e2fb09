// SPDX-License-Identifier: GPL-2.0-or-later
// The services debugging page: module list, debug mode switching and the changes window.
#include "mainwindow.h"

void MainWindow::activateDebugMode() {}

void MainWindow::rollbackDebugMode() {}

void MainWindow::showChanges() {}

void MainWindow::currentDebugModuleChanged() {}

void MainWindow::fillDebugModules() {}
