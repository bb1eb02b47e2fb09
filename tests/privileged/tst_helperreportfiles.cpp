// SPDX-License-Identifier: GPL-2.0-or-later
// The real helper acting on report files for the users who ask: only in report folders, never
// on sos's private map as a report, read access for the caller alone, a protected copy that
// appears only when complete, and nothing of root's left by a helper killed at any instant. The
// ccrypt it runs is the real one behind a stand-in that can be held before it starts.
#include "dbusservice.h"
#include "helperprotocol.h"
#include "helpertesting.h"
#include "testenvironment.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

const QString Report = QStringLiteral("sosreport-host-2026.tar.xz");

// A folder in /tmp that belongs to user, as a user's own report folder would.
QString makeOwnedFolder(QTemporaryDir &folder, uint user)
{
    const QByteArray path = QFile::encodeName(folder.path());
    return ::chown(path.constData(), user, user) == 0 && ::chmod(path.constData(), 0755) == 0
               ? folder.path()
               : QString();
}

bool hasAccessList(const QString &path)
{
    return ::lgetxattr(QFile::encodeName(path).constData(), "system.posix_acl_access", nullptr,
                       0) >= 0;
}

// Whether pid is a process that has not ended (a zombie has).
bool isAlive(const QString &pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const int end = line.lastIndexOf(')');
    return end > 0 && line.size() > end + 2 && line.at(end + 2) != 'Z' && line.at(end + 2) != 'X';
}

QByteArray commandOf(const QString &pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    return comm.open(QIODevice::ReadOnly) ? comm.readAll() : QByteArray();
}

// The programs the helper runs, once they run: not the helper's own copy before it starts one.
QStringList programsOf(uint helper)
{
    QProcess pgrep;
    pgrep.start("pgrep", {"-P", QString::number(helper)});
    pgrep.waitForFinished();
    QStringList programs;
    const QByteArray own = commandOf(QString::number(helper));
    for (const QString &child :
         QString::fromUtf8(pgrep.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
        if (commandOf(child) != own)
            programs.append(child);
    return programs;
}

// Stops programs, so that they cannot end by themselves; kills any of them still there at the
// end, so that a failed test leaves none stopped.
struct StoppedPrograms
{
    explicit StoppedPrograms(const QStringList &pids) : pids(pids)
    {
        for (const QString &pid : pids) {
            commands.append(commandOf(pid));
            ::kill(pid_t(pid.toInt()), SIGSTOP);
        }
    }
    ~StoppedPrograms()
    {
        for (int i = 0; i < pids.size(); ++i)
            if (isAlive(pids.at(i)) && commandOf(pids.at(i)) == commands.at(i))
                ::kill(pid_t(pids.at(i).toInt()), SIGKILL);
    }
    QStringList pids;
    QByteArrayList commands;
};

} // namespace

class TestHelperReportFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void reportsOnlyInReportFolders();
    void readAccessIsTheCallersAlone();
    void privateMapStaysOnTheMachine_data();
    void privateMapStaysOnTheMachine();
    void protectedCopyAppearsWhenComplete();
    void killsLeaveNothingOfRoots_data();
    void killsLeaveNothingOfRoots();

private:
    KroAdmin::DbusService *service = nullptr;
    QSignalSpy *messages = nullptr;
    QTemporaryDir *dir = nullptr;
};

void TestHelperReportFiles::init()
{
    service = new KroAdmin::DbusService(this);
    messages = new QSignalSpy(service, &KroAdmin::DbusService::showMessage);
    dir = new QTemporaryDir(KroTest::homePath() + "/files-XXXXXX");
    QVERIFY(dir->isValid());
}

void TestHelperReportFiles::cleanup()
{
    standIn("SetAllowed", {AllActions});
    delete messages;
    delete dir;
    delete service;
}

// root's report in root's folder, named directly or through a link in the caller's own folder.
void TestHelperReportFiles::reportsOnlyInReportFolders()
{
    if (geteuid() != 0)
        QSKIP("Playing another local user needs root.");
    LocalUser alice("kro-files-alice");
    standIn("SetAllowedForUser", {alice.uid, AllActions});
    const QString report = dir->filePath(Report);
    writeFile(report, "root's", 0600);
    writeFile(report + ".md5", "sum", 0600);
    QTemporaryDir own(QDir::tempPath() + "/kro-files-XXXXXX");
    QVERIFY(!makeOwnedFolder(own, alice.uid).isEmpty());
    QVERIFY(QFile::link(dir->path(), own.filePath("reports")));
    const QStringList before = entries(dir->path());
    for (const QString &folder : {dir->path(), own.filePath("reports")}) {
        const QString named = folder + '/' + Report;
        QVERIFY(!alice.callHelper({"readable", named}));
        QVERIFY(!alice.callHelper({"protect", named}, "password\n"));
        QVERIFY(!alice.callHelper({"split", named, "1"}));
        QVERIFY(!alice.callHelper({"delete", named, named + ".md5"}));
    }
    QCOMPARE(entries(dir->path()), before);
    QCOMPARE(contents(report), QByteArray("root's"));
    QCOMPARE(modeOf(report), mode_t(0600));
    QVERIFY(!hasAccessList(report));
}

void TestHelperReportFiles::readAccessIsTheCallersAlone()
{
    if (geteuid() != 0)
        QSKIP("Playing two more local users needs root.");
    LocalUser alice("kro-files-alice"), mallory("kro-files-mallory");
    standIn("SetAllowedForUser", {alice.uid, AllActions});
    standIn("SetAllowedForUser", {mallory.uid, AllActions});
    QTemporaryDir own(QDir::tempPath() + "/kro-files-XXXXXX");
    const QString report = makeOwnedFolder(own, alice.uid) + '/' + Report;
    writeFile(report, "root's report", 0600);
    QVERIFY(!alice.reads(report));
    QVERIFY(alice.callHelper({"readable", report}));
    QVERIFY(alice.reads(report));
    QVERIFY(!mallory.reads(report));
    QCOMPARE(modeOf(report) & 07, mode_t(0));
    // Alice's folder is no report folder of Mallory's.
    QVERIFY(!mallory.callHelper({"readable", report}));
    QVERIFY(!mallory.reads(report));
    // What replaces the report keeps who may read it.
    QVERIFY(alice.callHelper({"protect", report}, "secret\n"));
    QVERIFY(alice.reads(report + ".cpt"));
    QVERIFY(!mallory.reads(report + ".cpt"));
    QCOMPARE(modeOf(report + ".cpt") & 077, mode_t(040));
}

void TestHelperReportFiles::privateMapStaysOnTheMachine_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("map") << "map";
    QTest::newRow("symbolic link named like a map") << "symlink";
    QTest::newRow("hard link named like a map") << "hardlink";
}

void TestHelperReportFiles::privateMapStaysOnTheMachine()
{
    QFETCH(QString, kind);
    const QString archive = dir->filePath("sosreport-host-obfuscated.tar.xz");
    const QString map = dir->filePath("sosreport-host-private_map");
    const QString real = dir->filePath("real");
    writeFile(real, "host -> host0", 0600);
    writeFile(archive, "report", 0600);
    writeFile(archive + ".md5", "sum", 0600);
    if (kind == "map")
        QVERIFY(QFile::rename(real, map));
    else if (kind == "symlink")
        QVERIFY(QFile::link(real, map));
    else
        QCOMPARE(::link(QFile::encodeName(real).constData(), QFile::encodeName(map)), 0);
    QVERIFY(!service->protectReport(map, "secret"));
    QCOMPARE(service->getDbusErrorAsInt(), int(HelperProtocol::FileRefused));
    QVERIFY(!service->makeReportReadable(map));
    QCOMPARE(service->getDbusErrorAsInt(), int(HelperProtocol::FileRefused));
    QVERIFY(!service->splitReport(map, 1));
    QVERIFY2(messages->at(0).at(1).toString().contains("private map"),
             qPrintable(messages->at(0).at(1).toString()));
    QVERIFY(!QFile::exists(map + ".cpt"));
    QVERIFY(!hasAccessList(QFileInfo(map).canonicalFilePath()));
    QCOMPARE(contents(map), QByteArray("host -> host0"));
    // Deleting the report takes its map along.
    if (kind == "map") {
        QVERIFY(service->deleteReports({archive, archive + ".md5", map}));
        QCOMPARE(entries(dir->path()), QStringList());
    }
}

void TestHelperReportFiles::protectedCopyAppearsWhenComplete()
{
    const QString report = dir->filePath(Report), hold = dir->filePath(".hold");
    const QByteArray data(1 << 20, 'r');
    writeFile(report, data, 0600);
    writeFile(hold, {}, 0600);
    const QString key = "hold:" + hold;
    QDBusPendingCallWatcher protecting(QDBusConnection::systemBus().asyncCall(
        helperCall(HelperProtocol::ProtectMethod, {report, key.toUtf8()}), 120000));
    QTRY_VERIFY_WITH_TIMEOUT(QProcess::execute("pgrep", {"-f", "slowstandins/ccrypt -e -k"}) == 0,
                             30000);
    // ccrypt is at work: its output has no name yet.
    QCOMPARE(entries(dir->path()), (QStringList{".hold", Report}));
    QFile::remove(hold);
    // Whenever the copy has its name it is whole: the report's size and ccrypt's 32 bytes.
    while (!protecting.isFinished()) {
        const QFileInfo copy(report + ".cpt");
        if (copy.exists())
            QCOMPARE(copy.size(), qint64(data.size() + 32));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QVERIFY2(!protecting.isError(), qPrintable(protecting.error().message()));
    QCOMPARE(entries(dir->path()), QStringList{Report + ".cpt"});
    QProcess decrypt;
    decrypt.start("ccrypt", {"-c", "-K", key, report + ".cpt"});
    QVERIFY(decrypt.waitForFinished());
    QVERIFY(decrypt.readAllStandardOutput() == data);
}

void TestHelperReportFiles::killsLeaveNothingOfRoots_data()
{
    QTest::addColumn<QString>("method");
    QTest::newRow("Split") << HelperProtocol::SplitMethod;
    QTest::newRow("Protect") << HelperProtocol::ProtectMethod;
}

// The helper killed at a random instant of the work: its programs end with it, and the next
// start removes its work folders; no unfinished protected copy is ever there.
void TestHelperReportFiles::killsLeaveNothingOfRoots()
{
    QFETCH(QString, method);
    const int kills = 40, size = 8 << 20;
    const QString report = dir->filePath(Report);
    int midProgram = 0;
    for (int round = 0; round < kills; ++round) {
        QCOMPARE(service->execSmthWithArgs("true", {}), 0); // a new helper is up
        // The work either ended (volumes or a protected copy alone) or did not (the report alone).
        const QStringList left = entries(dir->path());
        QVERIFY2(!left.contains(Report) ||
                     left.filter(QRegularExpression("\\.(z(ip|[0-9]+)|cpt)$")).isEmpty(),
                 qPrintable(left.join(' ')));
        for (const QString &name : left) {
            QVERIFY2(!name.startsWith(".kro-"), qPrintable(name));
            if (name.endsWith(".cpt"))
                QCOMPARE(QFileInfo(dir->filePath(name)).size(), qint64(size + 32));
            QFile::remove(dir->filePath(name));
        }
        QByteArray data(size, '\0');
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(data.data()), size / 4);
        writeFile(report, data, 0600);
        const uint pid =
            QDBusConnection::systemBus().interface()->servicePid(HelperProtocol::Service).value();
        const QVariantList arguments = method == HelperProtocol::SplitMethod
                                           ? QVariantList{report, 1}
                                           : QVariantList{report, QByteArray("secret")};
        QDBusPendingCallWatcher working(
            QDBusConnection::systemBus().asyncCall(helperCall(method, arguments)));
        QThread::usleep(QRandomGenerator::global()->bounded(60000));
        // Stopped, a program cannot end by itself: only dying with the helper ends it.
        const StoppedPrograms programs(programsOf(pid));
        ::kill(pid_t(pid), SIGKILL);
        midProgram += programs.pids.isEmpty() ? 0 : 1;
        QTRY_VERIFY_WITH_TIMEOUT(working.isFinished(), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(
            !QDBusConnection::systemBus().interface()->isServiceRegistered(HelperProtocol::Service),
            60000);
        for (const QString &program : programs.pids)
            QTRY_VERIFY_WITH_TIMEOUT(!isAlive(program), 60000);
    }
    qInfo("%d kills, %d while %s's program ran", kills, midProgram, qPrintable(method));
}

KRO_TEST_MAIN(TestHelperReportFiles)
#include "tst_helperreportfiles.moc"
