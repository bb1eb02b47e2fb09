// SPDX-License-Identifier: GPL-2.0-or-later
// The file change engine and the command runner through the real privileged helper on a
// private bus: every result code, owner and mode of the edited file, the shipped modules on the
// services' default configuration files, and the commands as the stand-ins receive them.
#include "backstage.h"
#include "dbusservice.h"
#include "testenvironment.h"
#include "testfiles.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(FileChange)

namespace {

using KroTest::readAll;
using KroTest::writeAll;

} // namespace

class TestFileChanges : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void applyReportsEveryFailure_data();
    void applyReportsEveryFailure();
    void switchKeepsOwnerAndMode();
    void staleTemporaryCopyThatCannotBeRemoved();
    void laterChangesRunAfterAFailure();
    void shippedModuleSwitchesCleanly_data();
    void shippedModuleSwitchesCleanly();
    void commandsReachTheStandIns();

private:
    QString config;
    std::unique_ptr<QTemporaryDir> dir;
    KroAdmin::DbusService service;
    Backstage backstage;
};

void TestFileChanges::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    config = dir->filePath(QStringLiteral("svc.conf"));
    backstage.setDbusService(&service);
    QFile::remove(QStringLiteral(KRO_RECORDED_CALLS));
}

void TestFileChanges::cleanup()
{
    QDir home(KroTest::homePath());
    for (const QString &name : home.entryList({QStringLiteral("*.tmp")}, QDir::AllEntries))
        QDir(home.filePath(name)).removeRecursively() || QFile::remove(home.filePath(name));
}

void TestFileChanges::applyReportsEveryFailure_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("anchor");
    QTest::addColumn<bool>("rollback");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    QTest::newRow("on without old text")
        << QByteArray("x\n") << QString() << false << int(Backstage::OldTextMissing)
        << QStringLiteral("Failed to find text to be replaced : level = 0 ");
    QTest::newRow("on without anchor line")
        << QByteArray("level = 0\n") << QStringLiteral("[main]") << false
        << int(Backstage::AnchorMissing) << QStringLiteral("Failed to find anchor text : [main] ");
    QTest::newRow("off with new text last")
        << QByteArray("x\nlevel = 9\n") << QString() << true << int(Backstage::NothingToRestore)
        << QStringLiteral("Failed to find text to be replaced : level = 9 ");
    QTest::newRow("off anchored, old text never there")
        << QByteArray("[main]\nlevel = 9\n") << QStringLiteral("[main]") << true
        << int(Backstage::NothingToUncomment)
        << QStringLiteral("Failed to uncomment text : level = 9 ");
    QTest::newRow("on succeeds") << QByteArray("  level = 0") << QString() << false
                                 << int(Backstage::Success) << QString();
}

void TestFileChanges::applyReportsEveryFailure()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, anchor);
    QFETCH(bool, rollback);
    QFETCH(int, code);
    QFETCH(QString, message);

    writeAll(config, content);
    const FileChange change{config, QStringLiteral("level = 0"), QStringLiteral("level = 9"),
                            anchor};
    QSignalSpy warnings(&backstage, &Backstage::warnMessage);
    QCOMPARE(backstage.applyFileChanges({}, rollback), 0); // a fresh error list
    QCOMPARE(backstage.applyFileChange(change, rollback), code);
    QCOMPARE(backstage.fileChangeErrors(),
             message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(warnings.count(), 0);
    if (code != Backstage::Success) {
        QCOMPARE(readAll(config), content);
        return;
    }
    // The final line feed is added; the indentation stays.
    QCOMPARE(readAll(config), QByteArray("  level = 9\n##commented   level = 0\n"));
    QVERIFY(!QFile::exists(QDir(KroTest::homePath()).filePath(QStringLiteral("svc.conf.tmp"))));

    const FileChange missing{dir->filePath(QStringLiteral("none.conf")), change.oldtext,
                             change.newtext, QString()};
    QCOMPARE(backstage.applyFileChange(missing, false), int(Backstage::ConfigMissing));
    QCOMPARE(backstage.fileChangeErrors().constLast(),
             QStringLiteral("File %1 not found").arg(missing.filename));
}

void TestFileChanges::switchKeepsOwnerAndMode()
{
    const QByteArray original = "[main]\n\tlevel = 0\nother = 1\n";
    writeAll(config, original);
    QCOMPARE(::chown(QFile::encodeName(config).constData(), 1234, 5678), 0);
    QCOMPARE(::chmod(QFile::encodeName(config).constData(), 0640), 0);
    const FileChange change{config, QStringLiteral("level = 0"), QStringLiteral("level = 9"),
                            QStringLiteral("[main]")};

    for (bool rollback : {false, true}) {
        QCOMPARE(backstage.applyFileChange(change, rollback), int(Backstage::Success));
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(config).constData(), &info), 0);
        QCOMPARE(info.st_uid, uid_t(1234));
        QCOMPARE(info.st_gid, gid_t(5678));
        QCOMPARE(info.st_mode & 07777, mode_t(0640));
    }
    QCOMPARE(readAll(config), original);
}

void TestFileChanges::staleTemporaryCopyThatCannotBeRemoved()
{
    writeAll(config, "level = 0\n");
    const QString stale = QDir(KroTest::homePath()).filePath(QStringLiteral("svc.conf.tmp"));
    QVERIFY(QDir().mkpath(stale + QStringLiteral("/inside")));
    const FileChange change{config, QStringLiteral("level = 0"), QStringLiteral("level = 9"), {}};
    QCOMPARE(backstage.applyFileChanges({change}, false), 1);
    QCOMPARE(backstage.fileChangeErrors(),
             QStringList{QStringLiteral("Failed to delete temporary file : %1 ").arg(stale)});
    QCOMPARE(readAll(config), QByteArray("level = 0\n"));

    // A removable left-over copy is simply replaced.
    QVERIFY(QDir(stale).removeRecursively());
    writeAll(stale, "left over");
    QCOMPARE(backstage.applyFileChange(change, false), int(Backstage::Success));
    QCOMPARE(backstage.applyFileChange(change, true), int(Backstage::Success));
    QCOMPARE(readAll(config), QByteArray("level = 0\n"));
}

void TestFileChanges::laterChangesRunAfterAFailure()
{
    writeAll(config, "a = 0\nb = 0\nc = 0\n");
    const QList<FileChange> changes{{config, "a = 0", "a = 1", {}},
                                    {config, "missing", "x", {}},
                                    {config, "c = 0", "c = 1", {}}};
    QCOMPARE(backstage.applyFileChanges(changes, false), 1);
    QCOMPARE(backstage.fileChangeErrors().size(), 1);
    QCOMPARE(readAll(config),
             QByteArray("a = 1\n##commented a = 0\nb = 0\nc = 1\n##commented c = 0\n"));
    QCOMPARE(backstage.applyFileChanges(changes, true), 1);
    QCOMPARE(readAll(config), QByteArray("a = 0\nb = 0\nc = 0\n"));
}

void TestFileChanges::shippedModuleSwitchesCleanly_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("fixture");
    QTest::newRow("sssd") << "sssd.json"
                          << "sssd.conf";
    QTest::newRow("cups") << "cups.json"
                          << "cupsd.conf";
    QTest::newRow("samba") << "samba.json"
                           << "smb.conf";
}

void TestFileChanges::shippedModuleSwitchesCleanly()
{
    QFETCH(QString, module);
    QFETCH(QString, fixture);
    std::unique_ptr<DebugModuleObject> shipped(
        backstage.readDebugModule(QStringLiteral(KRO_SHIPPED_MODULES "/") + module));
    QVERIFY(shipped);
    QVERIFY(!shipped->fileChanges().isEmpty());
    QVERIFY(!shipped->debugCommands().isEmpty());
    // Each service has a sos plugin of its own name.
    QCOMPARE(shipped->plugins(), QStringList{shipped->name()});

    const QString copy = dir->filePath(fixture);
    QVERIFY(QFile::copy(QStringLiteral(KRO_FIXTURES "/") + fixture, copy));
    const QByteArray original = readAll(copy);
    QList<FileChange> changes = shipped->fileChanges();
    for (FileChange &change : changes) {
        QCOMPARE(QFileInfo(change.filename).fileName(), fixture);
        change.filename = copy;
    }
    QCOMPARE(backstage.detectModuleState(changes), ModuleState::NotActive);
    QCOMPARE(backstage.applyFileChanges(changes, false), 0);
    QCOMPARE(backstage.detectModuleState(changes), ModuleState::Active);
    QVERIFY(readAll(copy) != original);
    QCOMPARE(backstage.applyFileChanges(changes, true), 0);
    QCOMPARE(backstage.detectModuleState(changes), ModuleState::NotActive);
    QCOMPARE(readAll(copy), original);
}

void TestFileChanges::commandsReachTheStandIns()
{
    QSignalSpy warnings(&backstage, &Backstage::warnMessage);
    const QStringList commands{"systemctl restart sssd",
                               "reboot",
                               "restart-session",
                               "systemctl  \t stop   x ",
                               "shutdown -r now # reboot",
                               "kro-failing a",
                               " \t "};
    QCOMPARE(backstage.executeCommands(commands), 2);
    QCOMPARE(backstage.failedCommands(), QStringList({"kro-failing a", " \t "}));
    QCOMPARE(readAll(QStringLiteral(KRO_RECORDED_CALLS)),
             QByteArray("systemctl\n  restart\n  sssd\n"
                        "systemctl\n  stop\n  x\n"
                        "kro-failing\n  a\n"));
    // The helper's own complaint about the failing program reaches the window's error display.
    QCOMPARE(warnings.count(), 1);

    QCOMPARE(backstage.executeCommands({}), 0);
    QVERIFY(backstage.failedCommands().isEmpty());
}

KRO_TEST_MAIN(TestFileChanges)
#include "tst_filechanges.moc"
