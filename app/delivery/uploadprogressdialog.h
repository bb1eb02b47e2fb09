// SPDX-License-Identifier: GPL-2.0-or-later
// The progress of an upload: which file goes where, the bytes sent of all, the rate and the time
// left, and Stop, which ends the transfer at once. It does not block the window: the report is
// read from a file already open, the upload action waits for the end of this upload, and the
// numbers, a few times a second, change text in room made for them.
#pragma once

#include <QProgressDialog>

class QLabel;

class UploadProgressDialog : public QProgressDialog
{
    Q_OBJECT

public:
    explicit UploadProgressDialog(QWidget *window);

    // A new file of the report starts; done is what the files before it brought.
    void begin(const QString &file, const QString &destination, qint64 done, qint64 total);
    void showProgress(qint64 sent, double bytesPerSecond);

signals:
    void stopRequested();

private:
    void stop();
    void reserveRoom();

    QLabel *label;
    QString heading;
    qint64 doneBefore = 0;
    qint64 totalBytes = 0;
    bool stopping = false;
};
