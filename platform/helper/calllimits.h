// SPDX-License-Identifier: GPL-2.0-or-later
// Counts what each bus client and each user has open at the helper at once (calls waiting for
// their answer, or polkit checks) and refuses more than a fixed number of each, so that no caller
// can use up what the helper and its bus connections hold for everyone: a flood from one user
// is refused at once while the other users are served.
#pragma once

#include <QHash>
#include <QString>

class CallLimits
{
public:
    CallLimits(int perCaller, int perUser, int overall);

    // Counts one more for caller (a unique bus name) of user uid; false, counting nothing, when
    // a limit is reached.
    bool take(const QString &caller, uint uid);
    // Counts one less for caller, taken before.
    void release(const QString &caller);
    int open() const { return overallOpen; }

private:
    struct Caller
    {
        uint uid = 0;
        int open = 0;
    };

    const int perCaller, perUser, overall;
    QHash<QString, Caller> callers;
    QHash<uint, int> users;
    int overallOpen = 0;
};
