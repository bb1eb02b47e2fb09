// SPDX-License-Identifier: GPL-2.0-or-later
// Protecting the selected archive and sending it by e-mail.
#include "mainwindow.h"

#include "backstage.h"
#include "constants.h"
#include "passworddialog.h"
#include "reportactions.h"
#include "reportidentity.h"
#include "reportmailer.h"
#include "reportnames.h"
#include "reportspage.h"
#include "reproduceflow.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <unistd.h>

void MainWindow::encryptCurrentReport()
{
    protectReport(reportsPage->currentReport());
}

// The report is taken as it is now: the table may be refilled while the password is typed.
void MainWindow::protectReport(const QString &path)
{
    if (path.isEmpty())
        return;
    // The user sees which report the password is for.
    selectReport(path);
    const ReportIdentity report = ReportIdentity::of(path);
    if (!report.stillHoldsOrTell(this))
        return;
    const QStringList files = QStringList{path} + volumeParts.values(path);
    PasswordDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted || dialog.password().isEmpty() ||
        !report.stillHoldsOrTell(this))
        return;

    // One protection at a time: the action waits for the helper's last reply.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ui->setPasswordAction->setEnabled(false);
    const QString protecting = tr("Protecting %1...").arg(QFileInfo(path).fileName());
    statusBar()->showMessage(protecting);
    backstage->encryptFiles(files, dialog.password(), [this, path, protecting] {
        QApplication::restoreOverrideCursor();
        if (statusBar()->currentMessage() == protecting)
            statusBar()->clearMessage();
        refillReportsTable();
        tellProtected(path);
    });
}

void MainWindow::tellProtected(const QString &report)
{
    const QString protectedReport = report + ReportNames::ProtectedSuffix;
    if (!QFileInfo::exists(protectedReport) || QFileInfo::exists(report))
        return;
    selectReport(protectedReport);
    reportsPage->announce(protectedReport, tr("Report protected: %1").arg(protectedReport));
    QMessageBox::information(
        this, tr("Password setting"),
        tr("The archive is protected with the password. It is now:\n%1").arg(protectedReport),
        QMessageBox::Ok);
    reproduceFlow->followProtection(report);
}

void MainWindow::makeReadable(const QString &path, const std::function<void()> &then)
{
    // The mail program runs as the user; nobody else is given anything.
    if (::access(QFile::encodeName(path).constData(), R_OK) == 0)
        return then();
    if (!permAskAgain) {
        QMessageBox question(QMessageBox::Question, tr("Attention!"),
                             tr("You will be given permission to read the report file, so that "
                                "your mail program can attach it. Other users still cannot read "
                                "it."),
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
    sendReport(reportsPage->currentReport());
}

void MainWindow::sendReport(const QString &path)
{
    if (path.isEmpty()) {
        QDesktopServices::openUrl(ReportMailer::mailLink());
        return;
    }
    selectReport(path);
    const ReportIdentity report = ReportIdentity::of(path);
    if (!report.stillHoldsOrTell(this))
        return;
    switch (ReportMailer::mailProgram()) {
    case ReportMailer::Program::Thunderbird:
        composeMail(report, ReportMailer::thunderbirdProgram(),
                    ReportMailer::thunderbirdArguments(path));
        break;
    case ReportMailer::Program::Other:
        sendWithXdgEmail(report);
        break;
    case ReportMailer::Program::None:
        tellNoMailProgram(path);
        break;
    }
}

void MainWindow::sendWithXdgEmail(const ReportIdentity &report)
{
    const QString program = ReportMailer::xdgEmailProgram();
    if (program.isEmpty()) {
        QDesktopServices::openUrl(ReportMailer::mailLink());
        return;
    }
    if (!ReportMailer::xdgEmailTakes(report.path())) {
        QMessageBox::warning(this, tr("Warning!"),
                             tr("The file name contains a comma, which the mail program cannot "
                                "take as an attachment:\n%1\nRename the file and try again.")
                                 .arg(report.path()),
                             QMessageBox::Ok);
        return;
    }
    composeMail(report, program, ReportMailer::xdgEmailArguments(report.path()));
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
        reportsPage->actions()->showInFolder(report);
}

void MainWindow::composeMail(const ReportIdentity &report, const QString &program,
                             const QStringList &arguments)
{
    const QStringList volumes = volumeParts.values(report.path());
    makeReadable(report.path(), [this, report, volumes, program, arguments] {
        if (report.stillHoldsOrTell(this))
            startComposer(report, volumes, program, arguments);
    });
}

void MainWindow::startComposer(const ReportIdentity &report, const QStringList &volumes,
                               const QString &program, const QStringList &arguments)
{
    if (!volumes.isEmpty()) {
        QString text = tr("You are trying to send a multivolume archive.\nDon't forget to attach "
                          "manually \nthe following parts to your letter:\n");
        for (const QString &volume : volumes)
            text += volume + QLatin1Char('\n');
        QMessageBox::warning(this, tr("Attention!"), text, QMessageBox::Ok);
        if (!report.stillHoldsOrTell(this))
            return;
    }
    QProcess::startDetached(program, arguments);
}
