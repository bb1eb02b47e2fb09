// SPDX-License-Identifier: GPL-2.0-or-later
// A window that shows what a debug module does: its commands and its file changes.
#pragma once

#include "debugmoduleobject.h"

#include <QWidget>

namespace Ui {
class ChangesWidget;
}

class ChangesWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ChangesWidget(QWidget *parent = nullptr);
    ~ChangesWidget() override;

    void setModuleName(const QString &name);
    void setDebugCommands(const QStringList &commands);
    void setRollbackCommands(const QStringList &commands);
    void setFileChanges(const QList<FileChange> &changes);

private:
    Ui::ChangesWidget *ui;
};
