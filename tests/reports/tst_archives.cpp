// SPDX-License-Identifier: GPL-2.0-or-later
// Protecting archives with the real ccrypt and opening them up with the real chmod, both through
// the helper on a private bus, and handing them to the user's mail program: stand-ins found
// through a private XDG tree and PATH, reached directly or through the real xdg-email.
#include "constants.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "reportfolder.h"
#include "testenvironment.h"

#include <QAbstractButton>
#include <QAction>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <functional>
#include <memory>

// How a report reaches a mail program that reads its attachments as a list.
QString fileUrl(const QString &path)
{
    return "file://" + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
}

// Receives the mail links the window opens.
class MailLinkRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class TestArchives : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void protectsMultiVolumeArchiveAsWhole();
    void cancelledPasswordChangesNothing();
    void readableReportIsSentAsItIs();
    void composesWithAttachment_data();
    void composesWithAttachment();
    void attachesEveryVolumeInOrder();
    void quoteInNameIsEncoded();
    void otherMailProgramAttachesThroughXdgEmail();
    void noMailProgramSaysWhereTheReportIs();
    void withoutXdgEmailTheBoxSaysSo();
    void deselectedRowIsNotSent();
    void deletesReportSetThroughHelper();
    void plantedLinkKeepsWholeSet();

private:
    std::function<void(QWidget *)> passwordAnswer(const QString &password,
                                                  const QString &confirmation, bool accept = true);
    void deleteCurrent(const QList<QMessageBox::StandardButton> &answers);
    QString makeReport(const QString &name, const QByteArray &content = "report")
    {
        return dir->make(name, content);
    }
    void setMailPrograms(const QString &defaultId, bool registerThunderbird);
    QStringList mailProgramArguments(const QString &program) const;
    QStringList thunderbirdArguments() const { return mailProgramArguments("thunderbird"); }
    QTableWidget *table()
    {
        return window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    }
    void select(const QString &path) { dir->select(*window, path); }

    QTemporaryDir xdg;
    std::unique_ptr<ReportFolder> dir;
    std::unique_ptr<MainWindow> window;
    MailLinkRecorder links;
    QList<KroTest::DialogRecord> lastDialogs;
    bool okOfferedRight = true;
};

void TestArchives::initTestCase()
{
    // Mail programs come only from this tree and this PATH.
    KroTest::useDesktopTree(xdg.path());
    qputenv("PATH", QFile::encodeName(xdg.filePath(QStringLiteral("bin"))) + ':' + qgetenv("PATH"));
    for (const char *program : {"thunderbird", "evolution", "othermail"}) {
        QFile script(xdg.filePath(QStringLiteral("bin/") + QLatin1String(program)));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$0.arguments\"\n");
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &links, "open");
    // xdg-email hands a message to the mail program only where there is a display.
    qputenv("DISPLAY", ":none");
}

void TestArchives::init()
{
    okOfferedRight = true;
    QSettings().remove(Kro::PermAskAgainKey);
    dir = std::make_unique<ReportFolder>();
    window = std::make_unique<MainWindow>();
    MainWindowAccess::useReportDirs(*window, QStringList{dir->path()});
    for (const char *program : {"thunderbird", "evolution", "othermail"})
        QFile::remove(xdg.filePath("bin/" + QLatin1String(program) + ".arguments"));
    links.urls.clear();
}

void TestArchives::cleanup()
{
    window.reset();
    dir.reset();
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
}

void TestArchives::setMailPrograms(const QString &defaultId, bool registerThunderbird)
{
    const QString apps = xdg.filePath(QStringLiteral("data/applications/"));
    for (const QString &name : {QStringLiteral("Thunderbird"), QStringLiteral("Evolution"),
                                QStringLiteral("Othermail")}) {
        QFile entry(apps + name.toLower() + QStringLiteral(".desktop"));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        const bool registered = name != QLatin1String("Thunderbird") || registerThunderbird;
        entry.write(
            QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2 %u\n%3")
                .arg(name, name.toLower(),
                     registered ? QStringLiteral("MimeType=x-scheme-handler/mailto;\n") : QString())
                .toUtf8());
    }
    QFile list(xdg.filePath(QStringLiteral("config/mimeapps.list")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("[Default Applications]\nx-scheme-handler/mailto=" + defaultId.toUtf8() + "\n");
}

QStringList TestArchives::mailProgramArguments(const QString &program) const
{
    QFile file(xdg.filePath("bin/" + program + ".arguments"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void TestArchives::protectsMultiVolumeArchiveAsWhole()
{
    const QString main = makeReport(QStringLiteral("sosreport-h.zip"), "main part");
    makeReport(QStringLiteral("sosreport-h.z01"), "first volume");
    makeReport(QStringLiteral("sosreport-h.z02"), "second volume");
    select(main);

    KroTest::ModalDialogHelper dialogs;
    dialogs.expect(passwordAnswer(QStringLiteral("pa ss\u00e9"), QStringLiteral("pa ss\u00e9")));
    dialogs.expectMessageBox(QMessageBox::Ok);
    QMetaObject::invokeMethod(window.get(), "encryptCurrentReport");
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(dialogs.records().first().windowTitle, QStringLiteral("Password setting"));
    QCOMPARE(dialogs.last().text,
             QStringLiteral("The archive is protected with the password. It is now:\n") + main +
                 QStringLiteral(".cpt"));

    QTRY_COMPARE(table()->item(0, 0)->text(), main + QStringLiteral(".cpt"));
    QCOMPARE(table()->rowCount(), 1);
    QVERIFY(!window->findChild<QAction *>(QStringLiteral("setPasswordAction"))->isEnabled());
    QCOMPARE(
        MainWindowAccess::volumeParts(*window).values(main + QStringLiteral(".cpt")),
        (QStringList{dir->filePath("sosreport-h.z02.cpt"), dir->filePath("sosreport-h.z01.cpt")}));
    for (const char *plain : {"sosreport-h.zip", "sosreport-h.z01", "sosreport-h.z02"})
        QVERIFY(!QFile::exists(dir->filePath(QLatin1String(plain))));

    QProcess decrypt;
    decrypt.start(QStringLiteral("ccrypt"), QStringList{"-d", "-c", "-k", "-", main + ".cpt"});
    decrypt.write(QStringLiteral("pa ss\u00e9\n").toUtf8());
    decrypt.closeWriteChannel();
    QVERIFY(decrypt.waitForFinished());
    QCOMPARE(decrypt.exitCode(), 0);
    QCOMPARE(decrypt.readAllStandardOutput(), QByteArray("main part"));
}

void TestArchives::cancelledPasswordChangesNothing()
{
    const QString report = makeReport(QStringLiteral("sosreport-a.tar.xz"));
    select(report);
    KroTest::ModalDialogHelper dialogs;
    dialogs.expect(passwordAnswer(QString(), QString(), false));
    // Two entries that differ, or an empty one, leave nothing to confirm.
    dialogs.expect(passwordAnswer("secret", "secreT", false));
    dialogs.expect(passwordAnswer(QString(), QString(), false));
    for (int attempt = 0; attempt < 3; ++attempt)
        QMetaObject::invokeMethod(window.get(), "encryptCurrentReport");
    QVERIFY(dialogs.waitForAll());
    QVERIFY(okOfferedRight);
    QVERIFY(QFile::exists(report));
    QVERIFY(!QFile::exists(report + QStringLiteral(".cpt")));
}

// The mail program runs as the user: a report the user can read already goes out without a
// question, and nobody else is given anything.
void TestArchives::readableReportIsSentAsItIs()
{
    const QString report = makeReport(QStringLiteral("sosreport-a.tar.xz"));
    bool readable = false;
    MainWindowAccess::makeReadable(*window, {report}, [&readable] { readable = true; });
    QVERIFY(readable);
    QCOMPARE(QFile::permissions(report) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
             QFileDevice::Permissions());
    QVERIFY(!MainWindowAccess::permAskAgain(*window));
}

void TestArchives::composesWithAttachment_data()
{
    QTest::addColumn<QString>("defaultId");
    QTest::newRow("thunderbird is the default") << "thunderbird.desktop";
    QTest::newRow("thunderbird only registered") << "evolution.desktop";
}

// The user's default gets the message, with the report attached in its own way.
void TestArchives::composesWithAttachment()
{
    QFETCH(QString, defaultId);
    setMailPrograms(defaultId, true);
    const QString report = makeReport(QStringLiteral("sosreport-a, b.tar.xz"));
    select(report);

    QMetaObject::invokeMethod(window.get(), "mailto");
    if (defaultId == QLatin1String("evolution.desktop")) {
        QTRY_COMPARE(mailProgramArguments("evolution").size(), 1);
        QCOMPARE(QUrl::fromPercentEncoding(mailProgramArguments("evolution").first().toUtf8()),
                 "mailto:" KRO_MAINTAINERS_ADDRESS "?subject=sos report&body=report in attachment"
                 "&attach=" +
                     report);
        QVERIFY(thunderbirdArguments().isEmpty());
    } else {
        QTRY_COMPARE(
            thunderbirdArguments(),
            (QStringList{QStringLiteral("-compose"),
                         QStringLiteral("to='" KRO_MAINTAINERS_ADDRESS "',subject='sos report',"
                                        "body='report in attachment',attachment='") +
                             fileUrl(report) + QLatin1Char('\'')}));
    }
    QVERIFY(!QFile::permissions(report).testFlag(QFileDevice::ReadOther));
    QVERIFY(links.urls.isEmpty());
}

// Every volume goes with the report, in the order of its number, without a question.
void TestArchives::attachesEveryVolumeInOrder()
{
    setMailPrograms(QStringLiteral("thunderbird.desktop"), true);
    const QString main = makeReport(QStringLiteral("sosreport-h.zip.cpt"));
    makeReport(QStringLiteral("sosreport-h.z01.cpt"));
    makeReport(QStringLiteral("sosreport-h.z02.cpt"));
    select(main);

    QMetaObject::invokeMethod(window.get(), "mailto");
    QTRY_COMPARE(thunderbirdArguments().size(), 2);
    QVERIFY(
        thunderbirdArguments().at(1).endsWith(QStringLiteral("attachment='") + fileUrl(main) + ',' +
                                              fileUrl(dir->filePath("sosreport-h.z01.cpt")) + ',' +
                                              fileUrl(dir->filePath("sosreport-h.z02.cpt")) + "'"));
}

// Quotes and commas reach thunderbird encoded, so the name can neither end the attachment field
// nor split it into two files.
void TestArchives::quoteInNameIsEncoded()
{
    setMailPrograms(QStringLiteral("thunderbird.desktop"), true);
    const QString report = makeReport(QStringLiteral("sosreport-it's',attachment='x.tar.xz"));
    select(report);

    QMetaObject::invokeMethod(window.get(), "mailto");
    QTRY_COMPARE(thunderbirdArguments().size(), 2);
    QVERIFY(thunderbirdArguments().at(1).endsWith(
        "attachment='file://" + dir->path() + "/sosreport-it%27s%27%2Cattachment%3D%27x.tar.xz'"));
}

// A program this application does not know gets the report through the real xdg-email, or,
// for a name xdg-email would mangle, the same link directly; a comma is refused by neither.
void TestArchives::otherMailProgramAttachesThroughXdgEmail()
{
    setMailPrograms(QStringLiteral("othermail.desktop"), false);
    const QString comma = makeReport(QStringLiteral("sosreport-a, b.tar.xz"));
    const QString report = makeReport(QStringLiteral("sosreport-a.tar.xz"));
    for (const QString &sent : {comma, report}) {
        QFile::remove(xdg.filePath("bin/othermail.arguments"));
        select(sent);
        QMetaObject::invokeMethod(window.get(), "mailto");
        QTRY_COMPARE_WITH_TIMEOUT(mailProgramArguments("othermail").size(), 1,
                                  KroTest::WaitLimitMs);
        QCOMPARE(QUrl::fromPercentEncoding(mailProgramArguments("othermail").first().toUtf8()),
                 "mailto:" KRO_MAINTAINERS_ADDRESS "?subject=sos report&body=report in attachment"
                 "&attach=" +
                     sent);
    }
    QVERIFY(!QFile::permissions(report).testFlag(QFileDevice::ReadOther));
    QVERIFY(links.urls.isEmpty());
}

void TestArchives::noMailProgramSaysWhereTheReportIs()
{
    for (const char *file :
         {"config/mimeapps.list", "data/applications/thunderbird.desktop",
          "data/applications/evolution.desktop", "data/applications/othermail.desktop"})
        QFile::remove(xdg.filePath(QLatin1String(file)));
    const QString report = makeReport(QStringLiteral("sosreport-a.tar.xz"));
    select(report);
    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Close);
    QMetaObject::invokeMethod(window.get(), "mailto");
    QVERIFY(dialogs.waitForAll());
    QVERIFY(dialogs.last().text.contains(report));
    QVERIFY(dialogs.last().buttons.contains("Open containing folder"));
    QVERIFY(dialogs.last().buttons.contains("Copy path"));
    QVERIFY(links.urls.isEmpty());
    QVERIFY(!QFile::permissions(report).testFlag(QFileDevice::ReadOther));
}

// Without xdg-email a program this application does not know gets the message without the
// report, and one box says so.
void TestArchives::withoutXdgEmailTheBoxSaysSo()
{
    setMailPrograms(QStringLiteral("othermail.desktop"), false);
    const QString report = makeReport(QStringLiteral("sosreport-a.tar.xz"));
    select(report);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(xdg.filePath(QStringLiteral("bin"))));
    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Close);
    QMetaObject::invokeMethod(window.get(), "mailto");
    qputenv("PATH", path);
    QVERIFY(dialogs.waitForAll(KroTest::WaitLimitMs));
    QVERIFY(dialogs.last().text.startsWith("Without xdg-email"));
    QVERIFY(dialogs.last().text.endsWith('\n' + report));
    QTRY_COMPARE_WITH_TIMEOUT(mailProgramArguments("othermail"),
                              QStringList{"mailto:" KRO_MAINTAINERS_ADDRESS
                                          "?subject=sos%20report&body=report%20in%20attachment"},
                              KroTest::WaitLimitMs);
    QVERIFY(links.urls.isEmpty());
}

// A row that Ctrl+click took out of the selection is not sent, though it stays current.
void TestArchives::deselectedRowIsNotSent()
{
    setMailPrograms(QStringLiteral("thunderbird.desktop"), true);
    const QString report = makeReport(QStringLiteral("sosreport-a.tar.xz"));
    select(report);
    window->show();
    QAction *send = window->findChild<QAction *>(QStringLiteral("sendReportAction"));
    QVERIFY(send->isEnabled());
    const QRect row = table()->visualItemRect(table()->item(0, 0));
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::ControlModifier, row.center());
    QVERIFY(table()->selectedItems().isEmpty());
    QCOMPARE(table()->currentItem(), table()->item(0, 0));
    QVERIFY(!send->isEnabled());
    QMetaObject::invokeMethod(window.get(), "mailto");
    QCOMPARE(links.urls.size(), 1);
    QVERIFY(thunderbirdArguments().isEmpty());
}

// Types password and confirmation into the password dialog, then presses OK when it is offered
// and accept is true, otherwise Cancel; checks that OK is offered exactly for equal entries.
std::function<void(QWidget *)>
TestArchives::passwordAnswer(const QString &password, const QString &confirmation, bool accept)
{
    return [=](QWidget *dialog) {
        dialog->findChild<QLineEdit *>("passwordLE")->setText(password);
        dialog->findChild<QLineEdit *>("confirmLE")->setText(confirmation);
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
        const bool offered = !password.isEmpty() && password == confirmation;
        (accept && ok->isEnabled() ? ok : buttons->button(QDialogButtonBox::Cancel))->click();
        okOfferedRight = okOfferedRight && ok->isEnabled() == offered;
    };
}

void TestArchives::deleteCurrent(const QList<QMessageBox::StandardButton> &answers)
{
    KroTest::ModalDialogHelper dialogs;
    for (const QMessageBox::StandardButton answer : answers)
        dialogs.expectMessageBox(answer);
    const QList<QAction *> actions = table()->actions();
    const auto remove = std::find_if(actions.cbegin(), actions.cend(), [](QAction *action) {
        return action->shortcut() == QKeySequence(QKeySequence::Delete);
    });
    QVERIFY(remove != actions.cend());
    (*remove)->trigger();
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(dialogs.records().first().text,
             QStringLiteral("Delete the report with all its files?"));
    lastDialogs = dialogs.records();
}

// Root's files (this test runs as root) go through the helper, checksums and volumes included.
void TestArchives::deletesReportSetThroughHelper()
{
    const QStringList set{makeReport("sosreport-v.zip.cpt"), makeReport("sosreport-v.zip.md5"),
                          makeReport("sosreport-v.z01.cpt"), makeReport("sosreport-v.z02.cpt")};
    const QString other = makeReport("sosreport-other.tar.xz");
    select(set.first());
    deleteCurrent({QMessageBox::Yes});
    QStringList listed = lastDialogs.first().informativeText.split('\n');
    listed.sort();
    QStringList expected = set;
    expected.sort();
    QCOMPARE(listed, expected);
    // The helper answers later; the table waits for it, locked.
    QTRY_VERIFY(table()->isEnabled());
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"sosreport-other.tar.xz"});
    QTRY_COMPARE(table()->rowCount(), 1);
    QCOMPARE(table()->item(0, 0)->text(), other);
}

void TestArchives::plantedLinkKeepsWholeSet()
{
    const QString report = makeReport("sosreport-l.tar.xz");
    const QString target = makeReport("shadow");
    QVERIFY(QFile::link(target, report + ".md5"));
    select(report);
    deleteCurrent({QMessageBox::Yes, QMessageBox::Ok});
    QVERIFY(lastDialogs.last().text.contains("symbolic link"));
    QVERIFY(QFile::exists(report));
    QVERIFY(QFile::exists(target));
    QVERIFY(QFileInfo(report + ".md5").isSymLink());
}

KRO_TEST_MAIN(TestArchives)
#include "tst_archives.moc"
