// SPDX-License-Identifier: GPL-2.0-or-later
// A debug switch with no helper on the bus: one click, one box in the application's words with
// the bus's own text under its details, nothing changed and no copy left behind.
#include "debugmoduleobject.h"
#include "debugpage.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"
#include "testfiles.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestSwitchWithoutHelper : public QObject
{
    Q_OBJECT

private slots:
    void oneBoxAndNoCopyLeft_data();
    void oneBoxAndNoCopyLeft();
};

void TestSwitchWithoutHelper::oneBoxAndNoCopyLeft_data()
{
    QTest::addColumn<bool>("rollback");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("switch off") << true << QByteArray("level = 9\n##commented level = 0\n");
    QTest::newRow("switch on") << false << QByteArray("level = 0\n");
}

void TestSwitchWithoutHelper::oneBoxAndNoCopyLeft()
{
    QFETCH(bool, rollback);
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("modules")));
    const QString config = dir.filePath(QStringLiteral("svc.conf"));
    KroTest::writeAll(config, content);
    KroTest::writeAll(dir.filePath(QStringLiteral("modules/svc.json")),
                      QStringLiteral("{\"modulename\": \"svc\", \"commands_debug\": [\"systemctl "
                                     "restart svc\"], \"commands_rollback\": [\"systemctl stop "
                                     "svc\"], \"filechanges\": [{\"filename\": \"%1\", "
                                     "\"oldtext\": \"level = 0\", \"newtext\": \"level = 9\"}]}")
                          .arg(config)
                          .toUtf8());
    QSettings().setValue(QStringLiteral("debugjson"), QStringList{dir.filePath("modules")});
    MainWindow window;
    MainWindowAccess::reportDirs(window) = QStringList{dir.path()};
    KroTest::ModalDialogHelper dialogs;
    // A service left in debug mode is named at start; it stays on until the click.
    if (rollback)
        dialogs.expectMessageBox(QMessageBox::No);
    window.show();
    QTRY_VERIFY(MainWindowAccess::isStarted(window));
    MainWindowAccess::waitForDebugModules(window);
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(dialogs.records().size(), rollback ? 1 : 0);
    dialogs.clear();
    auto *list = window.findChild<QListWidget *>(QStringLiteral("debugLW"));
    list->setCurrentRow(0);
    QVERIFY(list->currentItem());
    const QString tipBefore = list->currentItem()->toolTip();

    QString details;
    dialogs.expect([&details](QWidget *widget) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        details = box->detailedText();
        box->button(QMessageBox::Ok)->click();
    });
    QSignalSpy finished(window.findChild<DebugPage *>(), &DebugPage::switchFinished);
    window.findChild<QPushButton *>(rollback ? "rollbackModePb" : "debugModePb")->click();
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(1).toBool(), rollback);
    QCOMPARE(finished.at(0).at(2).toBool(), false);

    QCOMPARE(dialogs.records().size(), 1);
    const KroTest::DialogRecord box = dialogs.last();
    QCOMPARE(box.windowTitle, QStringLiteral("Error!"));
    QVERIFY2(box.text.startsWith(QStringLiteral("Failed to replace file %1\nThe system helper is "
                                                "not installed or could not start.\n")
                                     .arg(config)),
             qPrintable(box.text));
    QVERIFY2(details.contains(QStringLiteral("ServiceUnknown")), qPrintable(details));
    QCOMPARE(list->currentItem()->toolTip(), tipBefore);
    QCOMPARE(KroTest::readAll(config), content);
    QCOMPARE(QDir(KroTest::homePath()).entryList({QStringLiteral("*.tmp")}, QDir::Files),
             QStringList());
    QVERIFY(window.findChild<QListWidget *>(QStringLiteral("debugLW"))->isEnabled());
}

KRO_TEST_MAIN(TestSwitchWithoutHelper)
#include "tst_switchwithouthelper.moc"
