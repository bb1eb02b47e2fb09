// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportmailer.h"

#include "mimeapps.h"

#include <QStandardPaths>

namespace {

const QString Thunderbird = QStringLiteral("thunderbird");
const QString XdgEmail = QStringLiteral("xdg-email");
const QString MailRecipient = QStringLiteral(KRO_MAINTAINERS_ADDRESS);
const QString MailSubject = QStringLiteral("sos report");
const QString MailBody = QStringLiteral("report in attachment");
const QString MailLinkType = QStringLiteral("x-scheme-handler/mailto");

// Thunderbird takes file URLs too, and reads a quote or comma of a name only when encoded.
QString encodedFileUrl(const QString &path)
{
    return QStringLiteral("file://") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
}

} // namespace

ReportMailer::Program ReportMailer::mailProgram()
{
    const KroFM::MimeApps *apps = KroFM::MimeApps::ptr();
    const QString defaultExec = apps->defaultMailSenderExec();
    if (defaultExec.contains(Thunderbird, Qt::CaseInsensitive))
        return Program::Thunderbird;
    const QList<KroFM::AppInfo> handlers = apps->mimeTypeApplications(MailLinkType);
    for (const KroFM::AppInfo &app : handlers)
        if (app.name().contains(Thunderbird, Qt::CaseInsensitive))
            return Program::Thunderbird;
    return defaultExec.isEmpty() && handlers.isEmpty() ? Program::None : Program::Other;
}

QString ReportMailer::thunderbirdProgram()
{
    return Thunderbird;
}

QStringList ReportMailer::thunderbirdArguments(const QString &report)
{
    return {QStringLiteral("-compose"),
            QStringLiteral("to='") + MailRecipient + QStringLiteral("',subject='") + MailSubject +
                QStringLiteral("',body='") + MailBody + QStringLiteral("',attachment='") +
                encodedFileUrl(report) + QLatin1Char('\'')};
}

QString ReportMailer::xdgEmailProgram()
{
    return QStandardPaths::findExecutable(XdgEmail);
}

// xdg-email wants a path of an existing file, which it encodes itself.
QStringList ReportMailer::xdgEmailArguments(const QString &report)
{
    return {QStringLiteral("--subject"),
            MailSubject,
            QStringLiteral("--body"),
            MailBody,
            QStringLiteral("--attach"),
            report,
            MailRecipient};
}

bool ReportMailer::xdgEmailTakes(const QString &report)
{
    return !report.contains(QLatin1Char(','));
}

QUrl ReportMailer::mailLink()
{
    return QUrl(QStringLiteral("mailto:") + MailRecipient + QStringLiteral("?subject=") +
                    MailSubject + QStringLiteral("&body=") + MailBody,
                QUrl::TolerantMode);
}
