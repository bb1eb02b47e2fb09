// SPDX-License-Identifier: GPL-2.0-or-later
// Client of the privileged helper service: runs programs and moves files with administrator
// rights. Each call is sent at once and its reply comes back through the event loop to its
// caller's handler alone, so the window keeps painting while the helper works or asks for a
// password. The blocking forms wait for the same reply and also tell a failure through
// showMessage and getDbusErrorAsInt, to whoever listens.
#pragma once

#include "helperprotocol.h"

#include <QDBusError>
#include <QDBusPendingCall>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <functional>

class QDBusMessage;

namespace KroAdmin {

// What the helper answered to one call.
struct HelperReply
{
    // A program's exit status, -1 when it crashed; 0 for calls that run none.
    int exitStatus = 0;
    // What the helper refused or failed to do, Success when it did its part.
    HelperProtocol::Result protocolError = HelperProtocol::Success;
    // The bus's own failure (no helper, no authorization), NoError for the helper's answers.
    QDBusError::ErrorType busError = QDBusError::NoError;
    QString message; // the failure in the application's words
    QString detail;  // the technical detail: D-Bus error name and text, or the program's errors
    QByteArray output;
    qint64 pid = -1;   // of a program started detached
    QVariantMap state; // of a report run, with the keys of HelperProtocol

    bool succeeded() const
    {
        return exitStatus == 0 && protocolError == HelperProtocol::Success &&
               busError == QDBusError::NoError;
    }
    // What getDbusErrorAsInt tells of this reply: the bus's error type, else the helper's
    // result, else Failed for a program that failed.
    int errorNumber() const;
};

class DbusService : public QObject
{
    Q_OBJECT

public:
    // Runs once the reply is in, from the event loop, unless the context object is gone.
    using ReplyHandler = std::function<void(const HelperReply &)>;

    explicit DbusService(QObject *parent = nullptr);

    // The program's exit status is the reply's result, its standard output the reply's output.
    // standardInput is written to the program's standard input (secrets travel this way,
    // never as arguments).
    void execSmthWithArgs(const QString &program, const QStringList &arguments,
                          const QByteArray &standardInput, QObject *context,
                          const ReplyHandler &done);
    // The started program's process number is the reply's pid.
    void execSmthDetachedWithArgs(const QString &program, const QStringList &arguments,
                                  QObject *context, const ReplyHandler &done);
    void move(const QString &source, const QString &destination, QObject *context,
              const ReplyHandler &done);
    // Replaces the report archive by its copy encrypted with key (one line, never an argument).
    void protectReport(const QString &report, const QByteArray &key, QObject *context,
                       const ReplyHandler &done);
    // Lets this user, and nobody else, read the report archive (an access list entry of its own;
    // no permission bit for others). sos's private map is refused.
    void makeReportReadable(const QString &report, QObject *context, const ReplyHandler &done);
    // Replaces the finished report archive by a split zip (NAME.zip, NAME.z01, ...) beside it,
    // in volumes of volumeMiB (1 to 100) MiB each.
    void splitReport(const QString &report, int volumeMiB, QObject *context,
                     const ReplyHandler &done);
    // Removes the files of one report (archive, volumes, checksums, protected forms, private map),
    // all in one report folder; nothing is removed when any of them is refused.
    void deleteReports(const QStringList &files, QObject *context, const ReplyHandler &done);

    // Blocking forms. 0 when the program ran and exited with status 0.
    int execSmthWithArgs(const QString &program, const QStringList &arguments,
                         const QByteArray &standardInput = QByteArray());
    // Process number of the started program, negative on failure.
    qint64 execSmthDetachedWithArgs(const QString &program, const QStringList &arguments);
    bool move(const QString &source, const QString &destination);
    bool protectReport(const QString &report, const QByteArray &key);
    bool makeReportReadable(const QString &report);
    bool splitReport(const QString &report, int volumeMiB);
    bool deleteReports(const QStringList &files);
    // How this user's report run goes: the reply's state, or the NoRun result (the bus error
    // ServiceUnknown when the helper is not running, so knows no run). Told to nobody else.
    void queryReportRun(QObject *context, const ReplyHandler &done);
    // Interrupts this user's report run.
    void stopReportRun(QObject *context, const ReplyHandler &done);
    // The same two calls for tools and tests that watch the bus's reply themselves.
    QDBusPendingCall queryReportRun() const;
    QDBusPendingCall stopReportRun() const;
    // QDBusError::ErrorType of the last failed call; negative when it was no D-Bus error.
    int getDbusErrorAsInt() const;

signals:
    void processOutput(const QString &output);
    void showMessage(const QString &title, const QString &text);

private:
    // How a method's reply is read.
    enum class Kind
    {
        Exec,
        Detached,
        Plain,
        State // quiet: no run is no failure to tell
    };

    QDBusPendingCall send(const QString &method, const QList<QVariant> &arguments) const;
    // What a call was: its method and, for Exec, its program; names the failure in the texts.
    struct Call
    {
        QString method;
        QString program;
    };

    void watch(const QDBusPendingCall &pending, Kind kind, const Call &call, QObject *context,
               const ReplyHandler &done);
    // Waits for the reply, sets lastError and emits the signals.
    HelperReply wait(const QDBusPendingCall &pending, Kind kind, const Call &call);
    static HelperReply conclude(const QDBusMessage &answer, Kind kind, const Call &call);
    static void readState(const QDBusMessage &answer, HelperReply &reply);
    static void readExecAnswer(const QDBusMessage &answer, const Call &call, HelperReply &reply);
    static void readError(const QDBusMessage &answer, const Call &call, HelperReply &reply);
    static void readBusError(const QDBusMessage &answer, HelperReply &reply);
    static QString failedText(const Call &call, const QString &detail);

    int lastError = 0;
};

} // namespace KroAdmin
