// SPDX-License-Identifier: GPL-2.0-or-later
// The longest stall of the window's event loop (the longest gap between ticks of a 5 ms probe
// timer in its thread) during start-up after the first paint (1,000 archives of 3 files each and
// 52 debug modules, one of them for sssd, whose package is asked for and, where it is missing,
// keeps that module out of the list), opening the extended settings pane, the plugin listing,
// protecting a 256 MiB archive, a debug switch with two file moves and two commands, starting a
// report run, its polls, its end with the 256 MiB archive split into 10 MiB volumes, and
// deleting a report. The anchor is the gap of the same loop left idle; the goal is no gap over
// one frame at 60 Hz. Runs on a private bus with the real helper and the stand-ins of
// build/bench:
//   scripts/with-private-bus.sh --stand-ins build/bench -- build/bench/bench_helperstalls
#include "constants.h"
#include "debugpage.h"
#include "eventwait.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "passworddialog.h"
#include "privatehome.h"
#include "stallprobe.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdlib>
#include <functional>
#include <unistd.h>

namespace {

const int WaitLimitMs = 60000;
const double GoalMs = 16;
const qint64 ArchiveBytes = 256LL << 20;
const int Archives = 1000;
const int SmallModules = 50;
const int ConfigLines = 100000;
const QString Password = QStringLiteral("bench");

void fail(const QString &what)
{
    QTextStream(stderr) << "bench_helperstalls: " << what << '\n';
    std::exit(1);
}

void waitFor(const std::function<bool()> &condition, const QString &what)
{
    if (!::waitFor(condition, WaitLimitMs))
        fail(what);
}

void pause(int ms)
{
    ::waitFor([] { return false; }, ms);
}

// Answers the window's password dialog, confirms its questions and closes its message boxes, as
// a user would.
void answerDialogs(QTimer &answerer)
{
    QObject::connect(&answerer, &QTimer::timeout, [] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<PasswordDialog *>(modal)) {
            for (const char *entry : {"passwordLE", "confirmLE"})
                dialog->findChild<QLineEdit *>(QLatin1String(entry))->setText(Password);
            dialog->accept();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            box->done(box->button(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok);
        }
    });
    answerer.start(10);
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        fail(QStringLiteral("cannot write ") + path);
}

QByteArray configText(int lines)
{
    QByteArray text;
    for (int line = 0; line < lines; ++line)
        text += "option_" + QByteArray::number(line) + " = value\n";
    return text + "level = 0\n";
}

QString changeOf(const QString &file)
{
    return QStringLiteral("{\"filename\": \"%1\", \"oldtext\": \"level = 0\", "
                          "\"newtext\": \"level = 9\"}")
        .arg(file);
}

// A module with two changes on two large files and two slow commands, an sssd module, and small
// modules that change two of five small files, as the shipped modules do.
void writeModules(const QDir &dir)
{
    dir.mkpath(QStringLiteral("modules"));
    for (const char *name : {"first.conf", "second.conf"})
        writeFile(dir.filePath(QLatin1String(name)), configText(ConfigLines));
    const QString first = changeOf(dir.filePath(QStringLiteral("first.conf")));
    writeFile(dir.filePath(QStringLiteral("modules/svc.json")),
              QStringLiteral("{\"modulename\": \"svc\", \"commands_debug\": [\"systemctl restart "
                             "a\", \"systemctl restart b\"], \"commands_rollback\": [\"systemctl "
                             "restart a\", \"systemctl restart b\"], \"filechanges\": [%1, %2]}")
                  .arg(first, changeOf(dir.filePath(QStringLiteral("second.conf"))))
                  .toUtf8());
    writeFile(
        dir.filePath(QStringLiteral("modules/sssd.json")),
        QStringLiteral("{\"modulename\": \"sssd\", \"package\": \"sssd\", \"filechanges\": [%1]}")
            .arg(first)
            .toUtf8());
    for (int c = 0; c < 5; ++c)
        writeFile(dir.filePath(QStringLiteral("small%1.conf").arg(c)), configText(200));
    for (int m = 0; m < SmallModules; ++m)
        writeFile(dir.filePath(QStringLiteral("modules/module%1.json").arg(m)),
                  QStringLiteral("{\"modulename\": \"module%1\", \"filechanges\": [%2, %3]}")
                      .arg(m)
                      .arg(changeOf(dir.filePath(QStringLiteral("small%1.conf").arg(m % 5))),
                           changeOf(dir.filePath(QStringLiteral("small%1.conf").arg((m + 1) % 5))))
                      .toUtf8());
}

// Archives with both checksums, and the large archive to protect.
void writeReports(const QDir &dir)
{
    dir.mkpath(QStringLiteral("reports"));
    for (int i = 0; i < Archives; ++i)
        for (const char *suffix : {"", ".md5", ".sha256"})
            writeFile(dir.filePath(QStringLiteral("reports/sosreport-host%1-2024.tar.xz%2")
                                       .arg(i)
                                       .arg(QLatin1String(suffix))),
                      "x");
    QFile archive(dir.filePath(QStringLiteral("reports/sosreport-big.tar.xz")));
    if (!archive.open(QIODevice::WriteOnly) || !archive.resize(ArchiveBytes))
        fail(QStringLiteral("cannot make the archive"));
}

class GapBench
{
public:
    GapBench(MainWindow &window, StallProbe &probe) : window(window), probe(probe) {}

    void print(const QString &what, double gapMs) const
    {
        QTextStream(stdout) << what << ": longest gap " << gapMs << " ms, idle loop " << idleMs
                            << " ms, gap / goal " << gapMs / GoalMs << " (goal <= 1, " << GoalMs
                            << " ms)\n";
    }

    // The probe's reset comes once the first picture is painted, as the window's own work does.
    void startUp(int rows, int modules)
    {
        bool painted = false;
        new AfterFirstPaint(&window, [this, &painted] {
            probe.reset();
            painted = true;
        });
        window.show();
        auto *table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
        auto *list = window.findChild<QListWidget *>(QStringLiteral("debugLW"));
        const bool filled = ::waitFor(
            [&] {
                return painted && MainWindowAccess::isStarted(window) &&
                       table->rowCount() >= rows && list->count() >= modules;
            },
            WaitLimitMs);
        if (!filled)
            fail(QStringLiteral("the window did not fill its lists: %1 rows, %2 modules")
                     .arg(table->rowCount())
                     .arg(list->count()));
        // The package's answer comes well within this time.
        pause(1500);
        const double gap = probe.longest();
        probe.reset();
        pause(1000);
        idleMs = probe.longest();
        print(QStringLiteral("start-up after the first paint, 1000 archives, 51 modules"), gap);
    }

    void openPane()
    {
        probe.reset();
        window.findChild<QCheckBox *>(QStringLiteral("extCheckBox"))->setChecked(true);
        pause(100);
        print(QStringLiteral("opening the extended settings pane"), probe.longest());
        probe.reset();
        waitFor([] { return !QApplication::overrideCursor(); },
                QStringLiteral("no plugin listing"));
        print(QStringLiteral("plugin listing"), probe.longest());
    }

    void protect()
    {
        selectReport(QStringLiteral("sosreport-big.tar.xz"));
        probe.reset();
        QMetaObject::invokeMethod(&window, "encryptCurrentReport");
        // Protecting ends with the box that tells the new name, answered at once.
        waitFor(
            [this] {
                return row(QStringLiteral("sosreport-big.tar.xz.cpt")) &&
                       window.statusBar()->currentMessage().startsWith(
                           QStringLiteral("Report protected")) &&
                       !QApplication::activeModalWidget();
            },
            QStringLiteral("the archive was not protected"));
        print(QStringLiteral("protecting a 256 MiB archive"), probe.longest());
    }

    void switchDebugMode()
    {
        auto *modules = window.findChild<QListWidget *>(QStringLiteral("debugLW"));
        const QList<QListWidgetItem *> rows = modules->findItems("svc", Qt::MatchExactly);
        if (rows.isEmpty())
            fail(QStringLiteral("no module to switch"));
        modules->setCurrentItem(rows.first());
        bool switched = false;
        QObject::connect(window.findChild<DebugPage *>(), &DebugPage::switchFinished,
                         [&switched] { switched = true; });
        probe.reset();
        window.findChild<QPushButton *>(QStringLiteral("debugModePb"))->click();
        waitFor([&switched] { return switched; }, QStringLiteral("the switch did not end"));
        print(QStringLiteral("debug switch, 2 moves and 2 commands"), probe.longest());
    }

    // A run whose 256 MiB archive is split into 10 MiB volumes once it is there.
    void runAndSplit(const QDir &output)
    {
        window.findChild<QCheckBox *>(QStringLiteral("splitChB"))->setChecked(true);
        window.findChild<QSpinBox *>(QStringLiteral("splitSizeSB"))->setValue(10);
        // The options of the installed sos decide whether the window splits.
        waitFor(
            [this] { return !window.findChild<QSpinBox *>("splitSizeSB")->toolTip().isEmpty(); },
            QStringLiteral("the options of sos were not read"));
        writeFile(output.filePath(QStringLiteral(".hold")), QByteArray());
        writeFile(output.filePath(QStringLiteral(".size")), QByteArray::number(ArchiveBytes));
        probe.reset();
        QMetaObject::invokeMethod(&window, "collectReports");
        waitFor([this] { return !window.isEnabled(); }, QStringLiteral("no run started"));
        waitFor([&] { return output.exists(QStringLiteral(".arguments")); },
                QStringLiteral("the stand-in sosreport did not start"));
        // The progress dialog shows and the first poll is answered meanwhile.
        pause(1500);
        print(QStringLiteral("starting a report run"), probe.longest());
        probe.reset();
        pause(5000);
        print(QStringLiteral("run polls, 5 s"), probe.longest());
        probe.reset();
        QFile::remove(output.filePath(QStringLiteral(".hold")));
        waitFor(
            [this] {
                return window.isEnabled() && !QApplication::overrideCursor() &&
                       row(QStringLiteral(".zip"));
            },
            QStringLiteral("the archive was not split"));
        pause(300);
        print(QStringLiteral("run end, splitting a 256 MiB archive"), probe.longest());
    }

    void deleteReport()
    {
        selectReport(QStringLiteral("sosreport-host1-2024.tar.xz"));
        auto *table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
        QAction *remove = nullptr;
        for (QAction *action : table->actions())
            if (action->shortcut() == QKeySequence(QKeySequence::Delete))
                remove = action;
        if (!remove)
            fail(QStringLiteral("no delete action"));
        const int rows = table->rowCount();
        probe.reset();
        remove->trigger();
        waitFor([&] { return table->rowCount() == rows - 1; },
                QStringLiteral("the report was not deleted"));
        print(QStringLiteral("deleting a report"), probe.longest());
    }

private:
    QTableWidgetItem *row(const QString &nameEnd) const
    {
        auto *table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
        const QList<QTableWidgetItem *> items = table->findItems(nameEnd, Qt::MatchEndsWith);
        for (QTableWidgetItem *item : items)
            if (item->column() == 0)
                return item;
        return nullptr;
    }

    void selectReport(const QString &nameEnd)
    {
        QTableWidgetItem *item = row(QLatin1Char('/') + nameEnd);
        if (!item)
            item = row(nameEnd);
        if (!item)
            fail(QStringLiteral("no row for ") + nameEnd);
        item->tableWidget()->setCurrentItem(item);
    }

    MainWindow &window;
    StallProbe &probe;
    double idleMs = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    useHome(home.path());
    QApplication app(argc, argv);
    QDir dir(home.path());
    writeModules(dir);
    writeReports(dir);
    QDir output(QStringLiteral(KRO_RUNEND_OUTPUT));
    output.removeRecursively();
    output.mkpath(QStringLiteral("."));
    ::sync();
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{dir.filePath("modules")});
    QSettings().setValue(Kro::PluginAskAgainKey, true);
    StallProbe probe;
    QTimer answerer;
    answerDialogs(answerer);

    MainWindow window;
    // Only these folders: the /tmp that the window always adds would blur the figures.
    MainWindowAccess::reportDirs(window) =
        QStringList{dir.filePath(QStringLiteral("reports")), output.path()};
    GapBench bench(window, probe);
    // The sssd module is not listed while its package is missing.
    bench.startUp(Archives + 1, SmallModules + 1);
    bench.openPane();
    bench.protect();
    bench.switchDebugMode();
    bench.runAndSplit(output);
    bench.deleteReport();
    output.removeRecursively();
    return 0;
}
