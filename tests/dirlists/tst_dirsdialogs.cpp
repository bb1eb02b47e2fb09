// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's two folder dialogs: what they show, and what the window keeps after OK or
// Cancel, seen through the lists the window stores when it closes.
#include "choosedirsdialog.h"
#include "dirslistwidget.h"
#include "mainwindow.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

namespace {
const QString ReportsSlot = QStringLiteral("openReportsDirsSettingsDialog");
const QString DebugSlot = QStringLiteral("openDebugDirsSettingsDialog");

QStringList shownDirs(QWidget *dialog)
{
    return static_cast<ChooseDirsDialog *>(dialog)->dirs();
}

DirsListWidget *listOf(QWidget *dialog)
{
    return dialog->findChild<DirsListWidget *>(QStringLiteral("dirsListWidget"));
}

void press(QWidget *dialog, const char *name)
{
    dialog->findChild<QPushButton *>(QLatin1String(name))->click();
}

void pressButtonBox(QWidget *dialog, QDialogButtonBox::StandardButton button)
{
    dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(button)->click();
}

// The dialog helper answers one dialog at a time: a step that opens another dialog (the folder
// chooser) runs from the dialog's own event loop, after the helper has returned.
std::function<void(QWidget *)> later(std::function<void(QWidget *)> steps)
{
    return [steps](QWidget *dialog) {
        QTimer::singleShot(0, dialog, [steps, dialog] { steps(dialog); });
    };
}

// Closes the window, which stores the folder lists, and returns the stored value of key.
QVariant storedAfterClose(MainWindow &window, const QString &key)
{
    window.close();
    return QSettings().value(key);
}
} // namespace

// Folders that exist, so that listing them warns about nothing.
static QString dir(const char *name)
{
    const QString path = KroTest::homePath() + QStringLiteral("/folders/") + QLatin1String(name);
    QDir().mkpath(path);
    return path;
}

class TestDirsDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings settings;
        settings.clear();
        settings.setValue(QStringLiteral("tmpdirs"), QStringList{dir("a"), "/tmp", dir("b")});
        settings.setValue(QStringLiteral("debugjson"), QStringList{dir("x"), "/tmp", dir("y")});
        // The window asks nothing about plugins in these tests.
        settings.setValue(QStringLiteral("pluginaskagain"), true);
    }
    void cleanup() { QVERIFY(!KroTest::ModalDialogHelper::openModal()); }

    void reportFoldersWithTmpAndDuplicates()
    {
        QTemporaryDir folder;
        MainWindow window;
        KroTest::ModalDialogHelper dialogs;
        QStringList shown;
        QString groupTitle;
        dialogs.expect(later([&](QWidget *dialog) {
            shown = shownDirs(dialog);
            groupTitle = dialog->findChild<QGroupBox *>(QStringLiteral("mainGroupBox"))->title();
            listOf(dialog)->item(0)->setText(QStringLiteral("/tmp"));
            press(dialog, "plusBtn");
            press(dialog, "plusBtn");
            listOf(dialog)->addItem(QStringLiteral("  "));
            pressButtonBox(dialog, QDialogButtonBox::Ok);
        }));
        dialogs.expectFileDialog(folder.path());
        dialogs.expectFileDialog(folder.path());
        dialogs.expectMessageBox(QMessageBox::Ok);
        QMetaObject::invokeMethod(&window, ReportsSlot.toLatin1());
        QVERIFY(dialogs.waitForAll());

        QCOMPARE(shown, (QStringList{dir("a"), dir("b")}));
        const auto records = dialogs.records();
        QCOMPARE(records.at(0).windowTitle, QStringLiteral("Selecting additional directories"));
        QCOMPARE(groupTitle, QStringLiteral("List of additional directories with reports"));
        QCOMPARE(records.at(1).windowTitle, QStringLiteral("Choose a directory with reports"));
        QCOMPARE(records.at(3).windowTitle, QStringLiteral("Attention!"));
        QCOMPARE(records.at(3).text,
                 QStringLiteral("The directory \"/tmp\" will not be displayed \nin the list of "
                                "additional ones \nbecause it is the main one."));
        QVERIFY(records.at(3).hasParent);

        dialogs.expect([&](QWidget *dialog) {
            shown = shownDirs(dialog);
            pressButtonBox(dialog, QDialogButtonBox::Cancel);
        });
        QMetaObject::invokeMethod(&window, ReportsSlot.toLatin1());
        QVERIFY(dialogs.waitForAll());
        QCOMPARE(shown, (QStringList{dir("b"), folder.path()}));
        QCOMPARE(storedAfterClose(window, QStringLiteral("tmpdirs")).toStringList(),
                 (QStringList{"/tmp", dir("b"), folder.path()}));
    }

    void cancelChangesNothing()
    {
        MainWindow window;
        KroTest::ModalDialogHelper dialogs;
        dialogs.expect([](QWidget *dialog) {
            press(dialog, "minusBtn");
            pressButtonBox(dialog, QDialogButtonBox::Cancel);
        });
        QMetaObject::invokeMethod(&window, ReportsSlot.toLatin1());
        QVERIFY(dialogs.waitForAll());
        QCOMPARE(storedAfterClose(window, QStringLiteral("tmpdirs")).toStringList(),
                 (QStringList{dir("a"), "/tmp", dir("b")}));
    }

    void emptyReportFoldersKeepTmp()
    {
        MainWindow window;
        KroTest::ModalDialogHelper dialogs;
        dialogs.expect([](QWidget *dialog) {
            listOf(dialog)->clear();
            pressButtonBox(dialog, QDialogButtonBox::Ok);
        });
        QMetaObject::invokeMethod(&window, ReportsSlot.toLatin1());
        QVERIFY(dialogs.waitForAll());
        QCOMPARE(dialogs.records().size(), 1);
        QCOMPARE(storedAfterClose(window, QStringLiteral("tmpdirs")).toStringList(),
                 QStringList{"/tmp"});
    }

    void debugFoldersFromTheServicesPage()
    {
        MainWindow window;
        KroTest::ModalDialogHelper dialogs;
        QStringList shown;
        dialogs.expect(later([&](QWidget *dialog) {
            shown = shownDirs(dialog);
            press(dialog, "plusBtn");
            listOf(dialog)->item(1)->setText(dir("x"));
            pressButtonBox(dialog, QDialogButtonBox::Ok);
        }));
        dialogs.expectFileDialog(QString());
        auto *button = window.findChild<QPushButton *>(QStringLiteral("browseDebugDirsPBtn"));
        QCOMPARE(button->toolTip(), QStringLiteral("Configure folders with debug modules"));
        button->click();
        QVERIFY(dialogs.waitForAll());
        QCOMPARE(dialogs.records().at(0).windowTitle,
                 QStringLiteral("Selecting directories with modules"));
        QCOMPARE(dialogs.records().at(1).windowTitle,
                 QStringLiteral("Choose a directory with debug modules"));
        QCOMPARE(shown, (QStringList{dir("x"), dir("y")}));
        QCOMPARE(storedAfterClose(window, QStringLiteral("debugjson")).toStringList(),
                 QStringList{dir("x")});
    }

    void emptyDebugFoldersAreNotSaved()
    {
        MainWindow window;
        KroTest::ModalDialogHelper dialogs;
        dialogs.expect([](QWidget *dialog) {
            press(dialog, "minusBtn");
            press(dialog, "minusBtn");
            pressButtonBox(dialog, QDialogButtonBox::Ok);
        });
        QMetaObject::invokeMethod(&window, DebugSlot.toLatin1());
        QVERIFY(dialogs.waitForAll());
        QCOMPARE(storedAfterClose(window, QStringLiteral("debugjson")).toStringList(),
                 (QStringList{dir("x"), "/tmp", dir("y")}));
    }
};

KRO_TEST_MAIN(TestDirsDialogs)
#include "tst_dirsdialogs.moc"
