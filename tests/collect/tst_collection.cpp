// SPDX-License-Identifier: GPL-2.0-or-later
// Collecting from several machines through the window with the real collector (sos collect)
// against real sshd instances: each node listens on a loopback address of its own, in namespaces
// with its own host name and with sos writing into the node's folder (sshnode.sh). The nodes run
// the machine's real sos report (only the date plugin, so it takes seconds); one has no sos in
// its package database; one stands in a report that never ends, for Stop and the time-out. This
// machine's own report, when included, is the helper's, on the test's private bus. SSH writes
// known_hosts into the user's home read from the password database, not from HOME: the test, run as
// root, sees its private home there through a mount namespace of its own. Skipped where root, sshd
// or namespaces are missing.
#include "collectchoices.h"
#include "collectflow.h"
#include "collectprogressdialog.h"
#include "constants.h"
#include "dbusservice.h"
#include "helperprotocol.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "sshnodes.h"
#include "testenvironment.h"

#include <QAction>
#include <QDBusPendingReply>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

namespace {

const QString User = QStringLiteral("kro-collector");
const QString UserPassword = QStringLiteral("kro-collector-pw");
// Collections here take tens of seconds each on busy cores.
constexpr int CollectLimitMs = 240000;
bool privateSshHome = false;

bool run(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    return process.waitForFinished(KroTest::WaitLimitMs) &&
           process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QStringList archiveMembers(const QString &archive)
{
    QProcess tar;
    tar.start(QStringLiteral("tar"), {QStringLiteral("-tf"), archive});
    tar.waitForFinished(KroTest::WaitLimitMs);
    return QString::fromUtf8(tar.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class TestCollection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void collectsEachNodeAndNamesTheFailed();
    void namesTheTimedOutNode();
    void includesThisMachineThroughTheHelper();
    void asksTheSudoPassword();
    void stopLeavesNothingBehind();

private:
    // Collects with choices through the window's action; answers the dialogs that follow.
    void collect(MainWindow &window, const CollectChoices &choices,
                 const std::function<void(KroTest::ModalDialogHelper &)> &during);
    // Collects, answering the one box that tells the end; returns its text.
    QString collectEndBox(MainWindow &window, const CollectChoices &choices);

    QTemporaryDir dir{QStringLiteral("/tmp/kro-collect-XXXXXX")};
    std::unique_ptr<SshNodes> nodes;
    QString reports;
    bool userMade = false;
    QSignalSpy *ended = nullptr;
};

void TestCollection::initTestCase()
{
    if (!privateSshHome)
        QSKIP("Needs root, sshd and mount namespaces.");
    QVERIFY(dir.isValid());
    nodes = std::make_unique<SshNodes>(QStringLiteral(KRO_COLLECT_SCRIPTS "/sshnode.sh"),
                                       dir.path(), KroTest::homePath());
    QVERIFY(nodes->makeKeys());
    // A long folder, as under a home: the collector's SSH sockets must still fit in 108 bytes.
    reports = dir.filePath("reports-of-several-machines-in-a-rather-deep-folder");
    QSettings().setValue(Kro::ReportDirsKey, QStringList{reports});
    QVERIFY(nodes->start("node-a", 2));
    QVERIFY(nodes->start("node-b", 3));
    QVERIFY(nodes->start("node-c", 4, {}, {}, false));
    QVERIFY(nodes->start("node-d", 5, {}, nodes->otherKeys()));
    QVERIFY(nodes->start("node-h", 6,
                         {"--sosreport", QStringLiteral(KRO_COLLECT_SCRIPTS "/sosreport-hold")}));
    QVERIFY(nodes->start("node-m", 8, {"--no-sos"}));
}

void TestCollection::init()
{
    QDir(reports).removeRecursively();
    QVERIFY(QDir().mkpath(reports));
}

void TestCollection::cleanupTestCase()
{
    nodes.reset();
    if (userMade)
        run("userdel", {"--force", User});
}

void TestCollection::collect(MainWindow &window, const CollectChoices &choices,
                             const std::function<void(KroTest::ModalDialogHelper &)> &during)
{
    choices.save();
    MainWindowAccess::useReportDirs(window, {reports});
    delete ended;
    ended =
        new QSignalSpy(&MainWindowAccess::collectFlow(window)->collection(), &Collection::finished);
    KroTest::ModalDialogHelper dialogs;
    dialogs.expect([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->accept(); });
    during(dialogs);
    window.findChild<QAction *>(QStringLiteral("collectAction"))->trigger();
    QVERIFY(dialogs.waitForAll(CollectLimitMs));
    QTRY_COMPARE_WITH_TIMEOUT(ended->size(), 1, KroTest::WaitLimitMs);
    if (ended->first().at(0).value<Collection::Outcome>() == Collection::Outcome::Failed)
        qWarning("The collection failed: %s", qPrintable(ended->first().at(2).toString()));
}

QString TestCollection::collectEndBox(MainWindow &window, const CollectChoices &choices)
{
    QString endBox;
    collect(window, choices, [&endBox](KroTest::ModalDialogHelper &dialogs) {
        dialogs.expect([&endBox](QWidget *box) {
            endBox = qobject_cast<QMessageBox *>(box)->text();
            qobject_cast<QMessageBox *>(box)->accept();
        });
    });
    return endBox;
}

void TestCollection::collectsEachNodeAndNamesTheFailed()
{
    MainWindow window;
    CollectChoices choices;
    choices.hosts = QStringList{"node-a", "node-b", "node-c", "node-d", "node-m"};
    choices.caseId = QStringLiteral("4711");
    choices.plugins = QStringList{"date"};
    const QString endBox = collectEndBox(window, choices);
    QCOMPARE(ended->first().at(0).value<Collection::Outcome>(), Collection::Outcome::Succeeded);
    const QString archive = ended->first().at(1).toString();
    QCOMPARE(QFileInfo(archive).path(), reports);
    QVERIFY(QFileInfo(archive).fileName().startsWith("sosreport-collector-4711-"));
    QVERIFY(QFile::exists(archive + ".md5"));
    const QStringList members = archiveMembers(archive);
    QCOMPARE(members.filter(QRegularExpression("/sosreport-node-a-4711-.*\\.tar\\.xz$")).size(), 1);
    QCOMPARE(members.filter(QRegularExpression("/sosreport-node-b-4711-.*\\.tar\\.xz$")).size(), 1);
    QCOMPARE(members.filter(QRegularExpression("/sosreport-[^/]*\\.tar\\.xz$")).size(), 2);
    QCOMPARE(MainWindowAccess::currentReport(window), archive);
    const QString endText = ended->first().at(2).toString();
    QVERIFY2(endText.contains(archive) && endText.contains("md5"), qPrintable(endText));
    // The end box names each machine that failed and why.
    QVERIFY2(endBox.contains("node-c: unreachable") &&
                 endBox.contains("node-d: authentication refused") &&
                 endBox.contains("node-m: sos is not installed there") &&
                 !endBox.contains("node-a:"),
             qPrintable(endBox));

    const auto &rows = MainWindowAccess::collectFlow(window)->collection().output()->nodes();
    QCOMPARE(rows.at(0).state, CollectOutput::State::Done);
    QCOMPARE(rows.at(1).state, CollectOutput::State::Done);
    QCOMPARE(rows.at(2).failure, CollectOutput::Failure::Unreachable);
    QCOMPARE(rows.at(3).failure, CollectOutput::Failure::AuthenticationRefused);
    QCOMPARE(rows.at(4).failure, CollectOutput::Failure::SosMissing);
    // Nothing of the collector's is left: no work folder, no SSH connection.
    QCOMPARE(QDir(reports).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
             2);
    QTRY_VERIFY_WITH_TIMEOUT(SshNodes::processesNaming(".sos-collector-node-", true).isEmpty(),
                             KroTest::WaitLimitMs);
}

// A node whose report outlasts the time given fails as timed out; with no report at all the
// collection fails, naming it.
void TestCollection::namesTheTimedOutNode()
{
    MainWindow window;
    CollectChoices choices;
    choices.hosts = QStringList{"node-h"};
    choices.timeoutSeconds = 2;
    const QString endBox = collectEndBox(window, choices);
    QCOMPARE(ended->first().at(0).value<Collection::Outcome>(), Collection::Outcome::Failed);
    QVERIFY2(endBox.contains("node-h: timed out"), qPrintable(endBox));
    QCOMPARE(MainWindowAccess::collectFlow(window)->collection().output()->nodes().at(0).failure,
             CollectOutput::Failure::Timeout);
    QCOMPARE(QDir(reports).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

// This machine's report is made by the helper with the nodes' options, as an archive of its own
// beside the combined one; the table shows both.
void TestCollection::includesThisMachineThroughTheHelper()
{
    QVERIFY(KroTest::useSosReportFolder(reports));
    MainWindow window;
    CollectChoices choices;
    choices.hosts = QStringList{"node-a"};
    choices.includeThisMachine = true;
    choices.caseId = QStringLiteral("4712");
    choices.plugins = QStringList{"date"};
    collect(window, choices,
            [](KroTest::ModalDialogHelper &dialogs) { dialogs.expectMessageBox(QMessageBox::Ok); });
    QCOMPARE(ended->first().at(0).value<Collection::Outcome>(), Collection::Outcome::Succeeded);
    const QString combined = ended->first().at(1).toString();
    const QStringList members = archiveMembers(combined);
    QCOMPARE(members.filter(QRegularExpression("/sosreport-[^/]*\\.tar\\.xz$")).size(), 1);
    QCOMPARE(members.filter(QRegularExpression("/sosreport-node-a-4712-.*\\.tar\\.xz$")).size(), 1);

    auto *table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    const QRegularExpression local("/sosreport-(?!collector-|node-)[^/]+-4712-[^/]*\\.tar\\.xz$");
    QString own;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            for (int row = 0; row < table->rowCount() && own.isEmpty(); ++row)
                if (table->item(row, 0) && local.match(table->item(row, 0)->text()).hasMatch())
                    own = table->item(row, 0)->text();
            return !own.isEmpty() && window.isEnabled();
        }(),
        CollectLimitMs);
    QCOMPARE(QFileInfo(own).path(), reports);
    QCOMPARE(table->findItems(combined, Qt::MatchExactly).size(), 1);

    // The helper's record of its run names that archive and the plugin the nodes ran.
    QDBusPendingReply<QVariantMap> reply = KroAdmin::DbusService().queryReportRun();
    reply.waitForFinished();
    QVERIFY2(!reply.isError(), qPrintable(reply.error().message()));
    QCOMPARE(reply.value().value(HelperProtocol::ArchiveKey).toString(), own);
    QCOMPARE(reply.value().value(HelperProtocol::PluginKey).toString(), QStringLiteral("date"));
}

void TestCollection::asksTheSudoPassword()
{
    if (!QFile::exists(QStringLiteral("/usr/bin/sudo")))
        QSKIP("Needs sudo.");
    QVERIFY(run("useradd", {"--system", "--shell", "/bin/sh", "--home-dir", dir.filePath("home"),
                            "--create-home", User}));
    userMade = true;
    // sshd reads the authorized keys as the user.
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner | QFile::ExeGroup |
                                                  QFile::ExeOther));
    QVERIFY(run("chpasswd", {}, (User + ':' + UserPassword + '\n').toUtf8()));
    // The node's own sudo rules: the user becomes root with the user's password.
    const QString sudoers = dir.filePath("sudoers");
    QFile rules(sudoers);
    QVERIFY(rules.open(QIODevice::WriteOnly) &&
            rules.write((User + " ALL=(ALL:ALL) ALL\n").toUtf8()) > 0);
    rules.close();
    QVERIFY(rules.setPermissions(QFile::ReadOwner | QFile::ReadGroup));
    QVERIFY(nodes->start("node-s", 7, {"--sudoers", sudoers}));

    MainWindow window;
    CollectChoices choices;
    choices.hosts = QStringList{"node-s"};
    choices.sshUser = User;
    choices.sudoPassword = true;
    choices.plugins = QStringList{"date"};
    collect(window, choices, [](KroTest::ModalDialogHelper &dialogs) {
        dialogs.expectInputDialog(UserPassword);
        dialogs.expectMessageBox(QMessageBox::Ok);
    });
    QCOMPARE(ended->first().at(0).value<Collection::Outcome>(), Collection::Outcome::Succeeded);
    const QStringList members = archiveMembers(ended->first().at(1).toString());
    QCOMPARE(members.filter(QRegularExpression("/sosreport-node-s-.*\\.tar\\.xz$")).size(), 1);
    // The password went to the collector's terminal, never onto a command line.
    QVERIFY(SshNodes::processesNaming(UserPassword).isEmpty());
}

void TestCollection::stopLeavesNothingBehind()
{
    MainWindow window;
    CollectChoices choices;
    choices.hosts = QStringList{"node-a", "node-h"};
    choices.plugins = QStringList{"date"};
    const QString pidFile = nodes->nodeDir("node-h") + "/tmp/standin.pid";
    QFile::remove(pidFile);
    collect(window, choices, [this, &window, pidFile](KroTest::ModalDialogHelper &dialogs) {
        dialogs.expectMessageBox(QMessageBox::Yes);
        // Stop once node-h is collecting, asked in the progress dialog.
        auto *poll = new QTimer(&window);
        connect(poll, &QTimer::timeout, &window, [&window, poll, pidFile] {
            CollectFlow *flow = MainWindowAccess::collectFlow(window);
            if (!QFile::exists(pidFile) || !flow->collection().isRunning())
                return;
            poll->stop();
            flow->progressDialog()->findChild<QPushButton *>("stopButton")->click();
        });
        poll->start(100);
    });
    QCOMPARE(ended->first().at(0).value<Collection::Outcome>(), Collection::Outcome::Stopped);
    QCOMPARE(QDir(reports).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
    QTRY_VERIFY_WITH_TIMEOUT(SshNodes::processesNaming(".sos-collector-node-", true).isEmpty(),
                             KroTest::WaitLimitMs);
    // The node's report ends once its connection is gone.
    QFile file(pidFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const pid_t standIn = file.readAll().trimmed().toInt();
    QVERIFY(standIn > 0);
    QTRY_VERIFY_WITH_TIMEOUT(::kill(standIn, 0) != 0, KroTest::WaitLimitMs);
}

int main(int argc, char *argv[])
{
    const QString home = KroTest::isolateEnvironment();
    // Before any thread starts: a mount namespace is the whole process's only then.
    privateSshHome = SshNodes::usePrivateSshHome(home);
    QApplication app(argc, argv);
    KroTest::seedSettings();
    TestCollection test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_collection.moc"
