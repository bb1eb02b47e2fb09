// SPDX-License-Identifier: GPL-2.0-or-later
#include "collectflow.h"

#include "collectdialog.h"
#include "collectprogressdialog.h"
#include "constants.h"
#include "sosarguments.h"
#include "sosoptions.h"
#include "sshhosts.h"

#include <QAction>
#include <QDir>
#include <QInputDialog>
#include <QMessageBox>

CollectFlow::CollectFlow(QWidget *window, QAction *action, const QStringList &reportDirs,
                         QObject *parent)
    : QObject(parent), window(window), action(action), reportDirs(reportDirs)
{
    connect(action, &QAction::triggered, this, &CollectFlow::begin);
    connect(&run, &Collection::passwordAsked, this, &CollectFlow::askPassword);
}

CollectFlow::~CollectFlow()
{
    delete progress;
}

// Made when first needed: most sessions never collect, and the window starts sooner without it.
// The dialog shows the run's end before the end box asks about it.
CollectProgressDialog *CollectFlow::progressDialog()
{
    if (!progress) {
        progress = new CollectProgressDialog(run, window);
        connect(&run, &Collection::finished, this, &CollectFlow::ended);
    }
    return progress;
}

void CollectFlow::readOptions(const QString &sosVersion)
{
    if (options)
        return;
    options = new SosOptions(sosVersion, Kro::SosProgram, this, SosArguments::CollectCommand);
    connect(options, &SosOptions::unavailable, this, [this] {
        action->setEnabled(false);
        action->setToolTip(tr("The installed sos has no collector (sos collect)."));
    });
    options->load();
}

void CollectFlow::begin()
{
    if (run.isRunning()) {
        progressDialog()->show();
        progressDialog()->raise();
        return;
    }
    CollectDialog dialog(
        CollectChoices::load(), SshHosts::read(QDir::home().filePath(QStringLiteral(".ssh"))),
        [this](const QString &option) { return !options || options->accepts(option); }, window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const CollectChoices choices = dialog.choices();
    choices.save();
    const QDateTime now = QDateTime::currentDateTime();
    QVariantMap collectOptions = choices.collectOptions(now);
    if (options)
        collectOptions = options->acceptedOnly(collectOptions);
    // Made before the run, which it follows from its first line.
    CollectProgressDialog *following = progressDialog();
    const QString refusal =
        run.start(choices.hosts, collectOptions, Collection::destinationFor(reportDirs));
    if (!refusal.isEmpty()) {
        QMessageBox::warning(window, tr("Collect from several machines"), refusal);
        return;
    }
    following->follow();
    if (choices.includeThisMachine)
        emit localReportWanted(choices.reportOptions(now));
}

void CollectFlow::askPassword(CollectOutput::Prompt prompt, const QString &question)
{
    const QString title =
        prompt == CollectOutput::Prompt::SudoPassword ? tr("sudo password") : tr("SSH password");
    bool given = false;
    QString password =
        QInputDialog::getText(progress, title, question, QLineEdit::Password, QString(), &given);
    if (given)
        run.answer(password);
    else
        run.stop();
    password.fill(QLatin1Char('\0'));
}

QString CollectFlow::failedNodes() const
{
    QStringList lines;
    for (const CollectOutput::Node &node : run.output()->nodes()) {
        if (node.state != CollectOutput::State::Failed)
            continue;
        QString line =
            tr("%1: %2").arg(node.name, CollectProgressDialog::failureText(node.failure));
        if (!node.lastLines.isEmpty())
            line += QStringLiteral(" (") + node.lastLines.last() + QLatin1Char(')');
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

void CollectFlow::ended(Collection::Outcome outcome, const QString &archive, const QString &text)
{
    const QString failed = failedNodes();
    switch (outcome) {
    case Collection::Outcome::Succeeded:
        emit archiveReady(archive, text);
        if (!failed.isEmpty())
            QMessageBox::warning(progress, tr("Collect from several machines"),
                                 tr("%1\n\nThese machines gave no report:\n%2").arg(text, failed));
        else
            QMessageBox::information(progress, tr("Collect from several machines"), text);
        break;
    case Collection::Outcome::Failed:
        QMessageBox::warning(
            progress, tr("Collect from several machines"),
            failed.isEmpty() ? text
                             : tr("%1\n\nThese machines gave no report:\n%2").arg(text, failed));
        break;
    case Collection::Outcome::Stopped:
        break;
    }
}
