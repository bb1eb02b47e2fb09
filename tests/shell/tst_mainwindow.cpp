// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's own behaviour: settings at start and close, error texts, the password rule,
// work that waits for the repaint before it.
#include "afterfirstpaint.h"
#include "constants.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"

#include <QAction>
#include <QCheckBox>
#include <QDBusError>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

namespace {

class PaintCount : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstStartUsesDefaults();
    void foldersAreReadAfterTheWindowShows();
    void storedFoldersKeepTheirOrderAndGainTmp();
    void windowOpensAtTheSizeItWasLeft();
    void closeKeepsStoredModuleFoldersWhenListIsEmpty();
    void dbusErrorTexts_data();
    void dbusErrorTexts();
    void passwordActionFollowsProtectedNames();
    void workWaitsForTheRepaintBeforeIt();

private:
    // Builds and shows a window and waits until it has read its folders, answering the warning
    // about a missing default module folder, which depends on whether this machine has it.
    std::unique_ptr<MainWindow> makeWindow();
    void closeWindow(MainWindow &window);

    KroTest::ModalDialogHelper *dialogs = nullptr;
    QTemporaryDir moduleDir;
};

void TestMainWindow::init()
{
    QSettings().clear();
    dialogs = new KroTest::ModalDialogHelper(this);
}

void TestMainWindow::cleanup()
{
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
    delete dialogs;
    dialogs = nullptr;
}

std::unique_ptr<MainWindow> TestMainWindow::makeWindow()
{
    const QStringList moduleDirs =
        QSettings()
            .value(Kro::DebugModuleDirsKey, QStringList{Kro::DefaultDebugModuleDir})
            .toStringList();
    for (const QString &dir : moduleDirs)
        if (!QFileInfo(dir).isReadable())
            dialogs->expectMessageBox(QMessageBox::Ok);
    auto window = std::make_unique<MainWindow>();
    window->show();
    QTest::qVerify(QTest::qWaitFor([&] { return MainWindowAccess::isStarted(*window); }), "started",
                   "the window never read its folders", __FILE__, __LINE__);
    MainWindowAccess::waitForDebugModules(*window);
    QTest::qVerify(dialogs->waitForAll(), "waitForAll", "a warning never came", __FILE__, __LINE__);
    dialogs->clear();
    return window;
}

void TestMainWindow::closeWindow(MainWindow &window)
{
    window.show();
    QVERIFY(window.close());
}

void TestMainWindow::firstStartUsesDefaults()
{
    auto window = makeWindow();
    // The form's size, cut to a screen smaller than it with the frame still on the screen; no
    // more than a frame's room is left over.
    const QRect available = window->screen()->availableGeometry();
    QVERIFY(available.contains(window->frameGeometry()));
    QCOMPARE(window->size().expandedTo(QSize(847, 610)), QSize(847, 610));
    QVERIFY(window->width() > available.width() - 50);
    QVERIFY(window->height() > available.height() - 50);
    QCOMPARE(window->minimumSize(), QSize(720, 250));
    QCOMPARE(window->windowTitle(), QStringLiteral("System report center"));
    QCOMPARE(MainWindowAccess::reportDirs(*window), QStringList{QStringLiteral("/tmp")});
    QCOMPARE(MainWindowAccess::debugModuleDirs(*window),
             QStringList{QStringLiteral("/usr/share/kro-sosreport/debugmodules")});
    QVERIFY(window->findChild<QLabel *>(QStringLiteral("statusLabel"))->isHidden());
    QVERIFY(!window->findChild<QCheckBox *>(QStringLiteral("extCheckBox"))->isChecked());
    QCOMPARE(MainWindowAccess::reportPid(*window), qint64(-1));
    QVERIFY(!MainWindowAccess::checkTimer(*window)->isActive());
    QCOMPARE(MainWindowAccess::checkTimer(*window)->interval(), 1000);
    QCOMPARE(MainWindowAccess::unlockTimer(*window)->interval(), 300000);
    QCOMPARE(MainWindowAccess::psProcess(*window)->program(), QStringLiteral("ps"));
    QVERIFY(window->findChild<QSplitter *>(QStringLiteral("splitter"))
                ->styleSheet()
                .contains(QLatin1String("background-color : gray")));
}

// The window shows before it reads any folder: the table, the module list and the warning about
// a missing module folder come after its first paint, in their old order.
void TestMainWindow::foldersAreReadAfterTheWindowShows()
{
    QTemporaryDir reports;
    const QString report = reports.filePath(QStringLiteral("sosreport-a.tar.xz"));
    QVERIFY(QFile(report).open(QIODevice::WriteOnly));
    QFile module(moduleDir.filePath(QStringLiteral("m.json")));
    QVERIFY(module.open(QIODevice::WriteOnly));
    module.write(R"({"modulename": "m", "commands_debug": [], "commands_rollback": [],
                     "filechanges": [{"filename": "/nonexistent/m.conf", "oldtext": "a",
                                      "newtext": "b"}]})");
    module.close();
    const QString missing = reports.filePath(QStringLiteral("missing"));
    QSettings().setValue(Kro::ReportDirsKey, QStringList{reports.path()});
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{missing, moduleDir.path()});

    MainWindow window;
    auto *table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    auto *modules = window.findChild<QListWidget *>(QStringLiteral("debugLW"));
    QCOMPARE(table->rowCount(), 0);
    QCOMPARE(modules->count(), 0);
    QVERIFY(!MainWindowAccess::isStarted(window));

    bool shownWithTable = false;
    dialogs->expect([&](QWidget *box) {
        shownWithTable =
            window.isVisible() && !table->findItems(report, Qt::MatchExactly).isEmpty();
        static_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
    });
    window.show();
    QVERIFY(dialogs->waitForAll());
    QCOMPARE(dialogs->last().windowTitle, QStringLiteral("Getting debug modules list"));
    QCOMPARE(dialogs->last().text, QStringLiteral("Can't read directory ") + missing);
    QVERIFY(shownWithTable);
    QTRY_VERIFY(MainWindowAccess::isStarted(window));
    QCOMPARE(table->currentItem()->text(), report);
    QCOMPARE(modules->count(), 1);
    QVERIFY(window.findChild<QSplitter *>(QStringLiteral("splitter"))
                ->styleSheet()
                .contains(QLatin1String("background-color : gray")));
}

void TestMainWindow::storedFoldersKeepTheirOrderAndGainTmp()
{
    QSettings().setValue(Kro::ReportDirsKey, QStringList{QStringLiteral("/var/tmp")});
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{moduleDir.path()});
    auto window = makeWindow();
    QCOMPARE(MainWindowAccess::reportDirs(*window),
             (QStringList{QStringLiteral("/var/tmp"), QStringLiteral("/tmp")}));
    QCOMPARE(MainWindowAccess::debugModuleDirs(*window), QStringList{moduleDir.path()});

    closeWindow(*window);
    QCOMPARE(QSettings().value(Kro::ReportDirsKey).toStringList(),
             (QStringList{QStringLiteral("/var/tmp"), QStringLiteral("/tmp")}));
}

void TestMainWindow::windowOpensAtTheSizeItWasLeft()
{
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{moduleDir.path()});
    {
        auto window = makeWindow();
        window->resize(760, 550);
        // The pane itself is not under test here: tick the box without opening it.
        auto *extCheckBox = window->findChild<QCheckBox *>(QStringLiteral("extCheckBox"));
        const QSignalBlocker blocker(extCheckBox);
        extCheckBox->setChecked(true);
        closeWindow(*window);
    }
    QVERIFY(QSettings().value(Kro::ExtendedKey).toBool());

    auto window = makeWindow();
    QCOMPARE(window->size(), QSize(760, 550));
    QVERIFY(!window->findChild<QCheckBox *>(QStringLiteral("extCheckBox"))->isChecked());

    // A size stored on a larger screen is cut to this one's available area, before the window
    // shows: cut once shown, it would be laid out and painted whole again.
    window->resize(1900, 1400);
    closeWindow(*window);
    window = std::make_unique<MainWindow>();
    const QSize cut = window->size();
    window->show();
    QTRY_VERIFY(MainWindowAccess::isStarted(*window));
    QCOMPARE(window->size(), cut);
    const QRect available = window->screen()->availableGeometry();
    QVERIFY(window->frameGeometry().height() <= available.height());
    QVERIFY(window->frameGeometry().width() <= available.width());
}

void TestMainWindow::closeKeepsStoredModuleFoldersWhenListIsEmpty()
{
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{moduleDir.path()});
    auto window = makeWindow();
    MainWindowAccess::debugModuleDirs(*window).clear();
    closeWindow(*window);
    QCOMPARE(QSettings().value(Kro::DebugModuleDirsKey).toStringList(),
             QStringList{moduleDir.path()});
}

void TestMainWindow::dbusErrorTexts_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("failed") << int(QDBusError::Failed) << "The call failed.";
    QTest::newRow("service unknown")
        << int(QDBusError::ServiceUnknown) << "The called service is not known.";
    QTest::newRow("no reply") << int(QDBusError::NoReply) << "Timeout reply.";
    QTest::newRow("timeout") << int(QDBusError::Timeout) << "Timeout reply.";
    QTest::newRow("timed out") << int(QDBusError::TimedOut) << "Timeout reply.";
    QTest::newRow("access denied") << int(QDBusError::AccessDenied) << "Authorization error.";
    QTest::newRow("invalid member") << int(QDBusError::InvalidMember) << "The member is invalid.";
    QTest::newRow("no error") << int(QDBusError::NoError) << "Unknown error.";
    QTest::newRow("other") << int(QDBusError::Other) << "Unknown error.";
    QTest::newRow("beyond the table") << int(QDBusError::InvalidMember) + 1 << "Unknown error.";
}

void TestMainWindow::dbusErrorTexts()
{
    QFETCH(int, number);
    QFETCH(QString, text);
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{moduleDir.path()});
    auto window = makeWindow();
    QCOMPARE(MainWindowAccess::dbusErrorText(*window, number), text);
}

void TestMainWindow::passwordActionFollowsProtectedNames()
{
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{moduleDir.path()});
    auto window = makeWindow();
    QTableWidget *table = window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    table->clear();
    table->setRowCount(3);
    auto *passwordAction = window->findChild<QAction *>(QStringLiteral("setPasswordAction"));
    table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("/r/sosreport-a.tar.xz")));
    table->setItem(1, 0, new QTableWidgetItem(QStringLiteral("/r/sosreport-b.tar.xz.cpt")));
    table->setItem(2, 0, new QTableWidgetItem(QStringLiteral("/r/sosreport-c.tar.xz.CPT")));

    table->setCurrentCell(1, 0);
    QVERIFY(!passwordAction->isEnabled());
    table->setCurrentCell(0, 0);
    QVERIFY(passwordAction->isEnabled());
    table->setCurrentCell(1, 0);
    // The test is case-sensitive: an upper-case ending is not a protected archive.
    table->setCurrentCell(2, 0);
    QVERIFY(passwordAction->isEnabled());
}

// A repaint is posted at a lower priority than the work: the work must still come after it, and
// not at all once its context is gone.
void TestMainWindow::workWaitsForTheRepaintBeforeIt()
{
    QWidget widget;
    PaintCount count;
    widget.installEventFilter(&count);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QTRY_VERIFY(count.paints > 0);
    const int before = count.paints;
    int paintsAtWork = -1;
    widget.update();
    afterRepaint(&widget, [&] { paintsAtWork = count.paints; });
    auto *gone = new QObject;
    bool ranWithoutContext = false;
    afterRepaint(gone, [&] { ranWithoutContext = true; });
    delete gone;
    QTRY_VERIFY(paintsAtWork >= 0);
    QVERIFY(paintsAtWork > before);
    QVERIFY(!ranWithoutContext);
}

KRO_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
