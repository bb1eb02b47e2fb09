// SPDX-License-Identifier: GPL-2.0-or-later
// What the tests that attack the helper share: the polkit stand-in's controls, raw calls to the
// helper, and local users made for a test, who call the helper through the command-line client
// or the flood client.
#pragma once

#include "helperprotocol.h"
#include "testenvironment.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QStringList>

namespace HelperTest {

using KroTest::WaitLimitMs;

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

inline QDBusMessage helperCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        HelperProtocol::Service, HelperProtocol::ObjectPath, HelperProtocol::Service, method);
    call.setArguments(arguments);
    return call;
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
        QProcess client;
        start(client, KRO_HELPER_CALL, arguments);
        client.write(input);
        client.closeWriteChannel();
        client.waitForFinished();
        return client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0;
    }
#endif

    QString name;
    uint uid = 0;
};

} // namespace HelperTest
