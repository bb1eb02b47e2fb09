// SPDX-License-Identifier: GPL-2.0-or-later
// The real sosreport, started through the helper on a private bus with one plugin and a
// temporary folder inside a report folder, watched with the window's own end detection; its
// archive must then be the current row of the table.
#include "dbusservice.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"

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
    QVERIFY(QFile::exists(archive + QStringLiteral(".md5")));
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
}

KRO_TEST_MAIN(TestRealReport)
#include "tst_realreport.moc"
