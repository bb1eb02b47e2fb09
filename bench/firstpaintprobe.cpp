// SPDX-License-Identifier: GPL-2.0-or-later
// Preloaded into a program (LD_PRELOAD) to time its start-up without changing it: the first main
// window's first paint, and the moment its work is complete, meaning its reports table and
// module list hold at least KRO_PROBE_ROWS and KRO_PROBE_MODULES entries (a window without them,
// or a run without KRO_PROBE_ROWS, is complete when painted). It writes one line to the file
// KRO_PROBE_OUTPUT:
//   painted WALL_NS CPU_NS complete WALL_NS CPU_NS peak KIB
// with wall times on the monotonic clock and the process's CPU time, then ends the program.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QMainWindow>
#include <QPointer>
#include <QTableWidget>
#include <QTimer>
#include <time.h>

namespace {

qint64 clockNs(clockid_t clock)
{
    timespec now;
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

QByteArray timesNow()
{
    return QByteArray::number(clockNs(CLOCK_MONOTONIC)) + ' ' +
           QByteArray::number(clockNs(CLOCK_PROCESS_CPUTIME_ID));
}

QByteArray peakKib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0);
    return "0";
}

class Probe : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QMainWindow *>(watched);
        if (event->type() == QEvent::Paint && window && !this->window) {
            this->window = window;
            // Like the application's own after-paint work: once the whole picture is painted.
            QTimer::singleShot(0, this, &Probe::markPainted);
        }
        return false;
    }

private:
    void markPainted()
    {
        line = "painted " + timesNow();
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                &Probe::checkComplete);
        checkComplete();
    }

    void checkComplete()
    {
        if (done || !window || !isComplete())
            return;
        done = true;
        line += " complete " + timesNow() + " peak " + peakKib() + '\n';
        QFile output(qEnvironmentVariable("KRO_PROBE_OUTPUT"));
        if (output.open(QIODevice::WriteOnly | QIODevice::Truncate))
            output.write(line);
        QCoreApplication::exit(0);
    }

    bool isComplete() const
    {
        auto *table = window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
        auto *modules = window->findChild<QListWidget *>(QStringLiteral("debugLW"));
        if (!table || !modules || !qEnvironmentVariableIsSet("KRO_PROBE_ROWS"))
            return true;
        // The header labels are set by the first filling of the table.
        return table->horizontalHeaderItem(0) &&
               table->rowCount() >= qEnvironmentVariableIntValue("KRO_PROBE_ROWS") &&
               modules->count() >= qEnvironmentVariableIntValue("KRO_PROBE_MODULES");
    }

    QPointer<QMainWindow> window;
    QByteArray line;
    bool done = false;
};

void installProbe()
{
    qApp->installEventFilter(new Probe);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
