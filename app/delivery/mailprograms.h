// SPDX-License-Identifier: GPL-2.0-or-later
// The mail programs known by their own command-line conventions, and the command line that opens
// a new message in each with files attached. A program is known by the executable its desktop
// entry starts, whatever folder that lies in; every other program is reached through xdg-email.
#pragma once

#include <QStringList>

namespace KroFM {
class AppInfo;
}

// What a new message holds.
struct MailMessage
{
    QString recipient;
    QString subject;
    QString body;
    QStringList files;
};

class MailPrograms
{
public:
    enum class Route
    {
        Compose,      // Thunderbird and its forks: -compose "to='A',...,attachment='URL,URL'"
        LinkAttach,   // Evolution, Claws Mail, Geary: a mailto: link with attach= per file
        OptionAttach, // Sylpheed: --compose LINK --attach FILE...
        KMailAttach,  // KMail: --subject S --body B --attach FILE... ADDRESS
        TerminalMutt, // Mutt, NeoMutt in a terminal: -a FILE... -- LINK
        Sandboxed,    // a flatpak or snap: files of the host may be out of its sight
        XdgEmail      // any other: xdg-email --attach FILE...
    };

    static Route route(const KroFM::AppInfo &app);
    // Whether the route hands path over as it is; other names go as plain-named links.
    static bool carries(Route route, const QString &path);
    // The program and arguments that open the message with its files attached, started through
    // app's entry (xdg-email for the rest, found by xdgEmail); empty when nothing can start it.
    static QStringList command(const KroFM::AppInfo &app, const MailMessage &message,
                               const QString &xdgEmail);
    // Whether command() attaches the files: a sandboxed program may not see them, and an unknown
    // one is given them only through xdg-email.
    static bool attaches(const KroFM::AppInfo &app, const QString &xdgEmail);
    // The program and arguments that open the message without attachments in app.
    static QStringList linkCommand(const KroFM::AppInfo &app, const MailMessage &message);
    // A mailto: link with the message's recipient, subject and body, and attach= for its files.
    static QString mailLink(const MailMessage &message);
};
