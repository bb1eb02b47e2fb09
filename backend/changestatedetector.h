// SPDX-License-Identifier: GPL-2.0-or-later
// Finds what the changes of debug modules find in their configuration files. Every file is read
// once, and its lines are examined once for all the changes that name it, so a module list
// whose modules share configuration files costs little more than reading those files.
#pragma once

#include "debugmoduleobject.h"

#include <QVector>
#include <atomic>

class ChangeStateDetector
{
public:
    // Notes a change to examine and answers its number.
    int add(const FileChange &change);
    // How many changes were noted.
    int size() const { return changes.size(); }
    // Examines every change noted so far against its file as it is now. A set flag stops the
    // work between two files; the changes not examined by then stay FileMissing.
    void run(const std::atomic_bool *stop = nullptr);
    FileChangeState state(int change) const { return states.at(change); }
    // The states of changes first to first + count - 1 combined into the state of their module.
    ModuleState moduleState(int first, int count) const;

private:
    QVector<FileChange> changes;
    QVector<FileChangeState> states;
};
