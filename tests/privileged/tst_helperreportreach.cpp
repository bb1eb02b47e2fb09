// SPDX-License-Identifier: GPL-2.0-or-later
// What the report permission reaches: the installed sos (here the stand-in) with the options the
// window offers, and nothing else. A program named like sos is not sos, sos's options that run or
// send what the caller chooses never pass, and the action asked for follows the program that
// would really run.
#include "dbusservice.h"
#include "helperprotocol.h"
#include "helpertesting.h"

#include <QDBusPendingReply>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace {

const QString Report = QStringLiteral(KRO_REPORT_ACTION);
const QString Configure = QStringLiteral(KRO_CONFIGURE_ACTION);

} // namespace

class TestHelperReportReach : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void programsNamedLikeSosRunNothing_data();
    void programsNamedLikeSosRunNothing();
    void theProgramChoosesTheAction();
    void dangerousOptionsRunNothing_data();
    void dangerousOptionsRunNothing();
    void everyOfferedOptionCollectsAReport();

private:
    QStringList files() const
    {
        return QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    KroAdmin::DbusService *service = nullptr;
    QTemporaryDir *dir = nullptr;
};

void TestHelperReportReach::init()
{
    service = new KroAdmin::DbusService(this);
    dir = new QTemporaryDir(KroTest::homePath() + "/reach-XXXXXX");
    QVERIFY(dir->isValid());
}

void TestHelperReportReach::cleanup()
{
    standIn("SetAllowed", {QStringList{Report, Configure}});
    delete dir;
    delete service;
}

void TestHelperReportReach::programsNamedLikeSosRunNothing_data()
{
    QTest::addColumn<QStringList>("allowed");
    QTest::addColumn<bool>("copy");
    for (const bool copy : {false, true}) {
        const char *kind = copy ? "a copy of sh" : "a link to sh";
        QTest::addRow("%s, reports allowed", kind) << QStringList{Report} << copy;
        QTest::addRow("%s, configuration allowed", kind) << QStringList{Configure} << copy;
        QTest::addRow("%s, both allowed", kind) << QStringList{Report, Configure} << copy;
    }
}

void TestHelperReportReach::programsNamedLikeSosRunNothing()
{
    QFETCH(QStringList, allowed);
    QFETCH(bool, copy);
    standIn("SetAllowed", {allowed});
    const QString fake = dir->filePath("sosreport"), marker = dir->filePath("ran");
    QVERIFY(copy ? QFile::copy("/bin/sh", fake) : QFile::link("/bin/sh", fake));
    QCOMPARE(::chmod(QFile::encodeName(fake).constData(), 0755), 0);
    const QStringList script{"-c", "id -u > " + marker};
    // Not the installed sos, so configuring is asked for, and then the program is not found.
    const int refusal =
        allowed.contains(Configure) ? int(HelperProtocol::NotFound) : int(QDBusError::AccessDenied);
    QCOMPARE(service->execSmthWithArgs(fake, script), refusal);
    QCOMPARE(service->execSmthDetachedWithArgs(fake, script), qint64(HelperProtocol::Failed));
    QCOMPARE(service->getDbusErrorAsInt(), allowed.contains(Report)
                                               ? int(HelperProtocol::NotFound)
                                               : int(QDBusError::AccessDenied));
    QVERIFY(!QFile::exists(marker));
}

// The program decides the action; a waiting call runs sos only to list its plugins, as a report
// is collected only as a followed run in a working folder of its own.
void TestHelperReportReach::theProgramChoosesTheAction()
{
    const QStringList list{"--list-plugins"};
    standIn("SetAllowed", {QStringList{Configure}});
    QCOMPARE(service->execSmthWithArgs("sosreport", list), int(QDBusError::AccessDenied));
    standIn("SetAllowed", {QStringList{Report}});
    QCOMPARE(service->execSmthWithArgs("touch", {dir->filePath("ran")}),
             int(QDBusError::AccessDenied));
    QCOMPARE(service->execSmthWithArgs("sosreport", list), 0);
    QCOMPARE(service->execSmthWithArgs("sosreport", {"--batch", "--tmp-dir", dir->path()}),
             int(HelperProtocol::ArgumentsRefused));
    QCOMPARE(files(), QStringList());
}

void TestHelperReportReach::dangerousOptionsRunNothing_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    const QString root = QDir::tempPath() + "/kro-root";
    QTest::newRow("another root, run in it")
        << "sosreport"
        << QStringList{"--batch", "--sysroot", root, "--chroot", "always", "-o", "date"};
    QTest::newRow("another root, short") << "sosreport" << QStringList{"-s", root};
    QTest::newRow("chroot") << "sosreport" << QStringList{"--chroot", "always"};
    QTest::newRow("upload") << "sosreport"
                            << QStringList{"--batch", "--upload", "--upload-url", "ftp://x"};
    QTest::newRow("configuration file") << "sosreport" << QStringList{"--config-file", root};
    QTest::newRow("debugging") << "sosreport" << QStringList{"--debug"};
    QTest::newRow("encryption") << "sosreport" << QStringList{"--encrypt-pass", "x"};
    QTest::newRow("unknown") << "sosreport" << QStringList{"--batch", "--verbose"};
    QTest::newRow("a value taken for an option")
        << "sosreport" << QStringList{"--label", "--sysroot=" + root};
    QTest::newRow("sos collect") << "sos" << QStringList{"collect", "--batch", "--nodes", "x"};
    QTest::newRow("sos report, another root")
        << "sos" << QStringList{"report", "--batch", "--sysroot", root};
}

void TestHelperReportReach::dangerousOptionsRunNothing()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    standIn("SetAllowed", {QStringList{Report}});
    arguments << "--tmp-dir" << dir->path();
    QCOMPARE(service->execSmthWithArgs(program, arguments), int(HelperProtocol::ArgumentsRefused));
    QCOMPARE(service->execSmthDetachedWithArgs(program, arguments), qint64(HelperProtocol::Failed));
    QCOMPARE(service->getDbusErrorAsInt(), int(HelperProtocol::ArgumentsRefused));
    QCOMPARE(files(), QStringList());
}

void TestHelperReportReach::everyOfferedOptionCollectsAReport()
{
    standIn("SetAllowed", {QStringList{Report}});
    QVERIFY(service->execSmthDetachedWithArgs("sosreport", offeredOptions(dir->path())) > 0);
    QTRY_VERIFY_WITH_TIMEOUT(!stateOf(*service).value(HelperProtocol::RunningKey, true).toBool(),
                             WaitLimitMs);
    const QVariantMap state = stateOf(*service);
    QCOMPARE(state.value(HelperProtocol::ExitStatusKey).toInt(), 0);
    QVERIFY(!state.value(HelperProtocol::ArchiveKey).toString().isEmpty());
    QCOMPARE(service->execSmthWithArgs("sosreport", {"-l", "--tmp-dir", dir->path()}), 0);
}

KRO_TEST_MAIN(TestHelperReportReach)
#include "tst_helperreportreach.moc"
