// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportprogressdialog.h"

#include "reportrun.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

QString collectingText()
{
    return ReportProgressDialog::tr("Information is being collected. \nPlease, wait.");
}

} // namespace

ReportProgressDialog::ReportProgressDialog(ReportRun &run, QWidget *window)
    : QProgressDialog(window, Qt::WindowFlags()), run(run)
{
    // Reaching the last plugin is not the end of the run.
    setAutoReset(false);
    // Escape and Stop cancel the dialog, which hides it; it shows again while the window is
    // locked, and only Stop asks to end the run.
    auto *stop = new QPushButton(tr("Stop"));
    setCancelButton(stop);
    connect(this, &QProgressDialog::canceled, this, &ReportProgressDialog::keepShown);
    connect(stop, &QPushButton::clicked, this, &ReportProgressDialog::confirmStop);
    connect(&run, &ReportRun::started, this, &ReportProgressDialog::showStarted);
    connect(&run, &ReportRun::progressed, this, &ReportProgressDialog::showProgress);
    // Hidden for good until the next run.
    connect(&run, &ReportRun::stalled, this, &QProgressDialog::reset);
    connect(&run, &ReportRun::ended, this, &QProgressDialog::reset);
    showStarted();
}

void ReportProgressDialog::showStarted()
{
    setRange(0, 0);
    setWindowTitle(tr("Long operation..."));
    setLabelText(collectingText());
    show();
    // The window, its parent, is disabled while the run lasts.
    setEnabled(true);
}

void ReportProgressDialog::showProgress(int percent, const QString &text)
{
    // Once the window was unlocked, the run goes on without the dialog.
    if (parentWidget()->isEnabled())
        return;
    if (percent >= 0) {
        setRange(0, 100);
        setValue(percent);
    }
    setLabelText(collectingText() + QLatin1Char('\n') + text);
    keepShown();
}

void ReportProgressDialog::keepShown()
{
    if (!parentWidget()->isEnabled())
        show();
}

void ReportProgressDialog::confirmStop()
{
    const auto answer =
        QMessageBox::question(this, tr("Attention!"), tr("Stop collecting the report?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes)
        run.stop();
}
