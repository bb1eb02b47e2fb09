// SPDX-License-Identifier: GPL-2.0-or-later
// Starts programs on behalf of authorized clients: finds them only in the trusted system
// folders (or takes an absolute path), never through a shell, and gives them a small fixed
// environment instead of the helper's own.
#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <QStringList>
#include <functional>

class ProgramRunner : public QObject
{
    Q_OBJECT

public:
    struct Result
    {
        int exitStatus = -1; // -1 when the program crashed
        QByteArray output;
        QByteArray errorOutput;
    };
    using Finished = std::function<void(const Result &)>;

    // standInDir, when not empty, is searched before the trusted folders (test runs only).
    explicit ProgramRunner(const QString &standInDir, QObject *parent = nullptr);

    // Absolute path of the program to run, empty when it is not found or not allowed.
    QString resolve(const QString &program) const;

    // Runs the resolved program, feeds it input and calls finished when it has ended.
    // Returns false when it could not be started.
    bool run(const QString &path, const QStringList &arguments, const QByteArray &input,
             Finished finished);
    // Process number of the program started in its own session, negative on failure.
    qint64 startDetached(const QString &path, const QStringList &arguments) const;

    // The arguments as they may appear in a log: secrets given to ccrypt are masked.
    static QStringList loggable(const QString &program, const QStringList &arguments);

signals:
    void allFinished();

private:
    QStringList searchDirs;
    QProcessEnvironment environment;
    int running = 0;
};
