// SPDX-License-Identifier: GPL-2.0-or-later
// The extended settings pane and the plugin listing.
#include "mainwindow.h"

void MainWindow::showExtendedSettings(int newState)
{
    Q_UNUSED(newState)
}

void MainWindow::startFilling(QString out)
{
    Q_UNUSED(out)
}

void MainWindow::setPrevExtSettings() {}
