// SPDX-License-Identifier: GPL-2.0-or-later
#include "terminalemulator.h"

#include <QStandardPaths>

namespace {

struct Terminal
{
    const char *desktop; // as XDG_CURRENT_DESKTOP names it; nullptr for any desktop
    const char *program;
    const char *commandOption;
};

// Debian's alternative first (its -e takes the command and its arguments one by one), then the
// desktops' own, then the one every X desktop can have.
const Terminal Terminals[] = {
    {nullptr, "x-terminal-emulator", "-e"},
    {"GNOME", "gnome-terminal", "--"},
    {"KDE", "konsole", "-e"},
    {"XFCE", "xfce4-terminal", "-x"},
    {"MATE", "mate-terminal", "-x"},
    {"LXQt", "qterminal", "-e"},
    {nullptr, "xterm", "-e"},
};

} // namespace

QStringList TerminalEmulator::command()
{
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const Terminal &terminal : Terminals) {
        if (terminal.desktop &&
            !desktops.contains(QLatin1String(terminal.desktop), Qt::CaseInsensitive))
            continue;
        const QString program = QStandardPaths::findExecutable(QLatin1String(terminal.program));
        if (!program.isEmpty())
            return {program, QLatin1String(terminal.commandOption)};
    }
    return {};
}
