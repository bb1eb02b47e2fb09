// SPDX-License-Identifier: GPL-2.0-or-later
// The report run and the reports table.
#include "mainwindow.h"

void MainWindow::collectReports() {}

void MainWindow::checkReportIsReady() {}

void MainWindow::unlockInterface() {}

void MainWindow::refillReportsTable() {}
