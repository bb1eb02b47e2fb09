// SPDX-License-Identifier: GPL-2.0-or-later
// The yardstick of the start-up benchmark: an empty main window and nothing else.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.show();
    return app.exec();
}
