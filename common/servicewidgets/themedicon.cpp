// SPDX-License-Identifier: GPL-2.0-or-later
#include "themedicon.h"

#include <QPainter>
#include <QPalette>
#include <QPixmap>

QIcon ThemedIcon::get(const QString &name, const QString &fallbackName, const QPalette &palette)
{
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    return bundled(fallbackName, palette);
}

QIcon ThemedIcon::bundled(const QString &fallbackName, const QPalette &palette)
{
    Q_INIT_RESOURCE(servicewidgets);
    const QIcon drawing(QStringLiteral(":/servicewidgets/%1.svg").arg(fallbackName));
    QIcon icon;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Disabled}) {
        const QColor colour = palette.color(group, QPalette::ButtonText);
        for (const int side : {16, 22, 32, 48}) {
            // The drawing's own colour is replaced, its shape (alpha) kept.
            QPixmap pixmap = drawing.pixmap(side, side);
            QPainter painter(&pixmap);
            painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
            painter.fillRect(pixmap.rect(), colour);
            painter.end();
            icon.addPixmap(pixmap, group == QPalette::Disabled ? QIcon::Disabled : QIcon::Normal);
        }
    }
    return icon;
}
