// SPDX-License-Identifier: GPL-2.0-or-later
#include "sshhosts.h"

#include "sosarguments.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace SshHosts {

namespace {

const QRegularExpression &blanks()
{
    static const QRegularExpression pattern(QStringLiteral("\\s+"));
    return pattern;
}

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

QStringList fromConfig(const QString &text)
{
    QStringList hosts;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        QStringList words = line.trimmed().split(blanks(), Qt::SkipEmptyParts);
        if (words.size() < 2 || words.first().compare(QLatin1String("Host"), Qt::CaseInsensitive))
            continue;
        words.removeFirst();
        for (const QString &word : words)
            if (SosArguments::isHostName(word) && !hosts.contains(word))
                hosts << word;
    }
    return hosts;
}

QStringList fromKnownHosts(const QString &text)
{
    QStringList hosts;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString first = line.trimmed().section(blanks(), 0, 0);
        // Markers (@cert-authority, @revoked), comments and hashed names (|1|...) name no host.
        if (first.isEmpty() || first.startsWith('@') || first.startsWith('#') ||
            first.startsWith('|'))
            continue;
        for (QString name : first.split(QLatin1Char(','))) {
            // [host]:port
            if (name.startsWith('['))
                name = name.mid(1).section(QLatin1Char(']'), 0, 0);
            if (SosArguments::isHostName(name) && !hosts.contains(name))
                hosts << name;
        }
    }
    return hosts;
}

QStringList read(const QString &sshDir)
{
    const QDir dir(sshDir);
    QStringList hosts = fromConfig(readFile(dir.filePath(QStringLiteral("config"))));
    hosts += fromKnownHosts(readFile(dir.filePath(QStringLiteral("known_hosts"))));
    hosts.removeDuplicates();
    return hosts;
}

} // namespace SshHosts
