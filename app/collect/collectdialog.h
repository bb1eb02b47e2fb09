// SPDX-License-Identifier: GPL-2.0-or-later
// Asks which machines to collect from and how: hosts typed, pasted or picked from the user's
// SSH files, the SSH user, passwords for SSH and sudo, this machine too, and the report options
// every node gets. What the installed collector lacks is disabled and the reason shown.
#pragma once

#include "collectchoices.h"

#include <QDialog>
#include <functional>

namespace Ui {
class CollectDialog;
}

class CollectDialog : public QDialog
{
    Q_OBJECT

public:
    // Whether the installed collector takes an option.
    using Accepts = std::function<bool(const QString &option)>;

    CollectDialog(const CollectChoices &choices, const QStringList &knownHosts,
                  const Accepts &accepts, QWidget *parent = nullptr);
    ~CollectDialog() override;

    CollectChoices choices() const;

private:
    void addHost(const QString &host);
    void checkEntries();
    void disableLacking(const Accepts &accepts);

    Ui::CollectDialog *ui;
};
