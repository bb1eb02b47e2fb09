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
#include <QPointer>
#include <QSettings>
#include <QTranslator>
#include <QUrl>
#include <algorithm>

namespace {
const QString ApplicationIcon = QStringLiteral("kro-sosreport");
const QString HelpStartPage = QStringLiteral("index.html");

void installQtTranslations()
{
    static QPointer<QTranslator> translator;
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    auto *candidate = new QTranslator(QCoreApplication::instance());
    if (candidate->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::location(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(candidate);
        translator = candidate;
    } else {
        delete candidate;
    }
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

// Without a desktop platform theme Qt names no icon theme, or only "hicolor", which holds
// application icons but none of the action and status icons the window uses.
void ensureIconTheme()
{
    const QString current = QIcon::themeName();
    if (current != QLatin1String("hicolor") && isIconThemeInstalled(current))
        return;
    const QStringList preferred = {QStringLiteral("breeze"), QStringLiteral("Adwaita"),
                                   QStringLiteral("hicolor")};
    for (const QString &theme : preferred) {
        if (isIconThemeInstalled(theme)) {
            QIcon::setThemeName(theme);
            return;
        }
    }
}

// Run from the build tree the icon is not installed in any theme yet.
void ensureApplicationIcon()
{
    if (QIcon::hasThemeIcon(ApplicationIcon))
        return;
    const QString sourceIcons = QStringLiteral(KRO_SOURCE_DATA_DIR "/icons");
    if (QFileInfo(sourceIcons).isDir())
        QIcon::setFallbackSearchPaths(QIcon::fallbackSearchPaths() << sourceIcons);
}

QString helpFile(const QString &page)
{
    const QStringList roots = {QStringLiteral(KRO_DATA_DIR "/help"),
                               QStringLiteral(KRO_SOURCE_DATA_DIR "/help")};
    for (const QString &root : roots) {
        const QString path = root + QLatin1Char('/') + page;
        if (QFileInfo(path).isFile())
            return path;
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
    installQtTranslations();
    ensureIconTheme();
    ensureApplicationIcon();
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
