// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportset.h"

#include "reportnames.h"

#include <QFileInfo>

namespace {

// A report and its volumes and checksums; anything much larger is no report set.
const int MaxFiles = 1000;

} // namespace

QString ReportSet::open(uid_t caller, const QStringList &paths, const QString &sosTmpDir)
{
    if (paths.isEmpty() || paths.size() > MaxFiles)
        return QStringLiteral("a report set holds from 1 to 1000 files");
    const QString folderPath = QFileInfo(paths.first()).path();
    for (const QString &path : paths) {
        const QFileInfo file(path);
        if (!file.isAbsolute() || file.path() != folderPath)
            return QStringLiteral("the files of a report set must lie in one folder");
    }
    QString failure;
    const UniqueFd folder = RegularFile::openFolder(folderPath, failure);
    if (!folder.ok())
        return failure;
    if (!ReportNames::isReportFolder(folder.get(), caller, sosTmpDir))
        return QStringLiteral("%1 is not a report folder").arg(folderPath);
    files.clear();
    for (const QString &path : paths) {
        auto file = std::make_unique<ReportFile>();
        failure = file->openIn(folder.get(), folderPath, caller, QFileInfo(path).fileName());
        if (!failure.isEmpty())
            return QStringLiteral("%1: %2").arg(path, failure);
        files.push_back(std::move(file));
    }
    return {};
}

QString ReportSet::remove()
{
    QStringList failures;
    for (const auto &file : files) {
        const QString failure = file->remove();
        if (!failure.isEmpty())
            failures.append(QFile::decodeName(file->fileName()) + QStringLiteral(": ") + failure);
    }
    return failures.join(QLatin1Char('\n'));
}
