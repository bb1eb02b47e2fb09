// SPDX-License-Identifier: GPL-2.0-or-later
// The services debugging page without a window: its own list and buttons, the helper on a
// private bus. The page reads the modules, switches one on and back, and tells each end.
#include "backstage.h"
#include "dbusservice.h"
#include "debugpage.h"
#include "modaldialoghelper.h"
#include "systempaths.h"
#include "testenvironment.h"
#include "testfiles.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestDebugPageObject : public QObject
{
    Q_OBJECT

private slots:
    void switchesOnAndBackAndTellsEachEnd();
};

void TestDebugPageObject::switchesOnAndBackAndTellsEachEnd()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("modules")));
    const QString config = dir.filePath(QStringLiteral("svc.conf"));
    KroTest::writeAll(config, "level = 0\n");
    KroTest::writeAll(dir.filePath(QStringLiteral("modules/svc.json")),
                      QStringLiteral("{\"modulename\": \"svc\", \"commands_debug\": [],"
                                     " \"commands_rollback\": [], \"filechanges\": [{\"filename\":"
                                     " \"%1\", \"oldtext\": \"level = 0\", \"newtext\":"
                                     " \"level = 9\"}]}")
                          .arg(config)
                          .toUtf8());

    QWidget window;
    auto *list = new QListWidget(&window);
    auto *debugButton = new QPushButton(&window);
    auto *rollbackButton = new QPushButton(&window);
    Backstage backstage;
    KroAdmin::DbusService service;
    backstage.setDbusService(&service);
    SystemPaths paths;
    paths.rebootFlagFile = dir.filePath(QStringLiteral("run-need-reboot"));
    paths.rebootFlagWorkingCopy = dir.filePath(QStringLiteral("tmp-need-reboot"));
    DebugPage page(
        {list, debugButton, rollbackButton, new QPushButton(&window), new QLabel(&window)},
        backstage, service, paths, &window);

    QSignalSpy shown(&page, &DebugPage::modulesShown);
    page.fill({dir.filePath(QStringLiteral("modules"))});
    QVERIFY(shown.wait(20000));
    QCOMPARE(page.modules().size(), 1);
    DebugModuleObject *module = page.moduleNamed(QStringLiteral("svc"));
    QVERIFY(module && module->state() == ModuleState::NotActive);
    list->setCurrentRow(0);
    QVERIFY(debugButton->isEnabled() && !rollbackButton->isEnabled());

    KroTest::ModalDialogHelper dialogs;
    QSignalSpy finished(&page, &DebugPage::switchFinished);
    for (const bool rollback : {false, true}) {
        dialogs.expectMessageBox(QMessageBox::Ok);
        page.switchCurrent(rollback);
        QVERIFY(page.isSwitching() && !list->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), rollback ? 2 : 1, 20000);
        QVERIFY(dialogs.waitForAll());
        QVERIFY(!page.isSwitching() && list->isEnabled());
        QCOMPARE(finished.last().at(2).toBool(), true);
        QCOMPARE(module->state(), rollback ? ModuleState::NotActive : ModuleState::Active);
        QVERIFY(KroTest::readAll(config).startsWith(rollback ? "level = 0" : "level = 9"));
        QCOMPARE(rollbackButton->isEnabled(), !rollback);
    }
    QCOMPARE(dialogs.last().text, QStringLiteral("Debug mode deactivated."));
}

KRO_TEST_MAIN(TestDebugPageObject)
#include "tst_debugpageobject.moc"
