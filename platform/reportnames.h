// SPDX-License-Identifier: GPL-2.0-or-later
// What the files of a report are called, for the helper that acts on them as root and for the
// window that lists them: one report set is an archive with everything sos or the application
// made for it (its checksum, its volumes, its protected form and sos's private map).
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <sys/stat.h>

namespace ReportNames {

// Every report file's name starts so; the listing ignores case, the helper does not.
inline const QString Prefix = QStringLiteral("sosreport");
// A protected report is the report's name with this extension after a dot; any name ending in
// the extension counts as protected already.
inline const QString ProtectedExtension = QStringLiteral("cpt");
inline const QString ProtectedSuffix = QLatin1Char('.') + ProtectedExtension;
// The main file of a split report; its other volumes end in .z01, .z02, ...
inline const QString MultiVolumeExtension = QStringLiteral("zip");
inline const QString MultiVolumeSuffix = QLatin1Char('.') + MultiVolumeExtension;
// sos --clean writes the table of the real names behind the hidden ones beside the obfuscated
// archive, named after the report with this ending. It must never leave the machine.
inline const QString PrivateMapSuffix = QStringLiteral("-private_map");
// The obfuscated archive is the report's name with this ending before the archive extension.
inline const QString ObfuscatedSuffix = QStringLiteral("-obfuscated");

// sos saves a checksum beside its archive, under the archive's name and one of these.
inline const QStringList ChecksumExtensions = {QStringLiteral("md5"), QStringLiteral("sha256")};

// Any name ending in a checksum's extension, with or without the dot.
inline bool isChecksum(const QString &name)
{
    return name.endsWith(ChecksumExtensions.at(0)) || name.endsWith(ChecksumExtensions.at(1));
}
// The same for a name as the folder gives it: the extensions are ASCII, which any encoding of a
// name ends in as such.
inline bool isChecksum(QLatin1String name)
{
    return name.endsWith(ChecksumExtensions.at(0)) || name.endsWith(ChecksumExtensions.at(1));
}

// The checksum files that may lie beside archive (a path or a name).
inline QStringList checksumsOf(const QString &archive)
{
    QStringList checksums;
    for (const QString &extension : ChecksumExtensions)
        checksums.append(archive + QLatin1Char('.') + extension);
    return checksums;
}

// The extension of a volume that is not the main file ("z01", "z02", ...): any beginning with
// "z" but the main file's.
inline bool isVolumeExtension(const QStringRef &extension)
{
    return extension.startsWith(QLatin1Char('z')) && extension != MultiVolumeExtension;
}

// The main file of a split report, protected or not (a path or a name): the one report file
// that may have volumes.
inline bool isMultiVolumeMain(const QString &name)
{
    const int end =
        name.endsWith(ProtectedSuffix) ? name.size() - ProtectedSuffix.size() : name.size();
    return name.midRef(0, end).endsWith(MultiVolumeSuffix);
}

inline bool isProtected(const QString &name)
{
    return name.endsWith(ProtectedExtension);
}

// A private map, also when someone protected or otherwise renamed it after the map's ending.
inline bool isPrivateMap(const QStringRef &name)
{
    return name.contains(PrivateMapSuffix);
}
inline bool isPrivateMap(const QString &name)
{
    return isPrivateMap(QStringRef(&name));
}

// A file name (no path) of a report set: the archive, its volumes, checksums, protected forms
// and private map. The map is one of them, though it never leaves the machine.
inline bool isReportName(const QString &name)
{
    return name.startsWith(Prefix) && !name.contains(QLatin1Char('/'));
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

// The folders where reports of every user live: sos's tmp-dir (as its configuration sets it),
// /tmp and /var/tmp.
inline QStringList sharedReportFolders(const QString &sosTmpDir)
{
    return {sosTmpDir, QStringLiteral("/tmp"), QStringLiteral("/var/tmp")};
}

// Report files are acted on only in a report folder: one of the shared report folders or a
// folder that user owns. The opened folder is judged, not its path, so a path that reaches
// another folder through links counts as the folder it reaches.
inline bool isReportFolder(int openedFolder, uid_t user, const QString &sosTmpDir)
{
    struct stat folder
    {
    };
    if (fstat(openedFolder, &folder) != 0 || !S_ISDIR(folder.st_mode))
        return false;
    if (folder.st_uid == user)
        return true;
    for (const QString &shared : sharedReportFolders(sosTmpDir)) {
        struct stat info
        {
        };
        if (!shared.isEmpty() && stat(QFile::encodeName(shared).constData(), &info) == 0 &&
            info.st_dev == folder.st_dev && info.st_ino == folder.st_ino)
            return true;
    }
    return false;
}

} // namespace ReportNames
