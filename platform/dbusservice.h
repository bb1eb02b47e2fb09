// SPDX-License-Identifier: GPL-2.0-or-later
// Client of the privileged helper service: runs programs and moves files with administrator
// rights. Every call blocks until the helper answers; a failure is told through showMessage and
// getDbusErrorAsInt.
#pragma once

#include <QDBusPendingCall>
#include <QObject>
#include <QStringList>

class QDBusMessage;

namespace KroAdmin {

class DbusService : public QObject
{
    Q_OBJECT

public:
    explicit DbusService(QObject *parent = nullptr);

    // 0 when the program ran and exited with status 0. standardInput is written to the
    // program's standard input (secrets travel this way, never as arguments).
    int execSmthWithArgs(const QString &program, const QStringList &arguments,
                         const QByteArray &standardInput = QByteArray());
    // Process number of the started program, negative on failure.
    qint64 execSmthDetachedWithArgs(const QString &program, const QStringList &arguments);
    bool move(const QString &source, const QString &destination);
    // Replaces the report archive by its copy encrypted with key (one line, never an argument).
    bool protectReport(const QString &report, const QByteArray &key);
    // Lets every user read the report archive.
    bool makeReportReadable(const QString &report);
    // Replaces the finished report archive by a split zip (NAME.zip, NAME.z01, ...) beside it,
    // in volumes of volumeMiB (1 to 100) MiB each.
    bool splitReport(const QString &report, int volumeMiB);
    // Removes the files of one report (archive, volumes, checksums, protected forms), all in one
    // folder; nothing is removed when any of them is refused.
    bool deleteReports(const QStringList &files);
    // How this user's report run goes: the reply holds a map with the keys of HelperProtocol,
    // or the NoRun error (ServiceUnknown when the helper is not running, so knows no run). Neither
    // call blocks; the caller watches the reply.
    QDBusPendingCall queryReportRun() const;
    // Interrupts this user's report run; the reply is empty or an error.
    QDBusPendingCall stopReportRun() const;
    // QDBusError::ErrorType of the last failed call; negative when it was no D-Bus error.
    int getDbusErrorAsInt() const;

signals:
    void processOutput(const QString &output);
    void showMessage(const QString &title, const QString &text);

private:
    // Calls the helper and, on an error reply, sets lastError and emits showMessage.
    QDBusMessage call(const QString &method, const QList<QVariant> &arguments,
                      const QString &program);
    void reportError(const QDBusMessage &answer, const QString &program);

    int lastError = 0;
};

} // namespace KroAdmin
