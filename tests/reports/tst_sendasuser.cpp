// SPDX-License-Identifier: GPL-2.0-or-later
// Sending a report of root's from the window of an ordinary user: after the question, the helper
// lets that user read it and nobody else. Started as root, the test makes a local user, a folder
// of that user's with a report of root's in it, runs itself as that user, and then tries to read
// the report as a second user.
#include "constants.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Sender = QStringLiteral("kro-sender");
const char *const ReportVariable = "KRO_SENT_REPORT";

bool runAs(const QString &user, const QStringList &command)
{
    return QProcess::execute(QStringLiteral("runuser"),
                             QStringList{QStringLiteral("-u"), user, QStringLiteral("--")} +
                                 command) == 0;
}

// The test program is copied beside the report: the build tree may be closed to other users.
int runAsSender(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QProcess::execute("useradd", {"--system", "--no-create-home", Sender});
    const passwd *sender = ::getpwnam(Sender.toLocal8Bit().constData());
    QTemporaryDir dir(QStringLiteral("/tmp/kro-send-XXXXXX"));
    const QString report = dir.filePath(QStringLiteral("sosreport-host-1.zip"));
    const QString program = dir.filePath(QStringLiteral("tst_sendasuser"));
    QFile file(report);
    QFile volume(dir.filePath(QStringLiteral("sosreport-host-1.z01")));
    if (!sender || !file.open(QIODevice::WriteOnly) || file.write("report") != 6 || !file.flush() ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        !volume.open(QIODevice::WriteOnly) ||
        !volume.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        !QFile::copy(QStringLiteral("/proc/self/exe"), program) ||
        ::chown(QFile::encodeName(dir.path()).constData(), sender->pw_uid, sender->pw_gid) != 0 ||
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755) != 0) {
        qCritical("FAIL!  : cannot prepare the sender's report folder");
        return 1;
    }
    qputenv(ReportVariable, QFile::encodeName(report));
    // The sender's runtime folder lies in the test's folder too, so nothing stays in /tmp.
    const QString runtime = dir.filePath(QStringLiteral("runtime"));
    if (!QDir().mkdir(runtime) ||
        ::chown(QFile::encodeName(runtime).constData(), sender->pw_uid, sender->pw_gid) != 0 ||
        ::chmod(QFile::encodeName(runtime).constData(), 0700) != 0) {
        qCritical("FAIL!  : cannot prepare the sender's runtime folder");
        return 1;
    }
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    const bool passed = runAs(Sender, QStringList{program} + app.arguments().mid(1));
    const bool othersRead = runAs(QStringLiteral("nobody"), {"test", "-r", report}) ||
                            runAs(QStringLiteral("nobody"), {"test", "-r", volume.fileName()});
    if (othersRead)
        qCritical("FAIL!  : another user can read the report sent by %s", qPrintable(Sender));
    QProcess::execute("userdel", {"--force", Sender});
    return passed && !othersRead ? 0 : 1;
}

} // namespace

class TestSendAsUser : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheSenderIsLetIn();
};

void TestSendAsUser::onlyTheSenderIsLetIn()
{
    const QString report = QFile::decodeName(qgetenv(ReportVariable));
    if (report.isEmpty())
        QSKIP("Only root can make a report of root's for a local user.");
    // A report in volumes: every volume is let in.
    const QStringList files{report, QString(report).replace(".zip", ".z01")};
    QVERIFY(::access(QFile::encodeName(report).constData(), R_OK) != 0);
    MainWindow window;
    bool readable = false;
    auto done = [&readable] {
        readable = true;
    };

    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Cancel);
    MainWindowAccess::makeReadable(window, files, done);
    QVERIFY(dialogs.waitForAll());
    const KroTest::DialogRecord question = dialogs.last();
    QCOMPARE(question.windowTitle, QStringLiteral("Attention!"));
    QCOMPARE(question.text, QStringLiteral("You will be given permission to read the report file, "
                                           "so that your mail program or the upload can read it. "
                                           "Other users still cannot read it."));
    QCOMPARE(question.checkBoxText, QStringLiteral("Don't show this message again"));
    QCOMPARE(question.defaultButton, QStringLiteral("Cancel"));
    QVERIFY(!readable);
    QVERIFY(!QSettings().value(Kro::PermAskAgainKey).toBool());

    dialogs.expectMessageBox(QMessageBox::Yes);
    MainWindowAccess::makeReadable(window, files, done);
    QVERIFY(dialogs.waitForAll());
    QTRY_VERIFY_WITH_TIMEOUT(readable, 20000);
    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("report"));
    QVERIFY(!QFile::permissions(report).testFlag(QFileDevice::ReadOther));
    QVERIFY(::access(QFile::encodeName(files.last()).constData(), R_OK) == 0);
}

int main(int argc, char *argv[])
{
    if (::geteuid() == 0)
        return runAsSender(argc, argv);
    KroTest::isolateEnvironment();
    QApplication app(argc, argv);
    KroTest::seedSettings();
    TestSendAsUser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sendasuser.moc"
