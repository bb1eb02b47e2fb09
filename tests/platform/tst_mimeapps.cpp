// SPDX-License-Identifier: GPL-2.0-or-later
// Application associations on throw-away XDG trees: precedence of the lists, desktop-specific
// lists, removed associations, uninstallable entries, desktop ids of subfolders and names.
#include "mimeapps.h"
#include "testenvironment.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

namespace {
const QString Mailto = QStringLiteral("x-scheme-handler/mailto");

QStringList ids(const QList<KroFM::AppInfo> &apps)
{
    QStringList result;
    for (const KroFM::AppInfo &app : apps)
        result << app.desktopId();
    return result;
}
} // namespace

class TestMimeApps : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void defaultApplication_data();
    void defaultApplication();
    void associationsInPrecedenceOrder();
    void localisedName_data();
    void localisedName();
    void sameAnswerAsGio();

private:
    void write(const QString &relativePath, const QString &content);
    void addApp(const QString &applicationsDir, const QString &file, const QString &extra = {});
    void writeStandardTree();

    std::unique_ptr<QTemporaryDir> root;
};

void TestMimeApps::init()
{
    root = std::make_unique<QTemporaryDir>();
    QVERIFY(root->isValid());
    const QString base = root->path();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(base + "/config"));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(base + "/etc/xdg"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(base + "/home/share"));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(base + "/usr/local/share:" + base + "/usr/share"));
    qunsetenv("XDG_CURRENT_DESKTOP");
    qputenv("LC_ALL", "C");
    write("bin/mailer", "#!/bin/sh\n");
    QFile(base + "/bin/mailer")
        .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestMimeApps::cleanup()
{
    root.reset();
}

void TestMimeApps::write(const QString &relativePath, const QString &content)
{
    const QString path = root->path() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content.toUtf8());
}

// An entry whose program exists, registered for mail links, named after its file unless extra
// names it.
void TestMimeApps::addApp(const QString &applicationsDir, const QString &file, const QString &extra)
{
    const bool named = extra.contains(
        QRegularExpression(QStringLiteral("^Name="), QRegularExpression::MultilineOption));
    write(applicationsDir + QLatin1Char('/') + file,
          QStringLiteral("[Desktop Entry]\nType=Application\n%1Exec=%2/bin/mailer %u\n"
                         "MimeType=x-scheme-handler/mailto;\n%3")
              .arg(named ? QString() : "Name=" + QFileInfo(file).baseName() + "\n", root->path(),
                   extra));
}

// Defaults in every list location, so that each row can remove the ones above its expectation.
void TestMimeApps::writeStandardTree()
{
    for (const char *name : {"home", "cfghome", "kdehome", "cfgdirs", "datahome", "datadirs",
                             "cache", "added", "local"})
        addApp("usr/share/applications", QString::fromLatin1(name) + ".desktop");
    addApp("usr/share/applications", "broken.desktop", "TryExec=/no/such/program\n");
    write("usr/share/applications/missing.desktop",
          "[Desktop Entry]\nType=Application\nName=Missing\nExec=no-such-mailer %u\n");
    write("usr/share/applications/mimeinfo.cache",
          "[MIME Cache]\nx-scheme-handler/mailto=missing.desktop;cache.desktop;\n");
}

void TestMimeApps::defaultApplication_data()
{
    QTest::addColumn<QStringList>("lists");
    QTest::addColumn<QString>("desktops");
    QTest::addColumn<QString>("expected");

    const QStringList all = {"kdehome", "cfghome", "cfgdirs", "datahome", "datadirs", "added"};
    QTest::newRow("desktop list in config home") << all << "X-Test:KDE"
                                                 << "kdehome.desktop";
    QTest::newRow("config home") << all << ""
                                 << "cfghome.desktop";
    QTest::newRow("config dirs") << QStringList(all.mid(2)) << ""
                                 << "cfgdirs.desktop";
    QTest::newRow("data home") << QStringList(all.mid(3)) << ""
                               << "datahome.desktop";
    QTest::newRow("data dirs") << QStringList(all.mid(4)) << ""
                               << "datadirs.desktop";
    QTest::newRow("first added association without a default") << QStringList(all.mid(5)) << ""
                                                               << "added.desktop";
    QTest::newRow("mimeinfo.cache") << QStringList() << ""
                                    << "cache.desktop";
}

// Each list names uninstallable entries first, which must be passed over, then the entry
// named after the list's place.
void TestMimeApps::defaultApplication()
{
    QFETCH(QStringList, lists);
    QFETCH(QString, desktops);
    QFETCH(QString, expected);

    writeStandardTree();
    const QHash<QString, QString> places = {
        {"kdehome", "config/kde-mimeapps.list"},
        {"cfghome", "config/mimeapps.list"},
        {"cfgdirs", "etc/xdg/mimeapps.list"},
        {"datahome", "home/share/applications/mimeapps.list"},
        {"datadirs", "usr/share/applications/mimeapps.list"},
        {"added", "usr/local/share/applications/mimeapps.list"}};
    for (const QString &list : qAsConst(lists)) {
        const QString group = list == "added" ? "Added Associations" : "Default Applications";
        write(places.value(list), QStringLiteral("[%1]\n%2=missing.desktop;broken.desktop;"
                                                 "gone.desktop;%3.desktop;\n")
                                      .arg(group, Mailto, list));
    }
    qputenv("XDG_CURRENT_DESKTOP", desktops.toUtf8());

    const QList<KroFM::AppInfo> apps = KroFM::MimeApps::ptr()->mimeTypeApplications(Mailto);
    QVERIFY(!apps.isEmpty());
    QCOMPARE(apps.first().desktopId(), expected);
    QVERIFY(!ids(apps).contains("missing.desktop"));
    QVERIFY(!ids(apps).contains("broken.desktop"));
    QCOMPARE(KroFM::MimeApps::ptr()->defaultMailSenderExec(),
             root->path() + QStringLiteral("/bin/mailer %u"));
}

void TestMimeApps::associationsInPrecedenceOrder()
{
    // The user's own entry shadows the system one of the same id, also from a subfolder.
    addApp("home/share/applications/kro", "mail.desktop", "Name=User mail\n");
    addApp("usr/share/applications", "kro-mail.desktop", "Name=System mail\n");
    addApp("usr/share/applications", "other.desktop");
    addApp("usr/share/applications", "hidden.desktop", "Hidden=true\n");
    addApp("usr/share/applications", "unwanted.desktop");
    addApp("usr/local/share/applications", "extra.desktop");
    write("usr/share/applications/mimeinfo.cache",
          "[MIME Cache]\n" + Mailto + "=hidden.desktop;unwanted.desktop;other.desktop;\n");
    write("config/mimeapps.list", "[Added Associations]\n" + Mailto +
                                      "=kro-mail.desktop;\n[Removed Associations]\n" + Mailto +
                                      "=unwanted.desktop;kro-mail.desktop;\n");

    const QList<KroFM::AppInfo> apps = KroFM::MimeApps::ptr()->mimeTypeApplications(Mailto);
    // extra.desktop has no mimeinfo.cache beside it: its MimeType line counts instead.
    QCOMPARE(ids(apps), QStringList({"kro-mail.desktop", "extra.desktop", "other.desktop"}));
    QCOMPARE(apps.first().name(), QStringLiteral("User mail"));
    QCOMPARE(KroFM::MimeApps::ptr()->defaultMailSenderExec(), apps.first().exec());
    QVERIFY(KroFM::MimeApps::ptr()->mimeTypeApplications("text/x-none").isEmpty());
}

void TestMimeApps::localisedName_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("C") << "C"
                       << "Mail";
    QTest::newRow("language") << "de_AT.UTF-8"
                              << "Post";
    QTest::newRow("language and country") << "de_DE.UTF-8"
                                          << "E-Post";
    QTest::newRow("modifier") << "sr_RS@latin"
                              << "Posta";
    QTest::newRow("unknown language") << "fi_FI.UTF-8"
                                      << "Mail";
}

void TestMimeApps::localisedName()
{
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    addApp("usr/share/applications", "mail.desktop",
           "Name=Mail\nName[de]=Post\nName[de_DE]=E-Post\nName[sr]=Pošta\nName[sr@latin]=Posta\n");
    write("config/mimeapps.list", "[Default Applications]\n" + Mailto + "=mail.desktop\n");
    qputenv("LC_ALL", locale.toUtf8());
    const QList<KroFM::AppInfo> apps = KroFM::MimeApps::ptr()->mimeTypeApplications(Mailto);
    QCOMPARE(apps.size(), 1);
    QCOMPARE(apps.first().name(), expected);
}

// gio reads the same files; its default must be ours.
void TestMimeApps::sameAnswerAsGio()
{
    if (QStandardPaths::findExecutable("gio").isEmpty())
        QSKIP("gio is not installed");
    writeStandardTree();
    write("home/share/applications/mimeapps.list",
          "[Default Applications]\n" + Mailto + "=missing.desktop;datahome.desktop\n");
    write("etc/xdg/gnome-mimeapps.list",
          "[Default Applications]\n" + Mailto + "=broken.desktop;kdehome.desktop\n");
    write("etc/xdg/mimeapps.list", "[Default Applications]\n" + Mailto + "=cfgdirs.desktop\n");
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");

    QProcess gio;
    gio.start("gio", {"mime", Mailto});
    QVERIFY(gio.waitForFinished());
    const QRegularExpressionMatch match =
        QRegularExpression(":\\s+(\\S+\\.desktop)").match(QString::fromUtf8(gio.readAll()));
    QVERIFY(match.hasMatch());
    QCOMPARE(match.captured(1), QStringLiteral("kdehome.desktop"));
    QCOMPARE(KroFM::MimeApps::ptr()->mimeTypeApplications(Mailto).first().desktopId(),
             match.captured(1));
}

KRO_TEST_MAIN(TestMimeApps)
#include "tst_mimeapps.moc"
