// SPDX-License-Identifier: GPL-2.0-or-later
#include "kroinit.h"
#include "mainwindow.h"
#include "qtsingleapplication.h"

#include <QIcon>

int main(int argc, char *argv[])
{
    QtSingleApplication app(argc, argv, true);
    kroInit(QStringLiteral("0.3.0+zo6z2"), QStringLiteral("Kro sosreport"));

    if (app.isRunning()) {
        app.sendMessage(QStringLiteral("raise"), 5000);
        return -1;
    }

    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("kro-sosreport")));
    MainWindow window;
    window.show();
    app.setActivationWindow(&window, true);
    return app.exec();
}
