// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportmailer.h"

#include "mailattachments.h"
#include "mimeapps.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <algorithm>

namespace {

const QString MailLinkType = QStringLiteral("x-scheme-handler/mailto");
const QString MailRecipient = QStringLiteral(KRO_MAINTAINERS_ADDRESS);
const QString MailSubject = QStringLiteral("sos report");
const QString MailBody = QStringLiteral("report in attachment");

// Starts the program given as its arguments and waits up to about five seconds: when it ends
// within them, its exit status is the shell's; a program still running then is left to run on
// its own, outliving this application. 126 and 127 mean it could not be started.
const QString StartWatch =
    QStringLiteral("\"$@\" & child=$!; tries=0\n"
                   "while [ $tries -lt 50 ] && kill -0 $child 2>/dev/null; do\n"
                   "  PATH=\"$PATH:/usr/bin:/bin\" sleep 0.1; tries=$((tries+1))\n"
                   "done\n"
                   "kill -0 $child 2>/dev/null && exit 0\n"
                   "wait $child");
const int NotStartedStatus = 126;

} // namespace

ReportMailer::ReportMailer(QWidget *window, std::function<void(const QString &)> showInFolder)
    : QObject(window), window(window), showInFolder(std::move(showInFolder))
{
}

// Only the watching shells end here: the mail programs they started run on.
ReportMailer::~ReportMailer()
{
    const QList<QProcess *> watches = findChildren<QProcess *>();
    for (QProcess *watch : watches) {
        watch->disconnect(this);
        watch->kill();
        watch->waitForFinished();
    }
}

KroFM::AppInfo ReportMailer::mailProgram()
{
    return KroFM::MimeApps::ptr()->mimeTypeApplications(MailLinkType).value(0);
}

QStringList ReportMailer::reportFiles(const QString &report, QStringList volumes)
{
    // Volume numbers have at least two digits: a longer name is a later volume.
    std::sort(volumes.begin(), volumes.end(), [](const QString &a, const QString &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return QStringList{report} + volumes;
}

MailMessage ReportMailer::message(const QStringList &files)
{
    return {MailRecipient, MailSubject, MailBody, files};
}

QUrl ReportMailer::mailLink()
{
    return QUrl(MailPrograms::mailLink(message({})), QUrl::TolerantMode);
}

void ReportMailer::compose(const KroFM::AppInfo &program, const QStringList &files)
{
    const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    const MailPrograms::Route route = MailPrograms::route(program);
    QStringList attached = files;
    const bool carried = std::all_of(files.cbegin(), files.cend(), [route](const QString &file) {
        return MailPrograms::carries(route, file);
    });
    if (!carried)
        attached = MailAttachments::plainLinks(files);
    if (attached.isEmpty()) {
        tell(tr("The report's name cannot be handed to %1, and no link with a plain name could "
                "be made in %2. Attach the report to a message by hand:")
                 .arg(program.name(), MailAttachments::folder()),
             files);
        return;
    }
    start(program.name(), MailPrograms::command(program, message(attached), xdgEmail), files);
    if (route == MailPrograms::Route::Sandboxed)
        tell(tr("%1 runs apart from the rest of the system and may not see the report, so it "
                "was not attached. Attach it to the message by hand:")
                 .arg(program.name()),
             files);
    else if (!MailPrograms::attaches(program, xdgEmail))
        tell(tr("Without xdg-email (package xdg-utils) the report cannot be attached in %1. "
                "Attach it to the message by hand:")
                 .arg(program.name()),
             files);
}

void ReportMailer::tellNoProgram(const QStringList &files)
{
    tell(tr("No mail program is set up on this desktop. Attach the report to a message by hand:"),
         files);
}

void ReportMailer::start(const QString &name, const QStringList &command, const QStringList &files)
{
    const auto notStarted = [this, name, files] {
        tell(tr("The mail program %1 could not be started. Attach the report to a message by "
                "hand:")
                 .arg(name),
             files);
    };
    if (command.isEmpty())
        return notStarted();
    auto *process = new QProcess(this);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    connect(process, &QProcess::errorOccurred, this,
            [process, notStarted](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart)
                    return;
                process->deleteLater();
                notStarted();
            });
    connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [this, process, name, files, notStarted](int status, QProcess::ExitStatus how) {
                process->deleteLater();
                if (how == QProcess::NormalExit && status >= NotStartedStatus &&
                    status <= NotStartedStatus + 1)
                    return notStarted();
                if (how != QProcess::NormalExit || status != 0)
                    tell(tr("The mail program %1 ended at once with an error (exit status %2). "
                            "Attach the report to a message by hand:")
                             .arg(name)
                             .arg(status),
                         files);
            });
    process->start(QStringLiteral("/bin/sh"),
                   QStringList{QStringLiteral("-c"), StartWatch, QStringLiteral("sh")} + command);
}

void ReportMailer::tell(const QString &why, const QStringList &files)
{
    QMessageBox box(QMessageBox::Warning, tr("Warning!"),
                    why + QLatin1Char('\n') + files.join(QLatin1Char('\n')), QMessageBox::Close,
                    window);
    QPushButton *openFolder = box.addButton(tr("Open containing folder"), QMessageBox::ActionRole);
    QPushButton *copyPath = box.addButton(tr("Copy path"), QMessageBox::ActionRole);
    box.exec();
    if (box.clickedButton() == openFolder)
        showInFolder(files.first());
    else if (box.clickedButton() == copyPath)
        QApplication::clipboard()->setText(files.join(QLatin1Char('\n')));
}
