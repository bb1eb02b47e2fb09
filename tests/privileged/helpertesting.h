// SPDX-License-Identifier: GPL-2.0-or-later
// What the tests of the real helper on a private bus share: the polkit stand-in's controls, raw
// calls to the helper, the options a report run must take, files as a test writes and reads
// them, and local users made for a test, who call the helper through the command-line client.
#pragma once

#include "dbusservice.h"
#include "helperprotocol.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingReply>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <sys/stat.h>

namespace HelperTesting {

using KroTest::WaitLimitMs;

#ifdef KRO_REPORT_ACTION
inline const QStringList AllActions = {KRO_REPORT_ACTION, KRO_CONFIGURE_ACTION};
#endif

inline QDBusMessage standIn(const QString &method, const QVariantList &arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.PolicyKit1",
                                                       "/org/freedesktop/PolicyKit1/Authority",
                                                       "org.freedesktop.DBus.Mock", method);
    call.setArguments(arguments);
    return QDBusConnection::systemBus().call(call);
}

inline uint heldChecks()
{
    return standIn("HeldCount").arguments().value(0).toUInt();
}

// Every option the window's extended settings offer, with the texts users type: what a report
// run under the report permission must take.
inline QStringList offeredOptions(const QString &tmpDir)
{
    return {"--batch",
            "--all-logs",
            "--alloptions",
            "--case-id",
            "UX-1234",
            "--clean",
            "--compression-type",
            "xz",
            "--label",
            "ux label",
            "--noetc",
            "--since",
            "20261201095500",
            "--split",
            "25",
            "--tmp-dir",
            tmpDir,
            "-o",
            "velta-sosreport",
            "-o",
            "x_11",
            "-p",
            "webserver",
            "--forcedbadplugins"};
}

// The caller's report run as the helper tells it; empty when it knows none.
inline QVariantMap stateOf(const KroAdmin::DbusService &service)
{
    QDBusPendingReply<QVariantMap> reply = service.queryReportRun();
    reply.waitForFinished();
    return reply.isError() ? QVariantMap() : reply.value();
}

inline QDBusMessage helperCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        HelperProtocol::Service, HelperProtocol::ObjectPath, HelperProtocol::Service, method);
    call.setArguments(arguments);
    return call;
}

inline void writeFile(const QString &path, const QByteArray &contents, mode_t mode)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
    file.close();
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

inline QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline mode_t modeOf(const QString &path)
{
    struct stat info
    {
    };
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

inline QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A local user made for the test and removed after it.
struct LocalUser
{
    explicit LocalUser(const QString &name) : name(name)
    {
        QProcess::execute("useradd", {"--system", "--no-create-home", name});
        QProcess id;
        id.start("id", {"-u", name});
        id.waitForFinished();
        uid = id.readAllStandardOutput().trimmed().toUInt();
    }
    ~LocalUser()
    {
        QProcess::execute("pkill", {"-KILL", "-u", name});
        QProcess::execute("userdel", {"--force", name});
    }

    // Starts program as this user.
    void start(QProcess &process, const QString &program, const QStringList &arguments) const
    {
        process.start("runuser", QStringList{"-u", name, "--", program} + arguments);
    }
#ifdef KRO_HELPER_CALL
    bool callHelper(const QStringList &arguments, const QByteArray &input = {}) const
    {
        return run(KRO_HELPER_CALL, arguments, input);
    }
#endif
    // Whether this user can read path.
    bool reads(const QString &path) const
    {
        return run("cat", {path});
    }
    bool run(const QString &program, const QStringList &arguments,
             const QByteArray &input = {}) const
    {
        QProcess client;
        start(client, program, arguments);
        client.write(input);
        client.closeWriteChannel();
        client.waitForFinished();
        return client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0;
    }

    QString name;
    uint uid = 0;
};

} // namespace HelperTesting

using namespace HelperTesting;
