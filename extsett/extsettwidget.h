// SPDX-License-Identifier: GPL-2.0-or-later
// The extended settings pane: the optional sosreport settings of a report run, the map they are
// kept in, the command-line arguments built from it, and the plugins and profiles that the
// sosreport plugin listing offers.
#pragma once

#include <QDateTime>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

class QComboBox;
class PluginPicker;
class QCompleter;
class QStringListModel;
class SosOptions;

namespace Ui {
class ExtSettWidget;
}

class ExtSettWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ExtSettWidget(QWidget *parent = nullptr);
    ~ExtSettWidget() override;

    QVariantMap getExtSettings();
    // Needs nothing but the map, so that runs without the pane build their arguments alike.
    static QStringList getSosreportArgs(const QVariantMap &settings);
    // The case id typed into the pane, empty when none.
    QString caseId() const;
    QString getSinceDateTime() const;
    // The same for a given moment, so that the window can be checked against a fixed clock.
    QString getSinceDateTime(const QDateTime &now) const;
    void setPrevSettings(const QVariantMap &settings);
    void setPreviousEnabled(bool enabled);
    void fillPluginsAndProfiles(const QString &output);
    // Disables the switches that the installed sos lacks and says so in their tool tips.
    void markMissingOptions(const SosOptions &options);

signals:
    void getPluginsList();
    void getMePreviousSettings();

private slots:
    void addPluginToList(QString pluginName, bool force = false);
    void addProfileToList(QString profileName);
    void selectTempDir();
    void selectRootDir();
    void setDefaultSettings();
    void setAvailMaxOfSinceVal(int index);

private:
    // Form and settings map (extsettwidget.cpp)
    bool confirmSettingsLoss();
    void clearSelections();
    void setUpPickerKeys();
    void addDirSetting(QVariantMap &settings, const QString &key, const QString &text,
                       const QString &defaultDir) const;
    void askAboutCgroups(QVariantMap &settings);
    QString chooseDir(const QString &title);
    void markOption(QWidget *widget, const SosOptions &options, const QString &option) const;

    // Plugin listing (extsettwidget_plugins.cpp)
    void parsePluginsList();
    QStringList parsePluginNames();
    QStringList parseProfileNames() const;
    void showOffered(QStringListModel *&model, QCompleter *completer, const QStringList &names,
                     QComboBox *comboBox);
    void pluginDeleted(const QString &name);
    void profileDeleted(const QString &name);
    void showAllChanged();
    void refusePluginOrProfile(const QString &text, const QString &name);

    Ui::ExtSettWidget *ui;
    PluginPicker *pluginPicker;
    QCompleter *profileCompleter;
    QStringListModel *profileModel = nullptr;
    QString pluginsListText;
    QStringList allPlugins;
    QStringList activePlugins;
    QStringList allProfiles;
    QStringList selectedPlugins;
    QStringList selectedProfiles;
    const char *const noProfilesText = QT_TR_NOOP("Default: no profiles");
    const char *const allActivePluginsText = QT_TR_NOOP("Default: all active plugins");
    const char *const profilePluginsText = QT_TR_NOOP("Plugins from selected profile(s)");

    friend class ExtSettWidgetAccess;
};
