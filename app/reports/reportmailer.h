// SPDX-License-Identifier: GPL-2.0-or-later
// How a report reaches the user's mail program: which kind of mail program the desktop has, and
// the command lines that open a new message to the maintainers with the report attached. The
// attachment travels as a percent-encoded file URL wherever it is read as a list, since a plain
// path with a comma would be read as two files.
#pragma once

#include <QStringList>
#include <QUrl>

class ReportMailer
{
public:
    enum class Program
    {
        Thunderbird, // composed for directly
        Other,       // reached through xdg-email
        None         // no mail program registered at all
    };

    static Program mailProgram();

    static QString thunderbirdProgram();
    static QStringList thunderbirdArguments(const QString &report);
    // The program that attaches files for every other mail program; empty when not installed.
    static QString xdgEmailProgram();
    static QStringList xdgEmailArguments(const QString &report);
    // Whether xdg-email can attach report: it cuts a path at commas.
    static bool xdgEmailTakes(const QString &report);
    // A new message without attachment.
    static QUrl mailLink();
};
