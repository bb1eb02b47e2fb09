// SPDX-License-Identifier: GPL-2.0-or-later
// Protecting the selected archive and sending it by e-mail.
#include "mainwindow.h"

#include "afterfirstpaint.h"
#include "backstage.h"
#include "constants.h"
#include "mimeapps.h"
#include "passworddialog.h"
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
        // The box and its picture come in a frame of their own, after the table's.
        afterRepaint(this, [this, path] { tellProtected(path); });
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

void MainWindow::makeReadable(const QStringList &files, const std::function<void()> &then)
{
    // The mail program runs as the user; nobody else is given anything.
    QStringList unreadable;
    for (const QString &file : files) {
        if (::access(QFile::encodeName(file).constData(), R_OK) != 0)
            unreadable << file;
    }
    if (unreadable.isEmpty())
        return then();
    if (!permAskAgain) {
        QMessageBox question(QMessageBox::Question, tr("Attention!"),
                             tr("You will be given permission to read the report file, so that "
                                "your mail program or the upload can read it. Other users still "
                                "cannot read it."),
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
    openUp(unreadable, then);
}

// One file after the other, volumes included: the helper takes one report file a call. The mail
// goes out even when a permission could not be set: the user was told why.
void MainWindow::openUp(QStringList files, const std::function<void()> &then)
{
    if (files.isEmpty())
        return then();
    const QString file = files.takeFirst();
    backstage->changeMode(Kro::ReadableForAllMode, file,
                          [this, files, then] { openUp(files, then); });
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
    const QStringList files = ReportMailer::reportFiles(path, volumeParts.values(path));
    const KroFM::AppInfo program = ReportMailer::mailProgram();
    if (!program.isValid())
        return mailer->tellNoProgram(files);
    makeReadable(files, [this, report, program, files] {
        if (report.stillHoldsOrTell(this))
            mailer->compose(program, files);
    });
}
