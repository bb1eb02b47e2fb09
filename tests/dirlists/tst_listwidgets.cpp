// SPDX-License-Identifier: GPL-2.0-or-later
// The editable list widgets and the folder dialog on their own.
#include "choosedirsdialog.h"
#include "customlistwidget.h"
#include "dirslistwidget.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

namespace {
// Opens the widget's context menu and returns "text:enabled" for each entry, or an empty list
// when no menu opened.
QStringList readContextMenu(QWidget *list)
{
    QStringList entries;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction *action : menu->actions())
            entries.append(action->text() + (action->isEnabled() ? ":on" : ":off"));
        menu->close();
    });
    poll.start();
    emit list->customContextMenuRequested(QPoint(1, 1));
    return entries;
}

QStringList texts(const QListWidget &list)
{
    QStringList result;
    for (int row = 0; row < list.count(); ++row)
        result.append(list.item(row)->text());
    return result;
}
} // namespace

class TestListWidgets : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY(!KroTest::ModalDialogHelper::openModal()); }

    void placeholderLine()
    {
        CustomListWidget list;
        list.setEmptyText(QStringLiteral("none"));
        list.hideEmptyText();
        QCOMPARE(list.count(), 0);
        list.showEmptyText();
        list.showEmptyText();
        QCOMPARE(texts(list), QStringList{QStringLiteral("none")});
        QCOMPARE(list.item(0)->flags(), Qt::NoItemFlags);

        list.addItem(QStringLiteral("alpha"));
        list.setEmptyText(QStringLiteral("other"));
        QCOMPARE(texts(list), (QStringList{QStringLiteral("other"), QStringLiteral("alpha")}));
        list.hideEmptyText();
        QCOMPARE(texts(list), QStringList{QStringLiteral("alpha")});
        list.setEmptyText(QStringLiteral("hidden"));
        QCOMPARE(texts(list), QStringList{QStringLiteral("alpha")});
    }

    void customMenu()
    {
        CustomListWidget list;
        list.showEmptyText();
        QCOMPARE(readContextMenu(&list), QStringList{QStringLiteral("Delete selected record:off")});
        list.addItem(QStringLiteral("alpha"));
        QCOMPARE(readContextMenu(&list), QStringList{QStringLiteral("Delete selected record:on")});
        list.setMenuAllowed(false);
        QCOMPARE(readContextMenu(&list), QStringList());
    }

    void customDeleteSignalsAfterRemoval()
    {
        CustomListWidget list;
        list.showEmptyText();
        list.addItems({QStringLiteral("alpha"), QStringLiteral("beta")});
        QStringList seen;
        connect(&list, &CustomListWidget::itemDeleted, this,
                [&](const QString &text) { seen << text + QString::number(list.count()); });
        list.setCurrentRow(0); // the placeholder is never deleted
        list.deleteCurrentRecord();
        list.setCurrentRow(2);
        list.deleteCurrentRecord();
        QCOMPARE(seen, QStringList{QStringLiteral("beta2")});
        QCOMPARE(texts(list), (QStringList{QString(), QStringLiteral("alpha")}));
    }

    void dirsMenuAndDelete()
    {
        DirsListWidget list;
        QCOMPARE(readContextMenu(&list), (QStringList{QStringLiteral("Edit this record:on"),
                                                      QStringLiteral("Add record:on"),
                                                      QStringLiteral("Delete this record:off")}));
        list.editCurrentRecord();
        list.addItem(QStringLiteral("/srv"));
        QCOMPARE(readContextMenu(&list).last(), QStringLiteral("Delete this record:on"));

        QSignalSpy deleted(&list, &DirsListWidget::itemDeleted);
        int countSeen = -1;
        connect(&list, &DirsListWidget::itemDeleted, this, [&] { countSeen = list.count(); });
        list.deleteCurrentRecord();
        QCOMPARE(deleted.count(), 0);
        list.setCurrentRow(0);
        list.deleteCurrentRecord();
        QCOMPARE(deleted.count(), 1);
        QCOMPARE(countSeen, 0);
    }

    void chooserAddsOnlyExistingFolders()
    {
        QTemporaryDir folder;
        DirsListWidget list;
        list.setSelectDirTitle(QStringLiteral("Pick"));
        QSignalSpy added(&list, &DirsListWidget::itemAdded);
        KroTest::ModalDialogHelper dialogs;

        dialogs.expectFileDialog(QString());
        list.createNewRecord();
        QCOMPARE(list.count(), 0);

        // The folder disappears between choosing it and the chooser closing.
        const QString vanishing = folder.path() + QStringLiteral("/gone");
        QDir().mkpath(vanishing);
        dialogs.expect([vanishing](QWidget *dialog) {
            auto *chooser = qobject_cast<QFileDialog *>(dialog);
            QObject::connect(chooser, &QDialog::finished, [vanishing] { QDir().rmdir(vanishing); });
            chooser->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(vanishing);
            static_cast<QDialog *>(chooser)->accept();
        });
        list.createNewRecord();
        QCOMPARE(list.count(), 0);
        QCOMPARE(added.count(), 0);

        dialogs.expectFileDialog(folder.path());
        list.createNewRecord();
        QCOMPARE(dialogs.records().last().windowTitle, QStringLiteral("Pick"));
        QCOMPARE(texts(list), QStringList{folder.path()});
        QCOMPARE(list.currentRow(), 0);
        QVERIFY(list.item(0)->flags() & Qt::ItemIsEditable);
        QCOMPARE(added.count(), 1);
    }

    void dialogHidesTmpAndFollowsRows()
    {
        QTemporaryDir folder;
        ChooseDirsDialog dialog;
        auto *minus = dialog.findChild<QPushButton *>(QStringLiteral("minusBtn"));
        auto *sett = dialog.findChild<QPushButton *>(QStringLiteral("settBtn"));
        auto *plus = dialog.findChild<QPushButton *>(QStringLiteral("plusBtn"));
        QVERIFY(!plus->icon().isNull());
        QVERIFY(!sett->icon().isNull());

        dialog.setDirs({QStringLiteral("/tmp")});
        QCOMPARE(dialog.dirs(), QStringList());
        QVERIFY(!minus->isEnabled() && !sett->isEnabled() && plus->isEnabled());

        KroTest::ModalDialogHelper dialogs;
        dialogs.expectFileDialog(folder.path());
        plus->click();
        QVERIFY(minus->isEnabled() && sett->isEnabled());
        minus->click();
        QVERIFY(!minus->isEnabled());

        dialog.setDirs({QStringLiteral("/a"), QStringLiteral("/tmp"), QStringLiteral("/tmp/"),
                        QStringLiteral("/a")});
        QCOMPARE(dialog.dirs(), (QStringList{QStringLiteral("/a"), QStringLiteral("/tmp/"),
                                             QStringLiteral("/a")}));
        auto *list = dialog.findChild<DirsListWidget *>(QStringLiteral("dirsListWidget"));
        QCOMPARE(list->currentRow(), 2);
        QVERIFY(minus->isEnabled());
    }
};

KRO_TEST_MAIN(TestListWidgets)
#include "tst_listwidgets.moc"
