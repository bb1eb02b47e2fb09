// SPDX-License-Identifier: GPL-2.0-or-later
// The floor of the start-up benchmark: the application's main window form, built from its .ui
// file and shown, with none of the application's own code (no settings, helper client, icon
// theme or translations). Whatever opens this window cannot paint it sooner.
#include "ui_mainwindow.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    Ui::AppSkeleton form;
    form.setupUi(&window);
    window.show();
    return app.exec();
}
