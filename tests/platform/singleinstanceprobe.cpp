// SPDX-License-Identifier: GPL-2.0-or-later
// Starts like the application does, with a plain window instead of the main window, and tells
// on its standard output what happens to it, so that tests can run it as first and second copy.
#include "qtsingleapplication.h"

#include <QTextStream>
#include <QWidget>
#include <QWindow>

int main(int argc, char *argv[])
{
    QtSingleApplication app(argc, argv, true);
    if (app.isRunning()) {
        app.sendMessage(QStringLiteral("raise"), 5000);
        return -1;
    }
    QTextStream out(stdout);
    QWidget window;
    window.setWindowTitle(QStringLiteral("activation"));
    window.showMinimized();
    // A second window takes the focus away, so that activation by a message can be seen.
    QWidget other;
    other.setWindowTitle(QStringLiteral("other"));
    other.show();
    other.activateWindow();
    app.setActivationWindow(&window, true);

    QObject::connect(&app, &QtSingleApplication::messageReceived,
                     [&out](const QString &message) { out << "message " << message << Qt::endl; });
    QObject::connect(&app, &QGuiApplication::focusWindowChanged, [&out, &window](QWindow *focus) {
        if (focus && focus == window.windowHandle())
            out << "activated minimized=" << int(window.isMinimized()) << Qt::endl;
        else if (focus)
            out << "ready" << Qt::endl;
    });
    return app.exec();
}
