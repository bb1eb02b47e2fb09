// SPDX-License-Identifier: GPL-2.0-or-later
// Reading the plugin listing line by line, as the tool prints it.
#include "pluginlisting.h"

namespace {
// Where the profile names start on a "Profiles:" line of the listing.
constexpr int ProfilesColumn = 10;

QStringList splitNames(const QString &text)
{
    QStringList names;
    for (const QString &part : text.trimmed().split(QLatin1Char(','), Qt::SkipEmptyParts))
        names.append(part.trimmed());
    return names;
}

bool containsAny(const QString &line, std::initializer_list<const char *> markers)
{
    for (const char *marker : markers)
        if (line.contains(QString::fromUtf8(marker)))
            return true;
    return false;
}
} // namespace

PluginListing::PluginListing(const QString &text)
    : lines(text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
{
}

QStringList PluginListing::pluginNames(bool withDisabled, QStringList *enabled) const
{
    QStringList names;
    for (const QString &line : lines) {
        if (containsAny(line, {"sos report", "sosreport (v", "enabled", "включены", "cur_ilev"}))
            continue;
        if (line.contains(QStringLiteral("Нет активных"))) {
            if (!withDisabled)
                break;
            continue;
        }
        if (containsAny(line, {"disabled", "отключены"})) {
            *enabled = names;
            if (!withDisabled)
                break;
            continue;
        }
        if (containsAny(line, {"options are available", "Доступные"}))
            break;
        const QString trimmed = line.trimmed();
        names.append(trimmed.left(trimmed.indexOf(QLatin1Char(' '))));
    }
    return names;
}

QStringList PluginListing::profileNames() const
{
    QStringList names;
    bool inProfiles = false;
    for (const QString &line : lines) {
        if (line.contains(QStringLiteral("Profiles:"))) {
            names.append(splitNames(line.mid(ProfilesColumn)));
            inProfiles = true;
            continue;
        }
        // The tool wraps a long profile list; its summary line ends the list.
        inProfiles = inProfiles && !line.contains(QStringLiteral("profiles"));
        if (inProfiles)
            names.append(splitNames(line));
    }
    return names;
}
