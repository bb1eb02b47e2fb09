// SPDX-License-Identifier: GPL-2.0-or-later
// What a change finds in the lines of a file, told the slow and plain way: every line decoded
// whole in the locale's encoding and trimmed. The detection that works on bytes must agree.
#pragma once

#include "debugmoduleobject.h"

#include <QByteArray>
#include <QList>

namespace KroTest {

inline FileChangeState decodedState(const FileChange &change, const QList<QByteArray> &lines)
{
    bool examining = change.anchor.isEmpty();
    bool hasNew = false;
    bool hasOld = false;
    for (const QByteArray &line : lines) {
        const QString text = QString::fromLocal8Bit(line.constData(), line.size()).trimmed();
        examining = examining || text.startsWith(change.anchor);
        hasNew = hasNew || (examining && text.startsWith(change.newtext));
        hasOld = hasOld || (examining && text.startsWith(change.oldtext));
    }
    if (hasNew)
        return FileChangeState::Changed;
    return hasOld ? FileChangeState::Unchanged : FileChangeState::NoMatch;
}

} // namespace KroTest
