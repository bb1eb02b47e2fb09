// SPDX-License-Identifier: GPL-2.0-or-later
// The helper attacked the way a local user could: leaving in the middle of a check, leaving a
// password prompt open, flooding it with output, naming programs and files it must not touch,
// asking for the wrong kind of work, and killing it while it moves a file. Runs against the real
// helper on a private bus whose polkit is the stand-in of tests/support.
#include "dbusservice.h"
#include "helperprotocol.h"
#include "helpertesting.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QVariantList execArguments(const QString &program, const QStringList &arguments = {})
{
    return {program, arguments, QByteArray()};
}

bool isRunning(const QString &commandLine)
{
    return QProcess::execute("pgrep", {"-f", "-x", commandLine}) == 0;
}

} // namespace

class TestHelperAttacks : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void callerLeavingDuringItsCheckHangsNothing();
    void openPromptHoldsUpOnlyItsCaller();
    void callerLeavingStopsItsPrograms();
    void hugeOutputIsCutAndAnswered();
    void programsOutsideTrustedFoldersAreRefused();
    void eachKindOfWorkHasItsOwnPermission_data();
    void eachKindOfWorkHasItsOwnPermission();
    void reportRefusals_data();
    void reportRefusals();
    void killsDuringMovesLeaveNoDebris();
    void swappedReportNameNeverReachesRootFiles();
    void othersReportRunsStayHidden();

private:
    KroAdmin::DbusService *service = nullptr;
    QSignalSpy *messages = nullptr;
    QTemporaryDir *dir = nullptr;
};

void TestHelperAttacks::init()
{
    service = new KroAdmin::DbusService(this);
    messages = new QSignalSpy(service, &KroAdmin::DbusService::showMessage);
    dir = new QTemporaryDir(KroTest::homePath() + "/attack-XXXXXX");
    QVERIFY(dir->isValid());
}

void TestHelperAttacks::cleanup()
{
    standIn("SetAllowed", {AllActions});
    standIn("FailWith", {QString()});
    standIn("ReleaseHeld");
    delete messages;
    delete dir;
    delete service;
}

void TestHelperAttacks::callerLeavingDuringItsCheckHangsNothing()
{
    for (int round = 0; round < 3; ++round) {
        const QString name = QStringLiteral("leaving-%1").arg(round);
        standIn("HoldNext", {1u});
        QDBusConnection leaving = QDBusConnection::connectToBus(QDBusConnection::SystemBus, name);
        leaving.asyncCall(helperCall(HelperProtocol::ExecMethod, execArguments("true")));
        QTRY_COMPARE_WITH_TIMEOUT(heldChecks(), 1u, WaitLimitMs);
        QDBusConnection::disconnectFromBus(name);
        // polkit now answers the check of a name that has gone with an error.
        standIn("ReleaseHeld");
        QCOMPARE(service->execSmthWithArgs("true", {}), 0);
    }
    standIn("FailWith", {QString("polkit is restarting")});
    QVERIFY(service->execSmthWithArgs("true", {}) != 0);
    QCOMPARE(service->getDbusErrorAsInt(), int(QDBusError::AccessDenied));
    standIn("FailWith", {QString()});
    QCOMPARE(service->execSmthWithArgs("true", {}), 0);
}

void TestHelperAttacks::openPromptHoldsUpOnlyItsCaller()
{
    standIn("HoldNext", {1u});
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SystemBus, "prompt");
    QDBusPendingCallWatcher prompting(other.asyncCall(
        helperCall(HelperProtocol::ExecMethod, execArguments("true")), 2 * WaitLimitMs));
    QTRY_COMPARE_WITH_TIMEOUT(heldChecks(), 1u, WaitLimitMs);
    QCOMPARE(service->execSmthWithArgs("true", {}), 0);
    QVERIFY(!prompting.isFinished());
    standIn("ReleaseHeld");
    QTRY_VERIFY_WITH_TIMEOUT(prompting.isFinished(), WaitLimitMs);
    QVERIFY2(!prompting.isError(), qPrintable(prompting.error().message()));
    QDBusConnection::disconnectFromBus("prompt");
}

void TestHelperAttacks::callerLeavingStopsItsPrograms()
{
    const QString seconds = QString::number(6000 + QRandomGenerator::global()->bounded(1000));
    {
        QDBusConnection leaving = QDBusConnection::connectToBus(QDBusConnection::SystemBus, "go");
        leaving.asyncCall(
            helperCall(HelperProtocol::ExecMethod, execArguments("kro-sleep-child", {seconds})));
        QTRY_VERIFY_WITH_TIMEOUT(isRunning("sleep " + seconds), WaitLimitMs);
    }
    QDBusConnection::disconnectFromBus("go");
    // The program and the child it started both end.
    QTRY_VERIFY_WITH_TIMEOUT(!isRunning("sleep " + seconds), WaitLimitMs);
    QVERIFY(!isRunning("/bin/sh .*kro-sleep-child " + seconds));
}

void TestHelperAttacks::hugeOutputIsCutAndAnswered()
{
    QSignalSpy outputs(service, &KroAdmin::DbusService::processOutput);
    QCOMPARE(service->execSmthWithArgs("kro-flood", {"24"}), 0);
    QCOMPARE(outputs.count(), 1);
    const QString output = outputs.at(0).at(0).toString();
    QVERIFY(output.startsWith(QStringLiteral("[... %1 bytes cut ...]\n")
                                  .arg(24 * 1048576 + 4 - HelperProtocol::KeptOutputBytes)));
    QVERIFY(output.endsWith("xxxxend\n"));
}

void TestHelperAttacks::programsOutsideTrustedFoldersAreRefused()
{
    // A copy of a system program, in a folder the helper does not trust.
    const QString copy = dir->filePath("true");
    QVERIFY(QFile::copy("/bin/true", copy));
    const QString marker = dir->filePath("ran");
    for (const QString &program : {copy, QString("/usr/bin/../../" + copy.mid(1))}) {
        QCOMPARE(service->execSmthWithArgs(program, {}), int(HelperProtocol::NotFound));
        QCOMPARE(service->execSmthDetachedWithArgs(program, {}), qint64(HelperProtocol::Failed));
    }
    QCOMPARE(service->execSmthWithArgs("/usr/bin/../bin/true", {}), 0);
}

void TestHelperAttacks::eachKindOfWorkHasItsOwnPermission_data()
{
    QTest::addColumn<QString>("allowed");
    QTest::addColumn<QString>("work");
    QTest::addColumn<bool>("granted");
    const QString report = KRO_REPORT_ACTION, configure = KRO_CONFIGURE_ACTION;
    QTest::newRow("reports: opening up") << report << "readable" << true;
    QTest::newRow("reports: protecting") << report << "protect" << true;
    QTest::newRow("reports: a move") << report << "move" << false;
    QTest::newRow("reports: a command") << report << "command" << false;
    QTest::newRow("configuration: a move") << configure << "move" << true;
    QTest::newRow("configuration: a command") << configure << "command" << true;
    QTest::newRow("configuration: opening up") << configure << "readable" << false;
    QTest::newRow("configuration: protecting") << configure << "protect" << false;
    QTest::newRow("reports: deleting") << report << "delete" << true;
    QTest::newRow("configuration: deleting") << configure << "delete" << false;
}

void TestHelperAttacks::eachKindOfWorkHasItsOwnPermission()
{
    QFETCH(QString, allowed);
    QFETCH(QString, work);
    QFETCH(bool, granted);
    standIn("SetAllowed", {QStringList{allowed}});
    const QString report = dir->filePath("sosreport-host.tar.xz");
    writeFile(report, "report", 0600);
    writeFile(dir->filePath("source"), "new", 0644);
    bool done = false;
    if (work == "readable")
        done = service->makeReportReadable(report);
    else if (work == "protect")
        done = service->protectReport(report, "secret");
    else if (work == "delete")
        done = service->deleteReports({report});
    else if (work == "move")
        done = service->move(dir->filePath("source"), dir->filePath("target"));
    else
        done = service->execSmthWithArgs("touch", {dir->filePath("target")}) == 0;
    QCOMPARE(done, granted);
    QCOMPARE(service->getDbusErrorAsInt(), granted ? 0 : int(QDBusError::AccessDenied));
    QCOMPARE(QFile::exists(dir->filePath("target")),
             granted && (work == "move" || work == "command"));
    // Read access is the caller's alone, never a permission for others.
    QCOMPARE(modeOf(report) & 07, mode_t(0));
    QCOMPARE(QFile::exists(report + ".cpt"), granted && work == "protect");
    QCOMPARE(QFile::exists(report), !granted || (work != "protect" && work != "delete"));
}

void TestHelperAttacks::reportRefusals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("symbolic link") << "symlink"
                                   << "the report is a symbolic link";
    QTest::newRow("two names") << "hardlink"
                               << "the report has more than one name";
    QTest::newRow("fifo") << "fifo"
                          << "the report is not a regular file";
    QTest::newRow("not a report") << "other-name"
                                  << "%1 is not a report archive";
    QTest::newRow("protected copy exists") << "copy-exists"
                                           << "a protected copy of the report exists already";
    QTest::newRow("relative path") << "relative"
                                   << "%1 is not a report archive";
    if (geteuid() == 0)
        QTest::newRow("another user's") << "foreign"
                                        << "the report belongs to another user";
}

void TestHelperAttacks::reportRefusals()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString real = dir->filePath("real");
    QString report = dir->filePath(kind == "other-name" ? "shadow" : "sosreport-host.tar.xz");
    writeFile(real, "root only", 0600);
    if (kind == "symlink")
        QVERIFY(QFile::link(real, report));
    else if (kind == "hardlink")
        QCOMPARE(::link(QFile::encodeName(real).constData(), QFile::encodeName(report)), 0);
    else if (kind == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(report).constData(), 0600), 0);
    else
        writeFile(report, "report", 0600);
    if (kind == "copy-exists")
        writeFile(report + ".cpt", "older copy", 0600);
    else if (kind == "foreign")
        QCOMPARE(::chown(QFile::encodeName(report).constData(), 65534, 65534), 0);
    else if (kind == "relative")
        report = "sosreport-host.tar.xz";
    const QString text = QStringLiteral("The report was not changed: %1.")
                             .arg(reason.contains("%1") ? reason.arg(report) : reason);
    QVERIFY(!service->protectReport(report, "secret"));
    QCOMPARE(service->getDbusErrorAsInt(), int(HelperProtocol::FileRefused));
    QCOMPARE(messages->at(0).at(1).toString(), text);
    if (kind != "copy-exists") {
        QVERIFY(!service->makeReportReadable(report));
        QCOMPARE(messages->at(1).at(1).toString(), text);
    }
    if (kind != "copy-exists" && kind != "relative") {
        // One refused file keeps the whole set, the good file beside it included.
        const QString checksum = dir->filePath("sosreport-host.tar.xz.md5");
        writeFile(checksum, "sum", 0600);
        QVERIFY(!service->deleteReports({checksum, report}));
        QCOMPARE(messages->last().at(1).toString(),
                 QStringLiteral("The report was not changed: %1: %2.")
                     .arg(report, reason.contains("%1") ? reason.arg(QFileInfo(report).fileName())
                                                        : reason));
        QVERIFY(QFile::exists(checksum));
        QVERIFY(QFileInfo(report).isSymLink() || QFileInfo::exists(report));
    }
    QCOMPARE(modeOf(real), mode_t(0600));
    QCOMPARE(contents(real), QByteArray("root only"));
    if (kind == "copy-exists")
        QCOMPARE(contents(report + ".cpt"), QByteArray("older copy"));
    else
        QVERIFY(!QFile::exists(report + ".cpt"));
}

// Whatever instant the helper dies at, the destination is whole (old or new), nothing is lost
// and nothing partial is left beside it; once the new file is in place, the next start removes
// the source.
void TestHelperAttacks::killsDuringMovesLeaveNoDebris()
{
    const int kills = 200, size = 4 << 20;
    const QString source = dir->filePath("source"), target = dir->filePath("target");
    writeFile(target, QByteArray(size, 'o'), 0640);
    int moved = 0, strays = 0;
    for (int round = 0; round < kills; ++round) {
        // Never the old contents, 'o'.
        const QByteArray fresh(size, char('a' + round % 14));
        writeFile(source, fresh, 0644);
        QCOMPARE(service->execSmthWithArgs("true", {}), 0); // the helper is up
        const uint pid =
            QDBusConnection::systemBus().interface()->servicePid(HelperProtocol::Service).value();
        QDBusPendingCallWatcher moving(QDBusConnection::systemBus().asyncCall(
            helperCall(HelperProtocol::MoveMethod, {source, target})));
        QThread::usleep(QRandomGenerator::global()->bounded(20000));
        ::kill(pid_t(pid), SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(moving.isFinished(), WaitLimitMs);
        // The next call must start a new helper, not reach the one that is going.
        QTRY_VERIFY_WITH_TIMEOUT(
            !QDBusConnection::systemBus().interface()->isServiceRegistered(HelperProtocol::Service),
            WaitLimitMs);
        QCOMPARE(service->execSmthWithArgs("true", {}), 0); // the next start finishes the move
        const QByteArray now = contents(target);
        QVERIFY2(now == fresh || now == QByteArray(size, 'o'), "the destination is torn");
        QVERIFY2(now == fresh || contents(source) == fresh, "the new contents are lost");
        QVERIFY2(now != fresh || !QFile::exists(source), "the source stayed beside its copy");
        moved += now == fresh ? 1 : 0;
        QCOMPARE(modeOf(target), mode_t(0640));
        QFile::remove(source);
        // Killed between naming the finished copy and renaming it into place, the helper leaves
        // that complete copy under a fixed name, which the next finished move takes over.
        if (entries(dir->path()).size() > 1) {
            QCOMPARE(entries(dir->path()), (QStringList{".target.kro-new", "target"}));
            const QByteArray stray = contents(dir->filePath(".target.kro-new"));
            QCOMPARE(stray, QByteArray(size, stray.at(0))); // complete, of this or an earlier move
            ++strays;
        }
        writeFile(target, QByteArray(size, 'o'), 0640);
    }
    writeFile(source, "last", 0644);
    QVERIFY(service->move(source, target));
    QCOMPARE(entries(dir->path()), QStringList{"target"});
    qInfo("%d kills: %d after the move was done, %d left a complete copy until the next move",
          kills, moved, strays);
}

// A report folder that everyone may write to, without the sticky bit: while one user asks for
// her report to be opened up or protected, another keeps swapping its name for a link to a file
// only root may read.
void TestHelperAttacks::swappedReportNameNeverReachesRootFiles()
{
    if (geteuid() != 0)
        QSKIP("Playing two more local users needs root.");
    LocalUser alice("kro-test-alice"), mallory("kro-test-mallory");
    QVERIFY(alice.uid > 0 && mallory.uid > 0);
    standIn("SetAllowedForUser", {alice.uid, AllActions});
    standIn("SetAllowedForUser", {mallory.uid, QStringList()});
    QTemporaryDir shared(QDir::tempPath() + "/kro-shared-XXXXXX");
    // Alice's own report folder, so that only the swapping can stop her calls.
    QCOMPARE(::chown(QFile::encodeName(shared.path()).constData(), alice.uid, alice.uid), 0);
    QCOMPARE(::chmod(QFile::encodeName(shared.path()).constData(), 0777), 0);
    const QString secret = dir->filePath("secret"), report = shared.filePath("sosreport-a.tar.xz");
    writeFile(secret, "root only", 0600);
    writeFile(report, "alice's report", 0600);
    QCOMPARE(::chown(QFile::encodeName(report).constData(), alice.uid, alice.uid), 0);

    QProcess swapper;
    swapper.start("runuser", {"-u", mallory.name, "--", "sh", "-c",
                              QStringLiteral("cd %1; while :; do mv -f %2 keep; ln -s %3 %2; "
                                             "mv -f keep %2; done")
                                  .arg(shared.path(), QFileInfo(report).fileName(), secret)});
    QVERIFY(swapper.waitForStarted());
    int granted = 0;
    const int attempts = 100;
    for (int attempt = 0; attempt < attempts; ++attempt)
        granted += alice.callHelper({"readable", report}) ? 1 : 0;
    for (int attempt = 0; attempt < 20 && !QFile::exists(report + ".cpt"); ++attempt)
        granted += alice.callHelper({"protect", report}, "password\n") ? 1 : 0;
    // runuser's child goes on without it: its loop ends only with every process of the user's,
    // before the shared folder is removed.
    swapper.kill();
    swapper.waitForFinished();
    QProcess::execute("pkill", {"-KILL", "-u", mallory.name});
    QTRY_VERIFY_WITH_TIMEOUT(QProcess::execute("pgrep", {"-u", mallory.name}) != 0, WaitLimitMs);
    qInfo("%d of %d calls granted while the name was being swapped", granted, attempts + 20);
    QCOMPARE(modeOf(secret), mode_t(0600));
    QCOMPARE(contents(secret), QByteArray("root only"));
    QVERIFY(!mallory.callHelper({"readable", shared.filePath("keep")}));
}

// Another user neither learns about a report run nor stops it.
void TestHelperAttacks::othersReportRunsStayHidden()
{
    if (geteuid() != 0)
        QSKIP("Playing another local user needs root.");
    LocalUser mallory("kro-test-mallory");
    standIn("SetAllowedForUser", {mallory.uid, AllActions});
    writeFile(dir->filePath(".hold"), {}, 0600);
    QVERIFY(service->execSmthDetachedWithArgs("sosreport", {"--tmp-dir", dir->path()}) > 0);
    QVERIFY(!mallory.callHelper({"state"}));
    QVERIFY(!mallory.callHelper({"stop"}));
    QDBusPendingReply<QVariantMap> state = service->queryReportRun();
    state.waitForFinished();
    QVERIFY(state.value().value(HelperProtocol::RunningKey).toBool());
    QFile::remove(dir->filePath(".hold"));
    QTRY_VERIFY_WITH_TIMEOUT(!QDBusPendingReply<QVariantMap>(service->queryReportRun())
                                  .value()
                                  .value(HelperProtocol::RunningKey)
                                  .toBool(),
                             WaitLimitMs);
}

KRO_TEST_MAIN(TestHelperAttacks)
#include "tst_helperattacks.moc"
