// SPDX-License-Identifier: GPL-2.0-or-later
// What the user chose for a collection from several machines: the hosts, how to log in and
// become root there, whether this machine's own report is made too, and the report options that
// every node gets. Kept in the settings store between runs; passwords never are.
#pragma once

#include <QDateTime>
#include <QStringList>
#include <QVariantMap>

struct CollectChoices
{
    QStringList hosts;
    // Empty: the collector's default, root.
    QString sshUser;
    bool sshPassword = false;
    // The user is not root on the nodes and becomes root with sudo, with a password or without.
    bool sudoPassword = false;
    bool includeThisMachine = false;
    QString caseId;
    QString label;
    QStringList plugins;
    // Only logs newer than this many hours; 0 for all.
    int sinceHours = 0;
    bool obfuscate = false;
    // Seconds each node's report may take; 0 for the collector's own limit.
    int timeoutSeconds = 0;

    static CollectChoices load();
    void save() const;

    // Host names from a typed or pasted list: separated by commas, spaces or lines; repeated
    // names once.
    static QStringList splitList(const QString &text);
    // The report options every node gets, keyed by sos option (see SosArguments::fromSettings).
    QVariantMap reportOptions(const QDateTime &now) const;
    // The same with the collector's own options.
    QVariantMap collectOptions(const QDateTime &now) const;
};
