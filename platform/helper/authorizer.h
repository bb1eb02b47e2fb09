// SPDX-License-Identifier: GPL-2.0-or-later
// Asks polkit whether a bus client may use the helper. Requests are answered one after the
// other because polkit-qt reports results without saying which request they belong to; any
// error counts as a refusal.
#pragma once

#include <QObject>
#include <QQueue>
#include <functional>

namespace PolkitQt1 {
class Authority;
}

class Authorizer : public QObject
{
    Q_OBJECT

public:
    using Decision = std::function<void(bool allowed)>;

    Authorizer(const QString &actionId, QObject *parent = nullptr);

    // Calls decision later with the verdict for the client with the unique bus name busName.
    void authorize(const QString &busName, Decision decision);

private:
    struct Request
    {
        QString busName;
        Decision decision;
    };

    void startNext();
    void finish(bool allowed);

    QString actionId;
    QQueue<Request> pending;
    bool checking = false;
};
