// SPDX-License-Identifier: GPL-2.0-or-later
// What the window reads from the helper's record of a report run: its outcome, a stall, the
// dialog's and the failure box's texts, and the ps answer used once the helper forgot the run.
#include "helperprotocol.h"
#include "reportrunwatch.h"
#include "testenvironment.h"

#include <QTest>

using namespace HelperProtocol;

class TestReportRunWatch : public QObject
{
    Q_OBJECT

private slots:
    void outcome_data();
    void outcome();
    void texts();
    void psAnswer_data();
    void psAnswer();
};

void TestReportRunWatch::outcome_data()
{
    QTest::addColumn<int>("exitStatus"); // -2: still running
    QTest::addColumn<QString>("archive");
    QTest::addColumn<bool>("stopRequested");
    QTest::addColumn<int>("expected");
    const QString archive = QStringLiteral("/tmp/sosreport-h.tar.xz");
    QTest::newRow("running") << -2 << QString() << false << int(ReportRunWatch::Running);
    QTest::newRow("archive") << 0 << archive << false << int(ReportRunWatch::Succeeded);
    QTest::newRow("status 2") << 2 << archive << false << int(ReportRunWatch::Failed);
    QTest::newRow("no archive") << 0 << QString() << false << int(ReportRunWatch::Failed);
    QTest::newRow("stopped") << -1 << QString() << true << int(ReportRunWatch::Stopped);
}

void TestReportRunWatch::outcome()
{
    QFETCH(int, exitStatus);
    QFETCH(QString, archive);
    QFETCH(bool, stopRequested);
    ReportRunWatch watch;
    QVariantMap state{{RunningKey, exitStatus == -2}, {ArchiveKey, archive}};
    if (exitStatus != -2)
        state.insert(ExitStatusKey, exitStatus);
    watch.update(state);
    if (stopRequested)
        watch.markStopRequested();
    QTEST(int(watch.outcome()), "expected");
    watch.forget();
    QCOMPARE(watch.outcome(), ReportRunWatch::Unknown);
}

void TestReportRunWatch::texts()
{
    ReportRunWatch watch;
    QVERIFY(watch.isStalled(300)); // nothing known
    watch.update({{RunningKey, true},
                  {SecondsKey, 65},
                  {IdleSecondsKey, 299},
                  {PluginsStartedKey, 12},
                  {PluginsTotalKey, 47},
                  {PluginKey, "networking"}});
    QVERIFY(!watch.isStalled(300));
    QVERIFY(watch.isStalled(299));
    // A plugin is done once the next one starts; the last once the archive is saved.
    QCOMPARE(watch.percent(), 23);
    watch.update({{RunningKey, true}, {PluginsStartedKey, 47}, {PluginsTotalKey, 47}});
    QCOMPARE(watch.percent(), 97);
    watch.update({{RunningKey, true},
                  {PluginsStartedKey, 47},
                  {PluginsTotalKey, 47},
                  {ArchiveKey, "/tmp/sosreport-h.tar.xz"}});
    QCOMPARE(watch.percent(), 100);
    watch.update({{RunningKey, true},
                  {SecondsKey, 65},
                  {PluginsStartedKey, 12},
                  {PluginsTotalKey, 47},
                  {PluginKey, "networking"}});
    QCOMPARE(watch.progressText(),
             QStringLiteral("Collecting: 12 of 47 plugins, networking\nElapsed time: 1:05"));

    QByteArray tail;
    for (int line = 1; line <= 12; ++line)
        tail += "line " + QByteArray::number(line) + '\n';
    watch.update({{RunningKey, false}, {ExitStatusKey, 2}, {OutputTailKey, tail}});
    QCOMPARE(watch.percent(), -1);
    QCOMPARE(watch.progressText(), QStringLiteral("Elapsed time: 0:00"));
    QVERIFY(watch.failureText().startsWith(
        QStringLiteral("The report could not be collected (exit status 2).\nline 3\n")));
    QVERIFY(watch.failureText().endsWith(QStringLiteral("line 11\nline 12")));
}

void TestReportRunWatch::psAnswer_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<bool>("running");
    QTest::newRow("sleeping") << QByteArray("S    sosreport\n") << true;
    QTest::newRow("session leader") << QByteArray("Ss+  sosreport\n") << true;
    QTest::newRow("zombie") << QByteArray("Z    sosreport <defunct>\n") << false;
    QTest::newRow("other program") << QByteArray("R    bash\n") << false;
    QTest::newRow("gone") << QByteArray() << false;
}

void TestReportRunWatch::psAnswer()
{
    QFETCH(QByteArray, output);
    QTEST(ReportRunWatch::psShowsRunning(output), "running");
    QCOMPARE(ReportRunWatch::psArguments(42).join(' '), QStringLiteral("-o stat=,comm= -p 42"));
}

KRO_TEST_MAIN(TestReportRunWatch)
#include "tst_reportrunwatch.moc"
