// SPDX-License-Identifier: GPL-2.0-or-later
// A completer's popup takes the first mouse press outside it only to close itself, so the
// button the user aimed at (such as "Add plugin") would need a second click. This filter closes
// the popup and hands a press on a button beneath it to that button.
#pragma once

#include <QObject>

class QCompleter;

class CompleterClickThrough : public QObject
{
    Q_OBJECT

public:
    explicit CompleterClickThrough(QCompleter *completer);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QCompleter *completer;
};
