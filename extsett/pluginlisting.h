// SPDX-License-Identifier: GPL-2.0-or-later
// Reads the plugin and profile names out of the text that sosreport prints for --list-plugins,
// in English or Russian and with the old or the new banner. Needs nothing but Qt Core, so any
// text can be thrown at it without a window.
#pragma once

#include <QHash>
#include <QStringList>

class PluginListing
{
public:
    explicit PluginListing(const QString &text);

    // The plugin names in listed order, the disabled ones too when withDisabled is set. Once the
    // header of the disabled plugins is reached, the names before it are stored in *enabled.
    QStringList pluginNames(bool withDisabled, QStringList *enabled) const;
    QStringList profileNames() const;
    // What each listed plugin collects, in sos's words, the disabled plugins' too (without the
    // reason sos gives for leaving them out).
    QHash<QString, QString> pluginDescriptions() const;

private:
    enum LineKind
    {
        Skipped,
        NoneEnabled,
        DisabledHeader,
        OptionsHeader,
        PluginLine
    };
    static LineKind kindOf(const QString &line);

    QStringList lines;
};
