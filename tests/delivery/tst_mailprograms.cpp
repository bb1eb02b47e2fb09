// SPDX-License-Identifier: GPL-2.0-or-later
// A report with two volumes, in a folder and with names that hold a comma, spaces, Cyrillic, '#',
// '%' and '?', handed to each known mail program: desktop entries in a private XDG tree start
// stand-ins that record their arguments. The real programs are not installed here; what each
// stand-in receives is checked against that program's own command-line convention, decoded the
// way the program decodes it.
#include "mailattachments.h"
#include "mimeapps.h"
#include "modaldialoghelper.h"
#include "reportmailer.h"
#include "testenvironment.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

namespace {

const QFile::Permissions OthersRights = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                        QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                        QFileDevice::WriteOther | QFileDevice::ExeOther;
const QString Recipient = QStringLiteral(KRO_MAINTAINERS_ADDRESS);
const QString MessageFields = QStringLiteral("to=") + Recipient +
                              QStringLiteral("&subject=sos report&body=report in attachment");

// The fields of a mailto: link, decoded one by one as the programs that read them do.
QStringList linkFields(const QString &link)
{
    if (!link.startsWith(QLatin1String("mailto:")))
        return {QStringLiteral("not a mailto link: ") + link};
    const QString address = link.mid(7).section(QLatin1Char('?'), 0, 0);
    QStringList fields{QStringLiteral("to=") + QUrl::fromPercentEncoding(address.toUtf8())};
    const QStringList pairs = link.section(QLatin1Char('?'), 1).split(QLatin1Char('&'));
    for (const QString &pair : pairs)
        fields << pair.section(QLatin1Char('='), 0, 0) + QLatin1Char('=') +
                      QUrl::fromPercentEncoding(pair.section(QLatin1Char('='), 1).toUtf8());
    return fields;
}

QStringList attachFields(const QStringList &files)
{
    QStringList fields;
    for (const QString &file : files)
        fields << QStringLiteral("attach=") + file;
    return fields;
}

} // namespace

class TestMailPrograms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void attachesEveryVolumeInOrder_data();
    void attachesEveryVolumeInOrder();
    void userDefaultWinsOverThunderbird();
    void sandboxedProgramGivesTheBox();
    void failedStartGivesTheBox_data();
    void failedStartGivesTheBox();
    void linkFoldersGoOnlyWhenUnused();

private:
    QString standIn(const QString &path, const QByteArray &body = "exit 0\n");
    void setDefault(const QString &name, const QString &exec, bool terminal = false);
    QStringList received(const QString &program) const;
    void send();

    QTemporaryDir xdg;
    QString bin;
    QStringList files;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<ReportMailer> mailer;
};

// Writes a program that records its arguments, each ended by a NUL, beside itself.
QString TestMailPrograms::standIn(const QString &path, const QByteArray &body)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return {};
    script.write("#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$0.arguments\"\n" + body);
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    return path;
}

void TestMailPrograms::initTestCase()
{
    KroTest::useDesktopTree(xdg.path());
    // Only the stand-ins are programs here: no real mail program, terminal or xdg-email.
    bin = xdg.filePath(QStringLiteral("bin"));
    qputenv("PATH", QFile::encodeName(bin));
    for (const char *program :
         {"evolution", "claws-mail", "geary", "sylpheed", "kmail", "mutt", "neomutt", "othermail",
          "x-terminal-emulator", "xdg-email", "thunderbird", "flatpak"})
        QVERIFY(!standIn(bin + QLatin1Char('/') + QLatin1String(program)).isEmpty());
    QVERIFY(!standIn(bin + QStringLiteral("/failmail"), "exit 3\n").isEmpty());
    QVERIFY(!standIn(xdg.filePath(QStringLiteral("opt/thunderbird/thunderbird"))).isEmpty());
    QFile broken(bin + QStringLiteral("/brokenmail"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("#!/nonexistent/interpreter\n");
    broken.setPermissions(broken.permissions() | QFileDevice::ExeOwner);

    const QString folder = xdg.filePath(QStringLiteral("reports, new"));
    QVERIFY(QDir().mkpath(folder));
    const QString stem = folder + QStringLiteral("/sosreport-a, b #1 %41 ?x Отчёт");
    for (const char *suffix : {".zip", ".z01", ".z02"}) {
        QFile file(stem + QLatin1String(suffix));
        QVERIFY(file.open(QIODevice::WriteOnly));
        files << file.fileName();
    }
}

void TestMailPrograms::init()
{
    const QStringList records = QDir(bin).entryList({QStringLiteral("*.arguments")});
    for (const QString &record : records)
        QFile::remove(bin + QLatin1Char('/') + record);
    QFile::remove(xdg.filePath(QStringLiteral("opt/thunderbird/thunderbird.arguments")));
    window = std::make_unique<QWidget>();
    mailer = std::make_unique<ReportMailer>(window.get(), [](const QString &) {});
}

void TestMailPrograms::cleanup()
{
    mailer.reset();
    window.reset();
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
}

void TestMailPrograms::setDefault(const QString &name, const QString &exec, bool terminal)
{
    QFile entry(xdg.filePath(QStringLiteral("data/applications/") + name + ".desktop"));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2\nTerminal=%3\n"
                               "MimeType=x-scheme-handler/mailto;\n")
                    .arg(name, exec, terminal ? "true" : "false")
                    .toUtf8());
    QFile list(xdg.filePath(QStringLiteral("config/mimeapps.list")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("[Default Applications]\nx-scheme-handler/mailto=" + name.toUtf8() + ".desktop\n");
}

QStringList TestMailPrograms::received(const QString &program) const
{
    const QString path = program.startsWith(QLatin1Char('/')) ? program : bin + '/' + program;
    QFile file(path + QStringLiteral(".arguments"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray recorded = file.readAll();
    QStringList arguments =
        QString::fromUtf8(recorded.constData(), recorded.size()).split(QLatin1Char('\0'));
    arguments.removeLast();
    return arguments;
}

void TestMailPrograms::send()
{
    mailer->compose(ReportMailer::mailProgram(),
                    ReportMailer::reportFiles(files.first(), {files[2], files[1]}));
}

void TestMailPrograms::attachesEveryVolumeInOrder_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QString>("recorder");
    QTest::newRow("thunderbird outside PATH")
        << xdg.filePath(QStringLiteral("opt/thunderbird/thunderbird")) + " %u" << false
        << xdg.filePath(QStringLiteral("opt/thunderbird/thunderbird"));
    QTest::newRow("evolution") << "evolution %U" << false << "evolution";
    QTest::newRow("claws-mail") << "claws-mail %u" << false << "claws-mail";
    QTest::newRow("geary") << "geary %U" << false << "geary";
    QTest::newRow("sylpheed") << "sylpheed --compose %u" << false << "sylpheed";
    QTest::newRow("kmail") << "kmail -qwindowtitle %c %u" << false << "kmail";
    QTest::newRow("mutt") << "mutt %u" << true << "x-terminal-emulator";
    QTest::newRow("neomutt") << "\"neomutt\" %u" << true << "x-terminal-emulator";
    QTest::newRow("other program") << "othermail %u" << false << "othermail";
}

void TestMailPrograms::attachesEveryVolumeInOrder()
{
    QFETCH(QString, exec);
    QFETCH(bool, terminal);
    QFETCH(QString, recorder);
    const QString program = QString::fromLatin1(QTest::currentDataTag()).section(' ', 0, 0);
    setDefault(program, exec, terminal);
    send();
    QTRY_VERIFY_WITH_TIMEOUT(!received(recorder).isEmpty(), KroTest::WaitLimitMs);
    const QStringList arguments = received(recorder);
    const QStringList message = MessageFields.split(QLatin1Char('&'));

    if (program == QLatin1String("thunderbird")) {
        const QString fields = QStringLiteral("to='") + Recipient +
                               "',subject='sos report',body='report in attachment',attachment='";
        QCOMPARE(arguments.size(), 2);
        QCOMPARE(arguments.first(), QStringLiteral("-compose"));
        QVERIFY(arguments.last().startsWith(fields) && arguments.last().endsWith('\''));
        // Thunderbird splits the list at commas, then decodes each file URL.
        const QStringList urls = arguments.last().mid(fields.size()).chopped(1).split(',');
        QStringList attached;
        for (const QString &url : urls)
            attached << QUrl(url).toLocalFile();
        QCOMPARE(attached, files);
    } else if (program == QLatin1String("sylpheed")) {
        QCOMPARE(arguments.size(), 6);
        QCOMPARE(arguments.first(), QStringLiteral("--compose"));
        QCOMPARE(linkFields(arguments.at(1)), message);
        QCOMPARE(arguments.mid(2), QStringList{"--attach"} + files);
    } else if (program == QLatin1String("kmail")) {
        QCOMPARE(arguments,
                 (QStringList{"-qwindowtitle", "kmail", "--subject", "sos report", "--body",
                              "report in attachment", "--attach", files.at(0), "--attach",
                              files.at(1), "--attach", files.at(2), Recipient}));
    } else if (terminal) {
        // Plain-named links in a folder of the user's own, since a terminal may split again.
        QCOMPARE(arguments.size(), 8);
        QCOMPARE(arguments.mid(0, 3), (QStringList{"-e", program, "-a"}));
        QCOMPARE(arguments.at(6), QStringLiteral("--"));
        QCOMPARE(linkFields(arguments.at(7)), message);
        for (int i = 0; i < files.size(); ++i) {
            const QFileInfo link(arguments.at(3 + i));
            QCOMPARE(link.symLinkTarget(), files.at(i));
            QVERIFY(QRegularExpression("^[A-Za-z0-9._+-]+$").match(link.fileName()).hasMatch());
            QCOMPARE(QFileInfo(link.path()).permissions() & OthersRights, QFile::Permissions());
        }
    } else {
        // Evolution, Claws Mail, Geary, and xdg-email's own link for a name it cannot take.
        QCOMPARE(arguments.size(), 1);
        QCOMPARE(linkFields(arguments.first()), message + attachFields(files));
        QVERIFY(received(QStringLiteral("xdg-email")).isEmpty());
    }
}

// Thunderbird installed and registered for mail links takes no message the user's default gets.
void TestMailPrograms::userDefaultWinsOverThunderbird()
{
    setDefault(QStringLiteral("claws-mail"), QStringLiteral("claws-mail %u"));
    QFile entry(xdg.filePath(QStringLiteral("data/applications/thunderbird.desktop")));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Thunderbird\nExec=thunderbird %u\n"
                "MimeType=x-scheme-handler/mailto;\n");
    entry.close();
    QProcess reference;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), bin + QStringLiteral(":/usr/bin:/bin"));
    reference.setProcessEnvironment(environment);
    reference.setStandardInputFile(QProcess::nullDevice());
    reference.start(QStandardPaths::findExecutable("xdg-mime", {"/usr/bin", "/bin"}),
                    {"query", "default", "x-scheme-handler/mailto"});
    QVERIFY(reference.waitForFinished(KroTest::WaitLimitMs));
    QCOMPARE(ReportMailer::mailProgram().desktopId(),
             QString::fromUtf8(reference.readAllStandardOutput().trimmed()));

    send();
    QTRY_VERIFY_WITH_TIMEOUT(!received(QStringLiteral("claws-mail")).isEmpty(),
                             KroTest::WaitLimitMs);
    QVERIFY(received(QStringLiteral("thunderbird")).isEmpty());
    QFile::remove(entry.fileName());
}

// A flatpak or snap may not see the report: the message opens without it, and one box says so
// and names the files.
void TestMailPrograms::sandboxedProgramGivesTheBox()
{
    setDefault(QStringLiteral("sandboxed"),
               QStringLiteral("flatpak run org.example.Mail @@u %u @@"));
    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Close);
    send();
    QVERIFY(dialogs.waitForAll(KroTest::WaitLimitMs));
    QCOMPARE(dialogs.last().text,
             QStringLiteral("sandboxed runs apart from the rest of the system and may not see the "
                            "report, so it was not attached. Attach it to the message by hand:\n") +
                 files.join('\n'));
    QVERIFY(dialogs.last().buttons.contains(QStringLiteral("Open containing folder")));
    QTRY_VERIFY_WITH_TIMEOUT(!received(QStringLiteral("flatpak")).isEmpty(), KroTest::WaitLimitMs);
    const QStringList arguments = received(QStringLiteral("flatpak"));
    QCOMPARE(arguments.mid(0, 3), (QStringList{"run", "org.example.Mail", "@@u"}));
    QCOMPARE(linkFields(arguments.value(3)), MessageFields.split('&'));
}

void TestMailPrograms::failedStartGivesTheBox_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QString>("why");
    QTest::newRow("exits at once with an error")
        << "failmail %u"
        << "The mail program failmail ended at once with an error (exit status 3). Attach the "
           "report to a message by hand:";
    QTest::newRow("cannot be started") << "brokenmail %u"
                                       << "The mail program brokenmail could not be started. "
                                          "Attach the report to a message by hand:";
}

void TestMailPrograms::failedStartGivesTheBox()
{
    QFETCH(QString, exec);
    QFETCH(QString, why);
    setDefault(exec.section(' ', 0, 0), exec);
    KroTest::ModalDialogHelper dialogs;
    dialogs.expect([](QWidget *box) {
        const QList<QAbstractButton *> buttons = static_cast<QMessageBox *>(box)->buttons();
        for (QAbstractButton *button : buttons) {
            if (button->text() == QLatin1String("Copy path"))
                button->click();
        }
    });
    send();
    QVERIFY(dialogs.waitForAll(KroTest::WaitLimitMs));
    QCOMPARE(dialogs.last().text, why + '\n' + files.join('\n'));
    QCOMPARE(QApplication::clipboard()->text(), files.join('\n'));
}

// A message may still read its attachments: only folders whose links all point nowhere go, when
// the next links are made; the reports themselves are never touched.
void TestMailPrograms::linkFoldersGoOnlyWhenUnused()
{
    const QStringList inUse = MailAttachments::plainLinks(files);
    QFile gone(xdg.filePath(QStringLiteral("gone.zip")));
    QVERIFY(gone.open(QIODevice::WriteOnly));
    const QStringList unused = MailAttachments::plainLinks({gone.fileName()});
    QVERIFY(!inUse.isEmpty() && !unused.isEmpty());
    QVERIFY(gone.remove());
    const QStringList fresh = MailAttachments::plainLinks(files);
    QCOMPARE(QFileInfo(fresh.first()).symLinkTarget(), files.first());
    QVERIFY(QFileInfo::exists(inUse.first()));
    QVERIFY(!QFileInfo(QFileInfo(unused.first()).path()).exists());
    for (const QString &file : qAsConst(files))
        QVERIFY(QFileInfo(file).isFile());
}

KRO_TEST_MAIN(TestMailPrograms)
#include "tst_mailprograms.moc"
