// SPDX-License-Identifier: GPL-2.0-or-later
#include "aboutbox.h"

#include "sosoptions.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QPointer>
#include <QThread>

namespace {

// The version read once per application run; empty until then.
QString &knownSosVersion()
{
    static QString version;
    return version;
}

} // namespace

AboutBox::AboutBox(const QString &sosVersionFile, QWidget *parent)
    : QMessageBox(QMessageBox::Information,
                  tr("About %1").arg(QGuiApplication::applicationDisplayName()), QString(),
                  QMessageBox::Close, parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setTextFormat(Qt::PlainText);
    setIconPixmap(QGuiApplication::windowIcon().pixmap(64, 64));
    if (!knownSosVersion().isEmpty()) {
        showSosVersion(knownSosVersion());
        return;
    }
    setText(textWith(tr("Installed sos: looking...")));
    const QPointer<AboutBox> box(this);
    QThread *worker = QThread::create([sosVersionFile, box] {
        QString version = SosOptions::installedVersion(sosVersionFile);
        QMetaObject::invokeMethod(qApp, [version, box] {
            if (!version.isEmpty())
                knownSosVersion() = version;
            if (box)
                box->showSosVersion(version);
        });
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void AboutBox::showSosVersion(const QString &version)
{
    setText(textWith(version.isEmpty() ? tr("Installed sos: not found")
                                       : tr("Installed sos: version %1").arg(version)));
}

QString AboutBox::textWith(const QString &sosLine) const
{
    return tr("%1, version %2\nCollects diagnostic reports of this computer with sos, protects "
              "and sends them, and switches services into a debug mode.\n\n%3\n\nLicence: GNU "
              "General Public License, version 2 or later.")
        .arg(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationVersion(),
             sosLine);
}
