// SPDX-License-Identifier: GPL-2.0-or-later
// Reading the plugin listing line by line, as the tool prints it.
#include "pluginlisting.h"

#include <QRegularExpression>

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
// sos 4.0 puts why it leaves a plugin out between its name and its description, padded to 14
// characters, so a long reason is followed by a single blank only.
QString withoutReason(const QString &text)
{
    static const QStringList reasons{
        QStringLiteral("does not validate"), QStringLiteral("not specified"),
        QStringLiteral("inactive"),          QStringLiteral("excluded"),
        QStringLiteral("skipped"),           QStringLiteral("optional")};
    for (const QString &reason : reasons)
        if (text.startsWith(reason + QLatin1Char(' ')))
            return text.mid(reason.size()).trimmed();
    // A reason in another language: the padding still sets it apart.
    static const QRegularExpression padding(QStringLiteral("\\s{2,}"));
    const QRegularExpressionMatch gap = padding.match(text);
    return gap.hasMatch() ? text.mid(gap.capturedEnd()) : text;
}
} // namespace

PluginListing::PluginListing(const QString &text)
    : lines(text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
{
}

PluginListing::LineKind PluginListing::kindOf(const QString &line)
{
    if (containsAny(line, {"sos report", "sosreport (v", "enabled", "включены", "cur_ilev"}))
        return Skipped;
    if (line.contains(QStringLiteral("Нет активных")))
        return NoneEnabled;
    if (containsAny(line, {"disabled", "отключены"}))
        return DisabledHeader;
    if (containsAny(line, {"options are available", "Доступные"}))
        return OptionsHeader;
    return PluginLine;
}

QStringList PluginListing::pluginNames(bool withDisabled, QStringList *enabled) const
{
    QStringList names;
    for (const QString &line : lines) {
        const LineKind kind = kindOf(line);
        if (kind == OptionsHeader || (!withDisabled && kind == NoneEnabled))
            break;
        if (kind == DisabledHeader) {
            *enabled = names;
            if (!withDisabled)
                break;
        }
        if (kind != PluginLine)
            continue;
        const QString trimmed = line.trimmed();
        names.append(trimmed.left(trimmed.indexOf(QLatin1Char(' '))));
    }
    return names;
}

QHash<QString, QString> PluginListing::pluginDescriptions() const
{
    QHash<QString, QString> descriptions;
    bool disabled = false;
    for (const QString &line : lines) {
        const LineKind kind = kindOf(line);
        if (kind == OptionsHeader)
            break;
        disabled = disabled || kind == DisabledHeader;
        if (kind != PluginLine)
            continue;
        const QString trimmed = line.trimmed();
        const int nameEnd = trimmed.indexOf(QLatin1Char(' '));
        if (nameEnd < 0)
            continue;
        const QString rest = trimmed.mid(nameEnd).trimmed();
        descriptions.insert(trimmed.left(nameEnd), disabled ? withoutReason(rest) : rest);
    }
    return descriptions;
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
