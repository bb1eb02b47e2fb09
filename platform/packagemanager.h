// SPDX-License-Identifier: GPL-2.0-or-later
// Asks the system's package database whether a package is installed. The database is read as a
// file, without starting a program, so that many questions cost little.
#pragma once

#include <QString>

namespace KroAdmin {

class PackageManager
{
public:
    // dpkg's record of every package it knows, with its state.
    inline static const QString StatusDatabase = QStringLiteral("/var/lib/dpkg/status");

    // pattern is a regular expression matched against the status line of the package as
    // dpkg-query abbreviates it ("ii sssd": desired action, state, error flag, name); "%1" in it
    // stands for the package name (for example "ii\\s%1"). False when the database cannot be read.
    static bool isPackageInstalled(const QString &package, const QString &pattern,
                                   const QString &database = StatusDatabase);
};

} // namespace KroAdmin
