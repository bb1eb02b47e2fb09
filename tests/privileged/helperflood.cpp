// SPDX-License-Identifier: GPL-2.0-or-later
// Floods the helper as a hostile local user could: sends many Exec calls of "true" at once,
// without waiting for any answer, spread over several bus connections.
//   kro-helper-flood CONNECTIONS CALLS INPUT_MIB
// Each call carries INPUT_MIB MiB of input. Prints "sent" once every call is on its way, then a
// line per answer: "answered", or the error's name. Exits when every call is answered.
#include "helperprotocol.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QTextStream>
#include <QVector>

namespace {

// Longer than any test waits: an unanswered call must stay open, like a prompt nobody answers.
const int CallTimeoutMs = 15 * 60 * 1000;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    QTextStream out(stdout);
    if (arguments.size() != 3) {
        QTextStream(stderr) << "usage: kro-helper-flood CONNECTIONS CALLS INPUT_MIB\n";
        return 2;
    }
    const int connections = arguments.at(0).toInt(), calls = arguments.at(1).toInt();
    const QByteArray input(arguments.at(2).toInt() * 1024 * 1024, 'x');
    QVector<QDBusConnection> buses;
    for (int i = 0; i < connections; ++i)
        buses.append(QDBusConnection::connectToBus(QDBusConnection::SystemBus,
                                                   QStringLiteral("flood-%1").arg(i)));
    int unanswered = calls;
    for (int i = 0; i < calls; ++i) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(HelperProtocol::Service, HelperProtocol::ObjectPath,
                                           HelperProtocol::Service, HelperProtocol::ExecMethod);
        call << QStringLiteral("true") << QStringList() << input;
        auto *watcher = new QDBusPendingCallWatcher(
            buses.at(i % connections).asyncCall(call, CallTimeoutMs), &app);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &app, [&](auto *answer) {
            out << (answer->isError() ? answer->error().name() : QStringLiteral("answered"))
                << Qt::endl;
            if (--unanswered == 0)
                app.quit();
        });
    }
    out << "sent" << Qt::endl;
    return calls > 0 ? app.exec() : 0;
}
