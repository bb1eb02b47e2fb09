// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportprogressdialog.h"

#include "reportrun.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

// The collecting text's two lines, the plugins line and the elapsed time.
const int TextLines = 4;
// Room the window manager takes from the title bar for the icon and the buttons, in widths of an
// average character.
const int TitleBarChars = 16;
// Room for the plugins line with a plugin name of usual length, in either language.
const int TextChars = 48;

QString collectingText()
{
    return ReportProgressDialog::tr("Information is being collected. \nPlease, wait.");
}

} // namespace

ReportProgressDialog::ReportProgressDialog(ReportRun &run, QWidget *window)
    : QProgressDialog(window, Qt::WindowFlags()), run(run)
{
    // Reaching the last plugin is not the end of the run.
    setAutoReset(false);
    // Escape and Stop cancel the dialog, which hides it; it shows again while the window is
    // locked, and only Stop asks to end the run.
    auto *stop = new QPushButton(tr("Stop"));
    setCancelButton(stop);
    connect(this, &QProgressDialog::canceled, this, &ReportProgressDialog::keepShown);
    connect(stop, &QPushButton::clicked, this, &ReportProgressDialog::confirmStop);
    connect(&run, &ReportRun::started, this, &ReportProgressDialog::showStarted);
    connect(&run, &ReportRun::progressed, this, &ReportProgressDialog::showProgress);
    // Hidden for good until the next run.
    connect(&run, &ReportRun::stalled, this, &QProgressDialog::reset);
    connect(&run, &ReportRun::ended, this, &QProgressDialog::reset);
    label = new QLabel;
    setLabel(label);
    setWindowTitle(tr("Long operation..."));
    fixSize();
    showStarted();
}

// The title bar shows the title followed by the application's name; a bold title font is wider.
void ReportProgressDialog::fixSize()
{
    const QFontMetrics metrics = fontMetrics();
    QString title = windowTitle();
    if (!QGuiApplication::applicationDisplayName().isEmpty())
        title += QStringLiteral(" \u2014 ") + QGuiApplication::applicationDisplayName();
    const int titleWidth =
        metrics.horizontalAdvance(title) * 5 / 4 + TitleBarChars * metrics.averageCharWidth();
    const int textWidth = TextChars * metrics.averageCharWidth();
    label->setFixedSize(qMax(titleWidth, textWidth), TextLines * metrics.lineSpacing());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFixedSize(sizeHint());
}

void ReportProgressDialog::showText(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = label->fontMetrics().elidedText(line, Qt::ElideMiddle, label->width());
    setLabelText(lines.join(QLatin1Char('\n')));
}

void ReportProgressDialog::showStarted()
{
    setRange(0, 0);
    showText(collectingText());
    show();
    // The window, its parent, is disabled while the run lasts.
    setEnabled(true);
}

void ReportProgressDialog::showProgress(int percent, const QString &text)
{
    // Once the window was unlocked, the run goes on without the dialog.
    if (parentWidget()->isEnabled())
        return;
    if (percent >= 0) {
        setRange(0, 100);
        setValue(percent);
    }
    showText(collectingText() + QLatin1Char('\n') + text);
    keepShown();
}

void ReportProgressDialog::keepShown()
{
    if (!parentWidget()->isEnabled())
        show();
}

void ReportProgressDialog::confirmStop()
{
    const auto answer =
        QMessageBox::question(this, tr("Attention!"), tr("Stop collecting the report?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes)
        run.stop();
}
