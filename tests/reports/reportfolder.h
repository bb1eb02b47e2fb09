// SPDX-License-Identifier: GPL-2.0-or-later
// A report folder of a test's own: report files made as sos makes them (mode 0600), and one of
// them made the current report of a window that lists the folder.
#pragma once

#include "mainwindow.h"
#include "mainwindowaccess.h"

#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

class ReportFolder
{
public:
    QString path() const { return dir.path(); }
    QString filePath(const QString &name) const { return dir.filePath(name); }

    QString make(const QString &name, const QByteArray &content = "report") const
    {
        QFile file(filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(content);
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return file.fileName();
    }

    // Lists the folder in the window and makes report its current row.
    void select(MainWindow &window, const QString &report) const
    {
        MainWindowAccess::useReportDirs(window, QStringList{path()});
        auto *table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
        const QList<QTableWidgetItem *> found = table->findItems(report, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        table->setCurrentItem(found.first());
    }

private:
    QTemporaryDir dir;
};
