// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportactions.h"

#include "backstage.h"
#include "reportidentity.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QTableWidget>
#include <QUrl>

namespace {

const QString FileManagerService = QStringLiteral("org.freedesktop.FileManager1");
const QString FileManagerPath = QStringLiteral("/org/freedesktop/FileManager1");
// Short: where no file manager answers, the folder is opened by other means instead.
const int FileManagerTimeoutMs = 5000;

QAction *rowAction(QTableWidget *table, const QString &iconName, const QString &text,
                   const QKeySequence &keys)
{
    auto *action = new QAction(QIcon::fromTheme(iconName), text, table);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    table->addAction(action);
    return action;
}

} // namespace

ReportActions::ReportActions(QTableWidget *table, Backstage *backstage,
                             const QMultiMap<QString, QString> &volumeParts)
    : QObject(table), table(table), backstage(backstage), volumeParts(volumeParts),
      openFolder(rowAction(table, QStringLiteral("folder-open"), tr("Open containing folder"),
                           QKeySequence(Qt::CTRL + Qt::Key_O))),
      copyPath(rowAction(table, QStringLiteral("edit-copy"), tr("Copy path"), QKeySequence::Copy)),
      remove(rowAction(table, QStringLiteral("edit-delete"), tr("Delete"), QKeySequence::Delete))
{
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, &ReportActions::showMenu);
    connect(table, &QTableWidget::currentItemChanged, this, &ReportActions::updateActions);
    connect(openFolder, &QAction::triggered, this, &ReportActions::openContainingFolder);
    connect(copyPath, &QAction::triggered, this, &ReportActions::copyCurrentPath);
    connect(remove, &QAction::triggered, this, &ReportActions::deleteCurrentReport);
    updateActions();
}

QString ReportActions::currentReport() const
{
    const QTableWidgetItem *current = table->currentItem();
    return current ? table->item(current->row(), 0)->text() : QString();
}

void ReportActions::updateActions()
{
    const bool hasReport = !currentReport().isEmpty();
    for (QAction *action : {openFolder, copyPath, remove})
        action->setEnabled(hasReport);
}

void ReportActions::showMenu(const QPoint &position)
{
    QTableWidgetItem *item = table->itemAt(position);
    if (!item)
        return;
    table->setCurrentCell(item->row(), 0);
    QMenu menu(table);
    // The table shows file names only: the menu says where the file is.
    QAction *folder =
        menu.addAction(QIcon::fromTheme(QStringLiteral("folder")),
                       QDir::toNativeSeparators(QFileInfo(currentReport()).absolutePath()));
    folder->setEnabled(false);
    menu.addSeparator();
    menu.addActions({openFolder, copyPath});
    menu.addSeparator();
    menu.addAction(remove);
    menu.exec(table->viewport()->mapToGlobal(position));
}

// The desktop's file manager shows the folder with the report selected; without one on the
// session bus the folder is opened by whatever opens folders.
void ReportActions::openContainingFolder()
{
    showInFolder(currentReport());
}

void ReportActions::showInFolder(const QString &report)
{
    if (report.isEmpty())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        FileManagerService, FileManagerPath, FileManagerService, QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(report).toString()} << QString();
    auto *watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(call, FileManagerTimeoutMs), this);
    const QString folder = QFileInfo(report).absolutePath();
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [folder](QDBusPendingCallWatcher *answer) {
                if (answer->isError())
                    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
                answer->deleteLater();
            });
}

void ReportActions::copyCurrentPath()
{
    const QString report = currentReport();
    if (!report.isEmpty())
        QApplication::clipboard()->setText(report);
}

// The files are taken as they are when the user asks: the table may be refilled while the
// question is open.
void ReportActions::deleteCurrentReport()
{
    const QString path = currentReport();
    if (path.isEmpty())
        return;
    const ReportIdentity report = ReportIdentity::of(path);
    if (!report.stillHoldsOrTell(table->window()))
        return;
    const QStringList files = Backstage::reportSetFiles(path, volumeParts);
    QMessageBox question(QMessageBox::Question, tr("Attention!"),
                         tr("Delete the report with all its files?"),
                         QMessageBox::Yes | QMessageBox::Cancel, table->window());
    question.setInformativeText(files.join(QLatin1Char('\n')));
    question.setDefaultButton(QMessageBox::Cancel);
    if (question.exec() != QMessageBox::Yes || !report.stillHoldsOrTell(table->window()))
        return;
    // The table waits for the helper's reply, so the same files are not asked for twice.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    table->setEnabled(false);
    backstage->deleteReportFiles(files, [this] {
        table->setEnabled(true);
        QApplication::restoreOverrideCursor();
        emit reportsDeleted();
    });
}
