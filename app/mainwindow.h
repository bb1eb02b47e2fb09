// SPDX-License-Identifier: GPL-2.0-or-later
// The application's main window: the reports page and the services debugging page, the report
// run, and the owner of every long-lived object of the application.
#pragma once

#include "constants.h"
#include "reportrunwatch.h"
#include "systempaths.h"

#include <QMainWindow>
#include <QMultiMap>
#include <QStringList>
#include <QVariantMap>
#include <QVector>
#include <functional>

class Backstage;
class ChangesWidget;
class ChooseDirsDialog;
class CollectFlow;
class DebugPage;
class DebugModuleObject;
class ExtSettWidget;
class QProcess;
class QTableWidgetItem;
class ReportIdentity;
class ReportProgressDialog;
class ReportRun;
class ReportsPage;
class QTimer;
class ReproduceFlow;
class SosOptions;

namespace KroAdmin {
class DbusService;
struct HelperReply;
} // namespace KroAdmin

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

    // The system's files are taken from paths rather than from their fixed places.
    explicit MainWindow(const SystemPaths &paths, QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

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
    // The slots above are numbered as other code expects; the window's own follow.
    void refreshReportsTable();
    void updateSendAction(QTableWidgetItem *current);
    void readPsAnswer();
    void reproduceProblem();
    // Asks for a password and protects the report, as the password action does for the current
    // row; nothing is done when the file changed meanwhile.
    void protectReport(const QString &path);
    // Hands the report to the mail program, as the send action does for the current row.
    void sendReport(const QString &path);

private:
    // Shell (mainwindow.cpp)
    void restoreSettings();
    void setUpReproduceFlow();
    // What the first picture does not need runs after it.
    void scheduleStartUpWork();
    void keepFrameOnScreen();
    QString dbusErrorText(int errorNumber) const;
    void updatePasswordAction(QTableWidgetItem *current);
    // Shows a failed reply of the window's own calls as showDbusError shows the service's words.
    void showDbusFailure(const KroAdmin::HelperReply &reply);
    void showServiceFailure(const QString &text);

    // Keyboard and screen readers (mainwindow_keyboard.cpp)
    void setUpKeyboard();
    void setUpAccessibleNames();

    // Report run (mainwindow_reports.cpp)
    void setUpReportRun();
    void lockForRun();
    void unlockStalledRun();
    void endRun(ReportRunWatch::Outcome outcome, const QString &archive, const QString &text);
    void showNewArchive(const QString &archive, const QString &saved);
    // Makes the report's row current; false when the table has no such row.
    bool selectReport(const QString &path);
    // Collection from several machines (mainwindow_reports.cpp)
    void setUpCollection();
    void runLocalReport(const QVariantMap &reportOptions);

    // The reports page (mainwindow_table.cpp)
    void setupReportsTable();

    // Archives and mail (mainwindow_archives.cpp)
    void tellProtected(const QString &report);
    // Runs then once the report is readable for all, or the helper was asked to make it so.
    void makeReadable(const QString &path, const std::function<void()> &then);
    void sendWithXdgEmail(const ReportIdentity &report);
    void tellNoMailProgram(const QString &report);
    void composeMail(const ReportIdentity &report, const QString &program,
                     const QStringList &arguments);
    void startComposer(const ReportIdentity &report, const QStringList &volumes,
                       const QString &program, const QStringList &arguments);

    // Extended settings (mainwindow_extsett.cpp)
    void resizeForExtendedPane(int state, bool resize);
    int roomForHeight() const;
    void createExtSettWidget();
    void fetchPluginList();
    void readSosOptions();
    // What the installed sos accepts, asked on first need; known() follows once it is read.
    SosOptions *installedSosOptions();
    // The case id of the extended settings, empty when none is set.
    QString reportCaseId() const;
    QStringList extendedArguments(const QVariantMap &settings) const;
    int volumeSizeAfterRun(const QVariantMap &settings) const;

    // Services debugging (mainwindow_debug.cpp)
    void setUpDebugPage();
    void fillDebugModules();
    void updateDebugButtons();
    void updateReproduceAction();
    bool fillChangesWidget();
    void switchDebugMode(DebugModuleObject *module, bool rollback);
    bool needsSessionRestartConfirmation(DebugModuleObject *module) const;
    bool isRebootRequired(DebugModuleObject *module) const;

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
    ReportProgressDialog *progressDialog = nullptr;
    QTimer *checkTimer = nullptr;
    QTimer *unlockTimer = nullptr;
    QProcess *psProcess = nullptr;
    ReportRun *reportRun = nullptr;
    CollectFlow *collectFlow = nullptr;
    Backstage *backstage = nullptr;
    ReproduceFlow *reproduceFlow = nullptr;
    DebugPage *debugPage = nullptr;
    bool permAskAgain = false;
    bool pluginAskAgain = false;
    QVariantMap prevExtSettings;
    QMultiMap<QString, QString> volumeParts;
    ReportsPage *reportsPage = nullptr;
    SystemPaths paths;
    // The questions of closing were answered once; the close that follows the switches asks
    // none again.
    bool closeQuestionsAnswered = false;
    // The window was asked to close while a switch ran; it closes once the switch has ended.
    bool closeAfterSwitch = false;
};
