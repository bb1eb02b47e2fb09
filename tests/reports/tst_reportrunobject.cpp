// SPDX-License-Identifier: GPL-2.0-or-later
// The followed report run without a window: the helper on a private bus runs the stand-in
// sosreport, and the run object tells its start, progress, stall and end by its signals alone.
#include "dbusservice.h"
#include "reportrun.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class TestReportRunObject : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void runIsToldFromStartToEnd();
    void stoppedRunEndsAsStopped();

private:
    void startHeld();

    QDir output{QStringLiteral(KRO_STANDIN_OUTPUT)};
    KroAdmin::DbusService service;
    QTimer checkTimer;
    QTimer unlockTimer;
    QProcess ps;
    std::unique_ptr<ReportRun> run;
};

void TestReportRunObject::init()
{
    QVERIFY(output.removeRecursively());
    QVERIFY(output.mkpath(QStringLiteral(".")));
    QVERIFY(KroTest::useSosReportFolder(output.path()));
    checkTimer.setInterval(100);
    unlockTimer.setInterval(1000);
    ps.setProgram(QStringLiteral("ps"));
    run = std::make_unique<ReportRun>(service, checkTimer, unlockTimer, ps, [] { return false; });
    connect(&checkTimer, &QTimer::timeout, run.get(), &ReportRun::check);
    connect(&unlockTimer, &QTimer::timeout, run.get(), &ReportRun::checkStall);
}

void TestReportRunObject::cleanup()
{
    QFile::remove(output.filePath(QStringLiteral(".hold")));
    QTRY_VERIFY_WITH_TIMEOUT(!run->isFollowed(), 20000);
    run.reset();
}

void TestReportRunObject::startHeld()
{
    QFile hold(output.filePath(QStringLiteral(".hold")));
    QVERIFY(hold.open(QIODevice::WriteOnly));
    QSignalSpy started(run.get(), &ReportRun::started);
    bool answered = false;
    run->start({QStringLiteral("--label"), QStringLiteral("x")}, 0,
               [&answered](bool running) { answered = running; });
    QVERIFY(run->isStarting());
    QTRY_VERIFY_WITH_TIMEOUT(answered, 20000);
    QCOMPARE(started.size(), 1);
    QCOMPARE(started.first().first().toLongLong(), run->pid());
    QVERIFY(run->isFollowed());
}

void TestReportRunObject::runIsToldFromStartToEnd()
{
    QSignalSpy progressed(run.get(), &ReportRun::progressed);
    QSignalSpy stalled(run.get(), &ReportRun::stalled);
    QSignalSpy ended(run.get(), &ReportRun::ended);
    startHeld();
    QTRY_VERIFY_WITH_TIMEOUT(!progressed.isEmpty() && progressed.last().first().toInt() == 0,
                             20000);
    QVERIFY(progressed.last().at(1).toString().startsWith(
        QStringLiteral("Collecting: 1 of 3 plugins, host")));
    // A second start while one is followed is refused without asking the helper.
    bool second = true;
    run->start({}, 0, [&second](bool running) { second = running; });
    QVERIFY(!second);
    // Held, the run writes nothing more: after the stall timer's length it counts as stalled.
    QTRY_VERIFY_WITH_TIMEOUT(!stalled.isEmpty(), 20000);

    QFile::remove(output.filePath(QStringLiteral(".hold")));
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 20000);
    QCOMPARE(int(ended.first().at(0).value<ReportRun::Outcome>()), int(ReportRunWatch::Succeeded));
    const QString archive = ended.first().at(1).toString();
    QVERIFY(QFile::exists(archive));
    QVERIFY(ended.first().at(2).toString().startsWith(QStringLiteral("Report saved: ") + archive));
    QVERIFY(!run->isFollowed() && !unlockTimer.isActive());
    QCOMPARE(run->pid(), qint64(-1));
}

void TestReportRunObject::stoppedRunEndsAsStopped()
{
    QSignalSpy ended(run.get(), &ReportRun::ended);
    startHeld();
    run->stop();
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 20000);
    QCOMPARE(int(ended.first().at(0).value<ReportRun::Outcome>()), int(ReportRunWatch::Stopped));
    QVERIFY(ended.first().at(1).toString().isEmpty());
}

KRO_TEST_MAIN(TestReportRunObject)
#include "tst_reportrunobject.moc"
