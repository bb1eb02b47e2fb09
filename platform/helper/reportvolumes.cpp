// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportvolumes.h"

#include "reportfile.h"
#include "reportnames.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using RegularFile::errnoText;

namespace {

// In the work folder, the report's name leads zip to its standard input: the opened report.
const char InputLink[] = "/proc/self/fd/0";

QByteArray stemOf(const QByteArray &name)
{
    return QFile::encodeName(ReportNames::splitStem(QFile::decodeName(name)));
}

// STEM.zip or STEM.zNN.
bool isVolumeOf(const QByteArray &name, const QByteArray &stem)
{
    if (!name.startsWith(stem + '.'))
        return false;
    const QByteArray suffix = name.mid(stem.size() + 1);
    if (suffix == QFile::encodeName(ReportNames::MultiVolumeExtension))
        return true;
    bool numbered = suffix.size() >= 3 && suffix.startsWith('z');
    for (const char digit : suffix.mid(1))
        numbered = numbered && digit >= '0' && digit <= '9';
    return numbered;
}

} // namespace

ReportVolumes::ReportVolumes(std::shared_ptr<ReportFile> report)
    : report(std::move(report)), stem(stemOf(this->report->fileName()))
{
}

QString ReportVolumes::prepare(WorkFolders &workFolders)
{
    folders = &workFolders;
    const QString failure = work.make(workFolders, report->folderDescriptor(), report->folderPath(),
                                      WorkFolders::SplitPrefix);
    if (!failure.isEmpty())
        return failure;
    if (symlinkat(InputLink, work.descriptor(), report->fileName().constData()) != 0)
        return errnoText(QStringLiteral("cannot prepare the work folder"));
    return {};
}

QStringList ReportVolumes::zipArguments(int volumeMiB) const
{
    const QString folder = QStringLiteral("/proc/self/fd/%1/").arg(work.descriptor());
    // Quiet, no folders in the archive, names taken as they are; compressed files are stored.
    return {QStringLiteral("-q"),
            QStringLiteral("-j"),
            QStringLiteral("-nw"),
            QStringLiteral("-n"),
            QStringLiteral(".xz:.gz:.bz2"),
            QStringLiteral("-s"),
            QStringLiteral("%1m").arg(volumeMiB),
            folder + QFile::decodeName(stem) + QLatin1Char('.') + ReportNames::MultiVolumeExtension,
            folder + QFile::decodeName(report->fileName())};
}

QString ReportVolumes::keep()
{
    QByteArrayList volumes;
    QString failure;
    for (const QByteArray &name : RegularFile::entriesOf(work.descriptor())) {
        if (name != report->fileName() && !isVolumeOf(name, stem))
            failure = QStringLiteral("zip left an unexpected file");
        else if (name != report->fileName())
            volumes.append(name);
    }
    if (failure.isEmpty())
        failure =
            volumes.contains(stem + '.' + QFile::encodeName(ReportNames::MultiVolumeExtension))
                ? place(volumes)
                : QStringLiteral("zip made no archive");
    if (failure.isEmpty())
        failure = report->remove();
    if (!failure.isEmpty())
        unplace();
    folders->forget(note);
    discard();
    return failure;
}

// Linking never replaces an existing name nor follows a link at it: each volume is created
// beside the report as with O_CREAT | O_EXCL | O_NOFOLLOW, only without copying it. The volumes
// are noted first, so that a helper killed before the report is removed takes them away again
// at its next start.
QString ReportVolumes::place(const QByteArrayList &volumes)
{
    QVector<WorkFolders::Named> ready;
    const QString failure = prepareVolumes(volumes, ready);
    if (!failure.isEmpty())
        return failure;
    note =
        folders->noteVolumes(report->folderPath(), {report->fileName(), report->status()}, ready);
    if (note.isEmpty())
        return QStringLiteral("the helper cannot note the volumes");
    const int folder = report->folderDescriptor();
    for (const WorkFolders::Named &volume : qAsConst(ready)) {
        if (linkat(work.descriptor(), volume.name.constData(), folder, volume.name.constData(),
                   0) != 0)
            return errno == EEXIST
                       ? QStringLiteral("%1 exists already").arg(QFile::decodeName(volume.name))
                       : errnoText(QStringLiteral("cannot put a volume beside the report"));
        placed.append(volume);
    }
    fsync(folder);
    return {};
}

// Each volume a regular file with the report's owner and mode, written out.
QString ReportVolumes::prepareVolumes(const QByteArrayList &volumes,
                                      QVector<WorkFolders::Named> &ready)
{
    for (const QByteArray &name : volumes) {
        struct stat info
        {
        };
        const UniqueFd volume(openat(work.descriptor(), name.constData(),
                                     O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
        if (!volume.ok() || fstat(volume.get(), &info) != 0 || !S_ISREG(info.st_mode))
            return QStringLiteral("zip made no regular file %1").arg(QFile::decodeName(name));
        const QString failure = report->shareOwnership(volume.get());
        if (!failure.isEmpty())
            return failure;
        if (fsync(volume.get()) != 0)
            return errnoText(QStringLiteral("cannot write a volume"));
        ready.append({name, info});
    }
    return {};
}

void ReportVolumes::unplace()
{
    for (const WorkFolders::Named &volume : qAsConst(placed))
        if (RegularFile::stillNames(report->folderDescriptor(), volume.name, volume.info))
            unlinkat(report->folderDescriptor(), volume.name.constData(), 0);
    placed.clear();
}

void ReportVolumes::discard()
{
    work.remove();
}
