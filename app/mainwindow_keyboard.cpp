// SPDX-License-Identifier: GPL-2.0-or-later
// The window without a mouse or without sight: shortcuts, focus, the names a screen reader reads
// and the icons drawn for the palette.
#include "mainwindow.h"

#include "themedicon.h"
#include "ui_mainwindow.h"

#include <QEvent>

namespace {

// A flat button draws no frame, and under many styles no focus either: it shows its frame while
// it has the keyboard focus, so the user sees where Tab went.
class FocusFrame : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            static_cast<QPushButton *>(watched)->setFlat(event->type() == QEvent::FocusOut);
        return false;
    }
};

} // namespace

void MainWindow::setUpKeyboard()
{
    ui->saveAction->setShortcut(QKeySequence::New);
    ui->refreshAction->setShortcut(QKeySequence::Refresh);
    // Not every platform theme binds QKeySequence::Quit.
    ui->exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ui->helpAction->setShortcut(QKeySequence::HelpContents);
    // Free in the window and in the common desktops' own bindings.
    ui->setPasswordAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    ui->sendReportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    auto *focusFrame = new FocusFrame(this);
    for (QPushButton *button : {ui->browseReportsDirsPBtn, ui->browseDebugDirsPBtn})
        button->installEventFilter(focusFrame);
    // Tab moves between controls, the arrow keys between cells.
    ui->tableWidget->setTabKeyNavigation(false);
}

void MainWindow::setUpAccessibleNames()
{
    // Icon-only buttons are named by what their tool tips say.
    for (QPushButton *button :
         {ui->browseReportsDirsPBtn, ui->browseDebugDirsPBtn, ui->rollbackModePb, ui->debugModePb,
          ui->reproducePb, ui->showChangesPb})
        button->setAccessibleName(button->toolTip());
    const QString configure = QStringLiteral("configure");
    const QIcon folders = ThemedIcon::get(configure, QStringLiteral("tools"), palette());
    ui->browseReportsDirsPBtn->setIcon(folders);
    ui->browseDebugDirsPBtn->setIcon(folders);

    ui->groupBox->setAccessibleName(tr("Reports and services"));
    ui->tableWidget->setAccessibleName(tr("Generated reports"));
    ui->debugLW->setAccessibleName(tr("Services debugging"));
    ui->debugLW->setAccessibleDescription(
        tr("Services with a debug module. Select one to switch its debug mode on or off."));
    ui->moduleDescriptionLbl->setAccessibleName(tr("Module description"));
}
