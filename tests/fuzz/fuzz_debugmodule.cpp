// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: the input is a debug module, a line of four dashes and a configuration file.
// The module is read from a file as the window reads it, each of its changes is detected on the
// file, which must agree with the decoded lines, and switched on and back in memory. Where the
// texts of a change are plain and the file holds no trace of an earlier switch, switching back
// must give the original lines.
#include "backstage.h"
#include "decodedstate.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <memory>

namespace {

const QByteArray Separator = QByteArrayLiteral("\n----\n");
const QString Marker = QStringLiteral("##commented ");

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    KroTest::writeAll(dir.filePath(name), content);
    return dir.filePath(name);
}

// One line, free of surrounding blanks, that the file's encoding can hold.
bool isPlain(const QString &text)
{
    return !text.isEmpty() && text == text.trimmed() && !text.contains(QLatin1Char('\n')) &&
           !text.contains(QLatin1Char('\r')) && QString::fromLocal8Bit(text.toLocal8Bit()) == text;
}

bool promisesRoundTrip(const FileChange &change, const QList<QByteArray> &lines)
{
    if (!isPlain(change.oldtext) || !isPlain(change.newtext) ||
        !(change.anchor.isEmpty() || isPlain(change.anchor)))
        return false;
    for (const QByteArray &line : lines) {
        // A line already marked, or one that the new text would take for a line it put there,
        // is a file the switch cannot tell apart from its own edit.
        const QString text = Backstage::lineText(line);
        if (text.contains(Marker) || text.startsWith(change.newtext) ||
            Backstage::lineText(Marker.toLatin1() + line).startsWith(change.newtext))
            return false;
    }
    return true;
}

void checkChange(Backstage &backstage, FileChange change, const QString &config,
                 const QList<QByteArray> &original)
{
    change.filename = config;
    if (backstage.detectFileChangeState(change) != KroTest::decodedState(change, original))
        qFatal("the state found on the bytes differs from the decoded lines");
    QList<QByteArray> lines = original;
    if (!Backstage::editLines(lines, change, false))
        return;
    // The edited lines go through a file and back, as the engine keeps them between switches.
    QByteArray written;
    for (const QByteArray &line : qAsConst(lines))
        written.append(line).append('\n');
    lines = Backstage::splitLines(written);
    Backstage::editLines(lines, change, true);
    if (promisesRoundTrip(change, original) && lines != original)
        qFatal("switching on and back changed the file");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const auto dir = std::make_unique<QTemporaryDir>();
    static Backstage backstage;
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    const int split = input.indexOf(Separator);
    const QByteArray moduleText = split < 0 ? input : input.left(split);
    const QByteArray content = split < 0 ? QByteArray() : input.mid(split + Separator.size());

    const QString config = writeFile(*dir, QStringLiteral("service.conf"), content);
    std::unique_ptr<DebugModuleObject> module(
        backstage.readDebugModule(writeFile(*dir, QStringLiteral("module.json"), moduleText)));
    if (!module)
        return 0;
    const QList<QByteArray> original =
        content.isEmpty() ? QList<QByteArray>() : Backstage::splitLines(content);
    for (const FileChange &change : module->fileChanges())
        checkChange(backstage, change, config, original);
    return 0;
}
