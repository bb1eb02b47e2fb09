// SPDX-License-Identifier: GPL-2.0-or-later
// Uploading from the window to real servers on 127.0.0.1: the action beside Send, the server an
// administrator set for every user, the question about a server never seen before, the end box
// naming what arrived where, Stop and the upload that goes on afterwards, a wrong password and a
// server whose disk is full in the user's words, and a web server that took the whole report
// again. The password is never stored. A report in volumes asks for read access once for all of
// them.
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"
#include "upload.h"
#include "uploadservers.h"
#include "uploadsettings.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>

namespace {

const QString ReportName = QStringLiteral("sosreport-host-2026-upload.tar.xz");

QString systemConfigDir()
{
    return KroTest::homePath() + QStringLiteral("/xdg-system");
}

} // namespace

class TestUploadWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void uploadIsOfferedBesideSend();
    void reportArrivesAtTheAdministratorsServer();
    void stoppedUploadGoesOnLater();
    void wrongPasswordIsSaidSo();
    void wholeReportAgainIsSaidSo();
    void fullServerIsSaidSo_data();
    void fullServerIsSaidSo();
    void splitReportAsksForReadAccessOnce();

private:
    void startOrSkip(UploadServers::Server server);
    void fillUploadDialog(const QString &password);
    QString boxText() const;
    QAction *uploadAction() const
    {
        return window->findChild<QAction *>(QStringLiteral("uploadAction"));
    }

    std::unique_ptr<UploadServers> servers;
    QString reports;
    QString report;
    std::unique_ptr<MainWindow> window;
    KroTest::ModalDialogHelper dialogs;
    QString offered;
};

void TestUploadWindow::initTestCase()
{
    reports = KroTest::homePath() + QStringLiteral("/reports");
    report = reports + '/' + ReportName;
    QVERIFY(QDir().mkpath(reports));
    QFile file(report);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(64 << 20));
    servers = std::make_unique<UploadServers>();
}

void TestUploadWindow::init()
{
    window = std::make_unique<MainWindow>();
    MainWindowAccess::useReportDirs(*window, {reports});
    dialogs.clear();
    QFile::remove(servers->stored(ReportName));
}

void TestUploadWindow::cleanup()
{
    window.reset();
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
}

void TestUploadWindow::startOrSkip(UploadServers::Server server)
{
    const QString why = servers->start(server);
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
}

void TestUploadWindow::uploadIsOfferedBesideSend()
{
    const auto *send = window->findChild<QAction *>(QStringLiteral("sendReportAction"));
    for (const char *bar : {"menuFirst_menu", "toolBar"}) {
        const QList<QAction *> actions = window->findChild<QWidget *>(bar)->actions();
        QCOMPARE(actions.indexOf(uploadAction()), actions.indexOf(const_cast<QAction *>(send)) + 1);
    }
    QVERIFY(uploadAction()->isEnabled());
    auto *table = window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    table->clearSelection();
    QVERIFY(!uploadAction()->isEnabled());
    table->selectRow(0);
    QVERIFY(uploadAction()->isEnabled());
}

// The server field offers what was set last, or the administrator's server; offered is what
// it showed.
void TestUploadWindow::fillUploadDialog(const QString &password)
{
    dialogs.expect([this, password](QWidget *dialog) {
        offered = dialog->findChild<QLineEdit *>(QStringLiteral("serverLE"))->text();
        dialog->findChild<QLineEdit *>(QStringLiteral("userLE"))->setText(servers->user());
        dialog->findChild<QLineEdit *>(QStringLiteral("passwordLE"))->setText(password);
        dialog->findChild<QLineEdit *>(QStringLiteral("caFileLE"))->setText(servers->caFile());
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
}

QString TestUploadWindow::boxText() const
{
    const KroTest::DialogRecord box = dialogs.last();
    return box.windowTitle + '\n' + box.text;
}

void TestUploadWindow::reportArrivesAtTheAdministratorsServer()
{
    startOrSkip(UploadServers::Sftp);
    const QString server = servers->folderUrl(UploadServers::Sftp);
    QSettings(QSettings::SystemScope, QCoreApplication::organizationName(),
              QCoreApplication::applicationName())
        .setValue(UploadSettings::ServerKey, server);
    fillUploadDialog(servers->password());
    dialogs.expectMessageBox(QMessageBox::Yes);
    dialogs.expectMessageBox(QMessageBox::Ok);
    uploadAction()->trigger();
    QVERIFY(dialogs.waitForAll(KroTest::WaitLimitMs));
    QCOMPARE(offered, server);
    const KroTest::DialogRecord question = dialogs.records().at(1);
    QVERIFY(uploadAction()->isEnabled());
    QCOMPARE(question.windowTitle, QStringLiteral("Unknown Server"));
    QVERIFY(question.text.contains(QStringLiteral("SHA256:")));
    QVERIFY2(boxText().startsWith(QStringLiteral("Report Uploaded\nThe report arrived on the "
                                                 "server:\n") +
                                  server + ReportName + QStringLiteral(" (64")),
             qPrintable(boxText()));
    QVERIFY(boxText().contains(QStringLiteral("SHA-256: ")));
    QCOMPARE(QFileInfo(servers->stored(ReportName)).size(), 64 << 20);

    // The administrator's server stays the administrator's; the password is nowhere.
    QSettings settings;
    settings.setFallbacksEnabled(false);
    QVERIFY(!settings.contains(UploadSettings::ServerKey));
    QCOMPARE(settings.value(UploadSettings::UserKey).toString(), servers->user());
    QFile stored(settings.fileName());
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QVERIFY(!stored.readAll().contains(servers->password().toUtf8()));
}

// Stop as soon as the upload begins, then upload again: FTP goes on from what the server has.
void TestUploadWindow::stoppedUploadGoesOnLater()
{
    startOrSkip(UploadServers::Ftp);
    const QString server = servers->folderUrl(UploadServers::Ftp);
    QSettings().setValue(UploadSettings::ServerKey, server);
    fillUploadDialog(servers->password());
    dialogs.expectMessageBox(QMessageBox::No);
    dialogs.expectMessageBox(QMessageBox::Ok);
    uploadAction()->trigger();
    auto *progress = window->findChild<QProgressDialog *>();
    QVERIFY(progress && progress->isVisible());
    QVERIFY(!uploadAction()->isEnabled());
    // Closing the window asks first: closing stops the upload.
    QVERIFY(!window->close());
    QCOMPARE(dialogs.last().text, QStringLiteral("A report is being uploaded. Stop the upload "
                                                 "and quit?"));
    progress->findChild<QPushButton *>()->click();
    QVERIFY(dialogs.waitForAll(KroTest::WaitLimitMs));
    QCOMPARE(offered, server);
    QCOMPARE(boxText(), QStringLiteral("Upload Stopped\nThe upload was stopped. Upload the report "
                                       "again to the same server to go on where it stopped."));

    fillUploadDialog(servers->password());
    dialogs.expectMessageBox(QMessageBox::Ok);
    uploadAction()->trigger();
    QVERIFY(dialogs.waitForAll(KroTest::WaitLimitMs));
    QCOMPARE(offered, server);
    QVERIFY2(boxText().startsWith(QStringLiteral("Report Uploaded")), qPrintable(boxText()));
    QCOMPARE(QFileInfo(servers->stored(ReportName)).size(), 64 << 20);
}

void TestUploadWindow::wrongPasswordIsSaidSo()
{
    startOrSkip(UploadServers::Https);
    const QString server = servers->folderUrl(UploadServers::Https);
    QSettings().setValue(UploadSettings::ServerKey, server);
    fillUploadDialog(servers->password() + 'x');
    dialogs.expectMessageBox(QMessageBox::Ok);
    uploadAction()->trigger();
    QVERIFY(dialogs.waitForAll(KroTest::WaitLimitMs));
    QCOMPARE(offered, server);
    QCOMPARE(boxText(), QStringLiteral("Upload Failed\n127.0.0.1 did not accept the user name or "
                                       "the password. Check both and upload again."));
    QVERIFY(!QFile::exists(servers->stored(ReportName)));
}

// Stopped, then uploaded again to a web server that has part of the report (as if it had kept
// what arrived) but does not take the rest: all of it goes again, and the end box says so.
void TestUploadWindow::wholeReportAgainIsSaidSo()
{
    startOrSkip(UploadServers::Https);
    QSettings().setValue(UploadSettings::ServerKey, servers->folderUrl(UploadServers::Https));
    fillUploadDialog(servers->password());
    dialogs.expectMessageBox(QMessageBox::Ok);
    uploadAction()->trigger();
    window->findChild<QProgressDialog *>()->findChild<QPushButton *>()->click();
    QVERIFY(dialogs.waitForAll(KroTest::WaitLimitMs));
    QCOMPARE(boxText(), QStringLiteral("Upload Stopped\nThe upload was stopped. Uploading it "
                                       "again starts from the beginning."));
    QFile part(servers->stored(ReportName));
    QVERIFY(part.open(QIODevice::WriteOnly) && part.resize(1 << 20));
    part.close();

    fillUploadDialog(servers->password());
    dialogs.expectMessageBox(QMessageBox::Ok);
    uploadAction()->trigger();
    QVERIFY(dialogs.waitForAll(KroTest::WaitLimitMs));
    QVERIFY2(boxText().startsWith(QStringLiteral("Report Uploaded")) &&
                 boxText().contains(QStringLiteral(
                     "\nThe server had part of it but does not take the rest of a file, so all "
                     "of it was sent again.")),
             qPrintable(boxText()));
    QCOMPARE(QFileInfo(servers->stored(ReportName)).size(), 64 << 20);
}

void TestUploadWindow::fullServerIsSaidSo_data()
{
    QTest::addColumn<int>("server");
    QTest::addColumn<QString>("text");
    const QString fault = QStringLiteral(
        "127.0.0.1 could not store the report: it failed on its side, most often because its "
        "disk is full. Ask the server's administrator to check its free space, then upload "
        "again.");
    const QString goOn = QStringLiteral(" Upload the report again to the same server to go on "
                                        "where it stopped.");
    QTest::newRow("https PUT") << int(UploadServers::Https) << fault;
    QTest::newRow("sftp") << int(UploadServers::Sftp)
                          << QStringLiteral("127.0.0.1 has no room left for the report. Ask the "
                                            "server's administrator to free some space, then "
                                            "upload again.") +
                                 goOn;
    QTest::newRow("ftp") << int(UploadServers::Ftp) << fault + goOn;
}

// The server's upload folder holds 1 MiB of the report's 64: one box, and it is no success.
void TestUploadWindow::fullServerIsSaidSo()
{
    QFETCH(int, server);
    QFETCH(QString, text);
    startOrSkip(UploadServers::Server(server));
    if (server == UploadServers::Sftp)
        QVERIFY(servers->trustSftpKey(QDir::homePath() + QStringLiteral("/.ssh/known_hosts")));
    const QString why = servers->limitRoom(1 << 20);
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    QSettings().setValue(UploadSettings::ServerKey,
                         servers->folderUrl(UploadServers::Server(server)));
    fillUploadDialog(servers->password());
    dialogs.expectMessageBox(QMessageBox::Ok);
    uploadAction()->trigger();
    const bool answered = dialogs.waitForAll(KroTest::WaitLimitMs);
    servers->freeRoom();
    QVERIFY(answered);
    QCOMPARE(dialogs.records().size(), 2);
    QCOMPARE(boxText(), QStringLiteral("Upload Failed\n") + text);
    QVERIFY(uploadAction()->isEnabled());
}

// Declining the one question leaves nothing under way.
void TestUploadWindow::splitReportAsksForReadAccessOnce()
{
    // Beside the window's reports, not among them.
    const QString folder = KroTest::homePath() + QStringLiteral("/split");
    QVERIFY(QDir().mkpath(folder));
    const QString archive = folder + QStringLiteral("/sosreport-host-2026-split.zip");
    QMultiMap<QString, QString> volumeParts;
    for (const QString &file : {archive, folder + QStringLiteral("/sosreport-host-2026-split.z02"),
                                folder + QStringLiteral("/sosreport-host-2026-split.z01")}) {
        QFile part(file);
        QVERIFY(part.open(QIODevice::WriteOnly) && part.write("part") == 4);
        if (file != archive)
            volumeParts.insert(archive, file);
    }
    QWidget owner;
    QList<QStringList> asked;
    Upload upload(
        &owner, volumeParts,
        [&asked](const QStringList &files, const std::function<void()> &) { asked.append(files); },
        [] { return QString(); });
    QSettings().setValue(UploadSettings::ServerKey, QStringLiteral("sftp://127.0.0.1:1/in/"));
    fillUploadDialog(QStringLiteral("secret"));
    upload.start(archive);
    QVERIFY(dialogs.waitForAll());
    const QStringList all{archive, folder + QStringLiteral("/sosreport-host-2026-split.z01"),
                          folder + QStringLiteral("/sosreport-host-2026-split.z02")};
    QCOMPARE(asked, QList<QStringList>{all});
    QVERIFY(!upload.isRunning());
}

// The system's settings are read from a folder of the test's, never from /etc/xdg.
int main(int argc, char *argv[])
{
    KroTest::isolateEnvironment();
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(systemConfigDir()));
    QApplication app(argc, argv);
    KroTest::seedSettings();
    TestUploadWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_uploadwindow.moc"
