// SPDX-License-Identifier: GPL-2.0-or-later
// The extended settings pane and the plugin listing.
#include "mainwindow.h"

#include "afterfirstpaint.h"
#include "constants.h"
#include "dbusservice.h"
#include "extsettwidget.h"
#include "sosarguments.h"
#include "sosoptions.h"
#include "ui_mainwindow.h"
#include "windowplacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QLayout>
#include <QMessageBox>
#include <QSettings>
#include <cmath>

void MainWindow::showExtendedSettings(int newState)
{
    resizeForExtendedPane(newState, true);
}

void MainWindow::resizeForExtendedPane(int state, bool resize)
{
    buildExtSettWidget();
    if (state == Qt::Checked && !extSettOpened)
        openExtSettWidget();
    const int h = height();
    const int w = width();
    const int room = roomForHeight();
    if (state == Qt::Checked) {
        // The minimum first: a screen lower than the pane's usual room still keeps the window
        // and the pane's buttons on it.
        setMinimumHeight(qMin(ExtendedMinimumHeight, room));
        if (resize)
            this->resize(w, qMin(static_cast<int>(std::lround(h / PaneLessHeightShare)), room));
        extSettWidget->show();
        const QRect area = WindowPlacement::availableArea(this);
        move(WindowPlacement::fitted(frameGeometry(), area).topLeft());
    } else {
        extSettWidget->hide();
        setMinimumHeight(qMin(CompactMinimumHeight, room));
        if (resize)
            this->resize(w, static_cast<int>(std::lround(h * PaneLessHeightShare)));
    }
}

// The height the window may take without its frame leaving the available screen area.
int MainWindow::roomForHeight() const
{
    const QRect area = WindowPlacement::availableArea(this);
    // A window not shown yet has no frame to go by.
    const int frame = isVisible() ? frameGeometry().height() - height() : 0;
    return area.isEmpty() ? QWIDGETSIZE_MAX : area.height() - frame;
}

void MainWindow::buildExtSettWidget()
{
    if (extSettWidget)
        return;
    extSettWidget = new ExtSettWidget;
    // Hidden before the splitter takes it, so that the splitter does not show it.
    extSettWidget->hide();
    extSettWidget->setPreviousEnabled(QSettings().contains(Kro::ExtSettingsKey));
    ui->splitter->insertWidget(1, extSettWidget);
    // Styled and laid out now, so that its first showing does not style and measure every child.
    extSettWidget->ensurePolished();
    extSettWidget->layout()->activate();
    connect(extSettWidget, &ExtSettWidget::getPluginsList, this, &MainWindow::fetchPluginList);
    connect(extSettWidget, &ExtSettWidget::getMePreviousSettings, this,
            &MainWindow::setPrevExtSettings);
    // The guided flow may have asked already.
    SosOptions *options = installedSosOptions(true);
    connect(options, &SosOptions::known, extSettWidget,
            [this, options] { extSettWidget->markMissingOptions(*options); });
    if (options->isKnown())
        extSettWidget->markMissingOptions(*options);
}

void MainWindow::openExtSettWidget()
{
    if (!pluginAskAgain) {
        QMessageBox notice(QMessageBox::Information, tr("Attention!"),
                           tr("Without obtaining access privileges, \nthe list of plugins and "
                              "profiles will not be loaded."),
                           QMessageBox::Ok);
        auto *askAgainBox = new QCheckBox(tr("Don't show this message again"), &notice);
        notice.setCheckBox(askAgainBox);
        notice.setWindowFlags(Qt::WindowTitleHint);
        notice.exec();
        pluginAskAgain = askAgainBox->isChecked();
        // Written only when asked: writing the store waits for the disk, which a frame cannot.
        QSettings().setValue(Kro::PluginAskAgainKey, pluginAskAgain);
    }
    extSettOpened = true;
    QSettings settings;
    const bool havePrevious = settings.contains(Kro::ExtSettingsKey);
    if (havePrevious)
        prevExtSettings = settings.value(Kro::ExtSettingsKey).toMap();
    extSettWidget->setPreviousEnabled(havePrevious);
    // The pane's first picture comes first: the listing and the sos help run start in turns of
    // the event loop after the one that paints it.
    afterRepaint(this, [this] {
        fetchPluginList();
        // Starting the help run forks this process: not in the frame of the locked pane either.
        afterRepaint(this, [this] { installedSosOptions()->load(); });
    });
}

SosOptions *MainWindow::installedSosOptions(bool storedOnly)
{
    if (!sosOptions)
        sosOptions = new SosOptions(SosOptions::installedVersion(paths.sosVersionFile),
                                    Kro::SosreportProgram, this);
    if (storedOnly)
        sosOptions->loadStored();
    else
        sosOptions->load();
    return sosOptions;
}

// The listing takes seconds: the pane waits for it locked while the window keeps painting.
void MainWindow::fetchPluginList()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    extSettWidget->setEnabled(false);
    dbusService->execSmthWithArgs(Kro::SosreportProgram, {Kro::ListPluginsOption}, QByteArray(),
                                  extSettWidget, [this](const KroAdmin::HelperReply &reply) {
                                      extSettWidget->setEnabled(true);
                                      if (reply.succeeded())
                                          startFilling(QString::fromLocal8Bit(reply.output));
                                      else
                                          showDbusFailure(reply);
                                  });
}

void MainWindow::startFilling(QString out)
{
    if (extSettOpened)
        extSettWidget->fillPluginsAndProfiles(out);
    QApplication::restoreOverrideCursor();
}

void MainWindow::setPrevExtSettings()
{
    if (extSettOpened)
        extSettWidget->setPrevSettings(prevExtSettings);
}

// Volumes this sos cannot make are split from the finished archive instead.
int MainWindow::volumeSizeAfterRun(const QVariantMap &settings) const
{
    if (!extSettOpened || extSettWidget->isHidden() || !settings.contains(Kro::SplitOption) ||
        sosOptions->accepts(Kro::SplitOption))
        return 0;
    return settings.value(Kro::SplitOption).toInt();
}

QStringList MainWindow::extendedArguments(const QVariantMap &settings) const
{
    if (!extSettOpened || extSettWidget->isHidden())
        return {};
    // The stored map keeps what this sos lacks, for a later sos that has it; the run gets none.
    return SosArguments::fromSettings(sosOptions->acceptedOnly(settings));
}

QString MainWindow::reportCaseId() const
{
    return extSettOpened ? extSettWidget->caseId() : QString();
}
