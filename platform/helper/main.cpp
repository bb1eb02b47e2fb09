// SPDX-License-Identifier: GPL-2.0-or-later
// Entry point of the privileged helper: claims its name on the system bus (or on the bus that
// DBUS_SYSTEM_BUS_ADDRESS names) and serves until it has been idle for a minute.
#include "helperservice.h"
#include "sosconfig.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <dlfcn.h>

namespace {

// What the helper's connection may hold of received messages before it stops reading: more
// than the bus queues for one connection (127 MiB), so that a flood of large calls, which are
// refused at once, never makes it stop. Qt 5 cannot start reading again from its own thread once
// the bus library has stopped it, and the helper would then hear no one.
const long ReceivedBytesLimit = 512L * 1024 * 1024;

// Qt offers no setting for it; the bus library Qt is linked with is asked directly.
void raiseReceivedLimit(const QDBusConnection &bus)
{
    using Setter = void (*)(void *connection, long size);
    const auto setter =
        reinterpret_cast<Setter>(dlsym(RTLD_DEFAULT, "dbus_connection_set_max_received_size"));
    if (setter && bus.internalPointer())
        setter(bus.internalPointer(), ReceivedBytesLimit);
    else
        qWarning("cannot raise the limit of received messages of the bus connection");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption standIns(
        "stand-ins", "Folder searched for programs before the system folders (tests only).",
        "folder");
    const QCommandLineOption stateDir("state-dir", "Folder of the report runs' output.", "folder",
                                      "/run/kro-sosreport-helper");
    const QCommandLineOption sosConfig(
        "sos-config", "sos's configuration file, read for its tmp-dir (tests only).", "file",
        SosConfig::InstalledConfigFile);
    parser.addOption(standIns);
    parser.addOption(stateDir);
    parser.addOption(sosConfig);
    parser.addHelpOption();
    parser.process(app);

    QDBusConnection bus = QDBusConnection::systemBus();
    raiseReceivedLimit(bus);
    HelperService service(bus, parser.value(standIns), parser.value(stateDir),
                          parser.value(sosConfig));
    if (!bus.registerObject(QStringLiteral(KRO_HELPER_PATH), &service,
                            QDBusConnection::ExportScriptableSlots) ||
        !bus.registerService(QStringLiteral(KRO_HELPER_SERVICE))) {
        qCritical("Cannot serve %s on the system bus: %s", KRO_HELPER_SERVICE,
                  qPrintable(bus.lastError().message()));
        return 1;
    }
    return app.exec();
}
