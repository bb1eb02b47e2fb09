// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagemanager.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

namespace KroAdmin {

namespace {

// Debian package names, as the Package field gives them.
bool isPackageName(const QString &package)
{
    static const QRegularExpression name(QStringLiteral("^[a-z0-9][a-z0-9+.-]+$"));
    return name.match(package).hasMatch();
}

QRegularExpression statusLine(const QString &package, const QString &pattern)
{
    QString expression = pattern;
    expression.replace(QStringLiteral("%1"), QRegularExpression::escape(package));
    return QRegularExpression(expression);
}

// dpkg's "Status: install ok installed" as dpkg-query's ${db:Status-Abbrev} puts it: "ii ".
QString abbreviated(const QByteArray &status)
{
    static const QHash<QByteArray, char> letters{{"unknown", 'u'},
                                                 {"install", 'i'},
                                                 {"hold", 'h'},
                                                 {"deinstall", 'r'},
                                                 {"purge", 'p'},
                                                 {"ok", ' '},
                                                 {"reinstreq", 'R'},
                                                 {"not-installed", 'n'},
                                                 {"config-files", 'c'},
                                                 {"half-installed", 'H'},
                                                 {"unpacked", 'U'},
                                                 {"half-configured", 'F'},
                                                 {"triggers-awaited", 'W'},
                                                 {"triggers-pending", 't'},
                                                 {"installed", 'i'}};
    const QList<QByteArray> words = status.simplified().split(' ');
    if (words.size() != 3)
        return QString();
    // Desired action, state, error flag: the order of the words is action, flag, state.
    const char flags[] = {letters.value(words.at(0), '?'), letters.value(words.at(2), '?'),
                          letters.value(words.at(1), '?')};
    return QString::fromLatin1(flags, sizeof flags);
}

} // namespace

// Each package is a block of "Field: value" lines, its name first, blocks apart by a blank line.
bool PackageManager::isPackageInstalled(const QString &package, const QString &pattern,
                                        const QString &database)
{
    const QRegularExpression line = statusLine(package, pattern);
    QFile file(database);
    if (!isPackageName(package) || !line.isValid() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray wanted = "Package: " + package.toLatin1();
    bool inPackage = false;
    while (!file.atEnd()) {
        QByteArray text = file.readLine();
        if (text.endsWith('\n'))
            text.chop(1);
        if (text.startsWith("Package: "))
            inPackage = text == wanted;
        else if (text.isEmpty())
            inPackage = false;
        else if (inPackage && text.startsWith("Status: ") &&
                 line.match(abbreviated(text.mid(8)) + package).hasMatch())
            return true;
    }
    return false;
}

} // namespace KroAdmin
