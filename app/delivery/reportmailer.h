// SPDX-License-Identifier: GPL-2.0-or-later
// Hands a report to the user's own mail program: the desktop's handler of mail links, started
// through its desktop entry with the report and its volumes attached the way that program takes
// them. Where that cannot be done, or the program does not start or ends at once with an error,
// one box says so, names the files, and offers to open their folder or copy their paths.
#pragma once

#include "mailprograms.h"

#include <QObject>
#include <QUrl>
#include <functional>

class QWidget;

namespace KroFM {
class AppInfo;
}

class ReportMailer : public QObject
{
    Q_OBJECT

public:
    ReportMailer(QWidget *window, std::function<void(const QString &)> showInFolder);
    ~ReportMailer() override;

    // The default handler of mail links; invalid when the desktop has none.
    static KroFM::AppInfo mailProgram();
    // The files of a report in the order they are attached: the report, then its volumes by
    // number.
    static QStringList reportFiles(const QString &report, QStringList volumes);
    // The message to the maintainers with files attached.
    static MailMessage message(const QStringList &files);
    // A new message without attachment.
    static QUrl mailLink();

    // Opens the message with files attached in program, or says why it could not.
    void compose(const KroFM::AppInfo &program, const QStringList &files);
    void tellNoProgram(const QStringList &files);

private:
    void start(const QString &name, const QStringList &command, const QStringList &files);
    void tell(const QString &why, const QStringList &files);

    QWidget *window;
    std::function<void(const QString &)> showInFolder;
};
