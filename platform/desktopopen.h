// SPDX-License-Identifier: GPL-2.0-or-later
// Opens a local file or folder with the desktop's program for it. When none could be started the
// user is not left waiting for nothing: a box says what could not be opened and shows its path,
// with a button that copies the path, so it can be opened by other means.
#pragma once

#include <QString>

class QUrl;
class QWidget;

namespace KroDesktop {

// url: a file URL (perhaps with a fragment) of path. failure: the box's text, its %1 the path.
// False when nothing could be started and the box was shown.
bool openOrShowPath(const QUrl &url, QWidget *parent, const QString &title, const QString &failure);

} // namespace KroDesktop
