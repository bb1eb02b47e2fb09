// SPDX-License-Identifier: GPL-2.0-or-later
// Finding the report archives in the report folders: multi-volume archives are listed by their
// main file only, their other volumes are handed back separately; checksum files and private
// maps are left out.
#include "backstage.h"

#include "constants.h"
#include "reportnames.h"

#include <QDir>
#include <algorithm>
#include <dirent.h>
#include <string_view>
#include <strings.h>
#include <sys/stat.h>

namespace {

// A name read from a folder and the key it sorts by, both kept in one buffer of the scan, with
// the eight bytes of the key after the part all keys share, which tell most names apart at once.
struct SortedName
{
    int name;
    int nameSize;
    int key;
    int keySize;
    bool ascii;
    quint64 head;
};

// Appends the key that orders name as QString::toLower orders it: a name of ASCII letters is
// lowered byte by byte, any other through QString, as UTF-8, which sorts by code point.
void appendSortKey(QByteArray &buffer, const char *name, int size, bool ascii)
{
    if (!ascii) {
        buffer.append(QFile::decodeName(QByteArray::fromRawData(name, size)).toLower().toUtf8());
        return;
    }
    const int start = buffer.size();
    buffer.append(name, size);
    for (char *c = buffer.data() + start; c != buffer.data() + buffer.size(); ++c)
        if (*c >= 'A' && *c <= 'Z')
            *c = char(*c - 'A' + 'a');
}

bool isAscii(const char *name, int size)
{
    return std::all_of(name, name + size, [](char c) { return uchar(c) < 0x80; });
}

// Sorts the entries by their keys, equal keys in the order they were read. Keys hold no zero
// byte: a key that ends within its head sorts before the longer keys it begins.
void sortByKey(QVector<SortedName> &entries, const QByteArray &buffer)
{
    if (entries.isEmpty())
        return;
    const char *bytes = buffer.constData();
    const auto keyOf = [bytes](const SortedName &entry) {
        return std::string_view(bytes + entry.key, size_t(entry.keySize));
    };
    size_t shared = keyOf(entries.constFirst()).size();
    for (const SortedName &entry : qAsConst(entries)) {
        const std::string_view key = keyOf(entry);
        shared = size_t(std::mismatch(key.begin(), key.begin() + qMin(shared, key.size()),
                                      keyOf(entries.constFirst()).begin())
                            .first -
                        key.begin());
    }
    for (SortedName &entry : entries) {
        const std::string_view key = keyOf(entry);
        entry.head = 0;
        for (size_t i = shared; i < shared + 8; ++i)
            entry.head = (entry.head << 8) | (i < key.size() ? uchar(key[i]) : 0);
    }
    const size_t rest = shared + 8;
    std::sort(entries.begin(), entries.end(), [&](const SortedName &a, const SortedName &b) {
        if (a.head != b.head)
            return a.head < b.head;
        const std::string_view keyA = keyOf(a);
        const std::string_view keyB = keyOf(b);
        const int order =
            keyA.substr(qMin(rest, keyA.size())).compare(keyB.substr(qMin(rest, keyB.size())));
        return order != 0 ? order < 0 : a.name < b.name;
    });
}

// The paths of the files QDir lists in folder for the report wildcard (files or links to files,
// case ignored) but checksums, sorted by name ignoring case as QDir sorts them, names equal but
// for case in the folder's order; prefix is the folder's path with its slash. One pass over the
// entries with a stat only for links and entries of unknown type: a folder can hold thousands of
// reports, and QDir builds a file information object for each of them. Names and keys are kept
// as bytes until sorted: a string per name and per key costs as much again as the listing.
QStringList reportPaths(const QString &folder, const QString &prefix)
{
    static const QByteArray reportPrefix = QFile::encodeName(ReportNames::Prefix);
    QByteArray buffer;
    QVector<SortedName> entries;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return QStringList();
    while (const dirent *entry = ::readdir(dir)) {
        if (::strncasecmp(entry->d_name, reportPrefix.constData(), size_t(reportPrefix.size())) !=
            0)
            continue;
        // A checksum is never a row of its own: it goes with its archive.
        if (ReportNames::isChecksum(QLatin1String(entry->d_name)))
            continue;
        if (entry->d_type != DT_REG) {
            struct stat info;
            if ((entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) ||
                ::fstatat(::dirfd(dir), entry->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode))
                continue;
        }
        SortedName sorted;
        sorted.nameSize = int(qstrlen(entry->d_name));
        sorted.ascii = isAscii(entry->d_name, sorted.nameSize);
        sorted.name = buffer.size();
        buffer.append(entry->d_name, sorted.nameSize);
        sorted.key = buffer.size();
        appendSortKey(buffer, entry->d_name, sorted.nameSize, sorted.ascii);
        sorted.keySize = buffer.size() - sorted.key;
        entries.append(sorted);
    }
    ::closedir(dir);
    sortByKey(entries, buffer);
    QStringList paths;
    paths.reserve(entries.size());
    for (const SortedName &entry : qAsConst(entries)) {
        const QByteArray name =
            QByteArray::fromRawData(buffer.constData() + entry.name, entry.nameSize);
        if (!entry.ascii) {
            paths.append(prefix + QFile::decodeName(name));
            continue;
        }
        QString path;
        path.reserve(prefix.size() + entry.nameSize);
        path.append(prefix).append(QLatin1String(name));
        paths.append(path);
    }
    return paths;
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
        const QStringList paths = reportPaths(folder, prefix);
        for (const QString &path : paths) {
            // Pieces of the name are looked at in place: a copy of each, for every one of
            // thousands of reports, costs as much as the listing.
            const QStringRef name = path.midRef(prefix.size());
            const int lastDot = name.lastIndexOf(QLatin1Char('.'));
            const QStringRef suffix = lastDot < 0 ? QStringRef() : name.mid(lastDot + 1);
            const QStringRef baseName = lastDot < 0 ? name : name.left(lastDot);
            // A private map belongs to its report and never leaves the machine: it is no row.
            if (ReportNames::isPrivateMap(name))
                continue;
            if (ReportNames::isVolumeExtension(suffix)) {
                volumeParts.insert(prefix + baseName + ReportNames::MultiVolumeSuffix, path);
                continue;
            }
            if (path.endsWith(ReportNames::ProtectedSuffix)) {
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
