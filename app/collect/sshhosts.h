// SPDX-License-Identifier: GPL-2.0-or-later
// The hosts the user's SSH knows by name: the Host entries of ~/.ssh/config (patterns left
// out) and the names in ~/.ssh/known_hosts. Hashed known_hosts entries cannot be read back into
// names and are skipped.
#pragma once

#include <QStringList>

namespace SshHosts {

QStringList fromConfig(const QString &text);
QStringList fromKnownHosts(const QString &text);
// Both files of the SSH folder sshDir, config first, each name once.
QStringList read(const QString &sshDir);

} // namespace SshHosts
