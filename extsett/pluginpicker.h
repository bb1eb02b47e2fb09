// SPDX-License-Identifier: GPL-2.0-or-later
// Offers the plugins of the sos listing in the plugin picker: each name with what it collects
// beside it and as its tool tip, in the drop-down list and in the list that opens while typing,
// which finds a plugin by a word of its name or of its description.
#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

class QComboBox;
class QCompleter;
class QStandardItemModel;

class PluginPicker : public QObject
{
    Q_OBJECT

public:
    // Takes over picker's model, drop-down view and completer.
    explicit PluginPicker(QComboBox *picker);

    void setPlugins(const QStringList &names, const QHash<QString, QString> &descriptions);
    QString description(const QString &name) const { return descriptions.value(name); }
    QCompleter *completer() const { return nameCompleter; }

private:
    void fitWidth();

    QComboBox *picker;
    QStandardItemModel *model;
    QCompleter *nameCompleter;
    QHash<QString, QString> descriptions;
};
