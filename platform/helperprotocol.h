// SPDX-License-Identifier: GPL-2.0-or-later
// The names both ends of the privileged helper's bus connection must agree on: its methods, the
// errors it answers with, and the result codes the client turns those errors into.
#pragma once

#include <QString>

namespace HelperProtocol {

inline const QString Service = QStringLiteral(KRO_HELPER_SERVICE);
inline const QString ObjectPath = QStringLiteral(KRO_HELPER_PATH);

inline const QString ExecMethod = QStringLiteral("Exec");
inline const QString ExecDetachedMethod = QStringLiteral("ExecDetached");
inline const QString MoveMethod = QStringLiteral("Move");
inline const QString ProtectMethod = QStringLiteral("Protect");
inline const QString MakeReadableMethod = QStringLiteral("MakeReadable");
inline const QString SplitMethod = QStringLiteral("Split");
inline const QString DeleteReportsMethod = QStringLiteral("DeleteReports");
inline const QString ReportStateMethod = QStringLiteral("ReportState");
inline const QString StopReportMethod = QStringLiteral("StopReport");

// What ReportState answers about the caller's report run (ExecDetached of sosreport).
inline const QString RunningKey = QStringLiteral("running");         // bool
inline const QString ExitStatusKey = QStringLiteral("exitStatus");   // int, once ended
inline const QString ProcessIdKey = QStringLiteral("pid");           // qlonglong
inline const QString SecondsKey = QStringLiteral("seconds");         // int, since the start
inline const QString IdleSecondsKey = QStringLiteral("idleSeconds"); // int, since last output
inline const QString PluginsStartedKey = QStringLiteral("pluginsStarted");
inline const QString PluginsTotalKey = QStringLiteral("pluginsTotal");
inline const QString PluginKey = QStringLiteral("plugin");
inline const QString ArchiveKey = QStringLiteral("archive");
inline const QString ArchiveSizeKey = QStringLiteral("archiveSize");
inline const QString ArchiveChecksumKey = QStringLiteral("archiveChecksum");
inline const QString OutputTailKey = QStringLiteral("outputTail"); // after a failure

inline const QString ErrorPrefix = Service + QStringLiteral(".Error.");
// The program could not be started, or a protected copy could not be made.
inline const QString FailedError = ErrorPrefix + QStringLiteral("Failed");
inline const QString NotFoundError = ErrorPrefix + QStringLiteral("NotFound");
inline const QString MoveRefusedError = ErrorPrefix + QStringLiteral("MoveRefused");
// The named report is not a file the caller may have changed; the text says why.
inline const QString FileRefusedError = ErrorPrefix + QStringLiteral("FileRefused");
inline const QString TimedOutError = ErrorPrefix + QStringLiteral("TimedOut");
// The caller's report run is still going; one run per user at a time.
inline const QString RunAliveError = ErrorPrefix + QStringLiteral("RunAlive");
// The helper knows no report run of the caller.
inline const QString NoRunError = ErrorPrefix + QStringLiteral("NoRun");
// Too many calls or permission checks of the caller, or of its user, are waiting; try later.
inline const QString BusyError = ErrorPrefix + QStringLiteral("Busy");
// An option or value sos may not get under the report permission (the text names it), or a
// call whose arguments exceed MaxCallBytes.
inline const QString ArgumentsRefusedError = ErrorPrefix + QStringLiteral("ArgumentsRefused");
// No administrator's authorisation, told apart by why: the user dismissed the password prompt,
// or no authentication agent could ask. Any other refusal is the bus's AccessDenied.
inline const QString AuthorizationDismissedError =
    ErrorPrefix + QStringLiteral("AuthorizationDismissed");
inline const QString NoAuthenticationAgentError =
    ErrorPrefix + QStringLiteral("NoAuthenticationAgent");

// The name a report run asks for. The helper judges the program it resolves to, never the name:
// only the installed sos is collecting a report, any other program may change the system.
inline const QString ReportProgram = QStringLiteral("sosreport");
// A program's output and error output are each replied up to their last this many bytes, after
// a line saying how much was cut.
constexpr int KeptOutputBytes = 8 * 1024 * 1024;
// The most a call's arguments may hold together (text counted in characters): a report run's
// arguments are small and a file is named by a path. Larger calls are refused at once.
constexpr int MaxCallBytes = 256 * 1024;
// The longest password Protect takes; ccrypt reads one line.
constexpr int MaxKeyBytes = 4096;
// How many permission checks one bus connection and one user may have open at once (a prompt
// counts until it is answered or times out), and how many calls may wait for their answer,
// checks included. Beyond them a call is refused at once with BusyError.
constexpr int ChecksPerCaller = 8;
constexpr int ChecksPerUser = 16;
constexpr int CallsPerCaller = 16;
constexpr int CallsPerUser = 32;

// What the client's getDbusErrorAsInt() answers for the helper's own errors; D-Bus errors
// keep their positive QDBusError::ErrorType numbers.
enum Result
{
    Success = 0,
    Failed = -1,
    NotFound = -2,
    MoveRefused = -3,
    FileRefused = -4,
    TimedOut = -5,
    RunAlive = -6,
    NoRun = -7,
    Busy = -8,
    ArgumentsRefused = -9,
    AuthorizationDismissed = -10,
    NoAuthenticationAgent = -11
};

} // namespace HelperProtocol
