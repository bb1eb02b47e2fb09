// SPDX-License-Identifier: GPL-2.0-or-later
// A program run on a pseudo-terminal of its own and in a session of its own: it sees a terminal,
// so it asks its questions there (and reads the answers written to it), and the process group
// it leads can be ended as a whole. The terminal's output comes as output(); the program's
// start and end are told by QProcess as usual.
#pragma once

#include <QByteArray>
#include <QProcess>

class QSocketNotifier;

class PtyProcess : public QProcess
{
    Q_OBJECT

public:
    explicit PtyProcess(QObject *parent = nullptr);
    ~PtyProcess() override;

    // Opens a new terminal and starts program on it; false when no terminal could be opened.
    bool startOnTerminal(const QString &program, const QStringList &arguments);
    // Writes to the program's terminal as if typed.
    void type(const QByteArray &text);
    // Sends signal to the program's whole process group.
    void signalGroup(int signal);
    // How much nicer than this process the program runs (see nice(2)); 0 by default.
    void setNiceness(int increment) { niceness = increment; }

signals:
    void output(const QByteArray &bytes);

protected:
    void setupChildProcess() override;

private:
    void readTerminal();
    void closeTerminal();

    int master = -1;
    // The terminal's name, taken before the fork: the child may call nothing that allocates.
    QByteArray slaveName;
    QSocketNotifier *notifier = nullptr;
    int niceness = 0;
};
