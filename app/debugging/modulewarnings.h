// SPDX-License-Identifier: GPL-2.0-or-later
// What the page tells about the module folders and files it could not read, without repeating
// itself at every start: a module file's warning says where its text goes wrong and can be
// silenced until the file changes (its size and time of change are remembered); the default
// module folder, missing on a machine without shipped modules, is told in a box once and then
// only in the status bar. Any other warning is passed on as it is.
#pragma once

#include "backstage.h"

#include <QObject>

class ModuleWarnings : public QObject
{
    Q_OBJECT

public:
    ModuleWarnings(const QString &defaultFolder, QWidget *window, QObject *parent);

    void tell(const Backstage::Warning &told);

signals:
    void warning(const QString &title, const QString &text);
    // A short line for the status bar.
    void notice(const QString &text);

private:
    void tellMissingDefaultFolder(const Backstage::Warning &told);
    void tellAboutModule(const Backstage::Warning &told);
    static QString fileStamp(const QString &path);

    const QString defaultFolder;
    QWidget *window;
};
