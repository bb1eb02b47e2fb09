// SPDX-License-Identifier: GPL-2.0-or-later
#include "mailprograms.h"

#include "desktopexec.h"
#include "mimeapps.h"
#include "terminalemulator.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>

using KroFM::AppInfo;
using KroFM::DesktopExec;

namespace {

const QHash<QString, MailPrograms::Route> KnownPrograms = {
    {QStringLiteral("thunderbird"), MailPrograms::Route::Compose},
    {QStringLiteral("thunderbird-bin"), MailPrograms::Route::Compose},
    {QStringLiteral("icedove"), MailPrograms::Route::Compose},
    {QStringLiteral("betterbird"), MailPrograms::Route::Compose},
    {QStringLiteral("seamonkey"), MailPrograms::Route::Compose},
    {QStringLiteral("evolution"), MailPrograms::Route::LinkAttach},
    {QStringLiteral("claws-mail"), MailPrograms::Route::LinkAttach},
    {QStringLiteral("geary"), MailPrograms::Route::LinkAttach},
    {QStringLiteral("sylpheed"), MailPrograms::Route::OptionAttach},
    {QStringLiteral("kmail"), MailPrograms::Route::KMailAttach},
    {QStringLiteral("mutt"), MailPrograms::Route::TerminalMutt},
    {QStringLiteral("neomutt"), MailPrograms::Route::TerminalMutt},
};

QString encoded(const QString &text, const QByteArray &keep = QByteArray())
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}

// xdg-email joins paths with commas for some programs, and its shell reads backslashes and line
// breaks as escapes. It follows links too, so a plain-named link would not help.
bool xdgEmailTakes(const QString &path)
{
    static const QRegularExpression mangled(QStringLiteral("[,\\\\\\x01-\\x1f\\x7f]"));
    return !path.contains(mangled);
}

QString fileUrl(const QString &path)
{
    return QStringLiteral("file://") + encoded(path, "/");
}

// The entry's arguments with "env NAME=VALUE..." in front of the program passed over.
QString programOf(const QStringList &arguments)
{
    int index = 0;
    if (QFileInfo(arguments.value(0)).fileName() == QLatin1String("env")) {
        ++index;
        while (arguments.value(index).contains(QLatin1Char('=')))
            ++index;
    }
    return arguments.value(index);
}

QString composeSpec(const MailMessage &message)
{
    QStringList urls;
    for (const QString &file : message.files)
        urls << fileUrl(file);
    QString spec = QStringLiteral("to='%1',subject='%2',body='%3'")
                       .arg(message.recipient, message.subject, message.body);
    if (!urls.isEmpty())
        spec += QStringLiteral(",attachment='") + urls.join(QLatin1Char(',')) + QLatin1Char('\'');
    return spec;
}

MailMessage withoutFiles(MailMessage message)
{
    message.files.clear();
    return message;
}

// The arguments that take the place of the entry's %u.
QStringList itemsFor(MailPrograms::Route route, const MailMessage &message)
{
    const QString link = MailPrograms::mailLink(withoutFiles(message));
    switch (route) {
    case MailPrograms::Route::Compose:
        return {QStringLiteral("-compose"), composeSpec(message)};
    case MailPrograms::Route::LinkAttach:
        return {MailPrograms::mailLink(message)};
    case MailPrograms::Route::OptionAttach:
        return QStringList{QStringLiteral("--compose"), link, QStringLiteral("--attach")} +
               message.files;
    case MailPrograms::Route::KMailAttach: {
        QStringList items{QStringLiteral("--subject"), message.subject, QStringLiteral("--body"),
                          message.body};
        for (const QString &file : message.files)
            items << QStringLiteral("--attach") << file;
        return items << message.recipient;
    }
    case MailPrograms::Route::TerminalMutt:
        return QStringList{QStringLiteral("-a")} + message.files +
               QStringList{QStringLiteral("--"), link};
    case MailPrograms::Route::Sandboxed:
    case MailPrograms::Route::XdgEmail:
        break;
    }
    return {link};
}

// The entry's command line with items in the place of its %u. An option the entry already puts
// in front of %u ("--compose %u") is not given twice.
QStringList entryCommand(const AppInfo &app, QStringList items)
{
    const QStringList arguments = DesktopExec::split(app.exec());
    for (int i = 1; i < arguments.size(); ++i) {
        if (DesktopExec::isItemCode(arguments.at(i)) && arguments.at(i - 1) == items.value(0)) {
            items.removeFirst();
            break;
        }
    }
    QStringList command = DesktopExec::expand(app, items);
    if (app.terminal() && !command.isEmpty()) {
        const QStringList terminal = TerminalEmulator::command();
        if (terminal.isEmpty())
            return {};
        command = terminal + command;
    }
    return command;
}

} // namespace

MailPrograms::Route MailPrograms::route(const AppInfo &app)
{
    const QString program = programOf(DesktopExec::split(app.exec()));
    const QString name = QFileInfo(program).fileName().toLower();
    if (name == QLatin1String("flatpak") || name == QLatin1String("snap") ||
        program.startsWith(QLatin1String("/snap/")))
        return Route::Sandboxed;
    return KnownPrograms.value(name, Route::XdgEmail);
}

bool MailPrograms::carries(Route route, const QString &path)
{
    switch (route) {
    case Route::TerminalMutt: {
        // Some terminals read their command as one line that they split again themselves.
        static const QString plain = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRS"
                                                    "TUVWXYZ0123456789._+-/");
        return std::all_of(path.cbegin(), path.cend(), [](QChar c) { return plain.contains(c); });
    }
    case Route::KMailAttach:
        // KMail trims what it is given before it reads it as a path.
        return path == path.trimmed();
    default:
        return true;
    }
}

QStringList MailPrograms::command(const AppInfo &app, const MailMessage &message,
                                  const QString &xdgEmail)
{
    const Route how = route(app);
    if (how == Route::Sandboxed)
        return linkCommand(app, message);
    if (how != Route::XdgEmail)
        return entryCommand(app, itemsFor(how, message));
    if (xdgEmail.isEmpty())
        return linkCommand(app, message);
    // Otherwise the link xdg-email would make, handed over directly.
    if (!std::all_of(message.files.cbegin(), message.files.cend(), xdgEmailTakes))
        return entryCommand(app, {mailLink(message)});
    QStringList command{xdgEmail, QStringLiteral("--subject"), message.subject,
                        QStringLiteral("--body"), message.body};
    for (const QString &file : message.files)
        command << QStringLiteral("--attach") << file;
    return command << message.recipient;
}

bool MailPrograms::attaches(const AppInfo &app, const QString &xdgEmail)
{
    const Route how = route(app);
    return how != Route::Sandboxed && (how != Route::XdgEmail || !xdgEmail.isEmpty());
}

QStringList MailPrograms::linkCommand(const AppInfo &app, const MailMessage &message)
{
    return entryCommand(app, {mailLink(withoutFiles(message))});
}

QString MailPrograms::mailLink(const MailMessage &message)
{
    QString link = QStringLiteral("mailto:") + encoded(message.recipient, "@") +
                   QStringLiteral("?subject=") + encoded(message.subject) +
                   QStringLiteral("&body=") + encoded(message.body);
    for (const QString &file : message.files)
        link += QStringLiteral("&attach=") + encoded(file, "/");
    return link;
}
