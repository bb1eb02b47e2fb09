// SPDX-License-Identifier: GPL-2.0-or-later
// Using the main window without a mouse, with a screen reader, on a small screen and in Russian,
// and the reminder about services left in debug mode.
#include "constants.h"
#include "debugmoduleobject.h"
#include "kroinit.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

class TestAccess : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyFocusableWidgetHasAName();
    void tabLeavesTheTable();
    void shortcutsAreShownInTheMenus();
    void advancedPaneKeepsTheWindowOnASmallScreen();
    void remindsOfServicesInDebugModeAtClose();
    void tellsWhereSosWritesReports();
    void speaksRussian();
    void keysReachWhatTheMouseDoes();
    void menuKeysOpenTheRowMenu();
    void escapeClosesTheChangesWindow();
    void folderWithoutFileManagerShowsItsPath();
    void aboutTellsTheVersions();

private:
    // The table's first row, once a report in the window's folder is listed.
    QTableWidget *tableWithReport();
    void addModule(const QString &name, const QByteArray &config);
    void buildWindow();

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> window;
    KroTest::ModalDialogHelper dialogs;
};

void TestAccess::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("modules")));
    QSettings().clear();
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{dir->filePath("modules")});
}

void TestAccess::cleanup()
{
    window.reset();
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
    dialogs.clear();
}

// A module whose configuration already holds its debug line is in debug mode.
void TestAccess::addModule(const QString &name, const QByteArray &config)
{
    const QString configPath = dir->filePath(name + QStringLiteral(".conf"));
    QFile file(configPath);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(config) == config.size());
    QFile module(dir->filePath(QStringLiteral("modules/%1.json").arg(name)));
    QVERIFY(module.open(QIODevice::WriteOnly));
    module.write(QStringLiteral("{\"modulename\": \"%1\", \"description\": \"Logs %1 verbosely.\","
                                " \"filechanges\": [{\"filename\": \"%2\", \"oldtext\": "
                                "\"level = 0\", \"newtext\": \"level = 9\"}]}")
                     .arg(name, configPath)
                     .toUtf8());
}

void TestAccess::buildWindow()
{
    window = std::make_unique<MainWindow>();
    MainWindowAccess::useReportDirs(*window, {dir->path()});
}

void TestAccess::everyFocusableWidgetHasAName()
{
    buildWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QStringList unnamed;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(window.get()))
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') +
                           widget->objectName();
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

void TestAccess::tabLeavesTheTable()
{
    addModule(QStringLiteral("svc"), "level = 0\n");
    buildWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto *table = window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    auto *modules = window->findChild<QListWidget *>(QStringLiteral("debugLW"));
    table->setFocus();
    QTRY_VERIFY(table->hasFocus());
    for (int step = 0; step < 10 && !modules->hasFocus(); ++step)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(modules->hasFocus());
    // Back again, past the check box: Shift+Tab also leaves the cells alone.
    for (int step = 0; step < 10 && !table->hasFocus(); ++step)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QVERIFY(table->hasFocus());
}

void TestAccess::shortcutsAreShownInTheMenus()
{
    buildWindow();
    QStringList missing;
    for (const char *name : {"saveAction", "refreshAction", "exitAction", "helpAction"}) {
        auto *action = window->findChild<QAction *>(QLatin1String(name));
        if (!action || action->shortcut().isEmpty() || action->associatedWidgets().size() < 1)
            missing << QLatin1String(name);
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    QVERIFY(window->findChild<QCheckBox *>(QStringLiteral("extCheckBox"))->text().contains('&'));
}

void TestAccess::advancedPaneKeepsTheWindowOnASmallScreen()
{
    QSettings().setValue(Kro::PluginAskAgainKey, true);
    buildWindow();
    const QRect available = window->screen()->availableGeometry();
    window->resize(760, available.height() - 60);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    // The pane asks the helper for the plugins; with none on this bus the failure is one box.
    dialogs.expect([](QWidget *box) { box->close(); });
    window->findChild<QCheckBox *>(QStringLiteral("extCheckBox"))->setChecked(true);
    dialogs.waitForAll();
    QTRY_VERIFY(window->frameGeometry().height() <= available.height());
    QVERIFY(available.contains(window->frameGeometry()));
    QVERIFY(window->minimumHeight() <= available.height());
}

void TestAccess::remindsOfServicesInDebugModeAtClose()
{
    addModule(QStringLiteral("cups"), "level = 9\n");
    addModule(QStringLiteral("samba"), "level = 9\n");
    addModule(QStringLiteral("quiet"), "level = 0\n");
    buildWindow();

    // The start reminder comes once the window has shown and read its modules; the user keeps
    // debug mode.
    dialogs.expectMessageBox(QMessageBox::No);
    window->show();
    QVERIFY(dialogs.waitForAll());
    QVERIFY(dialogs.last().text.contains(QStringLiteral("cups, samba")));
    QVERIFY(!dialogs.last().text.contains(QStringLiteral("quiet")));

    // The current module's description shows under the list.
    auto *modules = window->findChild<QListWidget *>(QStringLiteral("debugLW"));
    auto *description = window->findChild<QLabel *>(QStringLiteral("moduleDescriptionLbl"));
    const QList<QListWidgetItem *> quiet =
        modules->findItems(QStringLiteral("quiet"), Qt::MatchExactly);
    QCOMPARE(quiet.size(), 1);
    modules->setCurrentItem(quiet.first());
    QCOMPARE(description->text(), QStringLiteral("Logs quiet verbosely."));
    QVERIFY(description->isVisible());

    // The services left in debug mode are named at close.
    dialogs.expectMessageBox(QMessageBox::No);
    QVERIFY(window->close());
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Attention!"));
    QVERIFY(dialogs.last().text.contains(QStringLiteral("samba")));
}

void TestAccess::tellsWhereSosWritesReports()
{
    buildWindow();
    const QString config = dir->filePath(QStringLiteral("sos.conf"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[global]\n#tmp-dir = /nowhere\ntmp-dir = /srv/sos reports \n");
    file.close();
    MainWindowAccess::paths(*window).sosConfigFile = config;
    MainWindowAccess::useReportDirs(*window, {dir->path()});
    const QString tip = window->findChild<QTableWidget *>(QStringLiteral("tableWidget"))->toolTip();
    QVERIFY2(tip.contains(dir->path()) && tip.contains(QStringLiteral("/srv/sos reports.")),
             qPrintable(tip));

    // Without the file sos keeps its built-in folder.
    MainWindowAccess::paths(*window).sosConfigFile = dir->filePath(QStringLiteral("missing.conf"));
    MainWindowAccess::useReportDirs(*window, {dir->path()});
    QVERIFY(window->findChild<QTableWidget *>(QStringLiteral("tableWidget"))
                ->toolTip()
                .contains(QStringLiteral("/var/tmp")));
}

void TestAccess::speaksRussian()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    kroInit(QStringLiteral("1"), QStringLiteral("Kro sosreport"));
    // The application's names choose another settings file.
    init();
    addModule(QStringLiteral("cups"), "level = 9\n");
    buildWindow();
    QCOMPARE(window->windowTitle(), QString::fromUtf8("Центр системных отчётов"));
    QCOMPARE(window->findChild<QCheckBox *>(QStringLiteral("extCheckBox"))->text(),
             QString::fromUtf8("Показать &дополнительные настройки"));
    QCOMPARE(window->menuBar()->actions().value(0)->text(), QString::fromUtf8("&Файл"));

    dialogs.expectMessageBox(QMessageBox::No);
    window->show();
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(dialogs.last().windowTitle, QString::fromUtf8("Внимание!"));
    QVERIFY(dialogs.last().text.startsWith(QString::fromUtf8("Эти службы всё ещё")));
    QVERIFY(dialogs.last().buttons.contains(QString::fromUtf8("&Оставить режим отладки")));

    QLocale::setDefault(QLocale::c());
    kroInit(QStringLiteral("1"), QStringLiteral("Kro sosreport"));
}

QTableWidget *TestAccess::tableWithReport()
{
    QFile report(dir->filePath(QStringLiteral("sosreport-host-2026-12-01-abcdef.tar.xz")));
    if (!report.open(QIODevice::WriteOnly))
        return nullptr;
    report.close();
    buildWindow();
    window->show();
    auto *table = window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    if (!QTest::qWaitForWindowActive(window.get()) ||
        !QTest::qWaitFor([&] { return table->rowCount() > 0; }, KroTest::WaitLimitMs))
        return nullptr;
    table->setCurrentCell(0, 0);
    table->setFocus();
    return table;
}

void TestAccess::keysReachWhatTheMouseDoes()
{
    buildWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QStringList keys;
    for (QAction *action : window->findChildren<QAction *>())
        for (const QKeySequence &key : action->shortcuts())
            keys << key.toString();
    for (const char *name : {"setPasswordAction", "sendReportAction"})
        QVERIFY2(!window->findChild<QAction *>(QLatin1String(name))->shortcut().isEmpty(), name);
    QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());

    // A flat button shows its frame while it has the focus.
    auto *folders = window->findChild<QPushButton *>(QStringLiteral("browseReportsDirsPBtn"));
    auto *table = window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    table->setFocus();
    QTRY_VERIFY(folders->isFlat());
    folders->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(folders->hasFocus());
    QVERIFY(!folders->isFlat());
    table->setFocus();
    QTRY_VERIFY(folders->isFlat());
}

void TestAccess::menuKeysOpenTheRowMenu()
{
    QTableWidget *table = tableWithReport();
    QVERIFY(table);
    QStringList shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *action : menu->actions())
                if (!action->isSeparator())
                    shown << action->text();
            menu->close();
        }
    });
    closer.start(20);
    QTest::keyClick(table, Qt::Key_F10, Qt::ShiftModifier);
    // The row's folder, then Send and Upload, then the actions on the file itself.
    QCOMPARE(shown.mid(shown.size() - 3),
             (QStringList{"Open containing folder", "Copy path", "Delete"}));
    const QStringList byShiftF10 = shown;
    // The Menu key comes as a context menu event from the keyboard, aimed at the focus widget.
    shown.clear();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(1, 1));
    QApplication::sendEvent(table, &menuKey);
    QCOMPARE(shown, byShiftF10);
}

void TestAccess::escapeClosesTheChangesWindow()
{
    addModule(QStringLiteral("svc"), "level = 0\n");
    buildWindow();
    window->show();
    auto *modules = window->findChild<QListWidget *>(QStringLiteral("debugLW"));
    QTRY_COMPARE(modules->count(), 1);
    modules->setCurrentRow(0);
    window->findChild<QPushButton *>(QStringLiteral("showChangesPb"))->click();
    QWidget *changes = nullptr;
    QTRY_VERIFY((changes = QApplication::activeWindow()) && changes != window.get());
    QTest::keyClick(changes, Qt::Key_Escape);
    QTRY_VERIFY(!changes->isVisible());
}

// Without a session bus, so without a file manager; the offscreen platform opens nothing.
void TestAccess::folderWithoutFileManagerShowsItsPath()
{
    QTableWidget *table = tableWithReport();
    QVERIFY(table);
    dialogs.expectMessageBoxButton(QStringLiteral("Copy path"));
    QTest::keyClick(table, Qt::Key_O, Qt::ControlModifier);
    QVERIFY(dialogs.waitForAll(KroTest::WaitLimitMs));
    QCOMPARE(
        dialogs.last().text,
        QStringLiteral("No file manager could be started to open the folder %1.").arg(dir->path()));
    QCOMPARE(QApplication::clipboard()->text(), dir->path());
}

void TestAccess::aboutTellsTheVersions()
{
    QFile module(dir->filePath(QStringLiteral("__init__.py")));
    QVERIFY(module.open(QIODevice::WriteOnly));
    module.write("__version__ = \"4.0\"\n");
    module.close();
    buildWindow();
    MainWindowAccess::paths(*window).sosVersionFile = module.fileName();
    window->show();
    // The box shows at once; the sos version fills in once read.
    QString text;
    dialogs.expect([&text](QWidget *dialog) {
        auto *box = static_cast<QMessageBox *>(dialog);
        if (QTest::qWaitFor(
                [box] { return box->text().contains(QStringLiteral("sos: version 4.0")); },
                KroTest::WaitLimitMs))
            text = box->text();
        box->button(QMessageBox::Close)->click();
    });
    window->findChild<QAction *>(QStringLiteral("aboutAction"))->trigger();
    QVERIFY(dialogs.waitForAll());
    QVERIFY2(text.contains(QStringLiteral("sos: version 4.0")), qPrintable(text));
    QVERIFY(text.contains(QCoreApplication::applicationVersion()));
    QVERIFY(text.contains(QStringLiteral("GNU General Public License")));
}

KRO_TEST_MAIN(TestAccess)
#include "tst_access.moc"
