// SPDX-License-Identifier: GPL-2.0-or-later
// Protecting report archives with a password and opening them up for reading, both with
// administrator rights. Report folders such as /tmp are writable by other users: the helper acts
// only on the file it opened itself, and a path is checked here first for an early warning.
#include "backstage.h"

#include "constants.h"
#include "dbusservice.h"
#include "reportnames.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A privileged chmod or ccrypt follows what the name points to. Only a plain file with one name,
// owned by root or by the user, is a report this user may act on; a link (symbolic or hard)
// planted by someone else could point at any file of the system.
bool isSafeToTouch(const QString &path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    if (!S_ISREG(info.st_mode) || info.st_nlink != 1)
        return false;
    return info.st_uid == 0 || info.st_uid == ::getuid();
}

} // namespace

bool Backstage::refuseUnsafeFiles(const QStringList &files)
{
    QStringList unsafe;
    for (const QString &file : files)
        if (!isSafeToTouch(file))
            unsafe.append(file);
    if (unsafe.isEmpty())
        return false;
    emit warnMessage(tr("Warning!"),
                     tr("The following files are not regular report files of yours (a link, "
                        "a folder, a missing file or a file of another user).\nNothing was "
                        "changed:\n%1")
                         .arg(unsafe.join(QLatin1Char('\n'))));
    return true;
}

void Backstage::encryptFiles(const QStringList &files, const QString &password,
                             const std::function<void()> &done)
{
    if (files.isEmpty() || refuseUnsafeFiles(files))
        return done ? done() : void();
    // ccrypt reads the key up to the first line break; a longer one would be cut silently.
    if (password.contains(QLatin1Char('\n')) || password.contains(QLatin1Char('\r'))) {
        emit warnMessage(tr("Warning!"), tr("The password must not contain line breaks."));
        return done ? done() : void();
    }
    // The helper checks and encrypts the very file it opened, so a name swapped for a link
    // after the check above changes nothing. The key never becomes a program argument.
    protectNext(files, password.toUtf8(), done);
}

// One file after the other, each on the reply to the one before; every failure is told.
void Backstage::protectNext(QStringList files, QByteArray key, const std::function<void()> &done)
{
    if (files.isEmpty()) {
        key.fill('\0');
        return done ? done() : void();
    }
    const QString file = files.takeFirst();
    dbusService->protectReport(file, key, this, warnOnFailure([this, files, key, done] {
                                   protectNext(files, key, done);
                               }));
}

std::function<void(const KroAdmin::HelperReply &)>
Backstage::warnOnFailure(const std::function<void()> &then)
{
    return [this, then](const KroAdmin::HelperReply &reply) {
        if (!reply.succeeded())
            emit warnMessage(tr("Error"), reply.message);
        if (then)
            then();
    };
}

// Only read permission for others is ever granted, whatever else mode might say.
void Backstage::changeMode(const QString &mode, const QString &file,
                           const std::function<void()> &done)
{
    Q_ASSERT(mode == Kro::ReadableForAllMode);
    if (refuseUnsafeFiles(QStringList{file}))
        return done ? done() : void();
    dbusService->makeReportReadable(file, this, warnOnFailure(done));
}

QStringList Backstage::reportSetFiles(const QString &report,
                                      const QMultiMap<QString, QString> &volumeParts)
{
    QString plain = report;
    if (plain.endsWith(ReportNames::ProtectedSuffix))
        plain.chop(ReportNames::ProtectedSuffix.size());
    const QString protectedForm = plain + ReportNames::ProtectedSuffix;
    QStringList candidates{plain, protectedForm};
    for (const QString &form : {plain, protectedForm})
        candidates += ReportNames::checksumsOf(form);
    candidates += volumeParts.values(plain) + volumeParts.values(protectedForm);
    // The names behind an obfuscated report mean nothing without it.
    candidates.append(ReportNames::privateMapOf(plain));
    QStringList files;
    for (const QString &file : qAsConst(candidates))
        if (QFileInfo(file).isSymLink() || QFileInfo::exists(file))
            files.append(file);
    return files;
}

void Backstage::deleteReportFiles(const QStringList &files, const std::function<void()> &done)
{
    // Root's files, and every file when the window runs as root, go through the helper, which
    // refuses a link or a file of someone else planted in a shared folder such as /tmp.
    QStringList privileged;
    QStringList failed;
    for (const QString &file : files) {
        struct stat info;
        const bool own = ::lstat(QFile::encodeName(file).constData(), &info) == 0 &&
                         info.st_uid == ::getuid() && ::getuid() != 0;
        if (!own)
            privileged.append(file);
        else if (!QFile::remove(file))
            failed.append(file);
    }
    if (!failed.isEmpty())
        emit warnMessage(tr("Warning!"), tr("The following files could not be removed:\n%1")
                                             .arg(failed.join(QLatin1Char('\n'))));
    if (privileged.isEmpty())
        return done ? done() : void();
    dbusService->deleteReports(privileged, this, warnOnFailure(done));
}
