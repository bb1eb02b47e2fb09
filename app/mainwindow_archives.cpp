// SPDX-License-Identifier: GPL-2.0-or-later
// Protecting the selected archive and sending it by e-mail.
#include "mainwindow.h"

#include "backstage.h"
#include "constants.h"
#include "passworddialog.h"
#include "reportactions.h"
#include "reportmailer.h"
#include "reportnames.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>

void MainWindow::encryptCurrentReport()
{
    const QTableWidgetItem *current = ui->tableWidget->currentItem();
    if (!current)
        return;
    PasswordDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted || dialog.password().isEmpty())
        return;

    const QString report = current->text();
    // One protection at a time: the action waits for the helper's last reply.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ui->setPasswordAction->setEnabled(false);
    backstage->encryptFiles(QStringList{report} + volumeParts.values(report), dialog.password(),
                            [this, report] {
                                QApplication::restoreOverrideCursor();
                                refillReportsTable();
                                tellProtected(report);
                            });
}

void MainWindow::tellProtected(const QString &report)
{
    const QString protectedReport = report + ReportNames::ProtectedSuffix;
    if (!QFileInfo::exists(protectedReport) || QFileInfo::exists(report))
        return;
    QMessageBox::information(
        this, tr("Password setting"),
        tr("The archive is protected with the password. It is now:\n%1").arg(protectedReport),
        QMessageBox::Ok);
    emit reportProtected(report);
}

void MainWindow::makeReadable(const QString &path, const std::function<void()> &then)
{
    if (QFileInfo(path).permission(QFileDevice::ReadOther))
        return then();
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
            return;
    }
    // The mail goes out even when the permission could not be set: the user was told why.
    backstage->changeMode(Kro::ReadableForAllMode, path, then);
}

void MainWindow::mailto()
{
    const QTableWidgetItem *current = ui->tableWidget->currentItem();
    if (!current) {
        QDesktopServices::openUrl(ReportMailer::mailLink());
        return;
    }
    const QString report = current->text();
    switch (ReportMailer::mailProgram()) {
    case ReportMailer::Program::Thunderbird:
        composeMail(report, ReportMailer::thunderbirdProgram(),
                    ReportMailer::thunderbirdArguments(report));
        break;
    case ReportMailer::Program::Other:
        sendWithXdgEmail(report);
        break;
    case ReportMailer::Program::None:
        tellNoMailProgram(report);
        break;
    }
}

void MainWindow::sendWithXdgEmail(const QString &report)
{
    const QString program = ReportMailer::xdgEmailProgram();
    if (program.isEmpty()) {
        QDesktopServices::openUrl(ReportMailer::mailLink());
        return;
    }
    if (!ReportMailer::xdgEmailTakes(report)) {
        QMessageBox::warning(this, tr("Warning!"),
                             tr("The file name contains a comma, which the mail program cannot "
                                "take as an attachment:\n%1\nRename the file and try again.")
                                 .arg(report),
                             QMessageBox::Ok);
        return;
    }
    composeMail(report, program, ReportMailer::xdgEmailArguments(report));
}

void MainWindow::tellNoMailProgram(const QString &report)
{
    QMessageBox box(QMessageBox::Warning, tr("Warning!"),
                    tr("No mail program is set up on this desktop. Attach the report to a "
                       "message by hand:\n%1")
                        .arg(report),
                    QMessageBox::Close, this);
    QPushButton *openFolder = box.addButton(tr("Open containing folder"), QMessageBox::ActionRole);
    box.exec();
    if (box.clickedButton() == openFolder)
        reportActions->openFolderAction()->trigger();
}

void MainWindow::composeMail(const QString &report, const QString &program,
                             const QStringList &arguments)
{
    makeReadable(report,
                 [this, report, program, arguments] { startComposer(report, program, arguments); });
}

void MainWindow::startComposer(const QString &report, const QString &program,
                               const QStringList &arguments)
{
    const QStringList volumes = volumeParts.values(report);
    if (!volumes.isEmpty()) {
        QString text = tr("You are trying to send a multivolume archive.\nDon't forget to attach "
                          "manually \nthe following parts to your letter:\n");
        for (const QString &volume : volumes)
            text += volume + QLatin1Char('\n');
        QMessageBox::warning(this, tr("Attention!"), text, QMessageBox::Ok);
    }
    QProcess::startDetached(program, arguments);
}
