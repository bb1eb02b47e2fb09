// SPDX-License-Identifier: GPL-2.0-or-later
// Entry point of the privileged helper: claims its name on the system bus (or on the bus that
// DBUS_SYSTEM_BUS_ADDRESS names) and serves until it has been idle for a minute.
#include "helperservice.h"
#include "sosconfig.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>

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
