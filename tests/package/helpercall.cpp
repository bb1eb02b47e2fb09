// SPDX-License-Identifier: GPL-2.0-or-later
// Command-line client of the privileged helper for the installed-package check: it makes the
// same calls as the application, through the same client class, on the real system bus.
//   kro-helper-call exec PROGRAM [ARGUMENT...]   prints the program's output
//   kro-helper-call move SOURCE DESTINATION
//   kro-helper-call readable REPORT
//   kro-helper-call protect REPORT               the password is read from standard input
//   kro-helper-call split REPORT MIB
//   kro-helper-call run PROGRAM [ARGUMENT...]    starts a report run, prints its process number
//   kro-helper-call delete FILE...
//   kro-helper-call state | stop                 the caller's report run
// Exits 0 on success, 1 when the helper refused or failed (its message on standard error),
// 2 on a usage error.
#include "dbusservice.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    QTextStream out(stdout);
    QTextStream err(stderr);

    KroAdmin::DbusService helper;
    QObject::connect(&helper, &KroAdmin::DbusService::processOutput,
                     [&out](const QString &output) { out << output << Qt::flush; });
    QObject::connect(&helper, &KroAdmin::DbusService::showMessage,
                     [&err](const QString &title, const QString &text) {
                         err << title << ": " << text << '\n' << Qt::flush;
                     });

    const QString command = arguments.value(0);
    if (command == QLatin1String("exec") && arguments.size() >= 2)
        return helper.execSmthWithArgs(arguments.at(1), arguments.mid(2)) == 0 ? 0 : 1;
    if (command == QLatin1String("move") && arguments.size() == 3)
        return helper.move(arguments.at(1), arguments.at(2)) ? 0 : 1;
    if (command == QLatin1String("readable") && arguments.size() == 2)
        return helper.makeReportReadable(arguments.at(1)) ? 0 : 1;
    if (command == QLatin1String("protect") && arguments.size() == 2) {
        QTextStream in(stdin);
        return helper.protectReport(arguments.at(1), in.readLine().toUtf8()) ? 0 : 1;
    }
    if (command == QLatin1String("run") && arguments.size() >= 2) {
        const qint64 pid = helper.execSmthDetachedWithArgs(arguments.at(1), arguments.mid(2));
        out << pid << '\n';
        return pid > 0 ? 0 : 1;
    }
    if (command == QLatin1String("split") && arguments.size() == 3)
        return helper.splitReport(arguments.at(1), arguments.at(2).toInt()) ? 0 : 1;
    if (command == QLatin1String("delete") && arguments.size() >= 2)
        return helper.deleteReports(arguments.mid(1)) ? 0 : 1;
    if ((command == QLatin1String("state") || command == QLatin1String("stop")) &&
        arguments.size() == 1) {
        QDBusPendingCall call =
            command == QLatin1String("state") ? helper.queryReportRun() : helper.stopReportRun();
        call.waitForFinished();
        if (call.isError())
            err << call.error().message() << '\n';
        return call.isError() ? 1 : 0;
    }
    err << "usage: kro-helper-call exec PROGRAM [ARGUMENT...] | move SOURCE DESTINATION | "
           "readable REPORT | protect REPORT | split REPORT MIB | delete FILE... | run PROGRAM "
           "[ARGUMENT...] | state | stop\n";
    return 2;
}
