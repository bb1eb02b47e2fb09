// SPDX-License-Identifier: GPL-2.0-or-later
#include "sosprogress.h"

#include <QRegularExpression>

void SosProgress::feed(const QByteArray &output)
{
    pending += output;
    // A terminal gets carriage returns between progress lines, a file line feeds.
    int start = 0;
    for (int end = 0; end < pending.size(); ++end) {
        if (pending.at(end) != '\n' && pending.at(end) != '\r')
            continue;
        readLine(pending.mid(start, end - start));
        start = end + 1;
    }
    pending.remove(0, start);
}

void SosProgress::readLine(const QByteArray &line)
{
    static const QRegularExpression starting(
        QStringLiteral("^\\s*Starting\\s+(\\d+)/(\\d+)\\s+(\\S+)"));
    static const QRegularExpression detail(QStringLiteral("^\\s*(Size|md5)\\s+(\\S+)"));
    const QString text = QString::fromLocal8Bit(line.constData(), line.size());
    if (archiveNext && !text.trimmed().isEmpty()) {
        archivePath = text.trimmed();
        archiveNext = false;
        return;
    }
    if (text.contains(QLatin1String("has been generated and saved in:"))) {
        archiveNext = true;
        return;
    }
    const QRegularExpressionMatch progress = starting.match(text);
    if (progress.hasMatch()) {
        started = progress.captured(1).toInt();
        total = progress.captured(2).toInt();
        plugin = progress.captured(3);
        return;
    }
    const QRegularExpressionMatch about = detail.match(text);
    if (about.hasMatch() && !archivePath.isEmpty())
        (about.captured(1) == QLatin1String("Size") ? size : checksum) = about.captured(2);
}
