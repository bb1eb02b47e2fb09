// SPDX-License-Identifier: GPL-2.0-or-later
#include "modaldialoghelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace KroTest {

ModalDialogHelper::ModalDialogHelper(QObject *parent) : QObject(parent)
{
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, this, &ModalDialogHelper::poll);
    timer.start();
}

ModalDialogHelper::~ModalDialogHelper() = default;

void ModalDialogHelper::expect(std::function<void(QWidget *)> answer)
{
    answers.append(std::move(answer));
}

void ModalDialogHelper::expectMessageBox(QMessageBox::StandardButton button, bool tickCheckBox)
{
    expect([button, tickCheckBox](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        if (!box) {
            QTest::qFail("expected a message box", __FILE__, __LINE__);
            dialog->close();
            return;
        }
        if (tickCheckBox && box->checkBox())
            box->checkBox()->setChecked(!box->checkBox()->isChecked());
        QAbstractButton *pressed = box->button(button);
        if (!pressed) {
            QTest::qFail("the message box lacks the expected button", __FILE__, __LINE__);
            box->close();
            return;
        }
        pressed->click();
    });
}

void ModalDialogHelper::expectMessageBoxButton(const QString &text)
{
    expect([text](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        const QList<QAbstractButton *> buttons = box ? box->buttons() : QList<QAbstractButton *>();
        for (QAbstractButton *button : buttons)
            if (button->text() == text)
                return button->click();
        QTest::qFail("the message box lacks the expected button", __FILE__, __LINE__);
        dialog->close();
    });
}

void ModalDialogHelper::expectInputDialog(const QString &text, bool accept)
{
    expect([text, accept](QWidget *dialog) {
        auto *input = qobject_cast<QInputDialog *>(dialog);
        if (!input) {
            QTest::qFail("expected an input dialog", __FILE__, __LINE__);
            dialog->close();
            return;
        }
        if (!accept) {
            input->reject();
            return;
        }
        input->setTextValue(text);
        input->accept();
    });
}

void ModalDialogHelper::expectFileDialog(const QString &path)
{
    expect([path](QWidget *dialog) {
        auto *chooser = qobject_cast<QFileDialog *>(dialog);
        if (!chooser) {
            QTest::qFail("expected a file dialog", __FILE__, __LINE__);
            dialog->close();
            return;
        }
        if (path.isEmpty()) {
            chooser->reject();
            return;
        }
        // Typing the path into the name field is what a user does; accept() then checks it
        // the same way it checks a typed name.
        if (auto *nameEdit = chooser->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            nameEdit->setText(path);
        static_cast<QDialog *>(chooser)->accept();
    });
}

bool ModalDialogHelper::waitForAll(int timeout)
{
    return QTest::qWaitFor([this] { return answers.isEmpty(); }, timeout);
}

QWidget *ModalDialogHelper::openModal()
{
    return QApplication::activeModalWidget();
}

void ModalDialogHelper::poll()
{
    QWidget *dialog = QApplication::activeModalWidget();
    if (!dialog || dialog == handled || !dialog->isVisible())
        return;
    handled = dialog;
    recorded.append(describe(dialog));
    if (answers.isEmpty()) {
        const QByteArray message = "unexpected modal dialog \"" + dialog->windowTitle().toUtf8() +
                                   "\": " + recorded.last().text.toUtf8();
        QTest::qFail(message.constData(), __FILE__, __LINE__);
        dialog->close();
        handled = nullptr;
        return;
    }
    const auto answer = answers.takeFirst();
    answer(dialog);
    // A dialog that is kept and opened again later must be seen again.
    if (handled && !handled->isVisible())
        handled = nullptr;
}

DialogRecord ModalDialogHelper::describe(QWidget *dialog)
{
    DialogRecord record;
    record.className = QString::fromLatin1(dialog->metaObject()->className());
    record.windowTitle = dialog->windowTitle();
    record.hasParent = dialog->parentWidget() != nullptr;
    record.windowFlags = dialog->windowFlags();
    if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
        record.text = box->text();
        record.informativeText = box->informativeText();
        record.detailedText = box->detailedText();
        if (box->checkBox()) {
            record.checkBoxText = box->checkBox()->text();
            record.checkBoxChecked = box->checkBox()->isChecked();
        }
        if (auto *buttonBox = box->findChild<QDialogButtonBox *>())
            for (QAbstractButton *button : buttonBox->buttons())
                record.buttons.append(button->text());
        if (box->defaultButton())
            record.defaultButton = box->defaultButton()->text();
    } else if (auto *input = qobject_cast<QInputDialog *>(dialog)) {
        record.text = input->labelText();
    }
    return record;
}

} // namespace KroTest
