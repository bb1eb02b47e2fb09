// SPDX-License-Identifier: GPL-2.0-or-later
#include "packagemanager.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

namespace KroAdmin {

namespace {
constexpr int QueryTimeoutMs = 10000;

// Debian package names, optionally with an architecture; nothing here can act as a dpkg-query
// wildcard or as an option.
bool isPackageName(const QString &package)
{
    static const QRegularExpression name(QStringLiteral("^[a-z0-9][a-z0-9+.-]+(:[a-z0-9-]+)?$"));
    return name.match(package).hasMatch();
}

QRegularExpression statusLine(const QString &package, const QString &pattern)
{
    QString expression = pattern;
    expression.replace(QStringLiteral("%1"), QRegularExpression::escape(package));
    return QRegularExpression(expression);
}
} // namespace

bool PackageManager::isPackageInstalled(const QString &package, const QString &pattern)
{
    QProcess query;
    if (!startQuery(query, package, pattern))
        return false;
    if (!query.waitForFinished(QueryTimeoutMs)) {
        query.kill();
        query.waitForFinished();
        return false;
    }
    return listsInstalled(query, package, pattern);
}

bool PackageManager::startQuery(QProcess &query, const QString &package, const QString &pattern)
{
    const QString dpkgQuery = QStandardPaths::findExecutable(QStringLiteral("dpkg-query"));
    if (dpkgQuery.isEmpty() || !isPackageName(package) || !statusLine(package, pattern).isValid())
        return false;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    query.setProcessEnvironment(environment);
    query.setProcessChannelMode(QProcess::SeparateChannels);
    query.start(dpkgQuery, {QStringLiteral("--show"),
                            QStringLiteral("--showformat=${db:Status-Abbrev}${Package}\\n"),
                            QStringLiteral("--"), package});
    return true;
}

// dpkg-query prints one line per matching package, "ii sssd" for an installed one: the
// desired action, the state and the error flag (a blank when there is no error), then the name.
bool PackageManager::listsInstalled(QProcess &query, const QString &package, const QString &pattern)
{
    const QRegularExpression line = statusLine(package, pattern);
    const QStringList lines = QString::fromLocal8Bit(query.readAllStandardOutput())
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return std::any_of(lines.cbegin(), lines.cend(),
                       [&line](const QString &text) { return line.match(text).hasMatch(); });
}

} // namespace KroAdmin
