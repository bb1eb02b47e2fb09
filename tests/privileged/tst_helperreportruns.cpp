// SPDX-License-Identifier: GPL-2.0-or-later
// Report runs tracked by the real helper on a private bus, with a stand-in sosreport that
// prints what sosreport 4.0 prints: progress, the end with its archive or its failure, a stop,
// one run per user, and a run that outlives the caller that started it.
#include "dbusservice.h"
#include "helperprotocol.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingReply>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <unistd.h>

using namespace HelperProtocol;

namespace {

QString psField(qint64 pid, const QString &field)
{
    QProcess ps;
    ps.start("ps", {"-o", field + "=", "-p", QString::number(pid)});
    ps.waitForFinished();
    return QString::fromUtf8(ps.readAllStandardOutput()).trimmed();
}

QVariantMap stateOf(const KroAdmin::DbusService &service)
{
    QDBusPendingReply<QVariantMap> reply = service.queryReportRun();
    reply.waitForFinished();
    return reply.isError() ? QVariantMap() : reply.value();
}

} // namespace

class TestHelperReportRuns : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void runIsFollowedToItsArchive();
    void failedRunTellsItsOutput();
    void stoppedRunEnds();
    void runOutlivesItsCaller();

private:
    void touch(const QString &name) { QFile(dir->filePath(name)).open(QIODevice::WriteOnly); }
    qint64 start(KroAdmin::DbusService &client)
    {
        return client.execSmthDetachedWithArgs("sosreport", {"--batch", "--tmp-dir", dir->path()});
    }
    bool hasEnded() { return !stateOf(*service).value(RunningKey, true).toBool(); }

    KroAdmin::DbusService *service = nullptr;
    QTemporaryDir *dir = nullptr;
};

void TestHelperReportRuns::init()
{
    service = new KroAdmin::DbusService(this);
    dir = new QTemporaryDir(KroTest::homePath() + "/run-XXXXXX");
    QVERIFY(dir->isValid());
}

void TestHelperReportRuns::cleanup()
{
    QFile::remove(dir->filePath(".hold"));
    QTRY_VERIFY_WITH_TIMEOUT(hasEnded(), KroTest::WaitLimitMs);
    delete dir;
    delete service;
}

void TestHelperReportRuns::runIsFollowedToItsArchive()
{
    touch(".hold");
    const qint64 pid = start(*service);
    QVERIFY(pid > 0);
    QTRY_COMPARE_WITH_TIMEOUT(stateOf(*service).value(PluginsStartedKey).toInt(), 1,
                              KroTest::WaitLimitMs);
    QVariantMap state = stateOf(*service);
    QCOMPARE(state.value(PluginsTotalKey).toInt(), 3);
    QCOMPARE(state.value(PluginKey).toString(), QString("host"));
    QVERIFY(state.value(RunningKey).toBool());
    QCOMPARE(state.value(ProcessIdKey).toLongLong(), pid);
    // A session of its own: neither the helper leaving nor the caller quitting ends it.
    QCOMPARE(psField(pid, "sid"), QString::number(pid));
    QVERIFY(psField(pid, "sid") != QString::number(getsid(0)));
    // One run per user at a time.
    QCOMPARE(start(*service), qint64(-1));
    QCOMPARE(service->getDbusErrorAsInt(), int(RunAlive));

    QFile::remove(dir->filePath(".hold"));
    QTRY_VERIFY_WITH_TIMEOUT(hasEnded(), KroTest::WaitLimitMs);
    state = stateOf(*service);
    const QString archive = dir->filePath(QStringLiteral("sosreport-standin-%1.tar.xz").arg(pid));
    QCOMPARE(state.value(ExitStatusKey).toInt(), 0);
    QCOMPARE(state.value(PluginsStartedKey).toInt(), 3);
    QCOMPARE(state.value(ArchiveKey).toString(), archive);
    QCOMPARE(state.value(ArchiveSizeKey).toString(), QString("7B"));
    QCOMPARE(state.value(ArchiveChecksumKey).toString().size(), 32);
    QVERIFY(!state.contains(OutputTailKey));
    QVERIFY(QFile::exists(archive));
}

void TestHelperReportRuns::failedRunTellsItsOutput()
{
    touch(".fail");
    QVERIFY(start(*service) > 0);
    QTRY_VERIFY_WITH_TIMEOUT(hasEnded(), KroTest::WaitLimitMs);
    const QVariantMap state = stateOf(*service);
    QCOMPARE(state.value(ExitStatusKey).toInt(), 2);
    QVERIFY(state.value(ArchiveKey).toString().isEmpty());
    QVERIFY(state.value(OutputTailKey)
                .toByteArray()
                .endsWith("sosreport: error: unrecognized arguments: --noetc --split 10\n"));
}

void TestHelperReportRuns::stoppedRunEnds()
{
    touch(".hold");
    QVERIFY(start(*service) > 0);
    QTRY_COMPARE_WITH_TIMEOUT(stateOf(*service).value(PluginsStartedKey).toInt(), 1,
                              KroTest::WaitLimitMs);
    QDBusPendingCall stop = service->stopReportRun();
    stop.waitForFinished();
    QVERIFY2(!stop.isError(), qPrintable(stop.error().message()));
    QTRY_VERIFY_WITH_TIMEOUT(hasEnded(), KroTest::WaitLimitMs);
    QVERIFY(stateOf(*service).value(ExitStatusKey).toInt() != 0);
    QVERIFY(stateOf(*service).value(ArchiveKey).toString().isEmpty());
}

void TestHelperReportRuns::runOutlivesItsCaller()
{
    touch(".hold");
    qint64 pid = 0;
    {
        QDBusConnection::connectToBus(QDBusConnection::SystemBus, "window");
        KroAdmin::DbusService window;
        pid = start(window);
    }
    QDBusConnection::disconnectFromBus("window");
    QVERIFY(pid > 0);
    QTRY_COMPARE_WITH_TIMEOUT(stateOf(*service).value(PluginsStartedKey).toInt(), 1,
                              KroTest::WaitLimitMs);
    QVERIFY(stateOf(*service).value(RunningKey).toBool());
    QCOMPARE(stateOf(*service).value(ProcessIdKey).toLongLong(), pid);
}

KRO_TEST_MAIN(TestHelperReportRuns)
#include "tst_helperreportruns.moc"
