// SPDX-License-Identifier: GPL-2.0-or-later
// Answers the modal dialogs that the code under test opens. Arm it with the expected answers
// before the call that opens them; it waits for QApplication::activeModalWidget(), records what
// the dialog shows and answers it. A dialog nobody expected fails the test and is closed, so a
// test never hangs on it.
#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWidget;

namespace KroTest {

// What one dialog showed.
struct DialogRecord
{
    QString className;
    QString windowTitle;
    QString text;            // message box text, input dialog label
    QString informativeText; // message box only
    QString detailedText;    // message box only, behind "Show Details..."
    QString checkBoxText;    // message box check box, empty when it has none
    bool checkBoxChecked = false;
    QStringList buttons;   // texts of the message box buttons, in layout order
    QString defaultButton; // text of the default button, empty when there is none
    bool hasParent = false;
    Qt::WindowFlags windowFlags;
};

class ModalDialogHelper : public QObject
{
    Q_OBJECT

public:
    explicit ModalDialogHelper(QObject *parent = nullptr);
    ~ModalDialogHelper() override;

    // Presses the standard button; tickCheckBox toggles the box's check box first.
    void expectMessageBox(QMessageBox::StandardButton button, bool tickCheckBox = false);
    // Presses the message box's button with this text (one of its own, not a standard one).
    void expectMessageBoxButton(const QString &text);
    // Enters text and presses OK, or cancels when accept is false.
    void expectInputDialog(const QString &text, bool accept = true);
    // Chooses path in a file or folder chooser, or cancels when path is empty.
    void expectFileDialog(const QString &path);
    // Any other answer.
    void expect(std::function<void(QWidget *)> answer);

    // Waits until every armed answer was used. False on time-out.
    bool waitForAll(int timeout = 10000);
    int pending() const { return answers.size(); }

    QList<DialogRecord> records() const { return recorded; }
    DialogRecord last() const { return recorded.value(recorded.size() - 1); }
    void clear() { recorded.clear(); }

    // The dialog currently open, or null; for cleanup() checks.
    static QWidget *openModal();

private:
    void poll();
    static DialogRecord describe(QWidget *dialog);

    QTimer timer;
    QList<std::function<void(QWidget *)>> answers;
    QList<DialogRecord> recorded;
    QPointer<QWidget> handled;
};

} // namespace KroTest
