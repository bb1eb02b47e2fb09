// SPDX-License-Identifier: GPL-2.0-or-later
// Hands a mouse press that closes a popup to the widget under the cursor, so that one click on a
// button beside a completer's popup both closes the popup and presses the button. Qt's own replay
// of such a press depends on the platform granting the popup a grab, and on some it never comes.
#pragma once

#include <QObject>

class QWidget;

class PopupPressReplay : public QObject
{
    Q_OBJECT

public:
    // Watches popup, which belongs to owner's window; presses are only handed to that window.
    PopupPressReplay(QWidget *popup, QWidget *owner);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *popup;
    QWidget *owner;
};
