// SPDX-License-Identifier: GPL-2.0-or-later
// What the files of a report are called, for the helper that acts on them as root and for the
// window that lists them: one report set is an archive with everything sos or the application
// made for it (its checksum, its volumes, its protected form and sos's private map).
#pragma once

#include <QString>
#include <QStringList>

namespace ReportNames {

// Every report file's name starts so; the listing ignores case, the helper does not.
inline const QString Prefix = QStringLiteral("sosreport");
// A protected report is the report's name with this extension after a dot; any name ending in
// the extension counts as protected already.
inline const QString ProtectedExtension = QStringLiteral("cpt");
inline const QString ProtectedSuffix = QLatin1Char('.') + ProtectedExtension;
// The main file of a split report; its other volumes end in .z01, .z02, ...
inline const QString MultiVolumeExtension = QStringLiteral("zip");
// sos --clean writes the table of the real names behind the hidden ones beside the obfuscated
// archive, named after the report with this ending. It must never leave the machine.
inline const QString PrivateMapSuffix = QStringLiteral("-private_map");
// The obfuscated archive is the report's name with this ending before the archive extension.
inline const QString ObfuscatedSuffix = QStringLiteral("-obfuscated");

inline bool isChecksum(const QString &name)
{
    return name.endsWith(QLatin1String("md5")) || name.endsWith(QLatin1String("sha256"));
}

inline bool isProtected(const QString &name)
{
    return name.endsWith(ProtectedExtension);
}

// A private map, also when someone protected or otherwise renamed it after the map's ending.
inline bool isPrivateMap(const QString &name)
{
    return name.contains(PrivateMapSuffix);
}

// A file the helper may act on for a report: named like one and not a private map.
inline bool isReportName(const QString &name)
{
    return name.startsWith(Prefix) && !name.contains(QLatin1Char('/')) && !isPrivateMap(name);
}

// A report split into volumes becomes STEM.zip with STEM.z01, STEM.z02, ...: STEM is the
// report's name without its archive extension.
inline QString splitStem(const QString &report)
{
    for (const char *extension : {".tar.xz", ".tar.gz", ".tar.bz2", ".tar"})
        if (report.endsWith(QLatin1String(extension)) && report.size() > int(qstrlen(extension)))
            return report.left(report.size() - int(qstrlen(extension)));
    return report;
}

// The report's name without protection, archive or volume extension and without the
// obfuscated ending: what sos named the report itself, and its private map after.
inline QString reportStem(const QString &name)
{
    QString stem = name;
    if (stem.endsWith(ProtectedSuffix))
        stem.chop(ProtectedSuffix.size());
    stem = splitStem(stem);
    const int dot = stem.lastIndexOf(QLatin1Char('.'));
    if (dot > 0 && stem.midRef(dot + 1).startsWith(QLatin1Char('z')))
        stem.truncate(dot);
    if (stem.endsWith(ObfuscatedSuffix))
        stem.chop(ObfuscatedSuffix.size());
    return stem;
}

// The private map that belongs to a report file (path or name), whether it exists or not.
inline QString privateMapOf(const QString &report)
{
    const int slash = report.lastIndexOf(QLatin1Char('/'));
    return report.left(slash + 1) + reportStem(report.mid(slash + 1)) + PrivateMapSuffix;
}

} // namespace ReportNames
