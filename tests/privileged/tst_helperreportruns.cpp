// SPDX-License-Identifier: GPL-2.0-or-later
// Report runs tracked by the real helper on a private bus, with a stand-in sosreport that
// prints what sosreport 4.0 prints and leaves its own working folder when interrupted, as sos 4.0
// does: progress, the end with its archive or its failure, a stop, one run per user, a run that
// outlives the caller that started it, and a working folder of the run's own that nothing
// outlives: not success, failure, a stop nor a killed helper.
#include "dbusservice.h"
#include "helperprotocol.h"
#include "helpertesting.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingReply>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
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
    void hiddenNamesRunBringsItsPrivateMap();
    void runWithoutFolderUsesSosConfiguration();
    void killedHelpersWorkingFolderGoesAtNextStart();
    void runsOnlyInReportFolders();

private:
    void touch(const QString &name) { QFile(dir->filePath(name)).open(QIODevice::WriteOnly); }
    qint64 start(KroAdmin::DbusService &client, const QStringList &options = {})
    {
        return client.execSmthDetachedWithArgs(
            "sosreport", QStringList{"--batch", "--tmp-dir", dir->path()} + options);
    }
    // A helper started anew knows no run.
    bool hasEnded()
    {
        const QVariantMap state = stateOf(*service);
        return state.isEmpty() || !state.value(RunningKey).toBool();
    }

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
    // Whatever the end, the run's working folder has gone with it.
    for (const QString &name : entries(dir->path())) {
        const QFileInfo entry(dir->filePath(name));
        QVERIFY2(!name.startsWith(".kro-run-") || entry.isSymLink() || entry.ownerId() != 0 ||
                     modeOf(entry.filePath()) != 0700,
                 qPrintable(name));
    }
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
    QCOMPARE(entries(dir->path()),
             (QStringList{QFileInfo(archive).fileName(), QFileInfo(archive).fileName() + ".md5"}));
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
    QCOMPARE(entries(dir->path()), QStringList{".fail"});
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
    // sos 4.0 leaves its working folder on the interrupt; the run's folder goes with it.
    QCOMPARE(entries(dir->path()), QStringList{".hold"});
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

void TestHelperReportRuns::hiddenNamesRunBringsItsPrivateMap()
{
    const qint64 pid = start(*service, {"--clean"});
    QVERIFY(pid > 0);
    QTRY_VERIFY(hasEnded());
    const QString name = QStringLiteral("sosreport-standin-%1").arg(pid);
    QCOMPARE(stateOf(*service).value(ArchiveKey).toString(),
             dir->filePath(name + "-obfuscated.tar.xz"));
    QCOMPARE(entries(dir->path()),
             (QStringList{name + "-obfuscated.tar.xz", name + "-obfuscated.tar.xz.md5",
                          name + "-private_map"}));
}

// Without --tmp-dir the run's report folder is the tmp-dir of sos's configuration.
void TestHelperReportRuns::runWithoutFolderUsesSosConfiguration()
{
    QFile config(qEnvironmentVariable("KRO_SOS_CONFIG"));
    QVERIFY(config.open(QIODevice::ReadOnly));
    const QByteArray original = config.readAll();
    config.close();
    writeFile(config.fileName(), "[global]\ntmp-dir = " + QFile::encodeName(dir->path()), 0644);
    const qint64 pid = service->execSmthDetachedWithArgs("sosreport", {"--batch"});
    writeFile(config.fileName(), original, 0644);
    QVERIFY(pid > 0);
    QTRY_VERIFY(hasEnded());
    const QString archive = QStringLiteral("sosreport-standin-%1.tar.xz").arg(pid);
    QCOMPARE(stateOf(*service).value(ArchiveKey).toString(), dir->filePath(archive));
    QCOMPARE(entries(dir->path()), (QStringList{archive, archive + ".md5"}));
}

// Killed during a run, the helper removes the run's working folder when it starts again, and
// nothing else: neither a link nor a folder of another that is only named like one.
void TestHelperReportRuns::killedHelpersWorkingFolderGoesAtNextStart()
{
    touch(".hold");
    const qint64 pid = start(*service);
    QVERIFY(pid > 0);
    QTRY_COMPARE(stateOf(*service).value(PluginsStartedKey).toInt(), 1);
    QDir(dir->path()).mkpath("target/inside");
    QVERIFY(QFile::link(dir->filePath("target"), dir->filePath(".kro-run-link00")));
    QDir(dir->path()).mkpath(".kro-run-other0/inside");
    QDir(dir->path()).mkpath(".kro-run-foreign/inside");
    QCOMPARE(::chown(QFile::encodeName(dir->filePath(".kro-run-foreign")).constData(), 65534, 0),
             0);
    QCOMPARE(::chmod(QFile::encodeName(dir->filePath(".kro-run-foreign")).constData(), 0700), 0);
    const QStringList planted = {".hold", ".kro-run-foreign", ".kro-run-link00", ".kro-run-other0",
                                 "target"};
    const uint helper = QDBusConnection::systemBus().interface()->servicePid(Service).value();
    ::kill(pid_t(helper), SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(
        !QDBusConnection::systemBus().interface()->isServiceRegistered(Service), 60000);
    QCOMPARE(service->execSmthWithArgs("true", {}), 0); // a new helper is up
    QCOMPARE(entries(dir->path()), planted);
    for (const char *inside :
         {"target/inside", ".kro-run-other0/inside", ".kro-run-foreign/inside"})
        QVERIFY2(QFileInfo(dir->filePath(inside)).isDir(), qPrintable(inside));
    // The run itself, left without its folder, ends without leaving anything.
    QFile::remove(dir->filePath(".hold"));
    QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(pid), 0) != 0 || psField(pid, "stat").startsWith('Z'),
                             60000);
    QCOMPARE(entries(dir->path()), planted.mid(1));
}

// A user's run goes to a report folder: the user's own, not root's.
void TestHelperReportRuns::runsOnlyInReportFolders()
{
    if (geteuid() != 0)
        QSKIP("Playing another local user needs root.");
    LocalUser alice("kro-files-alice");
    standIn("SetAllowedForUser", {alice.uid, AllActions});
    QVERIFY(!alice.callHelper({"run", "sosreport", "--batch", "--tmp-dir", dir->path()}));
    QCOMPARE(entries(dir->path()), QStringList());
    QTemporaryDir own(QDir::tempPath() + "/kro-files-XXXXXX");
    QCOMPARE(::chown(QFile::encodeName(own.path()).constData(), alice.uid, alice.uid), 0);
    QVERIFY(alice.callHelper({"run", "sosreport", "--batch", "--tmp-dir", own.path()}));
    // The archive and its checksum, once the working folder has gone.
    QTRY_VERIFY_WITH_TIMEOUT(entries(own.path()).size() == 2 &&
                                 entries(own.path()).first().startsWith("sosreport-standin-"),
                             30000);
}

KRO_TEST_MAIN(TestHelperReportRuns)
#include "tst_helperreportruns.moc"
