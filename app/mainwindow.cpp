// SPDX-License-Identifier: GPL-2.0-or-later
#include "mainwindow.h"

#include "aboutbox.h"
#include "afterfirstpaint.h"
#include "backstage.h"
#include "changeswidget.h"
#include "choosedirsdialog.h"
#include "collectflow.h"
#include "constants.h"
#include "dbusservice.h"
#include "debugmoduleobject.h"
#include "debugpage.h"
#include "extsettwidget.h"
#include "helperfailure.h"
#include "kroinit.h"
#include "reportnames.h"
#include "reportrun.h"
#include "reportstabledecorator.h"
#include "reproduceflow.h"
#include "sosoptions.h"
#include "ui_mainwindow.h"
#include "upload.h"
#include "windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QSettings>
#include <QTimer>
#include <memory>

MainWindow::MainWindow(QWidget *parent) : MainWindow(SystemPaths(), parent) {}

MainWindow::MainWindow(const SystemPaths &paths, QWidget *parent)
    : QMainWindow(parent), ui(new Ui::AppSkeleton), paths(paths)
{
    ui->setupUi(this);
    setUpKeyboard();
    setUpAccessibleNames();

    dbusService = new KroAdmin::DbusService;
    backstage = new Backstage;
    backstage->setDbusService(dbusService);

    connect(backstage, &Backstage::warnMessage, this, &MainWindow::showError);

    restoreSettings();

    connect(ui->extCheckBox, &QCheckBox::stateChanged, this, &MainWindow::showExtendedSettings);
    connect(ui->helpAction, &QAction::triggered, this, &MainWindow::showHelp);
    connect(ui->aboutAction, &QAction::triggered, this,
            [this] { (new AboutBox(this->paths.sosVersionFile, this))->open(); });
    connect(ui->exitAction, &QAction::triggered, this, &MainWindow::close);
    connect(ui->saveAction, &QAction::triggered, this, &MainWindow::collectReports);
    connect(ui->sendReportAction, &QAction::triggered, this, &MainWindow::mailto);
    connect(ui->refreshAction, &QAction::triggered, this, &MainWindow::refillReportsTable);
    connect(ui->browseReportsDirsPBtn, &QPushButton::clicked, this,
            &MainWindow::openReportsDirsSettingsDialog);
    connect(ui->browseDebugDirsPBtn, &QPushButton::clicked, this,
            &MainWindow::openDebugDirsSettingsDialog);
    connect(ui->setPasswordAction, &QAction::triggered, this, &MainWindow::encryptCurrentReport);
    connect(ui->tableWidget, &QTableWidget::currentItemChanged, this,
            &MainWindow::updatePasswordAction);
    setUpReportRun();
    setUpCollection();
    setUpDebugPage();
    setUpReproduceFlow();
    // The module list comes after the first paint: until then no button acts on a module.
    updateDebugButtons();

    setupReportsTable();
    scheduleStartUpWork();
}

void MainWindow::setUpReproduceFlow()
{
    reproduceFlow = new ReproduceFlow(this, *reportRun, *debugPage, paths,
                                      {[this] { return reportCaseId(); },
                                       [this] {
                                           return installedSosOptions();
                                       }});
    // The row's context menu offers the guided flow.
    ui->debugLW->addAction(ui->reproduceAction);
    connect(ui->reproducePb, &QPushButton::clicked, this, &MainWindow::reproduceProblem);
    connect(ui->reproduceAction, &QAction::triggered, this, &MainWindow::reproduceProblem);
    connect(reproduceFlow, &ReproduceFlow::activeChanged, this, &MainWindow::updateReproduceAction);
    connect(debugPage, &DebugPage::switchFinished, this, &MainWindow::updateReproduceAction);
    connect(reproduceFlow, &ReproduceFlow::protectRequested, this, &MainWindow::protectReport);
    connect(reproduceFlow, &ReproduceFlow::sendRequested, this, &MainWindow::sendReport);
}

void MainWindow::scheduleStartUpWork()
{
    // The window shows at once: reading the folders, styling the splitter's handle (hidden until
    // the extended pane shows) and asking the helper wait until it is on the screen, each step
    // in a turn of the event loop of its own so that none holds up a frame.
    new AfterFirstPaint(
        this, {[this] {
                   keepFrameOnScreen();
                   refillReportsTable();
               },
               [this] {
                   ui->splitter->setStyleSheet(QStringLiteral(
                       "QSplitter::handle:vertical {height: 1px;background-color : gray;}"));
               },
               [this] {
                   fillDebugModules();
                   // A run that outlived an earlier window is followed as if this one had
                   // started it.
                   reportRun->query();
               }});
    // Services an earlier window left in debug mode are offered for collecting or switching
    // back once the first module list is read.
    auto atStart = std::make_shared<QMetaObject::Connection>();
    *atStart = connect(debugPage, &DebugPage::modulesShown, this, [this, atStart] {
        disconnect(*atStart);
        // Once the start-up work is done the pane is built, so that opening it only shows it.
        QTimer::singleShot(0, this, &MainWindow::buildExtSettWidget);
        // Without its cache, the collector's options cost a run of sos: not while starting.
        QTimer::singleShot(0, collectFlow, [this] {
            collectFlow->readOptions(SosOptions::installedVersion(paths.sosVersionFile));
        });
        reproduceFlow->resume();
        debugPage->switchBackInTurn(debugPage->askToSwitchBack(reproduceFlow->service()), {});
    });
}

MainWindow::~MainWindow()
{
    delete ui;
    delete dbusService;
    delete checkTimer;
    delete unlockTimer;
    delete psProcess;
    delete backstage;
    delete changesWidget;
    delete extSettWidget;
    delete reportDirsDialog;
    delete debugDirsDialog;
}

void MainWindow::restoreSettings()
{
    QSettings settings;
    if (settings.contains(Kro::GeometryKey))
        restoreGeometry(settings.value(Kro::GeometryKey).toByteArray());

    // The window opens at the size it was left at, also when the pane was shown then: the table
    // takes the pane's room until the pane is shown again.
    keepFrameOnScreen();

    if (settings.contains(Kro::ReportDirsKey))
        reportDirs = settings.value(Kro::ReportDirsKey).toStringList();
    if (!reportDirs.contains(Kro::MainReportDir))
        reportDirs.append(Kro::MainReportDir);
    if (!reportDirs.isEmpty())
        ui->statusLabel->hide();

    permAskAgain = settings.value(Kro::PermAskAgainKey, false).toBool();
    pluginAskAgain = settings.value(Kro::PluginAskAgainKey, false).toBool();

    if (settings.contains(Kro::DebugModuleDirsKey))
        debugModuleDirs = settings.value(Kro::DebugModuleDirsKey).toStringList();
    else
        debugModuleDirs.append(paths.defaultDebugModuleDir);
}

// A size stored on a larger screen is cut to this one. Before the first show the frame is
// guessed: a window shrunk only once it shows is laid out and painted whole a second time.
void MainWindow::keepFrameOnScreen()
{
    const QSize extra = WindowPlacement::frameExtra(this);
    const QRect frame(pos(), size() + extra);
    const QRect fitted = WindowPlacement::fitted(frame, WindowPlacement::availableArea(this));
    if (fitted != frame) {
        resize(fitted.size() - extra);
        move(fitted.topLeft());
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A switch under way ends first: leaving now could leave a service half switched.
    if (debugPage->isSwitching()) {
        event->ignore();
        closeAfterSwitch = true;
        return;
    }
    if (!closeQuestionsAnswered) {
        if (checkTimer->isActive() && unlockTimer->isActive()) {
            if (!confirmCloseDuringRun()) {
                event->ignore();
                return;
            }
        }
        if (!upload->mayEnd()) {
            event->ignore();
            return;
        }
        // The window closes once the chosen services are switched back.
        const QList<DebugModuleObject *> chosen =
            debugPage->askToSwitchBack(reproduceFlow->service());
        if (!chosen.isEmpty()) {
            event->ignore();
            closeQuestionsAnswered = true;
            debugPage->switchBackInTurn(chosen, [this] { close(); });
            return;
        }
    }

    reproduceFlow->windowClosing();
    // A window of its own: left open, it would keep the application running unseen.
    if (changesWidget)
        changesWidget->close();

    QSettings settings;
    settings.setValue(Kro::GeometryKey, saveGeometry());
    settings.setValue(Kro::ExtendedKey, ui->extCheckBox->isChecked());
    settings.setValue(Kro::ReportDirsKey, reportDirs);
    if (!debugModuleDirs.isEmpty())
        settings.setValue(Kro::DebugModuleDirsKey, debugModuleDirs);
    event->accept();
}

void MainWindow::showHelp()
{
    kroHelpShow(QString());
}

void MainWindow::showError(QString title, QString text)
{
    QApplication::restoreOverrideCursor();
    QMessageBox::warning(this, title, text, QMessageBox::Ok);
}

// The user's words first; the bus's own description under the box's details.
void MainWindow::showDbusError(QString title, QString text)
{
    Q_UNUSED(title)
    const int errorNumber = dbusService->getDbusErrorAsInt();
    if (errorNumber < 0)
        showServiceFailure(text, QString());
    else
        showServiceFailure(KroAdmin::failureSentence(errorNumber), dbusErrorText(errorNumber));
}

void MainWindow::showServiceFailure(const QString &text, const QString &details)
{
    QApplication::restoreOverrideCursor();
    QMessageBox box(QMessageBox::Warning, tr("Error"), tr("Unable to exec sosreport!\n") + text,
                    QMessageBox::Ok, this);
    box.setDetailedText(details);
    box.exec();
}

QString MainWindow::dbusErrorText(int errorNumber) const
{
    return KroAdmin::busErrorText(errorNumber);
}

void MainWindow::updatePasswordAction(QTableWidgetItem *current)
{
    ui->setPasswordAction->setEnabled(current &&
                                      !current->text().endsWith(ReportNames::ProtectedExtension));
}

void MainWindow::showDbusFailure(const KroAdmin::HelperReply &reply)
{
    if (!reply.succeeded())
        showServiceFailure(KroAdmin::failureText(reply), KroAdmin::failureDetails(reply));
}
