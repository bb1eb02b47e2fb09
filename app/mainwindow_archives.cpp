// SPDX-License-Identifier: GPL-2.0-or-later
// Protecting the selected archive and sending it by e-mail.
#include "mainwindow.h"

#include "backstage.h"
#include "constants.h"
#include "helperprotocol.h"
#include "mimeapps.h"
#include "passworddialog.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QUrl>

namespace {

const QString MailProgram = QStringLiteral("thunderbird");
const QString MailRecipient = QStringLiteral(KRO_MAINTAINERS_ADDRESS);
const QString MailSubject = QStringLiteral("sos report");
const QString MailBody = QStringLiteral("report in attachment");
const QString MailLinkType = QStringLiteral("x-scheme-handler/mailto");

// Only this mail program can be handed an attachment on its command line.
bool mailProgramTakesAttachments()
{
    const KroFM::MimeApps *apps = KroFM::MimeApps::ptr();
    if (apps->defaultMailSenderExec().contains(MailProgram, Qt::CaseInsensitive))
        return true;
    const QList<KroFM::AppInfo> handlers = apps->mimeTypeApplications(MailLinkType);
    for (const KroFM::AppInfo &app : handlers)
        if (app.name().contains(MailProgram, Qt::CaseInsensitive))
            return true;
    return false;
}

QString composeArgument(const QString &attachment)
{
    return QStringLiteral("to='") + MailRecipient + QStringLiteral("',subject='") + MailSubject +
           QStringLiteral("',body='") + MailBody + QStringLiteral("',attachment='") + attachment +
           QLatin1Char('\'');
}

} // namespace

void MainWindow::encryptCurrentReport()
{
    const QTableWidgetItem *current = ui->tableWidget->currentItem();
    if (!current)
        return;
    PasswordDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted || dialog.password().isEmpty())
        return;

    const QString report = current->text();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    backstage->encryptFiles(QStringList{report} + volumeParts.values(report), dialog.password());
    QApplication::restoreOverrideCursor();
    refillReportsTable();
    const QString protectedReport = report + HelperProtocol::ProtectedSuffix;
    if (QFileInfo::exists(protectedReport) && !QFileInfo::exists(report))
        QMessageBox::information(
            this, tr("Password setting"),
            tr("The archive is protected with the password. It is now:\n%1").arg(protectedReport),
            QMessageBox::Ok);
}

bool MainWindow::makeReadable(const QString &path)
{
    if (QFileInfo(path).permission(QFileDevice::ReadOther))
        return true;
    if (!permAskAgain) {
        QMessageBox question(QMessageBox::Question, tr("Attention!"),
                             tr("Permission to read the report file will be set for all users."),
                             QMessageBox::Yes | QMessageBox::Cancel);
        question.setInformativeText(tr("Do you want to continue?"));
        question.setWindowFlags(Qt::WindowTitleHint);
        question.setDefaultButton(QMessageBox::Cancel);
        question.setCheckBox(new QCheckBox(tr("Don't show this message again")));
        const int answer = question.exec();
        permAskAgain = question.checkBox()->isChecked();
        QSettings().setValue(Kro::PermAskAgainKey, permAskAgain);
        if (answer != QMessageBox::Yes)
            return false;
    }
    backstage->changeMode(Kro::ReadableForAllMode, path);
    return true;
}

void MainWindow::mailto()
{
    const QTableWidgetItem *current = ui->tableWidget->currentItem();
    if (current && mailProgramTakesAttachments()) {
        composeMail(current->text());
        return;
    }
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + MailRecipient +
                                       QStringLiteral("?subject=") + MailSubject +
                                       QStringLiteral("&body=") + MailBody,
                                   QUrl::TolerantMode));
}

void MainWindow::composeMail(const QString &report)
{
    // The mail program reads the quoted attachment up to the next quote: a quote in the name
    // would cut the path and let the rest be read as further fields.
    if (report.contains(QLatin1Char('\''))) {
        QMessageBox::warning(this, tr("Warning!"),
                             tr("The file name contains a single quote, which the mail program "
                                "cannot take as an attachment:\n%1\nRename the file and try again.")
                                 .arg(report),
                             QMessageBox::Ok);
        return;
    }
    if (!makeReadable(report))
        return;

    const QStringList volumes = volumeParts.values(report);
    if (!volumes.isEmpty()) {
        QString text = tr("You are trying to send a multivolume archive.\nDon't forget to attach "
                          "manually \nthe following parts to your letter:\n");
        for (const QString &volume : volumes)
            text += volume + QLatin1Char('\n');
        QMessageBox::warning(this, tr("Attention!"), text, QMessageBox::Ok);
    }
    QProcess::startDetached(MailProgram,
                            QStringList{QStringLiteral("-compose"), composeArgument(report)});
}
