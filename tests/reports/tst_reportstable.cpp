// SPDX-License-Identifier: GPL-2.0-or-later
// The reports table over real folders: which rows appear, what they hold, which row becomes
// current and what that means for the password action.
#include "constants.h"
#include "kroinit.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "reportstabledelegate.h"
#include "testenvironment.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <unistd.h>

class TestReportsTable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rowsHoldPathAndCreationTime();
    void newestCreatedBecomesCurrent();
    void equalCreationTimesKeepTheFirst();
    void protectedCurrentDisablesPassword();
    void emptyFolderDisablesPassword();
    void unreadableFolderWarnsAtEveryRefill();
    void columnsFitTheWidestText();
    void refillFollowsEveryFolder();
    void sizeAddsUpVolumesAndMarksShowState();
    void sortedByClickedColumnAndRemembered();
    void largeTableWrittenInOrderAndDetailedAfter();
    void newFileInWatchedFolderShowsUp();
    void nameShownWithoutFolderWhichTooltipAndMenuTell();
    void dateInLocaleWithWholeYearInTextColour();
    void newestFirstUntilTheUserChooses();
    void everyColumnFitsTheDefaultWindow_data();
    void everyColumnFitsTheDefaultWindow();

private:
    void touch(const QString &name, int size = 0);
    void touchAfter(const QString &name, const QString &older);
    QTableWidget *table()
    {
        return window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    }
    QAction *passwordAction()
    {
        return window->findChild<QAction *>(QStringLiteral("setPasswordAction"));
    }
    void refill() { MainWindowAccess::useReportDirs(*window, QStringList{dir->path()}); }
    // The file names of the rows, top to bottom.
    QStringList names()
    {
        QStringList shown;
        for (int row = 0; row < table()->rowCount(); ++row)
            shown.append(QFileInfo(table()->item(row, 0)->text()).fileName());
        return shown;
    }

    QTemporaryDir *dir = nullptr;
    MainWindow *window = nullptr;
};

void TestReportsTable::init()
{
    // Most cases below count rows in the order of the scan.
    QSettings().setValue(Kro::ReportSortColumnKey, -1);
    dir = new QTemporaryDir;
    window = new MainWindow;
}

void TestReportsTable::cleanup()
{
    delete window;
    delete dir;
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
}

void TestReportsTable::touch(const QString &name, int size)
{
    QFile file(dir->filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(size, 'x'));
}

// The clock of the file system ticks coarsely: make the file again until its creation time is
// later than that of older.
void TestReportsTable::touchAfter(const QString &name, const QString &older)
{
    const QDateTime olderTime = QFileInfo(dir->filePath(older)).birthTime();
    QVERIFY2(olderTime.isValid(), "the test folder's file system keeps no creation times");
    QVERIFY(QTest::qWaitFor(
        [&] {
            QFile::remove(dir->filePath(name));
            touch(name);
            return QFileInfo(dir->filePath(name)).birthTime() > olderTime;
        },
        5000));
}

void TestReportsTable::rowsHoldPathAndCreationTime()
{
    for (const char *name : {"sosreport-a.tar.xz", "sosreport-a.tar.xz.md5",
                             "sosreport-a.tar.xz.sha256", "sosreport-v.zip", "sosreport-v.z01"})
        touch(QLatin1String(name));
    refill();

    QCOMPARE(table()->rowCount(), 2);
    QCOMPARE(table()->columnCount(), 3);
    QCOMPARE(table()->horizontalHeaderItem(0)->text(), QStringLiteral("File name"));
    QCOMPARE(table()->horizontalHeaderItem(1)->text(), QStringLiteral("Creation date"));
    QCOMPARE(table()->horizontalHeaderItem(2)->text(), QStringLiteral("Size"));
    const QStringList expected{dir->filePath("sosreport-a.tar.xz"),
                               dir->filePath("sosreport-v.zip")};
    for (int row = 0; row < 2; ++row) {
        QCOMPARE(table()->item(row, 0)->text(), expected.at(row));
        QCOMPARE(table()->item(row, 0)->flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        QCOMPARE(table()->item(row, 1)->flags(), Qt::NoItemFlags);
        const QDateTime created = QFileInfo(expected.at(row)).birthTime();
        QCOMPARE(table()->item(row, 1)->text(),
                 created.isValid() ? created.toString(QStringLiteral("d MMM yyyy HH:mm:ss"))
                                   : QString());
    }
    QCOMPARE(MainWindowAccess::volumeParts(*window).values(dir->filePath("sosreport-v.zip")),
             QStringList{dir->filePath("sosreport-v.z01")});
}

// Files made one after another get rising creation times; the newest is neither first nor last.
void TestReportsTable::newestCreatedBecomesCurrent()
{
    touch(QStringLiteral("sosreport-a"));
    touch(QStringLiteral("sosreport-c"));
    touchAfter(QStringLiteral("sosreport-b"), QStringLiteral("sosreport-c"));
    refill();

    QCOMPARE(table()->currentRow(), 1);
    QCOMPARE(table()->currentColumn(), 0);
    QVERIFY(passwordAction()->isEnabled());
}

// Two names of one file share its creation time exactly.
void TestReportsTable::equalCreationTimesKeepTheFirst()
{
    touch(QStringLiteral("sosreport-0"));
    touchAfter(QStringLiteral("sosreport-c"), QStringLiteral("sosreport-0"));
    QCOMPARE(::link(QFile::encodeName(dir->filePath("sosreport-c")).constData(),
                    QFile::encodeName(dir->filePath("sosreport-b")).constData()),
             0);
    refill();

    QCOMPARE(table()->rowCount(), 3);
    QCOMPARE(table()->currentRow(), 1);
}

void TestReportsTable::protectedCurrentDisablesPassword()
{
    touch(QStringLiteral("sosreport-a.tar.xz"));
    touchAfter(QStringLiteral("sosreport-b.tar.xz.cpt"), QStringLiteral("sosreport-a.tar.xz"));
    refill();
    QCOMPARE(table()->currentRow(), 1);
    QVERIFY(!passwordAction()->isEnabled());

    table()->setCurrentCell(0, 0);
    QVERIFY(passwordAction()->isEnabled());
}

void TestReportsTable::emptyFolderDisablesPassword()
{
    touch(QStringLiteral("sosreport-a.tar.xz"));
    refill();
    QVERIFY(passwordAction()->isEnabled());
    auto *sendAction = window->findChild<QAction *>(QStringLiteral("sendReportAction"));
    QVERIFY(sendAction->isEnabled());

    QVERIFY(QFile::remove(dir->filePath("sosreport-a.tar.xz")));
    touch(QStringLiteral("sosreport-a.tar.xz.md5"));
    refill();
    QCOMPARE(table()->rowCount(), 0);
    QVERIFY(!passwordAction()->isEnabled());
    QVERIFY(!sendAction->isEnabled());
}

void TestReportsTable::unreadableFolderWarnsAtEveryRefill()
{
    touch(QStringLiteral("sosreport-a.tar.xz"));
    const QString missing = dir->filePath(QStringLiteral("missing"));
    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Ok);
    dialogs.expectMessageBox(QMessageBox::Ok);
    MainWindowAccess::useReportDirs(*window, QStringList{missing, dir->path()});
    QCOMPARE(table()->rowCount(), 1);
    MainWindowAccess::useReportDirs(*window, QStringList{missing, dir->path()});
    QVERIFY(dialogs.waitForAll());

    QCOMPARE(dialogs.records().size(), 2);
    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Getting reports list"));
    QCOMPARE(dialogs.last().text, QStringLiteral("Can't read directory ") + missing);
    QCOMPARE(table()->rowCount(), 1);
}

// A refill over fewer, shorter names must also shrink the columns again.
void TestReportsTable::columnsFitTheWidestText()
{
    for (const char *name : {"sosreport-WWWWWWWW", "sosreport-iiiiiiiiiiiiiiii", "sosreport-m"})
        touch(QLatin1String(name));
    window->show();
    for (const char *removed : {"", "sosreport-WWWWWWWW"}) {
        if (*removed)
            QVERIFY(QFile::remove(dir->filePath(QLatin1String(removed))));
        refill();
        // The name column takes what the others leave.
        const int timeWidth = table()->columnWidth(1);
        table()->resizeColumnsToContents();
        QCOMPARE(timeWidth, table()->columnWidth(1));
    }
}

// Each row's time is read from its own file, folder after folder, and a refill after files went
// away keeps no row or time of them.
void TestReportsTable::refillFollowsEveryFolder()
{
    QTemporaryDir second;
    for (const char *name : {"sosreport-a", "sosreport-b", "sosreport-c"})
        touch(QLatin1String(name));
    const QString newest = second.filePath(QStringLiteral("sosreport-a"));
    const QDateTime older = QFileInfo(dir->filePath(QStringLiteral("sosreport-c"))).birthTime();
    QVERIFY(QTest::qWaitFor(
        [&] {
            QFile::remove(newest);
            QFile(newest).open(QIODevice::WriteOnly);
            return QFileInfo(newest).birthTime() > older;
        },
        5000));
    const QStringList folders{dir->path(), second.path()};
    MainWindowAccess::useReportDirs(*window, folders);
    QCOMPARE(table()->rowCount(), 4);
    QCOMPARE(table()->currentItem()->text(), newest);

    for (const char *name : {"sosreport-a", "sosreport-c"})
        QVERIFY(QFile::remove(dir->filePath(QLatin1String(name))));
    MainWindowAccess::useReportDirs(*window, folders);
    QCOMPARE(table()->rowCount(), 2);
    const QStringList expected{dir->filePath(QStringLiteral("sosreport-b")), newest};
    for (int row = 0; row < 2; ++row) {
        QCOMPARE(table()->item(row, 0)->text(), expected.at(row));
        // The tests run in the C locale.
        QCOMPARE(table()->item(row, 1)->text(),
                 QFileInfo(expected.at(row))
                     .birthTime()
                     .toString(QStringLiteral("d MMM yyyy HH:mm:ss")));
    }
    QCOMPARE(table()->currentItem()->text(), newest);
}

void TestReportsTable::sizeAddsUpVolumesAndMarksShowState()
{
    window->show();
    refill();
    QVERIFY(window->findChild<QLabel *>("emptyReportsLbl")->isVisible());

    // A protected split report adds up its protected volumes.
    touch(QStringLiteral("sosreport-w.zip.cpt"), 100);
    touch(QStringLiteral("sosreport-w.z01.cpt"), 20);
    touch(QStringLiteral("sosreport-v.zip"), 1000);
    touch(QStringLiteral("sosreport-v.z01"), 2000);
    touch(QStringLiteral("sosreport-v.z02"), 500);
    touch(QStringLiteral("sosreport-p.tar.xz.cpt"), 10);
    touch(QStringLiteral("sosreport-host0-obfuscated.tar.xz"), 10);
    refill();
    QVERIFY(!window->findChild<QLabel *>("emptyReportsLbl")->isVisible());
    QCOMPARE(table()->item(2, 0)->text(), dir->filePath("sosreport-v.zip"));
    QCOMPARE(table()->item(2, 2)->text(), QLocale().formattedDataSize(3500));
    QCOMPARE(table()->item(3, 0)->text(), dir->filePath("sosreport-w.zip.cpt"));
    QCOMPARE(table()->item(3, 2)->text(), QLocale().formattedDataSize(120));
    QVERIFY(table()->item(2, 0)->toolTip().isEmpty());
    QVERIFY(table()->item(1, 0)->toolTip().contains("protected"));
    QVERIFY(table()->item(0, 0)->toolTip().contains("obfuscated"));

    // A refill that reuses a marked row for an unmarked report leaves no mark behind.
    QVERIFY(QFile::remove(dir->filePath("sosreport-p.tar.xz.cpt")));
    QVERIFY(QFile::remove(dir->filePath("sosreport-host0-obfuscated.tar.xz")));
    QVERIFY(QFile::remove(dir->filePath("sosreport-w.zip.cpt")));
    refill();
    QCOMPARE(table()->rowCount(), 1);
    QVERIFY(table()->item(0, 0)->toolTip().isEmpty());
    QVERIFY(table()->item(0, 0)->icon().isNull());
}

void TestReportsTable::sortedByClickedColumnAndRemembered()
{
    touch(QStringLiteral("sosreport-a"), 300);
    touch(QStringLiteral("sosreport-b"), 20);
    touch(QStringLiteral("sosreport-c"), 1000);
    refill();
    QCOMPARE(names(), QStringList({"sosreport-a", "sosreport-b", "sosreport-c"}));

    // By size, numerically: "20 bytes" sorts before "300 bytes" and "1000 bytes".
    window->show();
    const QPoint sizeHeader(table()->horizontalHeader()->sectionViewportPosition(2) + 5, 5);
    QTest::mouseClick(table()->horizontalHeader()->viewport(), Qt::LeftButton, {}, sizeHeader);
    QCOMPARE(names(), QStringList({"sosreport-b", "sosreport-a", "sosreport-c"}));
    QTest::mouseClick(table()->horizontalHeader()->viewport(), Qt::LeftButton, {}, sizeHeader);
    QCOMPARE(names(), QStringList({"sosreport-c", "sosreport-a", "sosreport-b"}));

    // A new window sorts as the user chose last.
    delete window;
    window = new MainWindow;
    refill();
    QCOMPARE(names(), QStringList({"sosreport-c", "sosreport-a", "sosreport-b"}));
    QSettings().remove(QStringLiteral("reportsortcolumn"));
}

// A large table is written in the chosen order, a report's size with its volumes, and the rows
// out of view get theirs at the latest in the slices after the fill; a click on a header sorts
// by complete keys.
void TestReportsTable::largeTableWrittenInOrderAndDetailedAfter()
{
    QSettings().setValue(Kro::ReportSortColumnKey, 2);
    QSettings().setValue(Kro::ReportSortOrderKey, int(Qt::DescendingOrder));
    delete window;
    window = new MainWindow;
    const int reports = 300;
    for (int i = 0; i < reports; ++i)
        touch(QStringLiteral("sosreport-%1.tar.xz").arg(i, 3, 10, QLatin1Char('0')), i);
    // The largest by its volume alone.
    touch(QStringLiteral("sosreport-v.zip"), 1);
    touch(QStringLiteral("sosreport-v.z01"), 5000);
    window->show();
    refill();
    QCOMPARE(table()->rowCount(), reports + 1);
    QCOMPARE(names().first(), QStringLiteral("sosreport-v.zip"));
    QCOMPARE(names().at(1), QStringLiteral("sosreport-299.tar.xz"));
    QCOMPARE(names().last(), QStringLiteral("sosreport-000.tar.xz"));
    QCOMPARE(table()->item(0, 2)->text(), QLocale().formattedDataSize(5001));
    QVERIFY(QTest::qWaitFor([&] {
        const QTableWidgetItem *size = table()->item(reports, 2);
        return size && size->text() == QLocale().formattedDataSize(0);
    }));

    const QPoint sizeHeader(table()->horizontalHeader()->sectionViewportPosition(2) + 5, 5);
    QTest::mouseClick(table()->horizontalHeader()->viewport(), Qt::LeftButton, {}, sizeHeader);
    QCOMPARE(names().first(), QStringLiteral("sosreport-000.tar.xz"));
    QCOMPARE(names().last(), QStringLiteral("sosreport-v.zip"));
    QSettings().remove(QStringLiteral("reportsortcolumn"));
    QSettings().remove(QStringLiteral("reportsortorder"));
}

void TestReportsTable::newFileInWatchedFolderShowsUp()
{
    touch(QStringLiteral("sosreport-a.tar.xz"));
    refill();
    QCOMPARE(table()->rowCount(), 1);
    touch(QStringLiteral("sosreport-b.tar.xz"));
    QTRY_COMPARE(table()->rowCount(), 2);
    QCOMPARE(table()->currentItem()->text(), dir->filePath("sosreport-a.tar.xz"));
    QVERIFY(QFile::remove(dir->filePath("sosreport-a.tar.xz")));
    QTRY_COMPARE(table()->rowCount(), 1);
}

// The folder is the same on most rows: the cell shows the file name, shortened in the middle
// where it must be, and the tooltip and the row's menu say where the file is.
void TestReportsTable::nameShownWithoutFolderWhichTooltipAndMenuTell()
{
    const QString name = QStringLiteral("sosreport-host-2024-05-01-abcdefg.tar.xz");
    touch(name);
    refill();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTableWidgetItem *item = table()->item(0, 0);
    QCOMPARE(item->text(), dir->filePath(name));

    auto *delegate = qobject_cast<ReportsTableDelegate *>(table()->itemDelegate());
    QVERIFY(delegate);
    QStyleOptionViewItem shown;
    shown.widget = table();
    delegate->initStyleOption(&shown, table()->model()->index(0, 0));
    QCOMPARE(shown.text, name);
    QCOMPARE(shown.textElideMode, Qt::ElideMiddle);

    const QPoint cell = table()->visualItemRect(item).center();
    QHelpEvent help(QEvent::ToolTip, cell, table()->viewport()->mapToGlobal(cell));
    QApplication::sendEvent(table()->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), dir->filePath(name));
    QToolTip::hideText();

    QStringList entries;
    QTimer poll;
    poll.setInterval(5);
    connect(&poll, &QTimer::timeout, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *action : menu->actions())
                entries.append(action->text());
            menu->close();
        }
    });
    poll.start();
    emit table()->customContextMenuRequested(cell);
    QVERIFY2(entries.value(0) == dir->path(), qPrintable(entries.join('|')));
}

// Dates are read in the user's own way, with the whole year, and in the colour of text that can
// be read, not of text that is switched off.
void TestReportsTable::dateInLocaleWithWholeYearInTextColour()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    touch(QStringLiteral("sosreport-a.tar.xz"));
    refill();
    QLocale::setDefault(QLocale::c());
    const QDateTime created = QFileInfo(dir->filePath("sosreport-a.tar.xz")).birthTime();
    QVERIFY2(created.isValid(), "the test folder's file system keeps no creation times");
    QTableWidgetItem *date = table()->item(0, 1);
    QCOMPARE(date->text(), created.toString(QStringLiteral("M/d/yyyy h:mm AP")));

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // A selected row is drawn in the colours of the selection.
    table()->clearSelection();
    const QImage drawn = table()->viewport()->grab(table()->visualItemRect(date)).toImage();
    int darkest = 255;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            darkest = qMin(darkest, QColor(drawn.pixel(x, y)).lightness());
    const QPalette palette = table()->palette();
    const int normal = palette.color(QPalette::Active, QPalette::Text).lightness();
    const int disabled = palette.color(QPalette::Disabled, QPalette::Text).lightness();
    QVERIFY2(qAbs(darkest - normal) < qAbs(darkest - disabled),
             qPrintable(QStringLiteral("%1 %2 %3").arg(darkest).arg(normal).arg(disabled)));
}

void TestReportsTable::newestFirstUntilTheUserChooses()
{
    QSettings().remove(Kro::ReportSortColumnKey);
    touch(QStringLiteral("sosreport-a"));
    touchAfter(QStringLiteral("sosreport-c"), QStringLiteral("sosreport-a"));
    touchAfter(QStringLiteral("sosreport-b"), QStringLiteral("sosreport-c"));
    delete window;
    window = new MainWindow;
    refill();
    QCOMPARE(names(), QStringList({"sosreport-b", "sosreport-c", "sosreport-a"}));
    QCOMPARE(table()->currentRow(), 0);

    QSettings().setValue(Kro::ReportSortColumnKey, 0);
    QSettings().setValue(Kro::ReportSortOrderKey, int(Qt::AscendingOrder));
    delete window;
    window = new MainWindow;
    refill();
    QCOMPARE(names(), QStringList({"sosreport-a", "sosreport-b", "sosreport-c"}));
    QSettings().remove(Kro::ReportSortOrderKey);
}

void TestReportsTable::everyColumnFitsTheDefaultWindow_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("Russian") << QLocale(QLocale::Russian, QLocale::Russia);
}

// Reports lie in a deep folder with names as long as sos gives them; the window has the size it
// opens with the first time on a desktop.
void TestReportsTable::everyColumnFitsTheDefaultWindow()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    kroInit(QStringLiteral("1"), QStringLiteral("Kro sosreport"));
    // The application's names choose another settings file.
    KroTest::seedSettings();
    delete window;
    window = new MainWindow;
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("var/spool/reports/of/this/machine")));
    const QString folder = dir->filePath(QStringLiteral("var/spool/reports/of/this/machine"));
    for (const char *name : {"sosreport-workstation-17-2024-05-01-abcdefg.tar.xz",
                             "sosreport-workstation-17-obfuscated-2024-05-02-hijklmn.tar.xz.cpt"}) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(56789, 'x'));
    }
    MainWindowAccess::useReportDirs(*window, QStringList{folder});
    // The form's size: the virtual screen of the tests is smaller than a desktop's.
    window->resize(847, 610);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QLocale::setDefault(QLocale::c());
    kroInit(QStringLiteral("1"), QStringLiteral("Kro sosreport"));

    QHeaderView *header = table()->horizontalHeader();
    const int visible = table()->viewport()->width();
    QCOMPARE(table()->horizontalScrollBar()->maximum(), 0);
    // The name is shortened in its middle where it must be, yet shows enough to be told apart.
    for (int row = 0; row < table()->rowCount(); ++row) {
        const QModelIndex name = table()->model()->index(row, 0);
        const QString shown = QFileInfo(name.data().toString()).fileName();
        const QFontMetrics metrics(table()->font());
        const int room = header->sectionSize(0) - (table()->sizeHintForIndex(name).width() -
                                                   metrics.horizontalAdvance(shown));
        QVERIFY2(metrics.elidedText(shown, Qt::ElideMiddle, room).size() > 16,
                 qPrintable(metrics.elidedText(shown, Qt::ElideMiddle, room)));
    }
    for (int column = 1; column < table()->columnCount(); ++column) {
        const int width = header->sectionSize(column);
        QVERIFY2(header->sectionViewportPosition(column) + width <= visible,
                 qPrintable(table()->horizontalHeaderItem(column)->text()));
        QVERIFY2(width >= header->sectionSizeHint(column),
                 qPrintable(table()->horizontalHeaderItem(column)->text()));
        for (int row = 0; row < table()->rowCount(); ++row)
            QVERIFY2(width >=
                         table()->sizeHintForIndex(table()->model()->index(row, column)).width(),
                     qPrintable(table()->item(row, column)->text()));
    }
}

KRO_TEST_MAIN(TestReportsTable)
#include "tst_reportstable.moc"
