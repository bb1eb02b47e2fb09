// SPDX-License-Identifier: GPL-2.0-or-later
// Reads what sos's collector prints while it runs (with --verbose, on a terminal) and keeps the
// state of each node: connecting, collecting, copying, done, or failed and why. The collector
// names a node by the address it was given until it has read the node's host name, then by that
// name; both lead to the same node here. It also notices the collector's questions (go on, case
// id, passwords), which end without a new line, and the combined archive it tells at the end.
#pragma once

#include <QObject>
#include <QStringList>
#include <QVector>

class CollectOutput : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Waiting,
        Connecting,
        Collecting,
        Copying,
        Done,
        Failed
    };
    enum class Failure
    {
        None,
        Unreachable,
        AuthenticationRefused,
        SosMissing,
        Timeout,
        Other
    };
    enum class Prompt
    {
        Continue,
        CaseId,
        SshPassword,
        SudoPassword
    };
    struct Node
    {
        QString name;
        // The name the node gave itself, once the collector has read it.
        QString hostName;
        State state = State::Waiting;
        Failure failure = Failure::None;
        // The node's last lines, the newest last.
        QStringList lastLines;
    };

    // nodes: the names the collector was given, in its order.
    explicit CollectOutput(const QStringList &nodes, QObject *parent = nullptr);

    // Output as it comes from the terminal, in any pieces.
    void feed(const QByteArray &bytes);
    // The collector has ended: a node that did not finish has failed.
    void finish();

    const QVector<Node> &nodes() const { return nodeList; }
    // The combined archive, once the collector has told it.
    QString archive() const { return archivePath; }
    // The collector's own last lines, for a run that ended before any node did.
    QStringList lastLines() const { return ownLines; }

    static constexpr int KeptLines = 6;

signals:
    void nodeChanged(int index);
    // The collector waits for an answer; text is its question.
    void prompted(CollectOutput::Prompt prompt, const QString &text);

private:
    void readLine(const QString &line);
    void readPartialLine();
    bool readNodeLine(const QString &line);
    void readNodeMessage(int index, const QString &function, const QString &message);
    int indexOf(const QString &name);
    int indexForHostName(const QString &hostName);
    void setState(int index, State state, Failure failure = Failure::None);
    void keep(int index, const QString &line);

    QVector<Node> nodeList;
    QByteArray pending;
    // The unfinished line was read as a question already.
    bool pendingAnswered = false;
    // The node the lines without a name belong to (a failure's details), -1 for none.
    int lastNode = -1;
    bool archiveFollows = false;
    QString archivePath;
    QStringList ownLines;
};
