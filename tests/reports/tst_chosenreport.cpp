// SPDX-License-Identifier: GPL-2.0-or-later
// The report an action was started on is the one it acts on, whatever happens to the table
// meanwhile: the report folder changes while a dialog is open, rows move while the pointer is
// over the table, and sos's private map of hidden names sits beside an obfuscated report. The
// helper runs on a private bus with the real ccrypt.
#include "constants.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "reportfolder.h"
#include "reportsfolderwatcher.h"
#include "testenvironment.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>

class TestChosenReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void actsOnTheChosenReport_data();
    void actsOnTheChosenReport();
    void changedReportIsLeftAlone();
    void rowUnderThePointerStays();
    void lockedTableCatchesUpOnUnlock();
    void refillKeepsTheViewOnItsReports();
    void privateMapStaysWithItsReport();
    void statusBarFollowsTheFile();

private:
    QString makeReport(const QString &name, const QByteArray &content = "report")
    {
        return dir->make(name, content);
    }
    void select(const QString &path) { dir->select(*window, path); }
    void answerPassword(QWidget *dialog);
    static void clickButton(QWidget *dialog, const QString &text);
    QTableWidget *table() const
    {
        return window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    }
    QStringList rows() const;
    QAction *deleteAction() const
    {
        const QList<QAction *> actions = table()->actions();
        return *std::find_if(actions.cbegin(), actions.cend(), [](const QAction *action) {
            return action->text() == QLatin1String("Delete");
        });
    }
    QStringList mailArguments() const;

    QTemporaryDir xdg;
    std::unique_ptr<ReportFolder> dir;
    std::unique_ptr<MainWindow> window;
};

void TestChosenReport::initTestCase()
{
    // The mail program is a stand-in thunderbird, the default one of a private XDG tree; it ends
    // with the status KRO_MAIL_STATUS names.
    for (const char *sub : {"bin", "data/applications", "config"})
        QVERIFY(QDir().mkpath(xdg.filePath(QLatin1String(sub))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(xdg.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(xdg.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(xdg.filePath(QStringLiteral("data"))));
    qputenv("PATH", QFile::encodeName(xdg.filePath(QStringLiteral("bin"))) + ':' + qgetenv("PATH"));
    QFile script(xdg.filePath(QStringLiteral("bin/thunderbird")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(
        "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$0.arguments\"\nexit ${KRO_MAIL_STATUS:-0}\n");
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    QFile entry(xdg.filePath(QStringLiteral("data/applications/thunderbird.desktop")));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Thunderbird\nExec=thunderbird %u\n"
                "MimeType=x-scheme-handler/mailto;\n");
    QFile list(xdg.filePath(QStringLiteral("config/mimeapps.list")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("[Default Applications]\nx-scheme-handler/mailto=thunderbird.desktop\n");
}

void TestChosenReport::init()
{
    // Sorted by name, last first (creation times may tie within a clock tick).
    QSettings().setValue(Kro::ReportSortColumnKey, 0);
    QSettings().setValue(Kro::ReportSortOrderKey, int(Qt::DescendingOrder));
    QFile::remove(xdg.filePath(QStringLiteral("bin/thunderbird.arguments")));
    dir = std::make_unique<ReportFolder>();
    window = std::make_unique<MainWindow>();
    window->show();
    QTRY_VERIFY(MainWindowAccess::isStarted(*window));
}

void TestChosenReport::cleanup()
{
    window.reset();
    dir.reset();
    QSettings().remove(Kro::ReportSortColumnKey);
    QSettings().remove(Kro::ReportSortOrderKey);
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
}

void TestChosenReport::clickButton(QWidget *dialog, const QString &text)
{
    const QList<QAbstractButton *> buttons = dialog->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (button->text() == text)
            return button->click();
    }
    QFAIL(qPrintable(QStringLiteral("no button ") + text));
}

void TestChosenReport::answerPassword(QWidget *dialog)
{
    const QList<QLineEdit *> fields = dialog->findChildren<QLineEdit *>();
    for (QLineEdit *field : fields)
        field->setText(QStringLiteral("secret"));
    QMetaObject::invokeMethod(dialog, "accept");
}

QStringList TestChosenReport::rows() const
{
    QStringList paths;
    for (int row = 0; row < table()->rowCount(); ++row)
        paths.append(table()->item(row, 0)->text());
    return paths;
}

QStringList TestChosenReport::mailArguments() const
{
    QFile file(xdg.filePath(QStringLiteral("bin/thunderbird.arguments")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestChosenReport::actsOnTheChosenReport_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("protect") << "encryptCurrentReport";
    QTest::newRow("delete") << "delete";
    QTest::newRow("send") << "mailto";
}

// While the action's dialog is open a new report appears and the table is filled again, which
// puts other reports in the rows; the action still acts on the report chosen before.
void TestChosenReport::actsOnTheChosenReport()
{
    QFETCH(QString, action);
    // A multi-volume report; the mail program fails, so that sending has its dialog too.
    const QString chosen = makeReport(QStringLiteral("sosreport-a.zip"));
    const QString volume = makeReport(QStringLiteral("sosreport-a.z01"));
    const QString other = makeReport(QStringLiteral("sosreport-b.tar.xz"));
    select(chosen);
    QCOMPARE(rows(), (QStringList{other, chosen}));

    KroTest::ModalDialogHelper dialogs;
    dialogs.expect([&](QWidget *dialog) {
        makeReport(QStringLiteral("sosreport-c.tar.xz"));
        QMetaObject::invokeMethod(window.get(), "refillReportsTable");
        QCOMPARE(rows().indexOf(chosen), 2);
        if (action == QLatin1String("encryptCurrentReport"))
            answerPassword(dialog);
        else if (action == QLatin1String("delete"))
            static_cast<QMessageBox *>(dialog)->button(QMessageBox::Yes)->click();
        else
            clickButton(dialog, QStringLiteral("Copy path"));
    });
    qputenv("KRO_MAIL_STATUS", "1");
    if (action == QLatin1String("encryptCurrentReport"))
        dialogs.expectMessageBox(QMessageBox::Ok);
    if (action == QLatin1String("delete"))
        deleteAction()->trigger();
    else
        QMetaObject::invokeMethod(window.get(), action.toLatin1().constData());
    QVERIFY(dialogs.waitForAll(KroTest::WaitLimitMs));
    qunsetenv("KRO_MAIL_STATUS");

    QVERIFY(QFile::exists(other));
    QVERIFY(!QFile::exists(other + QStringLiteral(".cpt")));
    if (action == QLatin1String("encryptCurrentReport")) {
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("The archive is protected with the password. It is now:\n") +
                     chosen + QStringLiteral(".cpt"));
        QVERIFY(QFile::exists(chosen + QStringLiteral(".cpt")) && !QFile::exists(chosen));
        QVERIFY(QFile::exists(volume + QStringLiteral(".cpt")));
    } else if (action == QLatin1String("delete")) {
        QTRY_VERIFY(!QFile::exists(chosen) && !QFile::exists(volume));
    } else {
        QCOMPARE(mailArguments().size(), 2);
        QVERIFY(mailArguments().at(1).endsWith(QStringLiteral("attachment='file://") + chosen +
                                               ",file://" + volume + QLatin1Char('\'')));
        QCOMPARE(QApplication::clipboard()->text(), chosen + '\n' + volume);
    }
}

// A report replaced or removed while its dialog is open is not acted on: one box says so.
void TestChosenReport::changedReportIsLeftAlone()
{
    const QString chosen = makeReport(QStringLiteral("sosreport-a.tar.xz"), "first");
    select(chosen);
    KroTest::ModalDialogHelper dialogs;
    dialogs.expect([&](QWidget *dialog) {
        QFile::remove(chosen);
        makeReport(QStringLiteral("sosreport-a.tar.xz"), "planted");
        answerPassword(dialog);
    });
    dialogs.expectMessageBox(QMessageBox::Ok);
    QMetaObject::invokeMethod(window.get(), "encryptCurrentReport");
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(dialogs.last().text,
             QStringLiteral("The report was changed or removed in the meantime, so nothing was "
                            "done with it:\n") +
                 chosen);
    QVERIFY(QFile::exists(chosen));
    QVERIFY(!QFile::exists(chosen + QStringLiteral(".cpt")));
}

// A report appearing while the pointer is over the table does not move the row under it; the
// table catches up once the pointer has left, with the same report current.
void TestChosenReport::rowUnderThePointerStays()
{
    QSettings().setValue(Kro::ReportSortColumnKey, -1);
    window = std::make_unique<MainWindow>();
    window->show();
    QTRY_VERIFY(MainWindowAccess::isStarted(*window));
    for (const char *name : {"sosreport-b.tar.xz", "sosreport-c.tar.xz", "sosreport-d.tar.xz"})
        makeReport(QLatin1String(name));
    select(dir->filePath(QStringLiteral("sosreport-c.tar.xz")));
    const QString hovered = table()->item(1, 0)->text();
    const QPoint over = table()->visualItemRect(table()->item(1, 0)).center();
    QTest::mouseMove(table()->viewport(), over);
    QTRY_VERIFY(table()->viewport()->underMouse());

    QSignalSpy changed(window->findChild<ReportsFolderWatcher *>(),
                       &ReportsFolderWatcher::foldersChanged);
    makeReport(QStringLiteral("sosreport-a.tar.xz"));
    QVERIFY(changed.wait(10000));
    QCoreApplication::processEvents();
    QCOMPARE(table()->rowCount(), 3);
    QCOMPARE(table()->itemAt(over)->text(), hovered);

    QTest::mouseMove(window->statusBar(), window->statusBar()->rect().center());
    QTRY_COMPARE(table()->rowCount(), 4);
    QCOMPARE(table()->currentItem()->text(), dir->filePath(QStringLiteral("sosreport-c.tar.xz")));
}

// A locked window (a report run) refills its table only once it is unlocked again.
void TestChosenReport::lockedTableCatchesUpOnUnlock()
{
    select(makeReport(QStringLiteral("sosreport-b.tar.xz")));
    window->setEnabled(false);

    QSignalSpy changed(window->findChild<ReportsFolderWatcher *>(),
                       &ReportsFolderWatcher::foldersChanged);
    makeReport(QStringLiteral("sosreport-a.tar.xz"));
    QVERIFY(changed.wait(10000));
    QCoreApplication::processEvents();
    QCOMPARE(table()->rowCount(), 1);

    window->setEnabled(true);
    QTRY_COMPARE(table()->rowCount(), 2);
}

// A report appearing above the view, or the current one going, moves neither the view nor the
// current row onto other reports.
void TestChosenReport::refillKeepsTheViewOnItsReports()
{
    QSettings().setValue(Kro::ReportSortColumnKey, -1);
    window = std::make_unique<MainWindow>();
    window->show();
    QTRY_VERIFY(MainWindowAccess::isStarted(*window));
    for (int report = 10; report < 60; ++report)
        makeReport(QStringLiteral("sosreport-%1.tar.xz").arg(report));
    select(dir->filePath(QStringLiteral("sosreport-35.tar.xz")));
    table()->scrollToItem(table()->item(20, 0), QAbstractItemView::PositionAtTop);
    const QString top = table()->itemAt(0, 0)->text();

    makeReport(QStringLiteral("sosreport-00.tar.xz"));
    QMetaObject::invokeMethod(window.get(), "refreshReportsTable");
    QCOMPARE(table()->rowCount(), 51);
    QCOMPARE(table()->itemAt(0, 0)->text(), top);
    QCOMPARE(table()->currentItem()->text(), dir->filePath(QStringLiteral("sosreport-35.tar.xz")));

    QFile::remove(dir->filePath(QStringLiteral("sosreport-35.tar.xz")));
    QMetaObject::invokeMethod(window.get(), "refreshReportsTable");
    QCOMPARE(table()->currentItem(), nullptr);
    QVERIFY(!window->findChild<QAction *>(QStringLiteral("sendReportAction"))->isEnabled());
    QVERIFY(!window->findChild<QAction *>(QStringLiteral("setPasswordAction"))->isEnabled());
}

// sos --clean leaves the table of real names beside the obfuscated report: it is no row, never
// current though newest, is told of on the report's row and goes when the report is deleted.
void TestChosenReport::privateMapStaysWithItsReport()
{
    const QString report = makeReport(QStringLiteral("sosreport-h-2024-x-obfuscated.tar.xz"));
    const QString checksum = makeReport(QStringLiteral("sosreport-h-2024-x-obfuscated.tar.xz.md5"));
    const QString map = makeReport(QStringLiteral("sosreport-h-2024-x-private_map"), "{}");
    MainWindowAccess::useReportDirs(*window, QStringList{dir->path()});
    QCOMPARE(rows(), QStringList{report});
    QCOMPARE(table()->currentItem()->text(), report);
    QVERIFY(table()->item(0, 0)->toolTip().contains(QStringLiteral("private map")));

    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Yes);
    deleteAction()->trigger();
    QVERIFY(dialogs.waitForAll());
    QVERIFY(dialogs.last().informativeText.contains(map));
    QTRY_VERIFY(!QFile::exists(map));
    QVERIFY(!QFile::exists(report) && !QFile::exists(checksum));
}

void TestChosenReport::statusBarFollowsTheFile()
{
    const QString report = makeReport(QStringLiteral("sosreport-a.tar.xz"));
    select(report);
    KroTest::ModalDialogHelper dialogs;
    dialogs.expect([this](QWidget *dialog) { answerPassword(dialog); });
    dialogs.expectMessageBox(QMessageBox::Ok);
    QMetaObject::invokeMethod(window.get(), "encryptCurrentReport");
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(window->statusBar()->currentMessage(),
             QStringLiteral("Report protected: ") + report + QStringLiteral(".cpt"));
    QFile::remove(report + QStringLiteral(".cpt"));
    QMetaObject::invokeMethod(window.get(), "refillReportsTable");
    QCOMPARE(window->statusBar()->currentMessage(), QString());
}

KRO_TEST_MAIN(TestChosenReport)
#include "tst_chosenreport.moc"
