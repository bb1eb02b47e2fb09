// SPDX-License-Identifier: GPL-2.0-or-later
#include "changestatedetector.h"

#include "lineprefix.h"
#include "regularfilereader.h"

#include <QHash>
#include <QStringList>
#include <vector>

namespace {

// One change while the lines of its file go by: the examined lines begin at the first line
// that starts with the anchor, or at the first line when there is none.
class Scan
{
public:
    explicit Scan(const FileChange &change)
        : anchor(change.anchor), newText(change.newtext), oldText(change.oldtext),
          examining(change.anchor.isEmpty())
    {
    }

    void look(const LineText &line)
    {
        // Once the new text is seen nothing else can change the answer.
        if (hasNew)
            return;
        if (!examining) {
            if (!anchor.isStartOf(line))
                return;
            examining = true;
        }
        hasNew = newText.isStartOf(line);
        hasOld = hasOld || oldText.isStartOf(line);
    }

    FileChangeState state() const
    {
        if (hasNew)
            return FileChangeState::Changed;
        return hasOld ? FileChangeState::Unchanged : FileChangeState::NoMatch;
    }

private:
    LinePrefix anchor;
    LinePrefix newText;
    LinePrefix oldText;
    bool examining;
    bool hasNew = false;
    bool hasOld = false;
};

} // namespace

int ChangeStateDetector::add(const FileChange &change)
{
    changes.append(change);
    states.append(FileChangeState::FileMissing);
    return changes.size() - 1;
}

void ChangeStateDetector::run(const std::atomic_bool *stop)
{
    QStringList files;
    QHash<QString, QVector<int>> changesOfFile;
    for (int i = 0; i < changes.size(); ++i) {
        QVector<int> &indexes = changesOfFile[changes.at(i).filename];
        if (indexes.isEmpty())
            files.append(changes.at(i).filename);
        indexes.append(i);
    }
    for (const QString &file : qAsConst(files)) {
        if (stop && stop->load())
            return;
        const QVector<int> &indexes = changesOfFile.value(file);
        // A file that cannot be used for the changes counts as missing.
        QByteArray content;
        if (RegularFileReader::read(file, content) != RegularFileReader::Read) {
            for (int i : indexes)
                states[i] = FileChangeState::FileMissing;
            continue;
        }
        std::vector<Scan> scans;
        scans.reserve(size_t(indexes.size()));
        for (int i : indexes)
            scans.emplace_back(changes.at(i));
        forEachLine(content, [&scans](LineRef ref) {
            const LineText line(ref);
            for (Scan &scan : scans)
                scan.look(line);
        });
        for (int k = 0; k < indexes.size(); ++k)
            states[indexes.at(k)] = scans.at(size_t(k)).state();
    }
}

ModuleState ChangeStateDetector::moduleState(int first, int count) const
{
    int changed = 0;
    int unchanged = 0;
    for (int i = first; i < first + count; ++i) {
        if (states.at(i) == FileChangeState::Changed)
            ++changed;
        else if (states.at(i) == FileChangeState::Unchanged)
            ++unchanged;
    }
    if (count == 0)
        return ModuleState::Unknown;
    if (changed == count)
        return ModuleState::Active;
    if (changed > 0)
        return unchanged == 0 ? ModuleState::PartlyActive : ModuleState::Mixed;
    if (unchanged == count)
        return ModuleState::NotActive;
    return unchanged > 0 ? ModuleState::PartlyUnchanged : ModuleState::Unknown;
}
