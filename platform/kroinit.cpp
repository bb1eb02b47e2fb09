// SPDX-License-Identifier: GPL-2.0-or-later
#include "kroinit.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>
#include <QUrl>
#include <algorithm>

namespace {
const QString HelpStartPage = QStringLiteral("index.html");

// Installs the catalog name_<language> from folder for the default locale, replacing the one
// installed by an earlier call in slot.
void installTranslation(QPointer<QTranslator> &slot, const QString &name, const QString &folder)
{
    if (slot) {
        QCoreApplication::removeTranslator(slot);
        delete slot;
    }
    auto *candidate = new QTranslator(QCoreApplication::instance());
    if (candidate->load(QLocale(), name, QStringLiteral("_"), folder)) {
        QCoreApplication::installTranslator(candidate);
        slot = candidate;
    } else {
        delete candidate;
    }
}

// Qt's own texts (standard buttons, dialogs) and the application's, whose catalogs the
// application embeds under :/i18n.
void installTranslations()
{
    static QPointer<QTranslator> qtTranslator;
    static QPointer<QTranslator> appTranslator;
    installTranslation(qtTranslator, QStringLiteral("qtbase"),
                       QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    installTranslation(appTranslator, QCoreApplication::applicationName(),
                       QStringLiteral(":/i18n"));
}

bool isIconThemeInstalled(const QString &theme)
{
    if (theme.isEmpty())
        return false;
    const QStringList paths = QIcon::themeSearchPaths();
    return std::any_of(paths.cbegin(), paths.cend(), [&theme](const QString &path) {
        return QFileInfo::exists(path + QLatin1Char('/') + theme + QStringLiteral("/index.theme"));
    });
}

// Platform plugins without a desktop theme (offscreen, some minimal ones) search no icon folders
// at all; the freedesktop ones are added so that the installed themes can be found.
void ensureIconThemeSearchPaths()
{
    QStringList paths = QIcon::themeSearchPaths();
    const QStringList candidates =
        QStringList(QDir::homePath() + QStringLiteral("/.icons")) +
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                  QStandardPaths::LocateDirectory);
    for (const QString &path : candidates) {
        if (!paths.contains(path) && QFileInfo(path).isDir())
            paths << path;
    }
    QIcon::setThemeSearchPaths(paths);
}

bool isPaletteDark()
{
    const QPalette palette = QGuiApplication::palette();
    return palette.color(QPalette::Window).lightness() <
           palette.color(QPalette::WindowText).lightness();
}

// Without a desktop platform theme Qt names no icon theme, or only "hicolor", which holds
// application icons but none of the action and status icons the window uses: a full theme is
// taken where one is installed (the application's own drawings stand in for what it lacks).
// Breeze draws its icons for one background: its dark variant is taken on a dark palette, or
// they vanish.
void ensureIconTheme()
{
    const QString current = QIcon::themeName();
    if (current != QLatin1String("hicolor") && isIconThemeInstalled(current))
        return;
    const QStringList preferred = {isPaletteDark() ? QStringLiteral("breeze-dark")
                                                   : QStringLiteral("breeze"),
                                   QStringLiteral("Adwaita"), QStringLiteral("hicolor")};
    for (const QString &theme : preferred) {
        if (isIconThemeInstalled(theme)) {
            QIcon::setThemeName(theme);
            return;
        }
    }
}

// Every icon the window uses is drawn by the application too, for the themes that lack it: the
// themes of the common desktops differ in the names they have (Adwaita has no "dialog-ok-apply"),
// and hicolor alone has none of them. Qt looks in the fallback folders only for a name that the
// theme, its parents and hicolor all lack, so a desktop's own icons still win. The drawings are
// embedded rather than installed into hicolor, where their standard names belong to the themes,
// and so are found by the program run from the build tree as well. The application icon is among
// them for the same reasons.
void addFallbackIcons()
{
    const QString bundled = QStringLiteral(":/kro/icons");
    QStringList paths = QIcon::fallbackSearchPaths();
    if (!paths.contains(bundled))
        QIcon::setFallbackSearchPaths(paths << bundled);
}

// A page translated for the default locale's language lies in a folder named by the language.
QString helpFile(const QString &page)
{
    const QStringList roots = {QStringLiteral(KRO_DATA_DIR "/help"),
                               QStringLiteral(KRO_SOURCE_DATA_DIR "/help")};
    const QString language = QLocale().name().section(QLatin1Char('_'), 0, 0);
    for (const QString &candidate : {language + QLatin1Char('/') + page, page}) {
        for (const QString &root : roots) {
            const QString path = root + QLatin1Char('/') + candidate;
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return QString();
}

} // namespace

void kroInit(const QString &version, const QString &displayName)
{
    QCoreApplication::setApplicationVersion(version);
    QCoreApplication::setOrganizationName(QStringLiteral("kro"));
    QCoreApplication::setApplicationName(QStringLiteral("kro-sosreport"));
    QGuiApplication::setApplicationDisplayName(displayName);
    QGuiApplication::setDesktopFileName(QStringLiteral("kro-sosreport"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    installTranslations();
    ensureIconThemeSearchPaths();
    ensureIconTheme();
    // Outside the unnamed namespace: the macro declares the resource's registration function.
    Q_INIT_RESOURCE(kroicons);
    addFallbackIcons();
}

void kroHelpShow(const QString &page)
{
    const QString name = page.section(QLatin1Char('#'), 0, 0);
    const QString fragment = page.section(QLatin1Char('#'), 1);
    const QString path = helpFile(name.isEmpty() ? HelpStartPage : name);
    QWidget *parent = QApplication::activeWindow();
    if (path.isEmpty()) {
        QMessageBox::warning(
            parent, QCoreApplication::translate("kroHelpShow", "Help"),
            QCoreApplication::translate("kroHelpShow", "The help page %1 is not installed.")
                .arg(name.isEmpty() ? HelpStartPage : name));
        return;
    }
    QUrl url = QUrl::fromLocalFile(path);
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    if (!QDesktopServices::openUrl(url))
        QMessageBox::warning(parent, QCoreApplication::translate("kroHelpShow", "Help"),
                             QCoreApplication::translate(
                                 "kroHelpShow", "No web browser could be started to show %1.")
                                 .arg(QDir::toNativeSeparators(path)));
}
