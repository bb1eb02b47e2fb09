// SPDX-License-Identifier: GPL-2.0-or-later
// Protecting the selected archive and sending it by e-mail.
#include "mainwindow.h"

void MainWindow::encryptCurrentReport() {}

void MainWindow::mailto() {}
