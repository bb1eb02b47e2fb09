// SPDX-License-Identifier: GPL-2.0-or-later
// The report scan over real folders: naming rules, order, volumes and unreadable folders; and the
// checks that keep privileged chmod and ccrypt away from planted links and foreign files.
#include "backstage.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <unistd.h>

class TestReportFiles : public QObject
{
    Q_OBJECT

private slots:
    void namingRules_data();
    void namingRules();
    void orderIgnoresCaseAndFollowsFolders();
    void orderIsQDirsForLongAndForeignNames();
    void volumesComeLastInsertedFirst();
    void mapIsRebuiltEachScan();
    void unreadableFolderWarns_data();
    void unreadableFolderWarns();
    void unsafeFilesAreRefused_data();
    void unsafeFilesAreRefused();
    void passwordWithLineBreakIsRefused();

private:
    static void touch(const QString &path)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("data");
    }
};

void TestReportFiles::namingRules_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<QString>("volumeOf"); // empty: no volume map entry

    QTest::newRow("tarball") << "sosreport-host-2024.tar.xz" << true << "";
    QTest::newRow("checksum") << "sosreport-host-2024.tar.xz.sha256" << false << "";
    QTest::newRow("md5 checksum") << "sosreport-host-2024.tar.xz.md5" << false << "";
    QTest::newRow("main volume") << "sosreport-host.zip" << true << "";
    QTest::newRow("volume") << "sosreport-host.z01" << false << "sosreport-host.zip";
    QTest::newRow("protected main") << "sosreport-host.zip.cpt" << true << "";
    QTest::newRow("protected volume")
        << "sosreport-host.z01.cpt" << false << "sosreport-host.zip.cpt";
    QTest::newRow("protected tarball") << "sosreport-host-2024.tar.xz.cpt" << true << "";
    QTest::newRow("upper-case name") << "SOSREPORT-host.tar.xz" << true << "";
    QTest::newRow("other name") << "report.tar.xz" << false << "";
    QTest::newRow("z suffix") << "sosreport-host.tar.zst" << false << "sosreport-host.tar.zip";
    QTest::newRow("upper-case Z") << "sosreport-host.Z01" << true << "";
    QTest::newRow("no suffix") << "sosreport" << true << "";
    QTest::newRow("protected, no volume") << "sosreport.cpt" << true << "";
    QTest::newRow("volume without main") << "sosreport-lost.z07" << false << "sosreport-lost.zip";
}

void TestReportFiles::namingRules()
{
    QFETCH(QString, name);
    QFETCH(bool, listed);
    QFETCH(QString, volumeOf);

    QTemporaryDir dir;
    touch(dir.filePath(name));
    QMultiMap<QString, QString> volumes;
    Backstage backstage;
    const QStringList reports = backstage.reportFiles(QStringList{dir.path()}, volumes);

    QCOMPARE(reports, listed ? QStringList{dir.filePath(name)} : QStringList{});
    if (volumeOf.isEmpty())
        QVERIFY(volumes.isEmpty());
    else
        QCOMPARE(volumes.values(dir.filePath(volumeOf)), QStringList{dir.filePath(name)});
}

void TestReportFiles::orderIgnoresCaseAndFollowsFolders()
{
    QTemporaryDir first;
    QTemporaryDir second;
    for (const char *name : {"sosreport-b", "SOSREPORT-a", "sosreport-C"})
        touch(first.filePath(QLatin1String(name)));
    touch(second.filePath(QStringLiteral("sosreport-0")));
    QVERIFY(QDir().mkdir(first.filePath(QStringLiteral("sosreport-folder"))));
    QVERIFY(QFile::link(first.filePath(QStringLiteral("sosreport-b")),
                        first.filePath(QStringLiteral("sosreport-link"))));
    QVERIFY(QFile::link(first.path(), first.filePath(QStringLiteral("sosreport-dirlink"))));
    touch(first.filePath(QStringLiteral(".sosreport-hidden")));

    QMultiMap<QString, QString> volumes;
    Backstage backstage;
    const QStringList reports =
        backstage.reportFiles(QStringList{second.path(), first.path(), second.path()}, volumes);
    QCOMPARE(reports,
             (QStringList{second.filePath("sosreport-0"), first.filePath("SOSREPORT-a"),
                          first.filePath("sosreport-b"), first.filePath("sosreport-C"),
                          first.filePath("sosreport-link"), second.filePath("sosreport-0")}));
}

// Names alike for many characters, names that begin others, capitals and letters beyond ASCII
// sort as QDir sorts them ignoring case.
void TestReportFiles::orderIsQDirsForLongAndForeignNames()
{
    QTemporaryDir dir;
    const QStringList names = {"sosreport-host-2024-01-01-abcdefgh-1.tar.xz",
                               "sosreport-host-2024-01-01-abcdefgh-10.tar.xz",
                               "SOSREPORT-HOST-2024-01-01-abcdefgh-2.tar.xz",
                               "sosreport-host-2024-01-01-abcdefgh-2a.tar.xz",
                               "sosreport-host-2024-01-01-abcdefgh",
                               "sosreport-host-2024-01-01-abcdefgh-1.tar.xz.cpt",
                               "sosreport-host-2024-01-01-ABCDEFGI",
                               "sosreport-host-2024-01-01-abcdefg",
                               "sosreport-\u00c4rzte.tar.xz",
                               "sosreport-zeta.tar.xz",
                               "sosreport-\u00e9clair.tar.xz",
                               "Sosreport-Zulu.tar",
                               "sosreport-\u0416uk.tar.xz",
                               "sosreport-host_2024.tar.xz",
                               "sosreport-host.2024.tar.xz",
                               "sosreport-h",
                               "sosreport-[x].tar.xz"};
    for (const QString &name : names)
        touch(dir.filePath(name));
    QStringList expected;
    const QStringList listed =
        QDir(dir.path())
            .entryList({QStringLiteral("sosreport*")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : listed)
        expected.append(dir.filePath(name));
    QCOMPARE(expected.size(), names.size());

    QMultiMap<QString, QString> volumes;
    QCOMPARE(Backstage().reportFiles(QStringList{dir.path()}, volumes), expected);
}

void TestReportFiles::volumesComeLastInsertedFirst()
{
    QTemporaryDir dir;
    for (const char *name :
         {"sosreport-h.zip.cpt", "sosreport-h.z02.cpt", "sosreport-h.z01.cpt",
          "sosreport-h.z03.cpt", "sosreport-g.zip", "sosreport-g.z01", "sosreport-g.z02"})
        touch(dir.filePath(QLatin1String(name)));

    QMultiMap<QString, QString> volumes;
    Backstage backstage;
    const QStringList reports = backstage.reportFiles(QStringList{dir.path()}, volumes);
    QCOMPARE(reports,
             (QStringList{dir.filePath("sosreport-g.zip"), dir.filePath("sosreport-h.zip.cpt")}));
    QCOMPARE(volumes.values(dir.filePath("sosreport-h.zip.cpt")),
             (QStringList{dir.filePath("sosreport-h.z03.cpt"), dir.filePath("sosreport-h.z02.cpt"),
                          dir.filePath("sosreport-h.z01.cpt")}));
    QCOMPARE(volumes.values(dir.filePath("sosreport-g.zip")),
             (QStringList{dir.filePath("sosreport-g.z02"), dir.filePath("sosreport-g.z01")}));
    QCOMPARE(volumes.size(), 5);
}

void TestReportFiles::mapIsRebuiltEachScan()
{
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("sosreport-h.z01")));
    QMultiMap<QString, QString> volumes{
        {QStringLiteral("/stale.zip"), QStringLiteral("/stale.z01")}};
    Backstage backstage;
    backstage.reportFiles(QStringList{dir.path()}, volumes);
    backstage.reportFiles(QStringList{dir.path()}, volumes);
    QCOMPARE(volumes.keys(), QStringList{dir.filePath("sosreport-h.zip")});
    QCOMPARE(volumes.size(), 1);
}

void TestReportFiles::unreadableFolderWarns_data()
{
    QTest::addColumn<QString>("badFolder");
    QTest::newRow("missing") << "missing";
    QTest::newRow("a file, not a folder") << "sosreport-file";
}

void TestReportFiles::unreadableFolderWarns()
{
    QFETCH(QString, badFolder);
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("sosreport-file")));
    const QString bad = dir.filePath(badFolder);

    Backstage backstage;
    QSignalSpy warnings(&backstage, &Backstage::warnMessage);
    QMultiMap<QString, QString> volumes;
    const QStringList reports = backstage.reportFiles(QStringList{bad, dir.path()}, volumes);

    QCOMPARE(reports, QStringList{dir.filePath("sosreport-file")});
    QCOMPARE(warnings.size(), 1);
    QCOMPARE(warnings.at(0).at(0).toString(), QStringLiteral("Getting reports list"));
    QCOMPARE(warnings.at(0).at(1).toString(), QStringLiteral("Can't read directory ") + bad);
}

void TestReportFiles::unsafeFilesAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("symbolic link") << "symlink";
    QTest::newRow("hard link") << "hardlink";
    QTest::newRow("folder") << "folder";
    QTest::newRow("missing") << "missing";
    QTest::newRow("another user's file") << "foreign";
}

// A refused call never reaches the service: Backstage has none here, so reaching it would crash.
void TestReportFiles::unsafeFilesAreRefused()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("secret"));
    touch(target);
    QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const QString planted = dir.filePath(QStringLiteral("sosreport-planted.tar.xz"));
    if (kind == QLatin1String("symlink"))
        QVERIFY(QFile::link(target, planted));
    else if (kind == QLatin1String("hardlink"))
        QCOMPARE(
            ::link(QFile::encodeName(target).constData(), QFile::encodeName(planted).constData()),
            0);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(planted));
    else if (kind == QLatin1String("foreign")) {
        if (::geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        touch(planted);
        QCOMPARE(::chown(QFile::encodeName(planted).constData(), 65534, 65534), 0);
    }

    Backstage backstage;
    QSignalSpy warnings(&backstage, &Backstage::warnMessage);
    backstage.changeMode(QStringLiteral("o+r"), planted);
    backstage.encryptFiles(QStringList{dir.filePath(QStringLiteral("ok")), planted},
                           QStringLiteral("pw"));

    QCOMPARE(warnings.size(), 2);
    for (const QList<QVariant> &warning : warnings) {
        QCOMPARE(warning.at(0).toString(), QStringLiteral("Warning!"));
        QVERIFY2(warning.at(1).toString().contains(planted), qPrintable(warning.at(1).toString()));
    }
    QVERIFY(!QFile::permissions(target).testFlag(QFileDevice::ReadOther));
}

void TestReportFiles::passwordWithLineBreakIsRefused()
{
    QTemporaryDir dir;
    const QString report = dir.filePath(QStringLiteral("sosreport-x.tar.xz"));
    touch(report);
    Backstage backstage;
    QSignalSpy warnings(&backstage, &Backstage::warnMessage);
    backstage.encryptFiles(QStringList{report}, QStringLiteral("first\nsecond"));
    QCOMPARE(warnings.size(), 1);
    QCOMPARE(warnings.at(0).at(1).toString(),
             QStringLiteral("The password must not contain line breaks."));
    QVERIFY(QFile::exists(report));
}

KRO_TEST_MAIN(TestReportFiles)
#include "tst_reportfiles.moc"
