// SPDX-License-Identifier: GPL-2.0-or-later
// The progress dialog of a followed report run: shown while the run locks the window, with the
// plugins started of all, the current one and the elapsed time, and a Stop button that asks
// before it interrupts the run. It follows the run by itself; Escape only hides it until the next
// progress. Its size is set once, wide enough for its title and four lines of text, and stays
// put while the text changes; a line too long for it is elided in the middle.
#pragma once

#include <QProgressDialog>

class QLabel;
class ReportRun;

class ReportProgressDialog : public QProgressDialog
{
    Q_OBJECT

public:
    ReportProgressDialog(ReportRun &run, QWidget *window);

private:
    void fixSize();
    void showText(const QString &text);
    void showStarted();
    void showProgress(int percent, const QString &text);
    void keepShown();
    void confirmStop();

    ReportRun &run;
    QLabel *label = nullptr;
};
