// SPDX-License-Identifier: GPL-2.0-or-later
// The command-line options the installed sos accepts. Builds differ: some have switches that
// others reject, and sos refuses the whole run for one unknown option. The list is read once per
// sos version from the help text of sosreport, which needs no privileges, and kept in the
// settings store, so that later starts run nothing. Until it is known every option counts as
// accepted: a missing or slow sosreport must not take options away. The plugins that -o can name
// are read from the installed sos package itself, which needs no privileges either.
#pragma once

#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

class SosOptions : public QObject
{
    Q_OBJECT

public:
    // version: the installed sos version (empty: unknown); program prints the help, of its
    // sub-command when one is named (each sub-command's list is kept apart).
    SosOptions(const QString &version, const QString &program, QObject *parent = nullptr,
               const QString &subcommand = QString());
    ~SosOptions() override;

    // The version that the sos Python package states in moduleFile; empty when there is none.
    static QString installedVersion(const QString &moduleFile);
    // The plugin names that sos takes after -o, read from its plugin modules in pluginDir; empty
    // when there are none.
    static QStringList installedPlugins(const QString &pluginDir);
    // Of these plugin names, the ones that no plugin module in pluginDir states; none while the
    // folder holds no plugin module at all. Reads the modules named alike first, all only when
    // one of those does not settle it.
    static QStringList unknownPlugins(const QStringList &names, const QString &pluginDir);
    // The long and short options of an argparse help text.
    static QStringList parseHelp(const QString &helpText);

    // Takes the list from the store, or starts the help run; known() follows once it is read.
    void load();
    // Takes the list from the store only; known() follows when it was there.
    void loadStored();
    bool isKnown() const;
    // The help run failed; the options stay unknown.
    bool isUnavailable() const { return failed; }
    QString version() const;
    bool accepts(const QString &option) const;
    // The settings map without the options this sos lacks; the other keys stay.
    QVariantMap acceptedOnly(const QVariantMap &settings) const;

signals:
    void known();
    // The help could not be read: the program is missing or does not know the sub-command.
    void unavailable();

private:
    void helpFinished(int exitCode, QProcess::ExitStatus status);
    QString storeKey() const;

    const QString sosVersion;
    const QString program;
    const QString subcommand;
    QProcess *helpProcess = nullptr;
    QStringList accepted;
    bool failed = false;
};
