// SPDX-License-Identifier: GPL-2.0-or-later
// A collection from several machines: sos's own collector, run as the user (SSH keys and agent
// are the user's) on a terminal of its own, followed node by node. Its questions are answered
// here: going on and the case id at once, passwords through passwordAsked() and answer(), so a
// password never appears on a command line and is never kept. The collector works in a folder
// of its own inside the destination; the combined archive is moved out of it at the end, and
// the folder goes with everything in it, whatever the end. Stop ends the collector's process
// group and every process it left (its SSH connections live on otherwise), so nothing is left.
#pragma once

#include "collectchoices.h"
#include "collectoutput.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class PtyProcess;
class QTemporaryDir;
class QTimer;

class Collection : public QObject
{
    Q_OBJECT

public:
    enum class Outcome
    {
        Succeeded,
        Failed,
        Stopped
    };

    explicit Collection(QObject *parent = nullptr);
    ~Collection() override;

    // The folder that gets the combined archive: the first report folder the user may write to,
    // else a folder of the user's own (made when missing).
    static QString destinationFor(const QStringList &reportDirs);

    // Starts the collector for nodes with options keyed by sos option (those the installed sos
    // accepts); returns why it could not start, empty when it did.
    QString start(const QStringList &nodes, QVariantMap options, const QString &destination);
    void answer(const QString &password);
    void stop();

    bool isRunning() const;
    qint64 elapsedSeconds() const;
    const CollectOutput *output() const { return out.get(); }
    // The program run; tests point it elsewhere.
    void setProgram(const QString &program) { collector = program; }

signals:
    void nodeChanged(int index);
    // The collector asks for a password; answer() or stop() follow.
    void passwordAsked(CollectOutput::Prompt prompt, const QString &question);
    // archive is the combined archive where it ended up, text tells its size and checksum.
    void finished(Collection::Outcome outcome, const QString &archive, const QString &text);

private:
    void readPrompt(CollectOutput::Prompt prompt, const QString &question);
    void collectorEnded(int exitCode);
    void keepArchive(const QString &archive);
    void checksumRead(const QByteArray &sum);
    void end(Outcome outcome, const QString &archive, const QString &text);
    void afterCollector(int exitCode);
    void endLeftovers(const std::function<void()> &then);
    void removeWorkDir();

    QString collector;
    QString destination;
    QString caseId;
    PtyProcess *process = nullptr;
    QTimer *killTimer = nullptr;
    std::unique_ptr<QTemporaryDir> workDir;
    // Holds the short link to workDir that the collector is given.
    std::unique_ptr<QTemporaryDir> shortDir;
    std::unique_ptr<CollectOutput> out;
    QElapsedTimer clock;
    qint64 lastSeconds = 0;
    bool stopping = false;
    // The combined archive's checksum is being computed.
    bool checking = false;
    QString keptArchive;
};

Q_DECLARE_METATYPE(Collection::Outcome)
