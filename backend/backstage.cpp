// SPDX-License-Identifier: GPL-2.0-or-later
#include "backstage.h"

#include "dbusservice.h"

Backstage::Backstage(QObject *parent) : QObject(parent) {}

void Backstage::setDbusService(KroAdmin::DbusService *service)
{
    dbusService = service;
}

void Backstage::routeServiceMessagesToWarnings()
{
    dbusService->disconnect();
    connect(dbusService, &KroAdmin::DbusService::showMessage, this, &Backstage::warnMessage);
}
