// SPDX-License-Identifier: GPL-2.0-or-later
// The report runs the helper started, one per user at most. A run is sosreport in a session of
// its own, so it lives on when the window that asked for it closes; its output goes to a log in
// a folder only root can read, and its exit status is kept. Its user can ask how it goes and
// stop it; an ended run is forgotten some minutes later. Each run works in a private folder of
// its own, made inside the report folder it asked for: sos gets that as its tmp-dir, the
// finished archive with its checksum and private map is moved out into the report folder, and
// the working folder is removed after every end, whatever sos left in it.
#pragma once

#include "sosprogress.h"
#include "workfolders.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QVariantMap>
#include <memory>
#include <sys/types.h>

class ProgramRunner;
class QProcess;

class ReportRuns : public QObject
{
    Q_OBJECT

public:
    // The state folder of folders is created when missing and made root's own (0700);
    // sosConfig is sos's configuration file, which names the report folder of a run that names
    // none.
    ReportRuns(WorkFolders &folders, const QString &sosConfig, ProgramRunner &runner,
               QObject *parent = nullptr);

    // Starts sosreport at path for uid, with the --tmp-dir of arguments (or sos's configured
    // one) as the report folder, which must be one for uid. Empty on success (pid then holds its
    // process number), otherwise why not.
    QString start(uid_t uid, const QString &path, const QStringList &arguments, qint64 &pid);
    // How uid's run goes (keys from HelperProtocol); empty when none is known.
    QVariantMap state(uid_t uid);
    // SIGINT to the run's process group, SIGTERM if it is still there a little later.
    bool stop(uid_t uid);
    bool isAlive(uid_t uid) const { return runs.contains(uid) && runs.value(uid)->running; }
    // Whether no run is alive or still remembered; the helper stays up otherwise.
    bool isEmpty() const { return runs.isEmpty(); }

signals:
    void forgotten();

private:
    struct Run
    {
        QProcess *process = nullptr;
        QString log;
        qint64 readUpTo = 0;
        SosProgress progress;
        QElapsedTimer sinceStart;
        QElapsedTimer sinceOutput;
        int exitStatus = -1;
        bool running = true;
        UniqueFd folder;
        QString folderPath;
        WorkFolder work;
        QString archive; // where it was moved to
        QString failure; // why it could not be moved
    };

    QString prepare(uid_t uid, const QStringList &arguments, Run &run, QStringList &sosArguments);
    void readNewOutput(Run &run);
    void ended(uid_t uid, int exitStatus);
    QString collect(Run &run);

    WorkFolders &folders;
    QString sosConfig;
    ProgramRunner &runner;
    QHash<uid_t, std::shared_ptr<Run>> runs;
};
