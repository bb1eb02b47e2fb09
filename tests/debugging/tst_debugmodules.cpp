// SPDX-License-Identifier: GPL-2.0-or-later
// Reading module files, finding them, detecting their state, and the line edits of the file
// change engine, including the promise that switching on and off gives the file back unchanged.
#include "backstage.h"
#include "changestatedetector.h"
#include "debugmoduleloader.h"
#include "decodedstate.h"
#include "testenvironment.h"
#include "testfiles.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextCodec>
#include <memory>
#include <sys/stat.h>

Q_DECLARE_METATYPE(FileChangeState)
Q_DECLARE_METATYPE(ModuleState)

class TestDebugModules : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readsModule_data();
    void readsModule();
    void readsEveryField();
    void readsPlugins_data();
    void readsPlugins();
    void detectsChangeState_data();
    void detectsChangeState();
    void combinesModuleState_data();
    void combinesModuleState();
    void listsModuleFiles();
    void refusesFilesThatAreNotPlainText_data();
    void refusesFilesThatAreNotPlainText();
    void editsLines_data();
    void editsLines();
    void keepsUntouchedLinesByteForByte();
    void switchingOnAndOffRestoresAnyFile();
    void detectsAsTheDecodedLinesRead_data();
    void detectsAsTheDecodedLinesRead();
    void loadsModulesOnAWorker();

private:
    QString writeFile(const QString &name, const QByteArray &content);
    std::unique_ptr<QTemporaryDir> dir;
    Backstage backstage;
};

void TestDebugModules::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

QString TestDebugModules::writeFile(const QString &name, const QByteArray &content)
{
    KroTest::writeAll(dir->filePath(name), content);
    return dir->filePath(name);
}

void TestDebugModules::readsModule_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("warning"); // %1 stands for the path
    QTest::addColumn<int>("debugCommands");
    QTest::addColumn<int>("fileChanges");

    const QString noObject = QStringLiteral("File %1 \nnot contains valid JSON object.");
    const QString noName = QStringLiteral("File %1 \nnot contains valid field 'modulename'.");
    QTest::newRow("empty file") << QByteArray() << noObject << 0 << 0;
    QTest::newRow("array") << QByteArray("[]") << noObject << 0 << 0;
    QTest::newRow("broken json") << QByteArray("{\"modulename\": ") << noObject << 0 << 0;
    QTest::newRow("no name") << QByteArray("{}") << noName << 0 << 0;
    QTest::newRow("empty name") << QByteArray("{\"modulename\": \"\"}") << noName << 0 << 0;
    QTest::newRow("number name") << QByteArray("{\"modulename\": 5}") << noName << 0 << 0;
    QTest::newRow("name only") << QByteArray("{\"modulename\": \"m\"}") << QString() << 0 << 0;
    QTest::newRow("mixed commands")
        << QByteArray("{\"modulename\": \"m\", \"commands_debug\": [\"\", 3, \"a b\"]}")
        << QString() << 1 << 0;
    QTest::newRow("commands not an array")
        << QByteArray("{\"modulename\": \"m\", \"commands_debug\": \"a b\"}") << QString() << 0
        << 0;
    QTest::newRow("incomplete change skipped")
        << QByteArray("{\"modulename\": \"m\", \"filechanges\": ["
                      "{\"filename\": \"f\", \"oldtext\": \"a\"},"
                      "{\"filename\": \"f\", \"oldtext\": \"a\", \"newtext\": 1},"
                      "{\"filename\": \"\", \"oldtext\": \"a\", \"newtext\": \"b\"},"
                      "7,"
                      "{\"filename\": \"f\", \"oldtext\": \"a\", \"newtext\": \"b\"}]}")
        << QString() << 0 << 1;
}

void TestDebugModules::readsModule()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, warning);
    QFETCH(int, debugCommands);
    QFETCH(int, fileChanges);

    const QString path = writeFile(QStringLiteral("module.json"), content);
    QSignalSpy spy(&backstage, &Backstage::warnMessage);
    std::unique_ptr<DebugModuleObject> module(backstage.readDebugModule(path));
    if (!warning.isEmpty()) {
        QVERIFY(!module);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("Error!"));
        QCOMPARE(spy.at(0).at(1).toString(), warning.arg(path));
        return;
    }
    QVERIFY(module);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(module->debugCommands().size(), debugCommands);
    QCOMPARE(module->fileChanges().size(), fileChanges);
    if (fileChanges == 0)
        QCOMPARE(module->state(), ModuleState::Unknown);
}

void TestDebugModules::readsEveryField()
{
    const QString config = writeFile(QStringLiteral("svc.conf"), "[main]\nlevel = 0\n");
    const QString path = writeFile(
        QStringLiteral("module.json"),
        QStringLiteral("{\"modulename\": \"svc\", \"unknown\": 1,"
                       " \"commands_debug\": [\"systemctl restart svc\", \"reboot\"],"
                       " \"commands_rollback\": [\"systemctl restart svc\"],"
                       " \"filechanges\": ["
                       "  {\"filename\": \"%1\", \"oldtext\": \"level = 0\","
                       "   \"newtext\": \"level = 9\", \"anchor\": \"[main]\"},"
                       "  {\"filename\": \"%1\", \"oldtext\": \"x\", \"newtext\": \"y\"}]}")
            .arg(config)
            .toUtf8());
    QSignalSpy spy(&backstage, &Backstage::warnMessage);
    std::unique_ptr<DebugModuleObject> module(backstage.readDebugModule(path));
    QVERIFY(module);
    QCOMPARE(module->name(), QStringLiteral("svc"));
    QCOMPARE(module->debugCommands(),
             QStringList({QStringLiteral("systemctl restart svc"), QStringLiteral("reboot")}));
    QCOMPARE(module->rollbackCommands(), QStringList{QStringLiteral("systemctl restart svc")});
    QCOMPARE(module->fileChanges().size(), 2);
    QCOMPARE(module->fileChanges().at(0).anchor, QStringLiteral("[main]"));
    QCOMPARE(module->fileChanges().at(1).anchor, QString());
    // One change finds its old text, the other finds nothing at all.
    QCOMPARE(module->state(), ModuleState::PartlyUnchanged);

    QVERIFY(!backstage.readDebugModule(dir->filePath(QStringLiteral("missing.json"))));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(1).toString(),
             QStringLiteral("Couldn't open file %1.").arg(dir->filePath("missing.json")));
}

void TestDebugModules::readsPlugins_data()
{
    QTest::addColumn<QByteArray>("plugins"); // the value of "plugins", empty when left out
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("refused");
    QTest::newRow("left out") << QByteArray() << QStringList() << false;
    QTest::newRow("empty list") << QByteArray("[]") << QStringList() << false;
    QTest::newRow("names, twice once")
        << QByteArray("[\"sssd\", \"x_11\", \"sssd\"]") << QStringList{"sssd", "x_11"} << false;
    QTest::newRow("one name, not a list") << QByteArray("\"sssd\"") << QStringList() << true;
    QTest::newRow("null") << QByteArray("null") << QStringList() << true;
    QTest::newRow("a number in the list") << QByteArray("[\"sssd\", 5]") << QStringList() << true;
    QTest::newRow("an option") << QByteArray("[\"--upload\"]") << QStringList() << true;
    QTest::newRow("two at once") << QByteArray("[\"a,b\"]") << QStringList() << true;
    QTest::newRow("empty name") << QByteArray("[\"\"]") << QStringList() << true;
    QTest::newRow("a final line break") << QByteArray("[\"x\\n\"]") << QStringList() << true;
}

void TestDebugModules::readsPlugins()
{
    QFETCH(QByteArray, plugins);
    QFETCH(QStringList, expected);
    QFETCH(bool, refused);
    const QByteArray field = plugins.isEmpty() ? QByteArray() : ", \"plugins\": " + plugins;
    const QString path =
        writeFile(QStringLiteral("module.json"), "{\"modulename\": \"m\"" + field + "}");
    QSignalSpy spy(&backstage, &Backstage::warnMessage);
    std::unique_ptr<DebugModuleObject> module(backstage.readDebugModule(path));
    QCOMPARE(!module, refused);
    QCOMPARE(spy.count(), refused ? 1 : 0);
    if (refused)
        QCOMPARE(spy.at(0).at(1).toString(),
                 QStringLiteral("File %1 \nfield 'plugins' must be a list of sos plugin names "
                                "(letters, digits and underscores).")
                     .arg(path));
    else
        QCOMPARE(module->plugins(), expected);
}

void TestDebugModules::detectsChangeState_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("anchor");
    QTest::addColumn<FileChangeState>("state");

    QTest::newRow("old text") << QByteArray("a\ndebug = 0\n") << QString()
                              << FileChangeState::Unchanged;
    QTest::newRow("indented new text")
        << QByteArray("debug = 0\n \t debug = 9  \n") << QString() << FileChangeState::Changed;
    QTest::newRow("nothing") << QByteArray("a\nb") << QString() << FileChangeState::NoMatch;
    QTest::newRow("case matters") << QByteArray("DEBUG = 0\n") << QString()
                                  << FileChangeState::NoMatch;
    QTest::newRow("marked old text")
        << QByteArray("##commented debug = 0\n") << QString() << FileChangeState::NoMatch;
    QTest::newRow("old text above anchor") << QByteArray("debug = 0\n[sec]\nx\n")
                                           << QStringLiteral("[sec]") << FileChangeState::NoMatch;
    QTest::newRow("anchor line itself counts")
        << QByteArray("[sec] debug = 9\n") << QStringLiteral("[sec]") << FileChangeState::NoMatch;
    QTest::newRow("below anchor") << QByteArray("x\n[sec]\ndebug = 0\n") << QStringLiteral("[sec]")
                                  << FileChangeState::Unchanged;
    QTest::newRow("anchor missing")
        << QByteArray("debug = 9\n") << QStringLiteral("[sec]") << FileChangeState::NoMatch;
}

void TestDebugModules::detectsChangeState()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, anchor);
    QFETCH(FileChangeState, state);
    const FileChange change{writeFile(QStringLiteral("c.conf"), content),
                            QStringLiteral("debug = 0"), QStringLiteral("debug = 9"), anchor};
    QCOMPARE(backstage.detectFileChangeState(change), state);
    const FileChange missing{dir->filePath(QStringLiteral("none.conf")), QStringLiteral("a"),
                             QStringLiteral("b"), QString()};
    QCOMPARE(backstage.detectFileChangeState(missing), FileChangeState::FileMissing);
}

void TestDebugModules::combinesModuleState_data()
{
    QTest::addColumn<QString>(
        "files"); // one letter per change: c changed, u unchanged, n none, m missing
    QTest::addColumn<ModuleState>("state");
    QTest::newRow("no changes") << QString() << ModuleState::Unknown;
    QTest::newRow("all changed") << "cc" << ModuleState::Active;
    QTest::newRow("changed and missing") << "cm" << ModuleState::PartlyActive;
    QTest::newRow("changed and unchanged") << "cun" << ModuleState::Mixed;
    QTest::newRow("all unchanged") << "uu" << ModuleState::NotActive;
    QTest::newRow("unchanged and missing") << "um" << ModuleState::PartlyUnchanged;
    QTest::newRow("nothing found") << "nm" << ModuleState::Unknown;
}

void TestDebugModules::combinesModuleState()
{
    QFETCH(QString, files);
    QFETCH(ModuleState, state);
    const QMap<QChar, QByteArray> contents{{'c', "new\n"}, {'u', "old\n"}, {'n', "other\n"}};
    QList<FileChange> changes;
    for (int i = 0; i < files.size(); ++i) {
        const QString name = QStringLiteral("f%1").arg(i);
        const QString path =
            files.at(i) == 'm' ? dir->filePath(name) : writeFile(name, contents.value(files.at(i)));
        changes.append({path, QStringLiteral("old"), QStringLiteral("new"), QString()});
    }
    QCOMPARE(backstage.detectModuleState(changes), state);
}

void TestDebugModules::listsModuleFiles()
{
    QDir(dir->path()).mkpath(QStringLiteral("one/more.json"));
    QDir(dir->path()).mkpath(QStringLiteral("two"));
    for (const char *name : {"one/c.json", "one/B.JSON", "one/a.json", "one/notes.txt",
                             "one/.hidden.json", "two/z.json"})
        writeFile(QString::fromLatin1(name), "{}");
    QFile::link(dir->filePath(QStringLiteral("two/z.json")), dir->filePath("one/link.json"));

    const QString missing = dir->filePath(QStringLiteral("missing"));
    QSignalSpy spy(&backstage, &Backstage::warnMessage);
    const QStringList files =
        backstage.debugModuleFiles({dir->filePath("one"), missing, dir->filePath("two")});
    QStringList expected;
    for (const char *name :
         {"one/a.json", "one/B.JSON", "one/c.json", "one/link.json", "two/z.json"})
        expected.append(dir->filePath(QString::fromLatin1(name)));
    QCOMPARE(files, expected);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("Getting debug modules list"));
    QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("Can't read directory %1").arg(missing));
}

void TestDebugModules::refusesFilesThatAreNotPlainText_data()
{
    QTest::addColumn<QString>("path"); // relative paths are made in the test's folder
    QTest::addColumn<QString>("reason");
    QTest::newRow("device") << "/dev/zero"
                            << "is not a regular file";
    QTest::newRow("fifo") << "fifo"
                          << "is not a regular file";
    QTest::newRow("over 16 MiB") << "large"
                                 << "is larger than 16 MiB";
}

// Neither the module file nor a file it names may block the window or fill its memory.
void TestDebugModules::refusesFilesThatAreNotPlainText()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    if (path == QStringLiteral("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(dir->filePath(path)).constData(), 0600), 0);
    if (path == QStringLiteral("large"))
        QVERIFY(QFile(writeFile(path, "level = 0\n")).resize(16 * 1024 * 1024 + 1));
    if (QDir::isRelativePath(path))
        path = dir->filePath(path);
    const QString message = QStringLiteral("File %1 %2").arg(path, reason);

    const FileChange change{path, QStringLiteral("level = 0"), QStringLiteral("level = 9"), {}};
    QCOMPARE(backstage.detectFileChangeState(change), FileChangeState::FileMissing);
    QCOMPARE(backstage.applyFileChanges({change}, false), 1);
    QCOMPARE(backstage.fileChangeErrors(), QStringList{message});

    QSignalSpy spy(&backstage, &Backstage::warnMessage);
    QVERIFY(!backstage.readDebugModule(path));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(1).toString(), message);
}

void TestDebugModules::editsLines_data()
{
    QTest::addColumn<QString>("anchor");
    QTest::addColumn<bool>("rollback");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after"); // empty when nothing is to change
    const QString anchor = QStringLiteral("[domain/default]");

    QTest::newRow("on, every match")
        << QString() << false << QByteArray("a\ndebug_level = 0\nb\n  debug_level = 0\n")
        << QByteArray("a\ndebug_level = 9\n##commented debug_level = 0\nb\n"
                      "  debug_level = 9\n##commented   debug_level = 0\n");
    QTest::newRow("on, nothing to replace")
        << QString() << false << QByteArray("a\n") << QByteArray();
    QTest::newRow("on, anchored")
        << anchor << false << QByteArray("debug_level = 0\n[domain/default]\nx\ndebug_level = 0\n")
        << QByteArray("debug_level = 0\n[domain/default]\ndebug_level = 9\nx\n"
                      "##commented debug_level = 0\n");
    QTest::newRow("on, anchor missing")
        << anchor << false << QByteArray("debug_level = 0\n") << QByteArray();
    QTest::newRow("off, puts old text back before a plain line")
        << QString() << true << QByteArray("debug_level = 9\nx\n")
        << QByteArray("debug_level = 0\nx\n");
    QTest::newRow("off, new text is the last line")
        << QString() << true << QByteArray("x\ndebug_level = 9\n") << QByteArray();
    QTest::newRow("off, anchored without old text")
        << anchor << true << QByteArray("[domain/default]\ndebug_level = 9\n") << QByteArray();
    QTest::newRow("off, anchored doubly marked")
        << anchor << true
        << QByteArray(
               "[domain/default]\ndebug_level = 9\n##commented ##commented debug_level = 0\n")
        << QByteArray("[domain/default]\ndebug_level = 0\n");
    QTest::newRow("off, marked line holding a NUL byte")
        << QString() << true << QByteArray("debug_level = 9\n##commented \0 debug_level = 0\n", 46)
        << QByteArray("\0 debug_level = 0\n", 18);
    QTest::newRow("off, trimmed by an older edit")
        << QString() << true << QByteArray("  debug_level = 9\n  ##commented debug_level = 0\n")
        << QByteArray("  debug_level = 0\n");
}

void TestDebugModules::editsLines()
{
    QFETCH(QString, anchor);
    QFETCH(bool, rollback);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    const FileChange change{QString(), QStringLiteral("debug_level = 0"),
                            QStringLiteral("debug_level = 9"), anchor};
    QList<QByteArray> lines = before.split('\n');
    lines.removeLast();
    const QList<QByteArray> original = lines;
    QCOMPARE(Backstage::editLines(lines, change, rollback), !after.isEmpty());
    if (after.isEmpty())
        return;
    QList<QByteArray> expected = after.split('\n');
    expected.removeLast();
    QCOMPARE(lines, expected);
}

void TestDebugModules::keepsUntouchedLinesByteForByte()
{
    QList<QByteArray> lines{"\tkey: value  ", "  LogLevel warn\r", "\xff\xfe latin", "  - item"};
    const QList<QByteArray> original = lines;
    const FileChange change{QString(), QStringLiteral("LogLevel"), QStringLiteral("LogLevel debug"),
                            QString()};
    QVERIFY(Backstage::editLines(lines, change, false));
    QCOMPARE(lines.at(0), original.at(0));
    QCOMPARE(lines.at(1), QByteArray("  LogLevel debug"));
    QCOMPARE(lines.at(2), QByteArray("##commented   LogLevel warn\r"));
    QCOMPARE(lines.at(3), original.at(2));
    QCOMPARE(lines.at(4), original.at(3));
    QVERIFY(Backstage::editLines(lines, change, true));
    QCOMPARE(lines, original);
}

// Random files built from a small alphabet of line shapes, so that the texts of the change
// really occur, with indentation, blanks and look-alike lines; the seed is fixed.
void TestDebugModules::switchingOnAndOffRestoresAnyFile()
{
    QRandomGenerator random(20240517);
    const QStringList words{"debug", "debug_level", "level", "[sec]", "[sec", "x", "=", "0", "9"};
    const QStringList spaces{"", "", " ", "\t", "  "};
    auto pick = [&random](const QStringList &list) {
        return list.at(random.bounded(list.size()));
    };
    auto text = [&](int maxWords) {
        QStringList parts;
        for (int i = random.bounded(1, maxWords + 1); i > 0; --i)
            parts.append(pick(words));
        return parts.join(random.bounded(2) ? QStringLiteral(" ") : QString());
    };

    int checked = 0;
    for (int round = 0; round < 20000; ++round) {
        const FileChange change{QString(), text(2), text(3),
                                random.bounded(2) ? text(1) : QString()};
        QList<QByteArray> lines;
        for (int i = random.bounded(12); i > 0; --i)
            lines.append((pick(spaces) + text(4) + pick(spaces)).toUtf8());
        const bool eligible = std::none_of(lines.cbegin(), lines.cend(), [&](const QByteArray &l) {
            const QString trimmed = QString::fromUtf8(l).trimmed();
            return trimmed.contains(QStringLiteral("##commented ")) ||
                   trimmed.startsWith(change.newtext);
        });
        QList<QByteArray> edited = lines;
        if (!eligible || !Backstage::editLines(edited, change, false))
            continue;
        Backstage::editLines(edited, change, true);
        if (edited != lines)
            QFAIL(qPrintable(QStringLiteral("old '%1' new '%2' anchor '%3' file:\n%4")
                                 .arg(change.oldtext, change.newtext, change.anchor,
                                      QString::fromUtf8(lines.join('\n')))));
        ++checked;
    }
    QVERIFY2(checked > 2000, qPrintable(QString::number(checked)));
}

void TestDebugModules::detectsAsTheDecodedLinesRead_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::newRow("UTF-8") << QByteArray("UTF-8");
    QTest::newRow("Latin-1") << QByteArray("ISO-8859-1");
    QTest::newRow("another encoding") << QByteArray("KOI8-R");
}

// Most lines are told apart by their bytes alone; the answers must still be those of the decoded
// lines: line ends of CR LF, white space and byte order marks beyond ASCII, bytes that are no
// UTF-8, NUL bytes, and texts that end in a blank or reach beyond ASCII.
void TestDebugModules::detectsAsTheDecodedLinesRead()
{
    QFETCH(QByteArray, codec);
    QTextCodec *const localeCodec = QTextCodec::codecForLocale();
    QVERIFY(QTextCodec::codecForName(codec));
    QTextCodec::setCodecForLocale(QTextCodec::codecForName(codec));
    const QList<QByteArray> shapes{"level = 0\r",
                                   "  level = 9  \r",
                                   "\xc2\xa0level = 9",
                                   "\xef\xbb\xbflevel = 9",
                                   "\xe3\x80\x80level = 0",
                                   "level = 9\xc2\xa0",
                                   "level = 9 \xe3\x80\x80",
                                   "level = \xff",
                                   "\xe9t\xe9 = 1",
                                   "\xc3\xa9t\xc3\xa9 = 1",
                                   QByteArray("level\0 = 0", 10),
                                   "level = ",
                                   "level =\t",
                                   "\t[sec]",
                                   "",
                                   "   ",
                                   "##commented level = 0",
                                   "\xff\xfe",
                                   "\x85level = 0"};
    const QStringList texts{"level = 0",
                            "level = 9",
                            "level = ",
                            "level =",
                            QStringLiteral("\u00e9t\u00e9"),
                            QStringLiteral("level = 9\u00a0"),
                            QStringLiteral("\ufffd"),
                            QString::fromLatin1("level\0", 6),
                            "[sec]",
                            "##commented ",
                            " level",
                            ""};
    QRandomGenerator random(20261208);
    ChangeStateDetector detector;
    QList<FileChange> changes;
    QList<QList<QByteArray>> files;
    for (int file = 0; file < 300; ++file) {
        QList<QByteArray> lines;
        for (int i = random.bounded(1, 7); i > 0; --i)
            lines.append(shapes.at(random.bounded(shapes.size())));
        const QByteArray content = lines.join('\n');
        const QString path = writeFile(QStringLiteral("c%1.conf").arg(file), content);
        // A final line feed ends the last line rather than starting an empty one.
        lines = content.split('\n');
        if (lines.constLast().isEmpty())
            lines.removeLast();
        files.append(lines);
        // Several changes on each file, examined in one pass over its lines.
        for (int i = 0; i < 10; ++i) {
            changes.append({path, texts.at(random.bounded(texts.size())),
                            texts.at(random.bounded(texts.size())),
                            random.bounded(3) ? QString() : texts.at(random.bounded(4) + 7)});
            detector.add(changes.constLast());
        }
    }
    detector.run();
    QList<FileChangeState> expected;
    for (int i = 0; i < changes.size(); ++i)
        expected.append(KroTest::decodedState(changes.at(i), files.at(i / 10)));
    QTextCodec::setCodecForLocale(localeCodec);
    for (int i = 0; i < changes.size(); ++i) {
        const FileChange &change = changes.at(i);
        if (detector.state(i) != expected.at(i))
            QFAIL(qPrintable(
                QStringLiteral("old '%1' new '%2' anchor '%3' file:\n%4")
                    .arg(change.oldtext, change.newtext, change.anchor,
                         QString::fromLatin1(files.at(i / 10).join('\n').toPercentEncoding()))));
    }
}

// Folder warnings come first, then each file in listing order; modules sharing a configuration
// file each get the state of their own changes. A load asked for while another runs replaces it.
void TestDebugModules::loadsModulesOnAWorker()
{
    QDir(dir->path()).mkdir(QStringLiteral("modules"));
    const QString config = writeFile(QStringLiteral("shared.conf"), "a = 9\r\nb = 0\r\n");
    auto change = [&config](const char *oldtext, const char *newtext) {
        return QStringLiteral("{\"filename\": \"%1\", \"oldtext\": \"%2\", \"newtext\": \"%3\"}")
            .arg(config, QLatin1String(oldtext), QLatin1String(newtext));
    };
    writeFile(QStringLiteral("modules/a.json"),
              QStringLiteral("{\"modulename\": \"a\", \"filechanges\": [%1, %2]}")
                  .arg(change("a = 0", "a = 9"), change("b = 0", "b = 9"))
                  .toUtf8());
    writeFile(QStringLiteral("modules/b.json"),
              QStringLiteral("{\"modulename\": \"b\", \"filechanges\": [%1]}")
                  .arg(change("a = 0", "a = 9"))
                  .toUtf8());
    writeFile(QStringLiteral("modules/c.json"), "[]");
    writeFile(QStringLiteral("modules/d.json"), "{\"modulename\": \"d\", \"package\": \"gone\"}");
    writeFile(QStringLiteral("modules/e.json"), "{\"modulename\": \"e\", \"package\": 7}");
    const QString missing = dir->filePath(QStringLiteral("missing"));

    DebugModuleLoader loader;
    DebugModuleEntries entries;
    int deliveries = 0;
    connect(&loader, &DebugModuleLoader::loaded, this, [&](const DebugModuleEntries &loaded) {
        entries = loaded;
        ++deliveries;
    });
    QStringList asked;
    loader.load({dir->filePath(QStringLiteral("modules"))}, [](const QString &) { return true; });
    loader.load({missing, dir->filePath(QStringLiteral("modules"))},
                [&asked](const QString &package) {
                    asked.append(package);
                    return package != QLatin1String("gone");
                });
    QVERIFY(loader.isLoading());
    QTRY_VERIFY(!loader.isLoading());
    QCOMPARE(deliveries, 1);
    QCOMPARE(asked, QStringList{"gone"});
    QCOMPARE(entries.size(), 6);
    QCOMPARE(entries.at(0).warning.text, QStringLiteral("Can't read directory ") + missing);
    QCOMPARE(entries.at(1).module->state(), ModuleState::Mixed);
    QCOMPARE(entries.at(2).module->state(), ModuleState::Active);
    QVERIFY(!entries.at(3).module);
    QVERIFY(entries.at(3).warning.text.endsWith(QLatin1String("not contains valid JSON object.")));
    // A module whose package is missing is read, and known as not installed.
    QVERIFY(entries.at(1).module->isInstalled());
    QCOMPARE(entries.at(4).module->package(), QStringLiteral("gone"));
    QVERIFY(!entries.at(4).module->isInstalled());
    QVERIFY(entries.at(5).warning.text.endsWith(
        QLatin1String("field 'package' must be the name of a package.")));
    for (const DebugModuleEntry &entry : qAsConst(entries)) {
        QVERIFY(!entry.module || entry.module->thread() == thread());
        delete entry.module;
    }

    // Given up at once: what was read is deleted, nothing is handed over.
    auto gone = std::make_unique<DebugModuleLoader>();
    connect(gone.get(), &DebugModuleLoader::loaded, this, [&deliveries] { ++deliveries; });
    gone->load({dir->filePath(QStringLiteral("modules"))}, [](const QString &) { return true; });
    gone.reset();
    QCOMPARE(deliveries, 1);
}

KRO_TEST_MAIN(TestDebugModules)
#include "tst_debugmodules.moc"
