// SPDX-License-Identifier: GPL-2.0-or-later
// Read access to a report for one user and nobody else, given on the open file: the owner gets
// read permission on its own file; anyone else gets an access control list entry of their own.
// Others' permission bits are never widened, and no one but that user gains anything.
#pragma once

#include <QString>
#include <sys/types.h>

namespace ReadAccess {

// Empty on success, otherwise why not (a file system without access control lists refuses).
QString grant(int fd, uid_t user);

} // namespace ReadAccess
