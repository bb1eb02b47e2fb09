// SPDX-License-Identifier: GPL-2.0-or-later
// A failed call to the privileged helper in the user's words: one sentence for each kind of
// failure, saying what happened and what to do, whoever made the call; and the technical text
// behind it, for the details of a message box.
#pragma once

#include <QString>

namespace KroAdmin {

struct HelperReply;

// The technical description of a bus failure of the given QDBusError::ErrorType.
QString busErrorText(int errorType);
// What a failure numbered as getDbusErrorAsInt numbers it means for the user: a bus failure by
// its type (errorName, when known, tells a helper that could not start), or the helper's refusal
// to act without an administrator's authorisation. Empty for the helper's other results, which
// its client words by what was asked.
QString failureSentence(int errorNumber, const QString &errorName = QString());
// Why the call failed, in the user's words; empty for a call that succeeded.
QString failureText(const HelperReply &reply);
// The technical text behind failureText: the bus's description and the error as it came.
QString failureDetails(const HelperReply &reply);

} // namespace KroAdmin
