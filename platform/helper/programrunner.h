// SPDX-License-Identifier: GPL-2.0-or-later
// Starts programs on behalf of authorized clients: only programs that no one but root can have
// placed or changed, never through a shell, with a small fixed environment instead of the
// helper's own. A program runs in a process group of its own, so that it can be stopped with
// everything it started when its caller leaves or its time is up, and only the end of its
// output is kept, so that no program can make the helper run out of memory.
#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <QStringList>
#include <QVector>
#include <functional>

class QProcess;

class ProgramRunner : public QObject
{
    Q_OBJECT

public:
    struct Result
    {
        int exitStatus = -1; // -1 when the program crashed or was stopped
        bool timedOut = false;
        QByteArray output;
        QByteArray errorOutput;
    };
    using Finished = std::function<void(const Result &)>;

    struct Job
    {
        QString path; // as resolve() answered
        QStringList arguments;
        QByteArray input;
        int inputFd = -1;        // when set, the program reads this file instead of input
        int outputFd = -1;       // when set, the program writes its output to this file
        int keyFd = -1;          // when set, stays open in the program under the same number
        QString owner;           // the caller's bus name, for stopOwnedBy()
        int timeLimitMs = 0;     // 0: no limit
        bool newSession = false; // a session of its own rather than only a process group
    };

    // standInDir, when not empty, is searched before the trusted folders (test runs only).
    explicit ProgramRunner(const QString &standInDir, QObject *parent = nullptr);

    // Canonical path of the program to run, empty when it is not found or not trusted: a name
    // is looked up in the searched folders, a path must name a file in one of them.
    QString resolve(const QString &program) const;
    // Whether the resolved program is the installed sos: what "sosreport" or "sos" resolve to.
    bool isSos(const QString &canonical) const;
    // Whether it is the sos program, which takes a sub-command first, rather than sosreport.
    bool isSosCommand(const QString &canonical) const;

    // Runs the job and calls finished when it has ended. Returns false when it could not start.
    bool run(const Job &job, Finished finished);
    // Starts the program in a session of its own, away from its caller, with its output and
    // error output written to log; nullptr when it could not start. The process object belongs
    // to parent and must outlive the program.
    QProcess *startInSession(const QString &path, const QStringList &arguments, const QString &log,
                             QObject *parent) const;
    // Stops every program run for owner: SIGTERM to its process group, SIGKILL a little later.
    void stopOwnedBy(const QString &owner);

    // Sends signal to the process's group, and laterSignal after graceMs if it is still there.
    static void stopGroup(QProcess *process, int signal, int laterSignal, int graceMs);

    // The arguments as they may appear in a log: secrets given to ccrypt are masked.
    static QStringList loggable(const QString &program, const QStringList &arguments);

private:
    struct Running
    {
        QProcess *process;
        QString owner;
    };

    void stop(QProcess *process);
    bool isTrusted(const QString &canonical) const;
    bool isSearchedFolder(const QString &folder) const;

    QStringList searchDirs;
    QStringList trustedDirs;
    QProcessEnvironment environment;
    QVector<Running> running;
};
