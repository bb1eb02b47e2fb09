// SPDX-License-Identifier: GPL-2.0-or-later
// Desktop notifications on a private session bus: nothing happens and nothing waits without a
// notification service; with the notification service stand-in, the call carries the
// application's name and icon, the summary and the body.
#include "desktopnotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestDesktopNotifier : public QObject
{
    Q_OBJECT

private slots:
    void withoutServiceReturnsAtOnce();
    void serviceGetsSummaryAndBody();
};

// The call is sent without waiting for an answer, so nothing can hang on a missing service.
void TestDesktopNotifier::withoutServiceReturnsAtOnce()
{
    QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(
        "org.freedesktop.Notifications"));
    KroAdmin::DesktopNotifier().notify("Report finished", "body");
    QVERIFY(QDBusConnection::sessionBus().isConnected());
}

void TestDesktopNotifier::serviceGetsSummaryAndBody()
{
    QTemporaryDir dir;
    const QString log = dir.filePath("calls.log");
    QProcess service;
    service.start("/usr/bin/python3",
                  {"-m", "dbusmock", "--template", "notification_daemon", "-l", log});
    QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(
                                 "org.freedesktop.Notifications"),
                             10000);
    KroAdmin::DesktopNotifier().notify("Report finished", "Saved in /tmp/sosreport-h.tar.xz");
    const auto calls = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QTRY_VERIFY(calls().contains("Notify"));
    service.terminate();
    service.waitForFinished();
    const QByteArray call = calls();
    for (const char *expected : {"\"System report center\" 0 \"kro-sosreport\"",
                                 "\"Report finished\" \"Saved in /tmp/sosreport-h.tar.xz\""})
        QVERIFY2(call.contains(expected), call.constData());
}

QTEST_GUILESS_MAIN(TestDesktopNotifier)
#include "tst_desktopnotifier.moc"
