// SPDX-License-Identifier: GPL-2.0-or-later
// The user's terminal emulator, for programs whose desktop entry asks for a terminal: Debian's
// x-terminal-emulator where it exists, otherwise the terminal of the desktop in use.
#pragma once

#include <QStringList>

class TerminalEmulator
{
public:
    // The program and the option after which it takes a command and its arguments; empty when
    // no terminal emulator is installed.
    static QStringList command();
};
