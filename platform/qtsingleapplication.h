// SPDX-License-Identifier: GPL-2.0-or-later
// A QApplication that allows one running instance per user. A later instance finds the first
// one through the instance channel and can send it a message; the first one raises its window.
#pragma once

#include <QApplication>
#include <QPointer>

class InstanceChannel;
class QLockFile;

class QtSingleApplication : public QApplication
{
    Q_OBJECT

public:
    QtSingleApplication(int &argc, char **argv, bool GUIenabled = true);
    ~QtSingleApplication() override;

    bool isRunning();
    bool sendMessage(const QString &message, int timeout = 5000);
    void setActivationWindow(QWidget *aw, bool activateOnMessage = true);
    QWidget *activationWindow() const;

public slots:
    void activateWindow();

signals:
    void messageReceived(const QString &message);

private:
    void startServer();
    void receiveMessage(const QString &message);

    QString serverName;
    QLockFile *lockFile = nullptr;
    InstanceChannel *server = nullptr;
    QPointer<QWidget> actWin;
    bool activateOnMessage = false;
};
