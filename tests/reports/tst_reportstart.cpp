// SPDX-License-Identifier: GPL-2.0-or-later
// A report run that cannot start (no helper on the bus): the user's words say so, the bus's error
// is in the details, and the window stays unlocked with no timer running.
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"

#include <QTemporaryDir>
#include <QTest>

class TestReportStart : public QObject
{
    Q_OBJECT

private slots:
    void failedStartLeavesWindowUnlocked();
};

void TestReportStart::failedStartLeavesWindowUnlocked()
{
    QTemporaryDir dir;
    MainWindow window;
    window.show();
    MainWindowAccess::useReportDirs(window, QStringList{dir.path()});

    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Ok);
    QMetaObject::invokeMethod(&window, "collectReports");
    QVERIFY(dialogs.waitForAll());

    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Error"));
    QVERIFY2(dialogs.last().text.startsWith(
                 QStringLiteral("Unable to exec sosreport!\nThe system helper is not installed or "
                                "could not start.\n")),
             qPrintable(dialogs.last().text));
    // The bus's own words are behind "Show Details...".
    QVERIFY2(dialogs.last().detailedText.startsWith(
                 QStringLiteral("The called service is not known.\n"
                                "org.freedesktop.DBus.Error.ServiceUnknown\n")),
             qPrintable(dialogs.last().detailedText));
    QVERIFY(window.isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!MainWindowAccess::checkTimer(window)->isActive());
    QVERIFY(!MainWindowAccess::unlockTimer(window)->isActive());
    QVERIFY(!MainWindowAccess::progressDialog(window));
    QCOMPARE(MainWindowAccess::reportPid(window), qint64(-1));
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
}

KRO_TEST_MAIN(TestReportStart)
#include "tst_reportstart.moc"
