// SPDX-License-Identifier: GPL-2.0-or-later
// The application's main window: the reports page and the services debugging page, the report
// run, and the owner of every long-lived object of the application.
#pragma once

#include "constants.h"
#include "debugmodereminder.h"
#include "reportrunwatch.h"

#include <QMainWindow>
#include <QMultiMap>
#include <QStringList>
#include <QVariantMap>

class Backstage;
class ChangesWidget;
class ChooseDirsDialog;
class DebugModuleObject;
class ExtSettWidget;
class QDBusPendingCallWatcher;
class QListWidgetItem;
class QProcess;
class QProgressDialog;
class QTableWidgetItem;
class QTimer;
class SosOptions;

namespace KroAdmin {
class DbusService;
}

namespace Ui {
class AppSkeleton;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT
    friend class MainWindowAccess;

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void showHelp();
    void collectReports();
    void refillReportsTable();
    void mailto();
    void showExtendedSettings(int newState);
    void startFilling(QString out);
    void showError(QString title, QString text);
    void showDbusError(QString title, QString text);
    void openReportsDirsSettingsDialog();
    void openDebugDirsSettingsDialog();
    void encryptCurrentReport();
    void checkReportIsReady();
    void activateDebugMode();
    void rollbackDebugMode();
    void setPrevExtSettings();
    void showChanges();
    void currentDebugModuleChanged();
    void unlockInterface();
    void followRunState(QDBusPendingCallWatcher *call);
    void readPsAnswer();
    void confirmStop();
    void keepProgressShown();

private:
    // Shell (mainwindow.cpp)
    void restoreSettings();
    QString dbusErrorText(int errorNumber) const;
    void updatePasswordAction(QTableWidgetItem *current);
    void claimDbusService();

    // Keyboard, screen readers and reminders (mainwindow_accessibility.cpp)
    void setUpKeyboard();
    void setUpAccessibleNames();
    void describeReportFolders();
    void showModuleDescription();
    void remindOfDebugMode();

    // Report run (mainwindow_reports.cpp)
    void queryRun();
    void lockForRun();
    void followRun(qint64 pid);
    void adoptRun();
    void showProgressDialog();
    void showRunProgress();
    void finishRun();
    void endRun();
    void presentNewArchive();

    // Archives and mail (mainwindow_archives.cpp)
    bool makeReadable(const QString &path);
    void composeMail(const QString &report);

    // Extended settings (mainwindow_extsett.cpp)
    void resizeForExtendedPane(int state, bool resize);
    int roomForHeight() const;
    void createExtSettWidget();
    void fetchPluginList();
    void readSosOptions();
    QStringList extendedArguments(const QVariantMap &settings) const;
    int volumeSizeAfterRun(const QVariantMap &settings) const;
    void notifyIfAway(const QString &summary, const QString &body) const;

    // Services debugging (mainwindow_debug.cpp)
    void fillDebugModules();
    void updateDebugButtons();
    bool fillChangesWidget();
    DebugModuleObject *currentDebugModule() const;
    void switchDebugMode(DebugModuleObject *module, bool rollback);
    bool needsSessionRestartConfirmation(DebugModuleObject *module) const;
    bool confirmSessionRestart();
    bool isRebootRequired(DebugModuleObject *module) const;
    bool isRebootPending(const QString &moduleName) const;
    bool prepareRebootFlag();
    bool addModuleToRebootFlag(DebugModuleObject *module);
    bool publishRebootFlag();
    void startDebugSwitch(bool rollback);
    void showSwitchOutcome(DebugModuleObject *module, bool rollback, bool failed);
    void presentModuleRow(QListWidgetItem *item, DebugModuleObject *module);
    void setModuleRow(QListWidgetItem *item, const QString &iconName, int statusText);
    static QString joinedLines(const QStringList &lines);

    // The extended settings pane takes the lower 55 % of the window, which then needs more room.
    static constexpr double PaneLessHeightShare = 0.45;
    static constexpr int CompactMinimumHeight = 300;
    static constexpr int ExtendedMinimumHeight = 600;

    Ui::AppSkeleton *ui;
    KroAdmin::DbusService *dbusService = nullptr;
    ExtSettWidget *extSettWidget = nullptr;
    SosOptions *sosOptions = nullptr;
    QStringList reportDirs;
    QStringList debugModuleDirs;
    ChooseDirsDialog *reportDirsDialog = nullptr;
    ChooseDirsDialog *debugDirsDialog = nullptr;
    ChangesWidget *changesWidget = nullptr;
    QProgressDialog *progressDialog = nullptr;
    QTimer *checkTimer = nullptr;
    QTimer *unlockTimer = nullptr;
    QProcess *psProcess = nullptr;
    // The helper's answer about the run being awaited; one at a time.
    QDBusPendingCallWatcher *runQuery = nullptr;
    ReportRunWatch runWatch;
    // Volumes (MiB) to split the run's archive into afterwards, where sos cannot; 0: none.
    int splitVolumeMiB = 0;
    Backstage *backstage = nullptr;
    qint64 reportPid = -1;
    QList<DebugModuleObject *> debugModules;
    bool permAskAgain = false;
    bool pluginAskAgain = false;
    QVariantMap prevExtSettings;
    QMultiMap<QString, QString> volumeParts;
    // Where the reboot flag is read and published; tests point them into a private folder.
    QString rebootFlagFile = Kro::RebootFlagFile;
    QString rebootFlagWorkingCopy = Kro::RebootFlagWorkingCopy;
    // sos's configuration, read for the folder of its reports; tests point it elsewhere.
    QString sosConfigFile = Kro::SosConfigFile;
    DebugModeReminder debugModeReminder;
    bool remindedAtStart = false;
};
