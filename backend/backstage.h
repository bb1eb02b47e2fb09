// SPDX-License-Identifier: GPL-2.0-or-later
// The back end of the main window: finds report archives, protects them, reads debug modules,
// edits configuration files and runs module commands. Problems are reported only through
// warnMessage; privileged work goes through the service client handed in by the window.
#pragma once

#include "debugmoduleobject.h"
#include "regularfilereader.h"

#include <QByteArray>
#include <QMultiMap>
#include <QObject>
#include <QStringList>
#include <QVector>
#include <functional>

class QFile;
struct QJsonParseError;

namespace KroAdmin {
class DbusService;
struct HelperReply;
} // namespace KroAdmin

class Backstage : public QObject
{
    Q_OBJECT

public:
    explicit Backstage(QObject *parent = nullptr);

    void setDbusService(KroAdmin::DbusService *service);

    // Reports (backstage_reports.cpp)
    QStringList reportFiles(const QStringList &dirs, QMultiMap<QString, QString> &volumeParts);

    // Archive protection (backstage_archives.cpp). Both run on the helper's replies and call
    // done once everything was tried, failures told through warnMessage.
    void encryptFiles(const QStringList &files, const QString &password,
                      const std::function<void()> &done = {});
    void changeMode(const QString &mode, const QString &file,
                    const std::function<void()> &done = {});
    // The files that make up report: the archive and its protected or unprotected form, their
    // volumes and checksum files, and sos's private map of the names it hid; only those that
    // exist.
    static QStringList reportSetFiles(const QString &report,
                                      const QMultiMap<QString, QString> &volumeParts);
    // Removes files (one report set): the user's own directly, root's through the helper; calls
    // done once everything was tried, failures told through warnMessage.
    void deleteReportFiles(const QStringList &files, const std::function<void()> &done = {});

    // Debug modules (backstage_modules.cpp)
    DebugModuleObject *readDebugModule(const QString &path);
    FileChangeState detectFileChangeState(const FileChange &change);
    ModuleState detectModuleState(const QList<FileChange> &changes);
    QStringList debugModuleFiles(const QStringList &dirs);
    // A message as warnMessage carries it.
    struct Warning
    {
        QString title;
        QString text;
        // The folder or module file the warning is about, and where in the file, when known.
        QString subject;
        QString detail;
    };
    // The same work without the signal, so that any thread may do it: the module files of the
    // folders, adding a warning for each folder that cannot be read; a module without its state,
    // or no module and the warning that says why.
    static QStringList listDebugModuleFiles(const QStringList &dirs, QVector<Warning> &warnings);
    static DebugModuleObject *parseDebugModule(const QString &path, Warning &failure);

    // File change engine and command runner (backstage_filechanges.cpp)
    // What applyFileChange answers; each failure also adds its message to fileChangeErrors().
    enum FileChangeResult
    {
        Success = 0,
        ConfigMissing = -1,
        CannotCopy = -3,
        OldTextMissing = -4,
        CannotDeleteTemporary = -5,
        MoveFailed = -6,
        NothingToRestore = -7,
        CannotWriteTemporary = -8,
        NothingToUncomment = -9,
        AnchorMissing = -10,
        NotRegularFile = -11,
        FileTooLarge = -12
    };
    int applyFileChange(const FileChange &change, bool rollback);
    // The first half of applyFileChange: writes the edited private copy of the change's file
    // and, on Success, names it in copyPath for the helper to move over the file.
    int prepareFileChange(const FileChange &change, bool rollback, QString *copyPath);
    int applyFileChanges(const QList<FileChange> &changes, bool rollback);
    QStringList fileChangeErrors() const { return fileChangeErrorList; }
    int executeCommands(const QStringList &commands);
    QStringList failedCommands() const { return failedCommandList; }
    // A command that reboots or ends the session is left to the user and never run.
    static bool isLeftToUser(const QString &command);
    // The program and its arguments; empty for a line of blanks.
    static QStringList commandWords(const QString &command);
    // The edit of one change on a file's lines (without line feeds), touching no file.
    // Answers whether anything was changed.
    static bool editLines(QList<QByteArray> &lines, const FileChange &change, bool rollback);
    // The lines of a file's content as the engine edits them.
    static QList<QByteArray> splitLines(const QByteArray &content);
    // The text a line is compared by: decoded whole, NUL bytes included, and trimmed.
    static QString lineText(const QByteArray &line);

signals:
    void warnMessage(const QString &title, const QString &text);

private:
    // Follows the service's caller rule for its blocking calls: only this object hears the next
    // call's failure, as a warning.
    void routeServiceMessagesToWarnings();
    void protectNext(QStringList files, QByteArray key, const std::function<void()> &done);
    // The reply handler of a call whose failure is only told to the user; then runs, if given.
    std::function<void(const KroAdmin::HelperReply &)>
    warnOnFailure(const std::function<void()> &then);
    int reportNothingChanged(const FileChange &change, bool rollback);
    static bool writeContent(QFile &file, const QByteArray &content);
    // Why a file that is there was not read; empty when it could simply not be opened.
    static QString refusalText(const QString &path, RegularFileReader::Status status);
    // Where a module file's JSON goes wrong, by line and column, and why.
    static QString parseErrorPlace(const QByteArray &content, const QJsonParseError &error);
    // Warns and returns true when any of the files must not be touched with administrator rights.
    bool refuseUnsafeFiles(const QStringList &files);

    KroAdmin::DbusService *dbusService = nullptr;
    QStringList fileChangeErrorList;
    QStringList failedCommandList;
};
