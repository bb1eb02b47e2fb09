// SPDX-License-Identifier: GPL-2.0-or-later
// The window's icons under the themes the common desktops give a Qt application: each one the
// window shows under the fullest theme is found under the others too, and those that carry
// meaning alone (tool bar buttons, buttons without text, marks on reports and services) are there
// under every theme.
#include "constants.h"
#include "kroinit.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <memory>

namespace {

bool isDrawn(const QIcon &icon)
{
    if (icon.isNull())
        return false;
    const QImage image = icon.pixmap(16, 16).toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
    return false;
}

} // namespace

class TestWindowIcons : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyIconIsFound_data();
    void everyIconIsFound();

private:
    // Every icon of the window with reports and services of each kind, by what carries it.
    QMap<QString, QIcon> windowIcons();
    // What must have an icon under any theme, of the keys of windowIcons().
    QStringList iconsThatCarryMeaning();
    void addModule(const QString &name, const QByteArray &config);

    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
    // What has an icon under the fullest theme. Taken as keys: a theme icon is looked up again
    // under the theme of the moment.
    QStringList fullest;
};

void TestWindowIcons::initTestCase()
{
    kroInit(QStringLiteral("1"), QStringLiteral("Kro sosreport"));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("modules")));
    // The application's names choose another settings file.
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{dir.filePath("modules")});
    for (const char *name : {"sosreport-host-2024.tar.xz", "sosreport-host-2023.tar.xz.cpt",
                             "sosreport-host-obfuscated-2024.tar.xz"})
        QVERIFY(QFile(dir.filePath(QLatin1String(name))).open(QIODevice::WriteOnly));
    addModule(QStringLiteral("active"), "level = 9\n");
    addModule(QStringLiteral("idle"), "level = 0\n");
    // Breeze has every name the window asks for.
    QIcon::setThemeName(QStringLiteral("breeze"));
    const QMap<QString, QIcon> icons = windowIcons();
    for (auto icon = icons.cbegin(); icon != icons.cend(); ++icon)
        if (isDrawn(icon.value()))
            fullest << icon.key();
    QVERIFY(fullest.size() > 10);
}

void TestWindowIcons::addModule(const QString &name, const QByteArray &config)
{
    const QString configPath = dir.filePath(name + QStringLiteral(".conf"));
    QFile file(configPath);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(config) == config.size());
    QFile module(dir.filePath(QStringLiteral("modules/%1.json").arg(name)));
    QVERIFY(module.open(QIODevice::WriteOnly));
    module.write(QStringLiteral("{\"modulename\": \"%1\", \"filechanges\": [{\"filename\": \"%2\", "
                                "\"oldtext\": \"level = 0\", \"newtext\": \"level = 9\"}]}")
                     .arg(name, configPath)
                     .toUtf8());
}

QMap<QString, QIcon> TestWindowIcons::windowIcons()
{
    window = std::make_unique<MainWindow>();
    MainWindowAccess::useReportDirs(*window, {dir.path()});
    KroTest::ModalDialogHelper dialogs;
    // The service left in debug mode is named at start.
    dialogs.expectMessageBox(QMessageBox::No);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()) || !dialogs.waitForAll())
        return {};
    QMap<QString, QIcon> icons;
    for (QAction *action : window->findChildren<QAction *>())
        if (!action->isSeparator())
            icons.insert(QStringLiteral("action ") + action->objectName() + action->text(),
                         action->icon());
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
        if (!button->objectName().isEmpty())
            icons.insert(QStringLiteral("button ") + button->objectName(), button->icon());
    for (QListWidget *list : window->findChildren<QListWidget *>())
        for (int row = 0; row < list->count(); ++row)
            icons.insert(list->objectName() + QLatin1Char(' ') + list->item(row)->text(),
                         list->item(row)->icon());
    auto *table = window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    for (int row = 0; row < table->rowCount(); ++row)
        icons.insert(QStringLiteral("report ") + QFileInfo(table->item(row, 0)->text()).fileName(),
                     table->item(row, 0)->icon());
    return icons;
}

QStringList TestWindowIcons::iconsThatCarryMeaning()
{
    QStringList keys{QStringLiteral("report sosreport-host-2023.tar.xz.cpt"),
                     QStringLiteral("report sosreport-host-obfuscated-2024.tar.xz"),
                     QStringLiteral("debugLW active")};
    for (QAction *action : window->findChild<QToolBar *>()->actions())
        keys << QStringLiteral("action ") + action->objectName() + action->text();
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
        if (!button->objectName().isEmpty() && button->text().isEmpty() &&
            button->isVisibleTo(window.get()))
            keys << QStringLiteral("button ") + button->objectName();
    return keys;
}

void TestWindowIcons::everyIconIsFound_data()
{
    QTest::addColumn<QString>("theme");
    // GNOME, Xfce, LXDE, MATE and Cinnamon give a Qt application Adwaita; Plasma gives Breeze;
    // hicolor is what every other theme falls back to, and all a bare machine may have.
    for (const char *theme : {"Adwaita", "breeze", "hicolor"})
        QTest::newRow(theme) << QString::fromLatin1(theme);
}

void TestWindowIcons::everyIconIsFound()
{
    QFETCH(QString, theme);
    QVERIFY(QFileInfo::exists(QStringLiteral("/usr/share/icons/%1/index.theme").arg(theme)));
    QIcon::setThemeName(theme);
    const QMap<QString, QIcon> icons = windowIcons();
    QVERIFY(!icons.isEmpty());
    QStringList missing;
    for (const QString &key : fullest + iconsThatCarryMeaning())
        if (!isDrawn(icons.value(key)) && !missing.contains(key))
            missing << key;
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    // An inactive service has no mark: the active one's is what sets it apart.
    QVERIFY(icons.value(QStringLiteral("debugLW idle")).isNull());
    window.reset();
}

KRO_TEST_MAIN(TestWindowIcons)
#include "tst_windowicons.moc"
