// SPDX-License-Identifier: GPL-2.0-or-later
// The "About" box: the application's version and licence, and the version of the installed sos.
// The sos version is read once, on a worker thread, and kept; the box shows at once and fills it
// in when it is known, so the window never waits for the disk.
#pragma once

#include <QMessageBox>

class AboutBox : public QMessageBox
{
    Q_OBJECT

public:
    // sosVersionFile: the sos package's module that states its version.
    AboutBox(const QString &sosVersionFile, QWidget *parent);

private:
    void showSosVersion(const QString &version);
    QString textWith(const QString &sosLine) const;
};
