// SPDX-License-Identifier: GPL-2.0-or-later
// The one inspection surface of the extended settings pane for tests: the plugin and profile
// lists that the pane keeps behind its form. Its widgets are reached by object name instead.
#pragma once

#include "extsettwidget.h"

class ExtSettWidgetAccess
{
public:
    static const QStringList &allPlugins(const ExtSettWidget &widget) { return widget.allPlugins; }
    static const QStringList &activePlugins(const ExtSettWidget &widget)
    {
        return widget.activePlugins;
    }
    static const QStringList &allProfiles(const ExtSettWidget &widget)
    {
        return widget.allProfiles;
    }
    static const QStringList &selectedPlugins(const ExtSettWidget &widget)
    {
        return widget.selectedPlugins;
    }
    static const QStringList &selectedProfiles(const ExtSettWidget &widget)
    {
        return widget.selectedProfiles;
    }
};
