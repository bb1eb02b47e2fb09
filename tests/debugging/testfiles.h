// SPDX-License-Identifier: GPL-2.0-or-later
// Whole-file reads and writes for the debugging tests, which compare files byte for byte.
#pragma once

#include <QByteArray>
#include <QFile>

namespace KroTest {

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline void writeAll(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace KroTest
