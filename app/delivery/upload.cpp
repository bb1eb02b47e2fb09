// SPDX-License-Identifier: GPL-2.0-or-later
#include "upload.h"

#include "reportidentity.h"
#include "uploaddialog.h"
#include "uploadfailure.h"
#include "uploadjob.h"
#include "uploadprogressdialog.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>

namespace {

using Outcome = UploadResult::Outcome;

// Whether the server keeps what arrived of a file, to be completed once it takes more.
bool keepsPart(Outcome outcome)
{
    return outcome == Outcome::Stopped || outcome == Outcome::ConnectionLost ||
           outcome == Outcome::ServerFull || outcome == Outcome::ServerFault;
}

QString hostOf(const QString &destination)
{
    const QUrl url(destination);
    return url.port() > 0 ? QStringLiteral("%1:%2").arg(url.host()).arg(url.port()) : url.host();
}

} // namespace

Upload::Upload(QWidget *window, const QMultiMap<QString, QString> &volumeParts,
               ReadAccess readAccess, CaseId caseId)
    : QObject(window), window(window), volumeParts(volumeParts), readAccess(std::move(readAccess)),
      caseId(std::move(caseId)), job(new UploadJob(this))
{
    connect(job, &UploadJob::progressed, this, &Upload::showProgress);
    connect(job, &UploadJob::finished, this, &Upload::fileSent);
}

bool Upload::isRunning() const
{
    return job->isRunning() || sending;
}

bool Upload::mayEnd() const
{
    if (!isRunning())
        return true;
    return QMessageBox::question(window, tr("Attention!"),
                                 tr("A report is being uploaded. Stop the upload and quit?"),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

// The report is taken as it is now: the table may be refilled while the dialog is open.
void Upload::start(const QString &path)
{
    if (path.isEmpty() || isRunning())
        return;
    const ReportIdentity report = ReportIdentity::of(path);
    if (!report.stillHoldsOrTell(window))
        return;
    QStringList volumes = volumeParts.values(path);
    volumes.sort();
    files = QStringList{path} + volumes;
    QStringList names;
    for (const QString &file : qAsConst(files))
        names.append(QFileInfo(file).fileName());
    const QString id = caseId();
    UploadDialog dialog(
        names, [id](const QString &name) { return UploadTarget::remoteName(name, id); }, window);
    if (dialog.exec() != QDialog::Accepted || !report.stillHoldsOrTell(window))
        return;
    const UploadSettings settings = dialog.settings();
    settings.save();
    request = UploadRequest();
    request.target = UploadTarget::fromServer(settings.server);
    request.user = settings.user;
    request.password = dialog.password();
    request.caFile = settings.caFile;
    caseIdNow = id;
    // The read access may take a while (the helper asks polkit): an upload started meanwhile
    // replaces this one. A split report is one question for all its volumes.
    const int attempt = ++attempts;
    readAccess(files, [this, report, attempt] {
        if (attempt == attempts && !isRunning() && report.stillHoldsOrTell(window))
            sendFiles();
    });
}

void Upload::sendFiles()
{
    totalBytes = 0;
    for (const QString &file : qAsConst(files))
        totalBytes += QFileInfo(file).size();
    doneBytes = 0;
    current = 0;
    arrived.clear();
    // Made on first use and kept, as the window's other dialogs.
    if (!progress) {
        progress = new UploadProgressDialog(window);
        connect(progress, &UploadProgressDialog::stopRequested, job, &UploadJob::stop);
    }
    sending = true;
    emit started();
    sendNext();
}

void Upload::sendNext()
{
    const QString file = files.at(current);
    request.file = file;
    request.remoteName = UploadTarget::remoteName(QFileInfo(file).fileName(), caseIdNow);
    request.resume = interrupted.contains(resumeKey(file)) &&
                     !wholeOnly.contains(request.target.destination(QString()).toString());
    progress->begin(QFileInfo(file).fileName(),
                    request.target.destination(request.remoteName).toDisplayString(), doneBytes,
                    totalBytes);
    job->start(request);
}

void Upload::showProgress(qint64 sent, qint64, double bytesPerSecond)
{
    if (sending)
        progress->showProgress(sent, bytesPerSecond);
}

void Upload::fileSent(const UploadResult &result)
{
    const QString key = resumeKey(request.file);
    if (result.restarted)
        wholeOnly.insert(request.target.destination(QString()).toString());
    // An HTTP server may have kept a part too: the next upload asks it.
    const bool put = request.target.method() == UploadTarget::Method::HttpPut;
    if (result.outcome == Outcome::Done) {
        interrupted.remove(key);
        arrived.append(result);
        doneBytes += result.size;
        if (++current < files.size())
            return sendNext();
    } else if ((request.target.canResume() || put) && keepsPart(result.outcome)) {
        interrupted.insert(key);
    }
    if (result.outcome == Outcome::HostKeyUnknown) {
        progress->hide();
        if (askToTrust(result)) {
            request.acceptedHostKey = result.hostKey;
            return sendNext();
        }
    }
    finish(result);
}

void Upload::finish(const UploadResult &last)
{
    progress->hide();
    sending = false;
    // The password lives for one upload only.
    request.password.clear();
    if (last.outcome == Outcome::Done)
        tellArrived();
    else if (last.outcome != Outcome::HostKeyUnknown)
        tellFailure(last);
    emit ended(last);
}

void Upload::tellArrived()
{
    const QLocale locale;
    QStringList lines;
    for (const UploadResult &result : qAsConst(arrived)) {
        lines.append(tr("%1 (%2)").arg(result.destination, locale.formattedDataSize(result.size)));
        if (result.restarted)
            lines.append(tr("The server had part of it but does not take the rest of a file, so "
                            "all of it was sent again."));
        if (!result.sha256.isEmpty())
            lines.append(tr("SHA-256: %1").arg(QString::fromLatin1(result.sha256)));
    }
    QMessageBox box(QMessageBox::Information, tr("Report Uploaded"),
                    tr("The report arrived on the server:\n%1").arg(lines.join(QLatin1Char('\n'))),
                    QMessageBox::Ok, window);
    const QString answer = arrived.isEmpty() ? QString() : arrived.last().serverAnswer;
    if (!answer.isEmpty())
        box.setInformativeText(tr("The server answered: %1").arg(answer));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

bool Upload::askToTrust(const UploadResult &result)
{
    QMessageBox box(QMessageBox::Question, tr("Unknown Server"),
                    tr("%1 is not among the servers known to this computer. Its key "
                       "fingerprint is:\n%2")
                        .arg(hostOf(result.destination), result.fingerprint),
                    QMessageBox::Yes | QMessageBox::Cancel, window);
    box.setInformativeText(tr("Trust this server only when the fingerprint is the one your "
                              "support team gave you. Trust it and upload?"));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Yes;
}

QString Upload::resumeKey(const QString &file) const
{
    const QFileInfo info(file);
    return request.target.destination(request.remoteName).toString() + QLatin1Char('\n') + file +
           QLatin1Char('\n') + QString::number(info.size()) + QLatin1Char('\n') +
           QString::number(info.lastModified().toMSecsSinceEpoch());
}

void Upload::tellFailure(const UploadResult &result)
{
    const bool resumable =
        request.target.canResume() && interrupted.contains(resumeKey(request.file));
    QMessageBox box(result.outcome == Outcome::Stopped ? QMessageBox::Information
                                                       : QMessageBox::Warning,
                    UploadFailure::title(result), UploadFailure::text(result, resumable),
                    QMessageBox::Ok, window);
    QStringList details{result.destination};
    if (!result.detail.isEmpty())
        details.append(result.detail);
    if (!result.serverAnswer.isEmpty())
        details.append(result.serverAnswer);
    if (result.outcome != Outcome::Stopped)
        box.setDetailedText(details.join(QLatin1Char('\n')));
    box.exec();
}
