// SPDX-License-Identifier: GPL-2.0-or-later
// Protecting archives with the real ccrypt and opening them up with the real chmod, both through
// the helper on a private bus, and handing them to the mail program: a stand-in thunderbird
// found through a private XDG tree and PATH, or a stand-in handler of mail links.
#include "constants.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
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
    void readPermissionQuestion();
    void composesWithAttachment_data();
    void composesWithAttachment();
    void volumeWarningComesFirst();
    void quoteInNameIsEncoded();
    void otherMailProgramAttachesThroughXdgEmail();
    void noMailProgramSaysWhereTheReportIs();
    void otherMailProgramOpensLink();
    void deletesReportSetThroughHelper();
    void plantedLinkKeepsWholeSet();

private:
    std::function<void(QWidget *)> passwordAnswer(const QString &password,
                                                  const QString &confirmation, bool accept = true);
    void deleteCurrent(const QList<QMessageBox::StandardButton> &answers);
    QString makeReport(const QString &name, const QByteArray &content = "report");
    void setMailPrograms(const QString &defaultId, bool registerThunderbird);
    QStringList mailProgramArguments(const QString &program) const;
    QStringList thunderbirdArguments() const { return mailProgramArguments("thunderbird"); }
    QTableWidget *table()
    {
        return window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    }
    void select(const QString &path);

    QTemporaryDir xdg;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> window;
    MailLinkRecorder links;
    QList<KroTest::DialogRecord> lastDialogs;
    bool okOfferedRight = true;
};

void TestArchives::initTestCase()
{
    // Mail programs come only from this tree and this PATH.
    for (const char *sub : {"bin", "data/applications", "config", "sysdata", "sysconfig"})
        QVERIFY(QDir().mkpath(xdg.filePath(QLatin1String(sub))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(xdg.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(xdg.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(xdg.filePath(QStringLiteral("sysdata"))));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(xdg.filePath(QStringLiteral("sysconfig"))));
    qputenv("PATH", QFile::encodeName(xdg.filePath(QStringLiteral("bin"))) + ':' + qgetenv("PATH"));
    for (const char *program : {"thunderbird", "evolution"}) {
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
    dir = std::make_unique<QTemporaryDir>();
    window = std::make_unique<MainWindow>();
    MainWindowAccess::useReportDirs(*window, QStringList{dir->path()});
    for (const char *program : {"thunderbird", "evolution"})
        QFile::remove(xdg.filePath("bin/" + QLatin1String(program) + ".arguments"));
    links.urls.clear();
}

void TestArchives::cleanup()
{
    window.reset();
    dir.reset();
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
}

QString TestArchives::makeReport(const QString &name, const QByteArray &content)
{
    const QString path = dir->filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return path;
}

void TestArchives::select(const QString &path)
{
    MainWindowAccess::useReportDirs(*window, QStringList{dir->path()});
    const QList<QTableWidgetItem *> found = table()->findItems(path, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    table()->setCurrentItem(found.first());
}

void TestArchives::setMailPrograms(const QString &defaultId, bool registerThunderbird)
{
    const QString apps = xdg.filePath(QStringLiteral("data/applications/"));
    for (const QString &name : {QStringLiteral("Thunderbird"), QStringLiteral("Evolution")}) {
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

void TestArchives::readPermissionQuestion()
{
    const QString report = makeReport(QStringLiteral("sosreport-a.tar.xz"));
    KroTest::ModalDialogHelper dialogs;

    bool readable = false;
    auto done = [&readable] {
        readable = true;
    };
    dialogs.expectMessageBox(QMessageBox::Cancel, true);
    MainWindowAccess::makeReadable(*window, report, done);
    QVERIFY(dialogs.waitForAll());
    QVERIFY(!readable);
    const KroTest::DialogRecord question = dialogs.last();
    QCOMPARE(question.windowTitle, QStringLiteral("Attention!"));
    QCOMPARE(question.text,
             QStringLiteral("Permission to read the report file will be set for all users."));
    QCOMPARE(question.informativeText, QStringLiteral("Do you want to continue?"));
    QCOMPARE(question.checkBoxText, QStringLiteral("Don't show this message again"));
    QVERIFY(!question.checkBoxChecked);
    QCOMPARE(question.defaultButton, QStringLiteral("Cancel"));
    QVERIFY(!question.hasParent);
    QVERIFY(!QFile::permissions(report).testFlag(QFileDevice::ReadOther));
    QVERIFY(QSettings().value(Kro::PermAskAgainKey).toBool());

    // Not asked again: the permission is simply set.
    MainWindowAccess::makeReadable(*window, report, done);
    QTRY_VERIFY(readable);
    // Read access is the caller's alone (the helper's access list entry), never for others.
    QCOMPARE(QFile::permissions(report) &
                 (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteOther),
             QFileDevice::Permissions());

    // Already readable: no question whatever the stored answer.
    QVERIFY(QFile::setPermissions(report, QFile::permissions(report) | QFileDevice::ReadOther));
    QSettings().remove(Kro::PermAskAgainKey);
    window = std::make_unique<MainWindow>();
    readable = false;
    MainWindowAccess::makeReadable(*window, report, done);
    QVERIFY(readable);
    QVERIFY(!MainWindowAccess::permAskAgain(*window));
}

void TestArchives::composesWithAttachment_data()
{
    QTest::addColumn<QString>("defaultId");
    QTest::newRow("thunderbird is the default") << "thunderbird.desktop";
    QTest::newRow("thunderbird only registered") << "evolution.desktop";
}

void TestArchives::composesWithAttachment()
{
    QFETCH(QString, defaultId);
    setMailPrograms(defaultId, true);
    const QString report = makeReport(QStringLiteral("sosreport-a, b.tar.xz"));
    select(report);

    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Yes);
    QMetaObject::invokeMethod(window.get(), "mailto");
    QVERIFY(dialogs.waitForAll());
    QTRY_COMPARE(
        thunderbirdArguments(),
        (QStringList{QStringLiteral("-compose"),
                     QStringLiteral("to='" KRO_MAINTAINERS_ADDRESS "',subject='sos report',"
                                    "body='report in attachment',attachment='") +
                         fileUrl(report) + QLatin1Char('\'')}));
    QVERIFY(!QFile::permissions(report).testFlag(QFileDevice::ReadOther));
    QVERIFY(links.urls.isEmpty());
}

void TestArchives::volumeWarningComesFirst()
{
    setMailPrograms(QStringLiteral("thunderbird.desktop"), true);
    const QString main = makeReport(QStringLiteral("sosreport-h.zip.cpt"));
    makeReport(QStringLiteral("sosreport-h.z01.cpt"));
    makeReport(QStringLiteral("sosreport-h.z02.cpt"));
    select(main);
    QSettings().setValue(Kro::PermAskAgainKey, true);
    window = std::make_unique<MainWindow>();
    select(main);

    KroTest::ModalDialogHelper dialogs;
    bool startedBeforeAnswer = true;
    dialogs.expect([&](QWidget *box) {
        startedBeforeAnswer = !thunderbirdArguments().isEmpty();
        static_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
    });
    QMetaObject::invokeMethod(window.get(), "mailto");
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Attention!"));
    QCOMPARE(dialogs.last().text,
             QStringLiteral("You are trying to send a multivolume archive.\nDon't forget to attach "
                            "manually \nthe following parts to your letter:\n") +
                 dir->filePath("sosreport-h.z02.cpt") + "\n" +
                 dir->filePath("sosreport-h.z01.cpt") + "\n");
    QVERIFY(!startedBeforeAnswer);
    QTRY_COMPARE(thunderbirdArguments().size(), 2);
    QVERIFY(thunderbirdArguments().at(1).endsWith(QStringLiteral("attachment='") + fileUrl(main) +
                                                  "'"));
}

// Quotes and commas reach thunderbird encoded, so the name can neither end the attachment field
// nor split it into two files.
void TestArchives::quoteInNameIsEncoded()
{
    setMailPrograms(QStringLiteral("thunderbird.desktop"), true);
    const QString report = makeReport(QStringLiteral("sosreport-it's',attachment='x.tar.xz"));
    select(report);

    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Yes);
    QMetaObject::invokeMethod(window.get(), "mailto");
    QVERIFY(dialogs.waitForAll());
    QTRY_COMPARE(thunderbirdArguments().size(), 2);
    QVERIFY(thunderbirdArguments().at(1).endsWith(
        "attachment='file://" + dir->path() + "/sosreport-it%27s%27%2Cattachment%3D%27x.tar.xz'"));
}

void TestArchives::otherMailProgramAttachesThroughXdgEmail()
{
    setMailPrograms(QStringLiteral("evolution.desktop"), false);
    const QString report = makeReport(QStringLiteral("sosreport-a.tar.xz"));
    const QString comma = makeReport(QStringLiteral("sosreport-a, b.tar.xz"));
    select(comma);
    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Ok);
    QMetaObject::invokeMethod(window.get(), "mailto");
    QVERIFY(dialogs.waitForAll());
    QVERIFY(dialogs.last().text.contains("comma"));

    select(report);
    dialogs.expectMessageBox(QMessageBox::Yes);
    QMetaObject::invokeMethod(window.get(), "mailto");
    QVERIFY(dialogs.waitForAll());
    QTRY_COMPARE(mailProgramArguments("evolution").size(), 1);
    QCOMPARE(QUrl::fromPercentEncoding(mailProgramArguments("evolution").first().toUtf8()),
             "mailto:" KRO_MAINTAINERS_ADDRESS "?subject=sos report&body=report in attachment"
             "&attach=" +
                 report);
    QVERIFY(!QFile::permissions(report).testFlag(QFileDevice::ReadOther));
    QVERIFY(links.urls.isEmpty());
}

void TestArchives::noMailProgramSaysWhereTheReportIs()
{
    for (const char *file : {"config/mimeapps.list", "data/applications/thunderbird.desktop",
                             "data/applications/evolution.desktop"})
        QFile::remove(xdg.filePath(QLatin1String(file)));
    const QString report = makeReport(QStringLiteral("sosreport-a.tar.xz"));
    select(report);
    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Close);
    QMetaObject::invokeMethod(window.get(), "mailto");
    QVERIFY(dialogs.waitForAll());
    QVERIFY(dialogs.last().text.contains(report));
    QVERIFY(dialogs.last().buttons.contains("Open containing folder"));
    QVERIFY(links.urls.isEmpty());
    QVERIFY(!QFile::permissions(report).testFlag(QFileDevice::ReadOther));
}

// Without xdg-email only a message without attachment can be opened.
void TestArchives::otherMailProgramOpensLink()
{
    setMailPrograms(QStringLiteral("evolution.desktop"), false);
    const QString report = makeReport(QStringLiteral("sosreport-a.tar.xz"));
    select(report);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(xdg.filePath(QStringLiteral("bin"))));
    QMetaObject::invokeMethod(window.get(), "mailto");
    qputenv("PATH", path);

    QCOMPARE(links.urls.size(), 1);
    QCOMPARE(links.urls.first().toEncoded(),
             QByteArray("mailto:" KRO_MAINTAINERS_ADDRESS
                        "?subject=sos%20report&body=report%20in%20attachment"));
    QVERIFY(!QFile::permissions(report).testFlag(QFileDevice::ReadOther));
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
