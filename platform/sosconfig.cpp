// SPDX-License-Identifier: GPL-2.0-or-later
#include "sosconfig.h"

#include <QFile>
#include <QRegularExpression>

QString SosConfig::reportFolder(const QString &configPath)
{
    QFile file(configPath);
    QString folder = QString::fromLatin1(BuiltInReportFolder);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return folder;
    // An ini file: the key may stand in the [global] or the [report] section; the last one read
    // wins, as in sos's own reading.
    static const QRegularExpression setting(
        QStringLiteral("^\\s*tmp-dir\\s*[=:]\\s*(\\S.*?)\\s*$"));
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine(64 * 1024));
        const QRegularExpressionMatch match = setting.match(line);
        if (match.hasMatch())
            folder = match.captured(1);
    }
    return folder;
}
