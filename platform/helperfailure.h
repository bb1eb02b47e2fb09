// SPDX-License-Identifier: GPL-2.0-or-later
// A failed call to the privileged helper in the user's words: one text for each kind of failure,
// whoever made the call.
#pragma once

#include <QString>

namespace KroAdmin {

struct HelperReply;

// What a failure of the bus itself, of the given QDBusError::ErrorType, means.
QString busErrorText(int errorType);
// Why the call failed: the bus's own failure by its kind, the helper's or its program's by what
// it answered; empty for a call that succeeded.
QString failureText(const HelperReply &reply);

} // namespace KroAdmin
