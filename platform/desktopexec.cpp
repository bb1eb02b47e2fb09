// SPDX-License-Identifier: GPL-2.0-or-later
#include "desktopexec.h"

#include "mimeapps.h"

namespace KroFM {

namespace {

// Inside double quotes a backslash escapes only these.
bool isQuotedEscape(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
           c == QLatin1Char('\\');
}

// Expands the single-letter codes that may stand inside an argument.
QString expandInline(const QString &argument, const AppInfo &app)
{
    QString result;
    for (int i = 0; i < argument.size(); ++i) {
        if (argument.at(i) != QLatin1Char('%') || i + 1 == argument.size()) {
            result += argument.at(i);
            continue;
        }
        switch (argument.at(++i).unicode()) {
        case '%':
            result += QLatin1Char('%');
            break;
        case 'c':
            result += app.name();
            break;
        case 'k':
            result += app.entryPath();
            break;
        default:
            // Deprecated codes, and item codes embedded in a longer argument, stand for nothing.
            break;
        }
    }
    return result;
}

} // namespace

QStringList DesktopExec::split(const QString &exec)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == QLatin1Char('"'))
                quoted = false;
            else if (c == QLatin1Char('\\') && i + 1 < exec.size() &&
                     isQuotedEscape(exec.at(i + 1)))
                current += exec.at(++i);
            else
                current += c;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else {
            inArgument = true;
            if (c == QLatin1Char('"'))
                quoted = true;
            else
                current += c;
        }
    }
    if (quoted)
        return {};
    if (inArgument)
        arguments << current;
    return arguments;
}

bool DesktopExec::isItemCode(const QString &argument)
{
    return argument.size() == 2 && argument.at(0) == QLatin1Char('%') &&
           QStringLiteral("fFuU").contains(argument.at(1));
}

QStringList DesktopExec::expand(const AppInfo &app, const QStringList &items)
{
    QStringList command;
    bool itemsPlaced = false;
    const QStringList arguments = split(app.exec());
    for (const QString &argument : arguments) {
        if (isItemCode(argument)) {
            if (!itemsPlaced)
                command += items;
            itemsPlaced = true;
        } else if (argument == QLatin1String("%i")) {
            if (!app.icon().isEmpty())
                command << QStringLiteral("--icon") << app.icon();
        } else {
            command << expandInline(argument, app);
        }
    }
    if (!itemsPlaced)
        command += items;
    return command;
}

} // namespace KroFM
