// SPDX-License-Identifier: GPL-2.0-or-later
// "Collect from several machines...": asks for the machines and options, runs the collection,
// follows it in its own dialog, asks the collector's passwords, and at the end names each node
// that failed and why. What the installed collector accepts is read once per sos version; the
// action is disabled, with the reason, when sos has no collector. This machine's own report,
// when wanted, is asked of the window, which runs it through the helper as any local report.
#pragma once

#include "collection.h"

#include <QObject>
#include <QPointer>

class CollectProgressDialog;
class QAction;
class QWidget;
class SosOptions;

class CollectFlow : public QObject
{
    Q_OBJECT

public:
    // window parents the dialogs; action starts the flow; reportDirs are the table's folders.
    CollectFlow(QWidget *window, QAction *action, const QStringList &reportDirs,
                QObject *parent = nullptr);
    ~CollectFlow() override;

    // Reads what the installed collector accepts (once per sos version; kept in the settings).
    void readOptions(const QString &sosVersion);
    void begin();
    Collection &collection() { return run; }
    CollectProgressDialog *progressDialog();

signals:
    // The report of this machine with these options (keyed by sos option) is wanted as well.
    void localReportWanted(const QVariantMap &reportOptions);
    // The combined archive is in place; text tells its size and checksum.
    void archiveReady(const QString &archive, const QString &text);

private:
    void askPassword(CollectOutput::Prompt prompt, const QString &question);
    void ended(Collection::Outcome outcome, const QString &archive, const QString &text);
    QString failedNodes() const;

    QWidget *window;
    QAction *action;
    const QStringList &reportDirs;
    SosOptions *options = nullptr;
    Collection run;
    CollectProgressDialog *progress = nullptr;
};
