// SPDX-License-Identifier: GPL-2.0-or-later
// Drives the real helper through the client over a private bus whose polkit is a mock: what
// runs, what is refused, what reaches the caller, and how files are moved into place.
#include "dbusservice.h"
#include "helperprotocol.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList AllActions = {KRO_REPORT_ACTION, KRO_CONFIGURE_ACTION};

void setPolkitAllowed(const QStringList &actions)
{
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.PolicyKit1",
                                                       "/org/freedesktop/PolicyKit1/Authority",
                                                       "org.freedesktop.DBus.Mock", "SetAllowed");
    call << actions;
    const QDBusMessage answer = QDBusConnection::systemBus().call(call);
    QVERIFY2(answer.type() == QDBusMessage::ReplyMessage, qPrintable(answer.errorMessage()));
}

QString polkitCalls()
{
    QProcess gdbus;
    gdbus.start("gdbus", {"call", "--system", "-d", "org.freedesktop.PolicyKit1", "-o",
                          "/org/freedesktop/PolicyKit1/Authority", "-m",
                          "org.freedesktop.DBus.Mock.GetCalls"});
    gdbus.waitForFinished();
    return QString::fromUtf8(gdbus.readAllStandardOutput());
}

// Whether a process whose command line ends with text is running.
bool isRunning(const QString &text)
{
    QProcess pgrep;
    pgrep.start("pgrep", {"-f", "-x", ".*" + QRegularExpression::escape(text)});
    pgrep.waitForFinished();
    return pgrep.exitStatus() == QProcess::NormalExit && pgrep.exitCode() == 0;
}

void writeFile(const QString &path, const QByteArray &contents, mode_t mode)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
    file.close();
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

struct stat statOf(const QString &path)
{
    struct stat info
    {
    };
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

} // namespace

class TestPrivilegedHelper : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void runsProgramWithArgumentsAndInput();
    void programsGetAFixedEnvironment();
    void asksPolkitForTheCallersBusName();
    void refusalRunsNothing();
    void failures_data();
    void failures();
    void servesTwoCallersAtOnce();
    void moveKeepsOwnerAndModeOfReplacedFile_data();
    void moveKeepsOwnerAndModeOfReplacedFile();
    void moveToNewFileDropsWriteForOthers();
    void moveRefusals_data();
    void moveRefusals();
    void deletesAReportSetInOneFolderOnly();

private:
    KroAdmin::DbusService *service = nullptr;
    QSignalSpy *messages = nullptr;
    QSignalSpy *outputs = nullptr;
    QTemporaryDir *dir = nullptr;
};

void TestPrivilegedHelper::init()
{
    service = new KroAdmin::DbusService(this);
    messages = new QSignalSpy(service, &KroAdmin::DbusService::showMessage);
    outputs = new QSignalSpy(service, &KroAdmin::DbusService::processOutput);
    dir = new QTemporaryDir(KroTest::homePath() + "/move-XXXXXX");
    QVERIFY(dir->isValid());
}

void TestPrivilegedHelper::cleanup()
{
    setPolkitAllowed(AllActions);
    delete messages;
    delete outputs;
    delete dir;
    delete service;
}

void TestPrivilegedHelper::runsProgramWithArgumentsAndInput()
{
    const QStringList arguments = {"a b", "$HOME", ";echo injected", "--key=x"};
    QCOMPARE(service->execSmthWithArgs("kro-report-args", arguments, "secret\n"), 0);
    QCOMPARE(messages->count(), 0);
    QCOMPARE(outputs->count(), 1);
    QCOMPARE(outputs->at(0).at(0).toString(),
             "a b\n$HOME\n;echo injected\n--key=x\ninput:secret\n");
    QCOMPARE(service->getDbusErrorAsInt(), int(HelperProtocol::Success));
}

void TestPrivilegedHelper::programsGetAFixedEnvironment()
{
    qputenv("KRO_CALLER_ONLY", "1");
    QCOMPARE(service->execSmthWithArgs("/usr/bin/env", {}), 0);
    const QString environment = outputs->at(0).at(0).toString();
    QVERIFY(environment.contains("\nPATH=") || environment.startsWith("PATH="));
    QVERIFY(!environment.contains("KRO_CALLER_ONLY"));
    QVERIFY(!environment.contains("HOME="));
}

void TestPrivilegedHelper::asksPolkitForTheCallersBusName()
{
    QCOMPARE(service->execSmthWithArgs("true", {}), 0);
    const QString subject = QStringLiteral("('system-bus-name', {'name': <'%1'>})")
                                .arg(QDBusConnection::systemBus().baseService());
    const QString calls = polkitCalls();
    QVERIFY2(calls.contains(subject), qPrintable(calls));
    QVERIFY(calls.contains(QStringLiteral("<'%1'>").arg(KRO_CONFIGURE_ACTION)));
}

void TestPrivilegedHelper::refusalRunsNothing()
{
    setPolkitAllowed({});
    const QString marker = dir->filePath("ran");
    QVERIFY(service->execSmthWithArgs("touch", {marker}) != 0);
    QCOMPARE(service->getDbusErrorAsInt(), int(QDBusError::AccessDenied));
    QCOMPARE(messages->count(), 1);
    QCOMPARE(service->execSmthDetachedWithArgs("touch", {marker}), qint64(HelperProtocol::Failed));
    QCOMPARE(service->getDbusErrorAsInt(), int(QDBusError::AccessDenied));
    writeFile(dir->filePath("source"), "new", 0644);
    QVERIFY(!service->move(dir->filePath("source"), marker));
    QCOMPARE(service->getDbusErrorAsInt(), int(QDBusError::AccessDenied));
    QCOMPARE(messages->count(), 3);
    QCOMPARE(outputs->count(), 0);
    QVERIFY(!QFile::exists(marker));
}

void TestPrivilegedHelper::failures_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("exits 3") << "kro-fail" << 3 << int(HelperProtocol::Failed)
                             << "The program \"kro-fail\" exited with status 3.\n"
                                "complaint 3\ncomplaint 4\ncomplaint 5\ncomplaint 6\ncomplaint 7";
    QTest::newRow("missing") << "kro-no-such-program" << int(HelperProtocol::NotFound)
                             << int(HelperProtocol::NotFound)
                             << "The program \"kro-no-such-program\" was not found.";
    QTest::newRow("relative path")
        << "standins/kro-fail" << int(HelperProtocol::NotFound) << int(HelperProtocol::NotFound)
        << "The program \"standins/kro-fail\" was not found.";
    QTest::newRow("not executable")
        << "/etc/passwd" << int(HelperProtocol::NotFound) << int(HelperProtocol::NotFound)
        << "The program \"/etc/passwd\" was not found.";
}

void TestPrivilegedHelper::failures()
{
    QFETCH(QString, program);
    QFETCH(int, result);
    QFETCH(int, error);
    QFETCH(QString, text);
    QCOMPARE(service->execSmthWithArgs(program, {}), result);
    QCOMPARE(service->getDbusErrorAsInt(), error);
    QCOMPARE(outputs->count(), 0);
    QCOMPARE(messages->count(), 1);
    QCOMPARE(messages->at(0).at(0).toString(), QString("Error"));
    QCOMPARE(messages->at(0).at(1).toString(), text);
    QVERIFY(service->execSmthDetachedWithArgs(program + "-absent", {}) < 0);
    QCOMPARE(service->getDbusErrorAsInt(), int(HelperProtocol::NotFound));
}

void TestPrivilegedHelper::servesTwoCallersAtOnce()
{
    const QString marker = dir->filePath("go");
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SystemBus, "other");
    QDBusMessage call =
        QDBusMessage::createMethodCall(HelperProtocol::Service, HelperProtocol::ObjectPath,
                                       HelperProtocol::Service, HelperProtocol::ExecMethod);
    call << QString("kro-wait-for") << QStringList{marker} << QByteArray();
    QDBusPendingCallWatcher waiting(other.asyncCall(call, 2 * KroTest::WaitLimitMs));
    // The first caller's program ends only when the second caller's program has run.
    QTRY_VERIFY_WITH_TIMEOUT(isRunning(marker), KroTest::WaitLimitMs);
    QCOMPARE(service->execSmthWithArgs("touch", {marker}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(waiting.isFinished(), KroTest::WaitLimitMs);
    QVERIFY2(!waiting.isError(), qPrintable(waiting.error().message()));
    const QList<QVariant> reply = waiting.reply().arguments();
    QCOMPARE(reply.value(0).toInt(), 0);
    QCOMPARE(reply.value(1).toByteArray(), QByteArray("seen\n"));
    QDBusConnection::disconnectFromBus("other");
}

void TestPrivilegedHelper::moveKeepsOwnerAndModeOfReplacedFile_data()
{
    QTest::addColumn<uint>("owner");
    QTest::addColumn<uint>("mode");
    QTest::newRow("caller's 0600") << uint(geteuid()) << 0600u;
    QTest::newRow("caller's 0640") << uint(geteuid()) << 0640u;
    if (geteuid() == 0)
        QTest::newRow("another user's 0604") << 65534u << 0604u;
}

void TestPrivilegedHelper::moveKeepsOwnerAndModeOfReplacedFile()
{
    QFETCH(uint, owner);
    QFETCH(uint, mode);
    const QString source = dir->filePath("source"), target = dir->filePath("target");
    writeFile(source, "new", 0664);
    writeFile(target, "old", mode);
    QCOMPARE(::chown(QFile::encodeName(target).constData(), owner, owner), 0);
    QVERIFY(service->move(source, target));
    QCOMPARE(messages->count(), 0);
    QCOMPARE(contents(target), QByteArray("new"));
    QVERIFY(!QFile::exists(source));
    const struct stat info = statOf(target);
    QCOMPARE(uint(info.st_uid), owner);
    QCOMPARE(uint(info.st_gid), owner);
    QCOMPARE(uint(info.st_mode & 07777), mode);
    QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"target"});
}

void TestPrivilegedHelper::moveToNewFileDropsWriteForOthers()
{
    const QString source = dir->filePath("source"), target = dir->filePath("target");
    writeFile(source, "new", 04777);
    QVERIFY(service->move(source, target));
    const struct stat info = statOf(target);
    QCOMPARE(uint(info.st_mode & 07777), 0755u);
    QCOMPARE(uint(info.st_uid), uint(geteuid()));
    QCOMPARE(contents(target), QByteArray("new"));
}

void TestPrivilegedHelper::moveRefusals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("symbolic link") << "symlink"
                                   << "the source is a symbolic link";
    QTest::newRow("two names") << "hardlink"
                               << "the source has more than one name";
    QTest::newRow("folder") << "folder"
                            << "the source is not a regular file";
    QTest::newRow("same file") << "same"
                               << "the source and the destination are the same file";
    QTest::newRow("too large") << "large"
                               << "the source is larger than 16 MiB";
    QTest::newRow("folder as target") << "target-folder"
                                      << "the destination is not a regular file";
    if (geteuid() == 0)
        QTest::newRow("another user's") << "foreign"
                                        << "the source does not belong to the caller";
}

void TestPrivilegedHelper::moveRefusals()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString real = dir->filePath("real"), target = dir->filePath("target");
    QString source = dir->filePath("source");
    writeFile(real, "new", 0644);
    writeFile(target, "old", 0600);
    if (kind == "symlink")
        QVERIFY(QFile::link(real, source));
    else if (kind == "hardlink")
        QCOMPARE(::link(QFile::encodeName(real).constData(), QFile::encodeName(source)), 0);
    else if (kind == "folder")
        QVERIFY(QDir().mkdir(source));
    else if (kind == "same")
        source = target;
    else if (kind == "large")
        QCOMPARE(::truncate(QFile::encodeName(real).constData(), 16 * 1024 * 1024 + 1), 0);
    else if (kind == "target-folder")
        QVERIFY(QDir().mkdir(target + ".d"));
    else if (kind == "foreign")
        QCOMPARE(::chown(QFile::encodeName(real).constData(), 65534, 65534), 0);
    if (kind == "target-folder" || kind == "foreign" || kind == "large")
        source = real;
    const QString destination = kind == "target-folder" ? target + ".d" : target;
    QVERIFY(!service->move(source, destination));
    QCOMPARE(service->getDbusErrorAsInt(), int(HelperProtocol::MoveRefused));
    QCOMPARE(messages->count(), 1);
    QCOMPARE(messages->at(0).at(1).toString(),
             QStringLiteral("The file could not be moved: %1.").arg(reason));
    QCOMPARE(contents(target), QByteArray("old"));
    QCOMPARE(uint(statOf(target).st_mode & 07777), 0600u);
    QVERIFY(QFileInfo::exists(source) || QFileInfo(source).isSymLink());
}

// A report set is the archive with its volumes, checksums and protected forms, all in one folder.
void TestPrivilegedHelper::deletesAReportSetInOneFolderOnly()
{
    QDir(dir->path()).mkdir("other");
    const QString elsewhere = dir->filePath("other/sosreport-host.z02");
    writeFile(elsewhere, "volume", 0600);
    QStringList set;
    for (const char *name : {"sosreport-host.zip.cpt", "sosreport-host.z01.cpt",
                             "sosreport-host.zip.md5", "sosreport-host.zip.sha256"}) {
        set.append(dir->filePath(name));
        writeFile(set.last(), "part", 0600);
    }
    QVERIFY(!service->deleteReports(set + QStringList{elsewhere}));
    QCOMPARE(messages->last().at(1).toString(),
             "The report was not changed: the files of a report set must lie in one folder.");
    for (const QString &file : set + QStringList{elsewhere})
        QVERIFY2(QFile::exists(file), qPrintable(file));

    QVERIFY(service->deleteReports(set));
    QCOMPARE(service->getDbusErrorAsInt(), int(HelperProtocol::Success));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList());
    QVERIFY(QFile::exists(elsewhere));
}

KRO_TEST_MAIN(TestPrivilegedHelper)
#include "tst_privilegedhelper.moc"
