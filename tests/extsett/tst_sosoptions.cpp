// SPDX-License-Identifier: GPL-2.0-or-later
// Reading the accepted options from the real help text of sos 4.0, keeping them per version, and
// accepting everything while they are not known.
#include "sosoptions.h"
#include "testenvironment.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {
const QString HelpFixture = QStringLiteral(KRO_FIXTURES "/sosreport-4.0-help.txt");

QString readFixture()
{
    QFile file(HelpFixture);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
} // namespace

class SosOptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void helpText_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("accepted");
        for (const char *option : {"--batch", "--case-id", "--tmp-dir", "-o", "-z", "--mask"})
            QTest::newRow(option) << option << true;
        // "-l)" and "--all-logs." stand in wrapped descriptions, not at the option column.
        for (const char *option :
             {"--noetc", "--split", "--forcedbadplugins", "-l)", "--all-logs."})
            QTest::newRow(option) << option << false;
    }
    void helpText()
    {
        QFETCH(QString, option);
        QFETCH(bool, accepted);
        QCOMPARE(SosOptions::parseHelp(readFixture()).contains(option), accepted);
    }

    void installedVersion()
    {
        QTemporaryDir dir;
        QFile module(dir.filePath(QStringLiteral("__init__.py")));
        QVERIFY(module.open(QIODevice::WriteOnly));
        module.write("# sos\n__version__ = \"4.0\"\n");
        module.close();
        QCOMPARE(SosOptions::installedVersion(module.fileName()), QStringLiteral("4.0"));
        QCOMPARE(SosOptions::installedVersion(dir.filePath(QStringLiteral("none"))), QString());
    }

    void installedPlugins()
    {
        QTemporaryDir dir;
        const QList<QPair<QString, QByteArray>> files{
            {"cups.py", "class Cups(Plugin):\n    plugin_name = 'cups'\n"},
            {"nfs.py", "class Nfs(Plugin):\n    plugin_name = \"nfs_client\"\n"
                       "class NfsServer(Plugin):\n    plugin_name = \"nfs_server\"\n"},
            {"stratis.py", "class Stratis(Plugin):\n    pass\n"},
            {"__init__.py", "plugin_name = 'base'\n"},
            {"notes.txt", "plugin_name = 'notes'\n"}};
        for (const auto &file : files) {
            QFile module(dir.filePath(file.first));
            QVERIFY(module.open(QIODevice::WriteOnly));
            module.write(file.second);
        }
        QStringList names = SosOptions::installedPlugins(dir.path());
        names.sort();
        QCOMPARE(names, (QStringList{"cups", "nfs_client", "nfs_server", "stratis"}));
        QVERIFY(SosOptions::installedPlugins(dir.filePath(QStringLiteral("none"))).isEmpty());

        // nfs.py names other plugins; nfs_client is found by the full scan.
        QCOMPARE(SosOptions::unknownPlugins({"cups", "nfs", "nfs_client", "stratis", "nosuch"},
                                            dir.path()),
                 (QStringList{"nfs", "nosuch"}));
        // Without any plugin module nothing is known to be missing.
        QCOMPARE(SosOptions::unknownPlugins({"nosuch"}, dir.filePath(QStringLiteral("none"))),
                 QStringList());
    }

    void secondStartRunsNothing()
    {
        QTemporaryDir dir;
        QFile program(dir.filePath(QStringLiteral("sosreport")));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\nexec cat '" + HelpFixture.toUtf8() + "'\n");
        program.close();
        QVERIFY(program.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        SosOptions first(QStringLiteral("4.0"), program.fileName());
        QSignalSpy firstKnown(&first, &SosOptions::known);
        first.load();
        QVERIFY(firstKnown.wait(10000));

        SosOptions second(QStringLiteral("4.0"), dir.filePath(QStringLiteral("missing")));
        QSignalSpy secondKnown(&second, &SosOptions::known);
        second.load();
        QCOMPARE(secondKnown.count(), 1);
        QVERIFY(second.accepts(QStringLiteral("--case-id")));
        QVERIFY(!second.accepts(QStringLiteral("--noetc")));
        const QVariantMap map{{QStringLiteral("--noetc"), true},
                              {QStringLiteral("--case-id"), QStringLiteral("C1")},
                              {QStringLiteral("sinceval"), 2}};
        QCOMPARE(second.acceptedOnly(map).keys(),
                 (QStringList{QStringLiteral("--case-id"), QStringLiteral("sinceval")}));
    }

    void unknownAcceptsEverything()
    {
        SosOptions options(QStringLiteral("9.9"), QStringLiteral("/nonexistent/sosreport"));
        options.load();
        QVERIFY(!options.isKnown());
        QVERIFY(options.accepts(QStringLiteral("--noetc")));
        const QVariantMap map{{QStringLiteral("--split"), 10}};
        QCOMPARE(options.acceptedOnly(map), map);
    }
};

KRO_TEST_MAIN(SosOptionsTest)
#include "tst_sosoptions.moc"
