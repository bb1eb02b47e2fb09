// SPDX-License-Identifier: GPL-2.0-or-later
// Finding the report archives in the report folders: multi-volume archives are listed by their
// main file only, their other volumes are handed back separately.
#include "backstage.h"

#include "constants.h"
#include "helperprotocol.h"

#include <QDir>

namespace {

// True for the suffix of a volume that is not the main file ("z01", "z02", ...).
bool isVolumeSuffix(const QString &suffix)
{
    return suffix.startsWith(QLatin1Char('z')) && suffix != Kro::MultiVolumeSuffix;
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
        const QStringList names = dir.entryList(QStringList{Kro::ReportWildcard}, QDir::Files,
                                                QDir::Name | QDir::IgnoreCase);
        for (const QString &name : names) {
            const int lastDot = name.lastIndexOf(QLatin1Char('.'));
            const QString suffix = lastDot < 0 ? QString() : name.mid(lastDot + 1);
            const QString baseName = lastDot < 0 ? name : name.left(lastDot);
            const QString path = prefix + name;
            if (isVolumeSuffix(suffix)) {
                volumeParts.insert(prefix + baseName + QLatin1Char('.') + Kro::MultiVolumeSuffix,
                                   path);
                continue;
            }
            if (name.endsWith(HelperProtocol::ProtectedSuffix)) {
                // A protected volume keeps its volume suffix in front of ".cpt".
                const QString last = baseName.mid(baseName.lastIndexOf(QLatin1Char('.')) + 1);
                if (isVolumeSuffix(last)) {
                    QString mainFile = path;
                    mainFile.replace(path.lastIndexOf(last), last.size(), Kro::MultiVolumeSuffix);
                    volumeParts.insert(mainFile, path);
                    continue;
                }
            }
            reports.append(path);
        }
    }
    return reports;
}
