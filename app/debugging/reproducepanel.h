// SPDX-License-Identifier: GPL-2.0-or-later
// The small panel that stays beside the main window while a problem is reproduced with a
// service in debug mode: what is going on, how long debug logging has been on, and the buttons
// of the step at hand. It only shows and reports clicks; the flow behind it decides.
#pragma once

#include <QDateTime>
#include <QTimer>
#include <QWidget>

namespace Ui {
class ReproducePanel;
}

class ReproducePanel : public QWidget
{
    Q_OBJECT

public:
    explicit ReproducePanel(QWidget *parent = nullptr);
    ~ReproducePanel() override;

    // Debug logging is on since `since`: the message, the time since then, and two buttons.
    void showWaiting(const QString &message, const QDateTime &since, const QString &collectText,
                     const QString &cancelText);
    // Work is under way: the message and no button.
    void showBusy(const QString &message);
    // The flow has ended or stopped: the message, Protect and Send when a report was made
    // (Protect while it is not protected yet), the cancel button when retryText is not empty,
    // and Close.
    void showEnded(const QString &message, bool withReport, bool protectable,
                   const QString &retryText = QString());
    // A remark about the report to come; empty hides it.
    void setNote(const QString &note);

signals:
    void collectClicked();
    void cancelClicked();
    void protectClicked();
    void sendClicked();
    // Close, or the window's own close button, which the panel leaves to the flow.
    void closeClicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showButtons(bool collect, bool cancel, bool report, bool close);
    void showElapsed();
    void present(const QString &message);

    Ui::ReproducePanel *ui;
    QTimer elapsedTimer;
    QDateTime since;
};
