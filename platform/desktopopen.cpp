// SPDX-License-Identifier: GPL-2.0-or-later
#include "desktopopen.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace KroDesktop {

bool openOrShowPath(const QUrl &url, QWidget *parent, const QString &title, const QString &failure)
{
    if (QDesktopServices::openUrl(url))
        return true;
    const QString path = QDir::toNativeSeparators(url.toLocalFile());
    QMessageBox box(QMessageBox::Warning, title, failure.arg(path), QMessageBox::Close, parent);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPushButton *copy = box.addButton(QCoreApplication::translate("KroDesktop", "Copy path"),
                                      QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Close);
    box.exec();
    if (box.clickedButton() == copy)
        QApplication::clipboard()->setText(path);
    return false;
}

} // namespace KroDesktop
