// SPDX-License-Identifier: GPL-2.0-or-later
// The real sosreport, started through the helper on a private bus with one plugin and a
// temporary folder inside a report folder, watched with the window's own end detection; its
// archive must then be the current row of the table, and the helper's record of the run must
// name that archive, its checksum and the plugin it ran.
#include "dbusservice.h"
#include "helperprotocol.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"

#include <QDBusPendingReply>
#include <QFile>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

class TestRealReport : public QObject
{
    Q_OBJECT

private slots:
    void realArchiveIsListed();
};

void TestRealReport::realArchiveIsListed()
{
    if (QStandardPaths::findExecutable(QStringLiteral("sosreport")).isEmpty())
        QSKIP("sosreport is not installed");
    if (::geteuid() != 0)
        QSKIP("the helper runs with the rights of the test, and sosreport needs root");

    QTemporaryDir dir;
    MainWindow window;
    MainWindowAccess::useReportDirs(window, QStringList{dir.path()});
    KroAdmin::DbusService service;
    const qint64 pid = service.execSmthDetachedWithArgs(
        QStringLiteral("sosreport"), QStringList{"--batch", "-o", "date", "--tmp-dir", dir.path()});
    QVERIFY(pid > 0);
    MainWindowAccess::watchRun(window, pid);
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QMetaObject::invokeMethod(&window, "checkReportIsReady");
            return !MainWindowAccess::checkTimer(window)->isActive();
        }(),
        60000);

    QTableWidget *table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    QCOMPARE(table->rowCount(), 1);
    const QString archive = table->currentItem()->text();
    QVERIFY2(QFileInfo(archive).fileName().startsWith(QStringLiteral("sosreport-")),
             qPrintable(archive));
    QVERIFY(archive.endsWith(QStringLiteral(".tar.xz")));
    QFile checksum(archive + QStringLiteral(".md5"));
    QVERIFY(checksum.open(QIODevice::ReadOnly));
    QVERIFY(!KroTest::ModalDialogHelper::openModal());

    QDBusPendingReply<QVariantMap> reply = service.queryReportRun();
    reply.waitForFinished();
    QVERIFY2(!reply.isError(), qPrintable(reply.error().message()));
    const QVariantMap run = reply.value();
    using namespace HelperProtocol;
    QCOMPARE(run.value(ExitStatusKey).toInt(), 0);
    QCOMPARE(run.value(ArchiveKey).toString(), archive);
    QCOMPARE(run.value(ArchiveChecksumKey).toByteArray(), checksum.readAll().left(32));
    QCOMPARE(run.value(PluginsStartedKey).toInt(), 1);
    QCOMPARE(run.value(PluginsTotalKey).toInt(), 1);
    QCOMPARE(run.value(PluginKey).toString(), QStringLiteral("date"));
}

KRO_TEST_MAIN(TestRealReport)
#include "tst_realreport.moc"
