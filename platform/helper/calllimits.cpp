// SPDX-License-Identifier: GPL-2.0-or-later
#include "calllimits.h"

CallLimits::CallLimits(int perCaller, int perUser, int overall)
    : perCaller(perCaller), perUser(perUser), overall(overall)
{
}

bool CallLimits::take(const QString &caller, uint uid)
{
    Caller &entry = callers[caller];
    if (entry.open >= perCaller || users.value(uid) >= perUser || overallOpen >= overall) {
        if (entry.open == 0)
            callers.remove(caller);
        return false;
    }
    entry.uid = uid;
    ++entry.open;
    ++users[uid];
    ++overallOpen;
    return true;
}

void CallLimits::release(const QString &caller)
{
    const auto entry = callers.find(caller);
    if (entry == callers.end())
        return;
    const uint uid = entry->uid;
    if (--entry->open == 0)
        callers.erase(entry);
    if (--users[uid] == 0)
        users.remove(uid);
    --overallOpen;
}
