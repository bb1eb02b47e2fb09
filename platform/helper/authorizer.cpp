// SPDX-License-Identifier: GPL-2.0-or-later
#include "authorizer.h"

#include <PolkitQt1/Authority>
#include <PolkitQt1/Subject>
#include <QTimer>

using PolkitQt1::Authority;

Authorizer::Authorizer(const QString &actionId, QObject *parent)
    : QObject(parent), actionId(actionId)
{
    connect(Authority::instance(), &Authority::checkAuthorizationFinished, this,
            [this](Authority::Result result) {
                finish(result == Authority::Yes && !Authority::instance()->hasError());
            });
}

void Authorizer::authorize(const QString &busName, Decision decision)
{
    pending.enqueue({busName, std::move(decision)});
    if (!checking)
        startNext();
}

void Authorizer::startNext()
{
    if (pending.isEmpty())
        return;
    Authority *authority = Authority::instance();
    if (authority->hasError()) {
        qWarning("polkit is not available: %s", qPrintable(authority->errorDetails()));
        authority->clearError();
        // Answered from the event loop so that callers always get their verdict later.
        QTimer::singleShot(0, this, [this] { finish(false); });
        checking = true;
        return;
    }
    checking = true;
    authority->checkAuthorization(actionId, PolkitQt1::SystemBusNameSubject(pending.head().busName),
                                  Authority::AllowUserInteraction);
}

void Authorizer::finish(bool allowed)
{
    if (pending.isEmpty())
        return;
    const Request request = pending.dequeue();
    checking = false;
    Authority::instance()->clearError();
    request.decision(allowed);
    startNext();
}
