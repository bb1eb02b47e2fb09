// SPDX-License-Identifier: GPL-2.0-or-later
// The dialogs that edit the report folders and the debug module folders.
#include "mainwindow.h"

#include "choosedirsdialog.h"
#include "constants.h"
#include "windowplacement.h"

#include <QMessageBox>

namespace {
// The dialog edits a copy: the caller's list changes only when the user confirms. Blank entries
// (an entry edited down to nothing) name no folder and would be read as the working directory.
bool runDirsDialog(ChooseDirsDialog *dialog, QStringList &dirs, const QWidget *anchor)
{
    dialog->setDirs(dirs);
    WindowPlacement::placeOver(dialog, anchor);
    if (dialog->exec() != QDialog::Accepted)
        return false;
    dirs.clear();
    for (const QString &dir : dialog->dirs())
        if (!dir.trimmed().isEmpty())
            dirs.append(dir);
    dirs.removeDuplicates();
    return true;
}

ChooseDirsDialog *createDirsDialog(const QString &chooserTitle, const QString &windowTitle,
                                   const QString &listTitle)
{
    auto *dialog = new ChooseDirsDialog;
    dialog->setChooserTitle(chooserTitle);
    dialog->setWindowTitle(windowTitle);
    dialog->setListTitle(listTitle);
    return dialog;
}
} // namespace

void MainWindow::openReportsDirsSettingsDialog()
{
    if (!reportDirsDialog)
        reportDirsDialog = createDirsDialog(tr("Choose a directory with reports"),
                                            tr("Selecting additional directories"),
                                            tr("List of additional directories with reports"));
    if (!runDirsDialog(reportDirsDialog, reportDirs, this))
        return;

    if (reportDirs.contains(Kro::MainReportDir))
        QMessageBox::warning(this, tr("Attention!"),
                             tr("The directory \"/tmp\" will not be displayed \nin the list of "
                                "additional ones \nbecause it is the main one."),
                             QMessageBox::Ok);
    else
        reportDirs.append(Kro::MainReportDir);
    refillReportsTable();
}

void MainWindow::openDebugDirsSettingsDialog()
{
    if (!debugDirsDialog)
        debugDirsDialog = createDirsDialog(tr("Choose a directory with debug modules"),
                                           tr("Selecting directories with modules"),
                                           tr("List of directories with debug modules"));
    if (runDirsDialog(debugDirsDialog, debugModuleDirs, this))
        fillDebugModules();
}
