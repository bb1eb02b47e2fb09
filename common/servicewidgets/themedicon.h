// SPDX-License-Identifier: GPL-2.0-or-later
// Icons that stay visible on light and dark palettes: the desktop theme's icon when it has one,
// otherwise the bundled monochrome drawing painted in the palette's text colour.
#pragma once

#include <QIcon>

class QPalette;

class ThemedIcon
{
public:
    // The theme icon name, else the bundled fallback named fallbackName.
    static QIcon get(const QString &name, const QString &fallbackName, const QPalette &palette);

    // The bundled drawing fallbackName painted in the palette's button text colour.
    static QIcon bundled(const QString &fallbackName, const QPalette &palette);
};
