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
class ReportMailer;
class ReportProgressDialog;
class ReportRun;
class ReportsPage;
class QTimer;
class ReproduceFlow;
class SosOptions;
class Upload;

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
    void showServiceFailure(const QString &text, const QString &details);

    // Keyboard and screen readers (mainwindow_keyboard.cpp)
    void setUpKeyboard();
    void setUpAccessibleNames();

    // Report run (mainwindow_reports.cpp)
    void setUpReportRun();
    void lockForRun();
    void unlockStalledRun();
    void endRun(ReportRunWatch::Outcome outcome, const QString &archive, const QString &text);
    // Unlocks the window after a run, unless the next run has started meanwhile.
    void unlockAfterRun();
    void showNewArchive(const QString &archive, const QString &saved);
    // True when the user chose to close the window while a run goes on; the run is not stopped.
    bool confirmCloseDuringRun();
    // Makes the report's row current; false when the table has no such row.
    bool selectReport(const QString &path);
    // Collection from several machines (mainwindow_reports.cpp)
    void setUpCollection();
    void runLocalReport(const QVariantMap &reportOptions);

    // The reports page (mainwindow_table.cpp)
    void setupReportsTable();
    void setUpUpload();
    void updateUploadAction();

    // Archives and mail (mainwindow_archives.cpp)
    void tellProtected(const QString &report);
    // Runs then once the user can read the files, or the helper was asked to let the user read
    // them.
    void makeReadable(const QStringList &files, const std::function<void()> &then);
    void openUp(QStringList files, const std::function<void()> &then);

    // Extended settings (mainwindow_extsett.cpp)
    void resizeForExtendedPane(int state, bool resize);
    int roomForHeight() const;
    // Builds the pane hidden, with the stored options of the installed sos, so that opening it
    // only shows it; the window does so once it is idle after its first paint.
    void buildExtSettWidget();
    // What the first opening adds: the notice, the sos help run if nothing is stored, the listing.
    void openExtSettWidget();
    void fetchPluginList();
    // What the installed sos accepts, asked on first need; known() follows once it is read. With
    // storedOnly, only the settings store is read and no help run is started.
    SosOptions *installedSosOptions(bool storedOnly = false);
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
    // The user has opened the pane: only then do its settings reach a run.
    bool extSettOpened = false;
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
    ReportMailer *mailer = nullptr;
    Upload *upload = nullptr;
    SystemPaths paths;
    // The questions of closing were answered once; the close that follows the switches asks
    // none again.
    bool closeQuestionsAnswered = false;
    // The window was asked to close while a switch ran; it closes once the switch has ended.
    bool closeAfterSwitch = false;
};
