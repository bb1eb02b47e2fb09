// SPDX-License-Identifier: GPL-2.0-or-later
// Moves a user's file into place with root rights without letting the user reach files that
// are not theirs: the source is never followed through a symbolic link and must be the
// caller's own regular file with a single name; the destination is replaced atomically and
// keeps its owner and mode, so a configuration file never becomes the user's. A helper killed
// between the two removes the source at its next start.
#pragma once

#include <QString>
#include <sys/types.h>

class WorkFolders;

namespace FileMover {

// Empty on success, otherwise why nothing was changed.
// folders notes the move's last step.
QString move(WorkFolders &folders, uid_t caller, const QString &source, const QString &destination);

} // namespace FileMover
