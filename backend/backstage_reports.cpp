// SPDX-License-Identifier: GPL-2.0-or-later
// Finding the report archives in the report folders: multi-volume archives are listed by their
// main file only, their other volumes are handed back separately.
#include "backstage.h"

#include "constants.h"
#include "reportnames.h"

#include <QDir>
#include <algorithm>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <utility>

namespace {

// The names QDir lists for the report wildcard (files or links to files, case ignored), sorted
// by name ignoring case as QDir sorts them. One pass over the entries with a stat only for links
// and entries of unknown type: a folder can hold thousands of reports, and QDir builds a file
// information object for each of them.
QStringList reportNames(const QString &folder)
{
    static const QByteArray prefix = QFile::encodeName(ReportNames::Prefix);
    QVector<std::pair<QString, QString>> entries;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return QStringList();
    while (const dirent *entry = ::readdir(dir)) {
        if (::strncasecmp(entry->d_name, prefix.constData(), size_t(prefix.size())) != 0)
            continue;
        if (entry->d_type != DT_REG) {
            struct stat info;
            if ((entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) ||
                ::fstatat(::dirfd(dir), entry->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode))
                continue;
        }
        const QString name = QFile::decodeName(entry->d_name);
        entries.append({name.toLower(), name});
    }
    ::closedir(dir);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList names;
    names.reserve(entries.size());
    for (const auto &entry : qAsConst(entries))
        names.append(entry.second);
    return names;
}

} // namespace

QStringList Backstage::reportFiles(const QStringList &dirs,
                                   QMultiMap<QString, QString> &volumeParts)
{
    QStringList reports;
    volumeParts.clear();
    QDir dir;
    for (const QString &folder : dirs) {
        dir.setPath(folder);
        if (!dir.exists() || !dir.isReadable())
            emit warnMessage(tr("Getting reports list"), tr("Can't read directory %1").arg(folder));

        // Names only, split by hand: a folder can hold thousands of reports, and a file
        // information object per name would cost as much again as the listing itself.
        QString prefix = QDir::cleanPath(dir.absolutePath());
        if (!prefix.endsWith(QLatin1Char('/')))
            prefix += QLatin1Char('/');
        const QStringList names = reportNames(folder);
        for (const QString &name : names) {
            // Pieces of the name are looked at in place: a copy of each, for every one of
            // thousands of reports, costs as much as the listing.
            const int lastDot = name.lastIndexOf(QLatin1Char('.'));
            const QStringRef suffix = lastDot < 0 ? QStringRef() : name.midRef(lastDot + 1);
            const QStringRef baseName = lastDot < 0 ? name.midRef(0) : name.leftRef(lastDot);
            // A private map belongs to its report and never leaves the machine: it is no row.
            if (ReportNames::isPrivateMap(name))
                continue;
            const QString path = prefix + name;
            if (ReportNames::isVolumeExtension(suffix)) {
                volumeParts.insert(
                    prefix + baseName + QLatin1Char('.') + ReportNames::MultiVolumeExtension, path);
                continue;
            }
            if (name.endsWith(ReportNames::ProtectedSuffix)) {
                // A protected volume keeps its volume suffix in front of ".cpt".
                const QStringRef last = baseName.mid(baseName.lastIndexOf(QLatin1Char('.')) + 1);
                if (ReportNames::isVolumeExtension(last)) {
                    QString mainFile = path;
                    mainFile.replace(path.lastIndexOf(last), last.size(),
                                     ReportNames::MultiVolumeExtension);
                    volumeParts.insert(mainFile, path);
                    continue;
                }
            }
            reports.append(path);
        }
    }
    return reports;
}
